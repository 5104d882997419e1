// Where the ports COM1 to COM8 are on this machine.
#pragma once

#include <string>
#include <utility>

namespace comm {

// The device for COMn: the file or symbolic link "<app data folder>/COMn" when
// it exists (a user points it at /dev/ttyUSB0 or a /dev/serial/by-id name; the
// simulator creates it), else /dev/ttyS<n-1>.
std::string device_for_port(int port, const std::string& app_data_folder);

// The name shown for a port number: "COM3".
std::string port_name(int port);

// What an operation opens: the port's name ("COM5") and its device.  A
// device given directly (tq740-cli --device) has no port name.
struct Port_device {
    Port_device() = default;
    Port_device(std::string device_path) : device(std::move(device_path)) {}  // NOLINT: a device alone
    Port_device(std::string port_name, std::string device_path)
        : name(std::move(port_name)), device(std::move(device_path)) {}
    std::string name;
    std::string device;
};

// COMn with the device device_for_port finds for it; for a link, the
// device it points at.
Port_device port_device(int port, const std::string& app_data_folder);

}  // namespace comm
