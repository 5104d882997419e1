#include "link/port_names.h"

#include <sys/stat.h>

#include <filesystem>

namespace comm {

namespace fs = std::filesystem;

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
    const std::string device = device_for_port(port, app_data_folder);
    // A link is named by what it points at: opening that opens the same
    // device, and a message then says which device it was.
    std::error_code error;
    const fs::path target = fs::read_symlink(device, error);
    if (error) return {port_name(port), device};
    return {port_name(port), (fs::path(device).parent_path() / target).lexically_normal().string()};
}

}  // namespace comm
