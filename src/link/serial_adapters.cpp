#include "link/serial_adapters.h"

#include <unistd.h>

#include <QSerialPortInfo>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#include "link/port_names.h"
#include "resources/link_strings.h"
#include "resources/strings.h"

namespace comm {

namespace {

namespace fs = std::filesystem;

constexpr const char* BY_ID_FOLDER = "/dev/serial/by-id";
// The record of the links written here, in the app data folder.
constexpr const char* RECORD_NAME = "port_links";
constexpr int FIRST_PORT = 1, LAST_PORT = 8;

// path with every link resolved; "" when it (or a link on the way) is not there.
std::string resolved_path(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

std::string link_path(const std::string& app_data_folder, int port) {
    return app_data_folder + "/" + port_name(port);
}

// The ports whose links Serial Adapters wrote, with the target each was given.
std::map<int, std::string> read_record(const std::string& app_data_folder) {
    std::map<int, std::string> recorded;
    std::ifstream in(app_data_folder + "/" + RECORD_NAME);
    std::string name, target;
    while (in >> name && std::getline(in >> std::ws, target)) {
        if (!target.empty() && target.back() == '\r') target.pop_back();
        for (int port = FIRST_PORT; port <= LAST_PORT; ++port)
            if (name == port_name(port)) recorded[port] = target;
    }
    return recorded;
}

// Replaces path by a file or link that make() creates under a temporary name
// first, so that a reader never finds it half made.  false with the system's
// reason when it could not be made or put in place.
template <typename Make>
bool replace_atomically(const std::string& path, Make make, std::string& reason) {
    const std::string temporary = path + ".new-" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (!make(temporary) || ::rename(temporary.c_str(), path.c_str()) != 0) {
        reason = std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

// Records that port's link was written here with this target.  A record
// that cannot be written only means the link counts as made elsewhere, so
// the next change of it asks first: the safe side, and not worth a message.
void record_link(const std::string& app_data_folder, int port, const std::string& target) {
    std::map<int, std::string> recorded = read_record(app_data_folder);
    recorded[port] = target;
    std::string reason;
    replace_atomically(app_data_folder + "/" + RECORD_NAME, [&recorded](const std::string& temporary) {
        std::ofstream out(temporary, std::ios::trunc);
        for (const auto& [n, linked] : recorded) out << port_name(n) << ' ' << linked << '\n';
        out.close();
        return static_cast<bool>(out);
    }, reason);
}

Port_mapping mapping_of(const std::string& app_data_folder, int port, const std::map<int, std::string>& recorded) {
    Port_mapping mapping;
    mapping.port = port;
    const std::string link = link_path(app_data_folder, port);
    std::error_code error;
    const fs::file_status status = fs::symlink_status(link, error);
    if (error || !fs::exists(status)) {
        mapping.device = "/dev/ttyS" + std::to_string(port - 1);
        mapping.resolved = resolved_path(mapping.device);
        return mapping;
    }
    mapping.origin = Port_origin::elsewhere;
    if (!fs::is_symlink(status)) {
        mapping.device = link;  // a file made by hand: the port opens the file itself
    } else {
        mapping.device = fs::read_symlink(link, error).string();
        const auto mine = recorded.find(port);
        if (mine != recorded.end() && mine->second == mapping.device) mapping.origin = Port_origin::serial_adapters;
    }
    mapping.resolved = resolved_path(link);
    return mapping;
}

std::string base_name(const std::string& path) { return fs::path(path).filename().string(); }

// The number a device name ends in (ttyUSB10: 10), for ordering.
long trailing_number(const std::string& path) {
    size_t digits = path.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(path[digits - 1]))) --digits;
    return digits < path.size() ? std::strtol(path.c_str() + digits, nullptr, 10) : -1;
}

// Adapters (known by a by-id name or a maker) before the machine's own
// ports, then by name with numbers in their order: ttyS2 before ttyS10.
bool listed_before(const Serial_device& a, const Serial_device& b) {
    const bool a_adapter = !a.by_id.empty() || !a.maker.empty();
    const bool b_adapter = !b.by_id.empty() || !b.maker.empty();
    if (a_adapter != b_adapter) return a_adapter;
    const std::string a_stem = a.path.substr(0, a.path.find_last_not_of("0123456789") + 1);
    const std::string b_stem = b.path.substr(0, b.path.find_last_not_of("0123456789") + 1);
    if (a_stem != b_stem) return a_stem < b_stem;
    return trailing_number(a.path) < trailing_number(b.path);
}

}  // namespace

bool permission_denied(const std::string& path) {
    return ::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
}

void add_by_id_names(std::vector<Serial_device>& devices, const std::string& by_id_folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(by_id_folder, error)) names.push_back(entry.path().string());
    // Sorted, so that a device with several names always shows the same one.
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string target = resolved_path(name);
        if (target.empty()) continue;  // a name left behind by an adapter unplugged
        auto device = std::find_if(devices.begin(), devices.end(),
                                   [&target](const Serial_device& d) { return resolved_path(d.path) == target; });
        if (device == devices.end()) {
            devices.push_back(Serial_device{target, {}, {}, {}, {}, permission_denied(target)});
            device = devices.end() - 1;
        }
        if (device->by_id.empty()) device->by_id = name;
    }
    std::stable_sort(devices.begin(), devices.end(), listed_before);
}

std::vector<Serial_device> system_serial_devices() {
    std::vector<Serial_device> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        Serial_device device;
        device.path = info.systemLocation().toStdString();
        device.maker = info.manufacturer().toStdString();
        device.product = info.description().toStdString();
        device.serial_number = info.serialNumber().toStdString();
        device.permission_denied = permission_denied(device.path);
        devices.push_back(std::move(device));
    }
    add_by_id_names(devices, BY_ID_FOLDER);
    return devices;
}

std::vector<Port_mapping> port_mappings(const std::string& app_data_folder) {
    const std::map<int, std::string> recorded = read_record(app_data_folder);
    std::vector<Port_mapping> mappings;
    for (int port = FIRST_PORT; port <= LAST_PORT; ++port)
        mappings.push_back(mapping_of(app_data_folder, port, recorded));
    return mappings;
}

std::string ports_of(const Serial_device& device, const std::vector<Port_mapping>& mappings) {
    const std::string target = resolved_path(device.path);
    std::string ports;
    for (const Port_mapping& m : mappings) {
        if (target.empty() || m.resolved != target) continue;
        if (!ports.empty()) ports += ", ";
        ports += port_name(m.port);
    }
    return ports;
}

const Serial_device* find_device(const std::vector<Serial_device>& devices, const std::string& name) {
    for (const Serial_device& d : devices)
        if (name == d.path || (!d.by_id.empty() && (name == d.by_id || name == base_name(d.by_id)))) return &d;
    // Another name of a listed device: a link of the user's own, or /dev/ttyUSB0
    // given as ../ttyUSB0 from a folder.
    const std::string target = resolved_path(name);
    for (const Serial_device& d : devices)
        if (!target.empty() && resolved_path(d.path) == target) return &d;
    return nullptr;
}

Map_outcome map_port(ui::Ui& ui, const std::string& app_data_folder, int port, const Serial_device& device) {
    const std::string target = device.by_id.empty() ? device.path : device.by_id;
    const std::string name = port_name(port);
    const Port_mapping now = mapping_of(app_data_folder, port, read_record(app_data_folder));
    if (now.origin != Port_origin::none && now.device == target) {
        // Already so, perhaps by hand: from now on it counts as chosen here.
        record_link(app_data_folder, port, target);
        return Map_outcome::unchanged;
    }
    if (now.origin == Port_origin::elsewhere &&
        ui.message(res::format(res::IDS_REPLACE_PORT_QUESTION, name, now.device, target), ui::Caption::confirmation,
                   ui::Buttons::yes_no_exclamation) != ui::Answer::yes)
        return Map_outcome::declined;

    std::error_code error;
    fs::create_directories(app_data_folder, error);
    std::string reason;
    const bool linked = replace_atomically(link_path(app_data_folder, port), [&target](const std::string& temporary) {
        return ::symlink(target.c_str(), temporary.c_str()) == 0;
    }, reason);
    if (!linked) {
        ui.message(res::format(res::IDS_MAP_PORT_FAILED, name, target, reason), ui::Caption::error, ui::Buttons::ok);
        return Map_outcome::failed;
    }
    record_link(app_data_folder, port, target);
    return Map_outcome::mapped;
}

ui::Adapters_view adapters_view(const std::vector<Serial_device>& devices, const std::vector<Port_mapping>& mappings) {
    ui::Adapters_view view;
    for (const Serial_device& d : devices)
        view.adapters.push_back({d.path, d.by_id.empty() ? std::string() : base_name(d.by_id), d.maker, d.product,
                                 d.serial_number, ports_of(d, mappings), d.permission_denied});
    for (const Port_mapping& m : mappings) {
        const int id = m.origin == Port_origin::none              ? res::IDS_PORT_LINE_DEFAULT
                       : m.origin == Port_origin::serial_adapters ? res::IDS_PORT_LINE_MAPPED
                                                                  : res::IDS_PORT_LINE_SET_ELSEWHERE;
        std::string line = res::format(id, port_name(m.port), m.device);
        if (m.resolved.empty()) line += res::str(res::IDS_PORT_DEVICE_ABSENT);
        view.port_lines.push_back(line);
    }
    return view;
}

void serial_adapters_command(ui::Ui& ui, const std::string& app_data_folder,
                             const std::function<std::vector<Serial_device>()>& list_devices) {
    std::vector<Serial_device> devices = list_devices();
    ui.show_serial_adapters(adapters_view(devices, port_mappings(app_data_folder)),
                            [&](int port, int row) {
                                if (port >= FIRST_PORT && port <= LAST_PORT && row >= 0 &&
                                    row < static_cast<int>(devices.size()))
                                    map_port(ui, app_data_folder, port, devices[static_cast<size_t>(row)]);
                                // Listed again: an adapter may have come or gone meanwhile.
                                devices = list_devices();
                                return adapters_view(devices, port_mappings(app_data_folder));
                            });
}

}  // namespace comm
