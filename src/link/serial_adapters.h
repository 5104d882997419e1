// The serial devices this machine has, and which of them the ports COM1 to
// COM8 open.
//
// A port opens the device its link "<app data folder>/COMn" names, else
// /dev/ttyS<n-1> (see port_names.h).  Configure > Serial Adapters and
// `tq740-cli ports` list the devices with what is known of them and write
// those links, so that a technician never needs a shell to reach a USB
// adapter.  The links written here point at the adapter's /dev/serial/by-id
// name when it has one: that name stays the same when the adapter is plugged
// into another socket, where /dev/ttyUSB0 may become /dev/ttyUSB1.
//
// Links also come from elsewhere: the simulator makes one for its
// pseudo-terminal, and users made them by hand before there was this list.
// Those are replaced only after a question.  To tell them apart, every link
// written here is recorded in "<app data folder>/port_links" (one line
// "COMn target" per port): a link whose target is not recorded for its port
// was made elsewhere.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace comm {

// One serial device of the system.
struct Serial_device {
    std::string path;            // the system's device: /dev/ttyUSB0
    std::string by_id;           // its stable name: /dev/serial/by-id/usb-...; "" when it has none
    std::string maker;           // from the USB descriptors; "" when unknown
    std::string product;
    std::string serial_number;
    bool permission_denied = false;  // this user may not open it for reading and writing
};

// The devices the system lists (QSerialPortInfo), each with its by-id name;
// adapters first, then the rest in the order of their numbers.
std::vector<Serial_device> system_serial_devices();

// Gives each device the name a link in by_id_folder resolves to it (links
// resolved with realpath); a link to a device not in the list adds that
// device.  Then sorts the list: devices with a by-id name or a maker first.
void add_by_id_names(std::vector<Serial_device>& devices, const std::string& by_id_folder);

// True when opening path for reading and writing is refused for lack of
// permission (the user is not in the group that owns the device).
bool permission_denied(const std::string& path);

// Who made what a port opens.
enum class Port_origin {
    none,             // no link: the port opens /dev/ttyS<n-1>
    serial_adapters,  // a link written by Serial Adapters
    elsewhere,        // a link or file made by the simulator or by hand
};

struct Port_mapping {
    int port = 0;
    std::string device;    // the link's target as written, the file itself, or /dev/ttyS<n-1>
    std::string resolved;  // the device with every link resolved; "" when it is not there
    Port_origin origin = Port_origin::none;
};

// COM1 to COM8 as they are now.
std::vector<Port_mapping> port_mappings(const std::string& app_data_folder);

// The ports that open device, "COM2, COM5"; "" when none does.
std::string ports_of(const Serial_device& device, const std::vector<Port_mapping>& mappings);

// The device a user names: by its path, its by-id path or by-id name, or by
// any link that resolves to it.  nullptr when none of the list is meant.
const Serial_device* find_device(const std::vector<Serial_device>& devices, const std::string& name);

enum class Map_outcome { mapped, unchanged, declined, failed };

// Makes COMn open device: writes the link "<app data folder>/COMn" to its
// by-id name when it has one, else to its path, and records it.  A link or
// file made elsewhere is replaced only when the user answers Yes to the
// question; a failure is shown as a message.
Map_outcome map_port(ui::Ui& ui, const std::string& app_data_folder, int port, const Serial_device& device);

// What the dialog and `tq740-cli ports` show: one row per device and one
// line per port.
ui::Adapters_view adapters_view(const std::vector<Serial_device>& devices, const std::vector<Port_mapping>& mappings);

// Configure > Serial Adapters: the devices list_devices finds and the
// ports; each Map in the dialog maps one port and shows the list again.
void serial_adapters_command(ui::Ui& ui, const std::string& app_data_folder,
                             const std::function<std::vector<Serial_device>()>& list_devices);

}  // namespace comm
