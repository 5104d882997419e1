// Where the ports COM1 to COM8 are on this machine.
#pragma once

#include <string>

namespace comm {

// The device for COMn: the file or symbolic link "<app data folder>/COMn" when
// it exists (a user points it at /dev/ttyUSB0 or a /dev/serial/by-id name; the
// simulator creates it), else /dev/ttyS<n-1>.
std::string device_for_port(int port, const std::string& app_data_folder);

// The name shown for a port number: "COM3".
std::string port_name(int port);

}  // namespace comm
