#include "ui/console/ports.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "link/port_names.h"
#include "link/serial_adapters.h"
#include "resources/link_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "ui/console/cli.h"

namespace ui::console {

namespace {

int usage(const std::string& text) {
    std::fprintf(stderr, "tq740-cli: %s (see tq740-cli --help)\n", text.c_str());
    return EXIT_USAGE;
}

// A field of the table; "-" when unknown, so that every row has its columns.
const char* field(const std::string& text) { return text.empty() ? "-" : text.c_str(); }

// The devices as the dialog's table shows them, one tab-separated row each
// under the dialog's column headings, then what each port opens.
int list_ports(const std::string& app_data_folder) {
    const ui::Adapters_view view =
        comm::adapters_view(comm::system_serial_devices(), comm::port_mappings(app_data_folder));
    const char* separator = "";
    for (int id = res::IDS_ADAPTER_COLUMN_DEVICE; id <= res::IDS_ADAPTER_COLUMN_ACCESS; ++id) {
        std::printf("%s%s", separator, res::str(id).c_str());
        separator = "\t";
    }
    std::printf("\n");
    bool any_denied = false;
    for (const ui::Adapter_row& row : view.adapters) {
        const std::string access = row.no_permission ? res::str(res::IDS_ADAPTER_NO_PERMISSION) : "";
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\n", field(row.device), field(row.by_id_name), field(row.maker),
                    field(row.product), field(row.serial_number), field(row.ports), field(access));
        any_denied = any_denied || row.no_permission;
    }
    std::printf("\n");
    for (const std::string& line : view.port_lines) std::printf("%s\n", line.c_str());
    if (any_denied) std::printf("\n%s\n", res::str(res::IDS_ADAPTER_DIALOUT_HINT).c_str());
    std::fflush(stdout);
    return 0;
}

// The device a user names on the command line: one of the list by any of
// its names, else any character device given by its path (a pseudo-terminal,
// which the system does not list).
std::optional<comm::Serial_device> named_device(const std::vector<comm::Serial_device>& devices,
                                                const std::string& name) {
    if (const comm::Serial_device* listed = comm::find_device(devices, name)) return *listed;
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return std::nullopt;
    return comm::Serial_device{std::filesystem::absolute(name).string(), {}, {}, {}, {}, comm::permission_denied(name)};
}

int map(const std::vector<std::string>& args, const std::string& app_data_folder, Console_ui& ui) {
    if (args.size() != 3) return usage("ports map needs the port number and the device");
    const int port = args[1].size() == 1 && args[1][0] >= '1' && args[1][0] <= '8' ? args[1][0] - '0' : 0;
    if (port == 0) return usage("ports map takes a port number 1 to 8");
    const auto device = named_device(comm::system_serial_devices(), args[2]);
    if (!device) {
        std::fprintf(stderr, "tq740-cli: no serial device %s (tq740-cli ports lists them)\n", args[2].c_str());
        return 1;
    }
    switch (comm::map_port(ui, app_data_folder, port, *device)) {
    case comm::Map_outcome::declined: return EXIT_DECLINED;
    case comm::Map_outcome::failed: return 1;
    case comm::Map_outcome::mapped:
    case comm::Map_outcome::unchanged: break;
    }
    const std::string& target = device->by_id.empty() ? device->path : device->by_id;
    std::printf("%s -> %s\n", comm::port_name(port).c_str(), target.c_str());
    if (device->permission_denied) std::printf("%s\n", res::str(res::IDS_ADAPTER_DIALOUT_HINT).c_str());
    return 0;
}

}  // namespace

int run_ports(const std::vector<std::string>& args, const std::string& app_data_folder, Console_ui& ui) {
    if (app_data_folder.empty()) {
        std::fprintf(stderr, "tq740-cli: %s\n", res::str(res::IDS_FATAL_NO_DATA_FOLDER).c_str());
        return 1;
    }
    if (args.empty()) return list_ports(app_data_folder);
    if (args[0] == "map") return map(args, app_data_folder, ui);
    return usage("ports takes no arguments, or map N DEVICE");
}

const char* ports_usage() {
    return "ports                      list the serial devices and what COM1..COM8 open\n"
           "  ports map N DEVICE         make COMN open DEVICE (its path or by-id name), by its\n"
           "                             /dev/serial/by-id name when it has one; a link made by the\n"
           "                             simulator or by hand is replaced only with --yes";
}

}  // namespace ui::console
