#include "link/port_names.h"

#include <sys/stat.h>

namespace comm {

std::string port_name(int port) { return "COM" + std::to_string(port); }

std::string device_for_port(int port, const std::string& app_data_folder) {
    std::string link_path = app_data_folder + "/" + port_name(port);
    struct stat info {};
    // lstat: a dangling link still names the device the user chose; opening it
    // then fails with the system's reason, which is the useful message.
    if (!app_data_folder.empty() && ::lstat(link_path.c_str(), &info) == 0) return link_path;
    return "/dev/ttyS" + std::to_string(port - 1);
}

Port_device port_device(int port, const std::string& app_data_folder) {
    return {port_name(port), device_for_port(port, app_data_folder)};
}

}  // namespace comm
