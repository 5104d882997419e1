// Serial adapters: the device listing with its by-id names, and the COMn
// links written for them, over fake devices (plain files) and a fake by-id
// folder in a temporary configuration folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "link/serial_adapters.h"
#include "link/serial_link.h"
#include "resources/link_strings.h"
#include "resources/strings.h"
#include "support/scripted_ui.h"

namespace {

namespace fs = std::filesystem;

// A temporary tree: dev/ holds the fake devices, by-id/ their stable names,
// config/NORVATQ740 the program's folder with its COMn links.
class Adapters_test : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tq740-adapters-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        for (const char* folder : {"/dev", "/by-id", "/config/NORVATQ740"}) fs::create_directories(root + folder);
        folder = root + "/config/NORVATQ740";
    }
    void TearDown() override { fs::remove_all(root); }

    std::string device(const std::string& name) {
        const std::string path = root + "/dev/" + name;
        std::ofstream(path).put('\n');
        return path;
    }
    std::string by_id(const std::string& name, const std::string& target) {
        const std::string path = root + "/by-id/" + name;
        fs::create_symlink(target, path);
        return path;
    }
    std::string link(int port) const { return folder + "/COM" + std::to_string(port); }
    std::string target_of(int port) const { return fs::read_symlink(link(port)).string(); }

    std::string root, folder;
    test::Scripted_ui ui;
};

// ---- The listing ----

TEST_F(Adapters_test, by_id_names_join_their_devices_and_adapters_come_first) {
    std::vector<comm::Serial_device> devices = {
        {device("ttyS10"), "", "", "", "", false},
        {device("ttyS2"), "", "", "", "", false},
        {device("ttyUSB0"), "", "FTDI", "FT232R USB UART", "A1B2C3", false},
    };
    const std::string usb = by_id("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", root + "/dev/ttyUSB0");
    // A device the listing missed, known only by its by-id name.
    const std::string acm = by_id("usb-Maker_Meter_77-if00", device("ttyACM0"));
    by_id("usb-Unplugged-if00", root + "/dev/ttyUSB9");  // left behind: no device

    comm::add_by_id_names(devices, root + "/by-id");

    std::vector<std::pair<std::string, std::string>> listed;
    for (const auto& d : devices) listed.emplace_back(fs::path(d.path).filename().string(), d.by_id);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"ttyACM0", acm}, {"ttyUSB0", usb}, {"ttyS2", ""}, {"ttyS10", ""}};
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(devices[1].maker, "FTDI");
}

TEST_F(Adapters_test, a_device_is_found_by_any_of_its_names) {
    const std::vector<comm::Serial_device> devices = {
        {device("ttyUSB0"), by_id("usb-A-port0", root + "/dev/ttyUSB0"), "", "", "", false},
        {device("ttyUSB1"), "", "", "", "", false},
    };
    fs::create_symlink(root + "/dev/ttyUSB1", root + "/mine");
    const std::vector<std::pair<std::string, const comm::Serial_device*>> cases = {
        {root + "/dev/ttyUSB0", &devices[0]},
        {root + "/by-id/usb-A-port0", &devices[0]},
        {"usb-A-port0", &devices[0]},
        {root + "/mine", &devices[1]},
        {root + "/dev/../dev/ttyUSB1", &devices[1]},
        {root + "/dev/ttyUSB7", nullptr},
        {"usb-B-port0", nullptr},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(comm::find_device(devices, name), expected) << name;
}

// ---- Mapping a port ----

// What COM2 is before the mapping.
enum class Before { nothing, mapped_here, simulator, hand_made_elsewhere, hand_made_same, plain_file, changed_by_hand };

struct Map_case {
    const char* name;
    Before before;
    bool with_by_id;                     // the adapter has a by-id name
    std::optional<ui::Answer> question;  // the question is asked and answered so; none: not asked
    comm::Map_outcome outcome;
    const char* link_after;              // "by-id", "path", or the link's target as it must stay
};

class Map_port_test : public Adapters_test, public ::testing::WithParamInterface<Map_case> {};

TEST_P(Map_port_test, writes_the_link_and_never_replaces_one_made_elsewhere_without_asking) {
    const Map_case& c = GetParam();
    const std::string other = device("ttyUSB1");
    comm::Serial_device adapter{device("ttyUSB0"), "", "FTDI", "", "", false};
    if (c.with_by_id) adapter.by_id = by_id("usb-FTDI-A1B2C3-port0", adapter.path);
    const std::string wanted = c.with_by_id ? adapter.by_id : adapter.path;

    switch (c.before) {
    case Before::nothing: break;
    case Before::mapped_here:
        ASSERT_EQ(comm::map_port(ui, folder, 2, {other, "", "", "", "", false}), comm::Map_outcome::mapped);
        break;
    case Before::changed_by_hand:
        ASSERT_EQ(comm::map_port(ui, folder, 2, {other, "", "", "", "", false}), comm::Map_outcome::mapped);
        fs::remove(link(2));
        fs::create_symlink("/dev/ttyUSB5", link(2));
        break;
    case Before::simulator: fs::create_symlink("/dev/pts/7", link(2)); break;
    case Before::hand_made_elsewhere: fs::create_symlink("/dev/ttyUSB5", link(2)); break;
    case Before::hand_made_same: fs::create_symlink(wanted, link(2)); break;
    case Before::plain_file: std::ofstream(link(2)) << "/dev/ttyUSB5\n"; break;
    }
    const bool was_link = fs::is_symlink(link(2));
    const std::string before = was_link ? target_of(2) : "";
    if (c.question)
        ui.expect_question(res::format(res::IDS_REPLACE_PORT_QUESTION, "COM2", was_link ? before : link(2), wanted),
                           *c.question);

    EXPECT_EQ(comm::map_port(ui, folder, 2, adapter), c.outcome);

    const std::string expected = std::string(c.link_after) == "by-id"  ? adapter.by_id
                                 : std::string(c.link_after) == "path" ? adapter.path
                                                                        : c.link_after;
    if (std::string(c.link_after) == "file")
        EXPECT_FALSE(fs::is_symlink(link(2)));
    else
        EXPECT_EQ(target_of(2), expected);
    // The others are untouched.
    EXPECT_FALSE(fs::exists(fs::symlink_status(link(1))));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Map_port_test,
    ::testing::Values(
        Map_case{"no_link_by_id_preferred", Before::nothing, true, {}, comm::Map_outcome::mapped, "by-id"},
        Map_case{"no_link_no_by_id_the_path", Before::nothing, false, {}, comm::Map_outcome::mapped, "path"},
        Map_case{"link_written_here_replaced_without_asking", Before::mapped_here, true, {},
                 comm::Map_outcome::mapped, "by-id"},
        Map_case{"simulator_link_asks_no_keeps_it", Before::simulator, true, ui::Answer::no,
                 comm::Map_outcome::declined, "/dev/pts/7"},
        Map_case{"simulator_link_asks_yes_replaces", Before::simulator, true, ui::Answer::yes,
                 comm::Map_outcome::mapped, "by-id"},
        Map_case{"hand_made_link_asks_no_keeps_it", Before::hand_made_elsewhere, false, ui::Answer::no,
                 comm::Map_outcome::declined, "/dev/ttyUSB5"},
        Map_case{"hand_made_link_already_right_unchanged", Before::hand_made_same, true, {},
                 comm::Map_outcome::unchanged, "by-id"},
        Map_case{"hand_made_file_asks_no_keeps_it", Before::plain_file, true, ui::Answer::no,
                 comm::Map_outcome::declined, "file"},
        Map_case{"link_changed_by_hand_since_asks", Before::changed_by_hand, true, ui::Answer::no,
                 comm::Map_outcome::declined, "/dev/ttyUSB5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Adapters_test, a_link_that_cannot_be_written_says_why) {
    const comm::Serial_device adapter{device("ttyUSB0"), "", "", "", "", false};
    // A configuration folder that cannot be made: a file stands in its way.
    const std::string blocked = adapter.path + "/NORVATQ740";
    ui.expect_error(res::format(res::IDS_MAP_PORT_FAILED, "COM3", adapter.path, "Not a directory"));
    EXPECT_EQ(comm::map_port(ui, blocked, 3, adapter), comm::Map_outcome::failed);
}

// ---- What the dialog shows ----

TEST_F(Adapters_test, the_dialog_shows_each_device_with_its_ports_and_maps_one) {
    const std::string usb = device("ttyUSB0");
    std::vector<comm::Serial_device> devices = {
        {usb, by_id("usb-FTDI-A1B2C3-port0", usb), "FTDI", "FT232R", "A1B2C3", false},
        {device("ttyUSB1"), "", "", "", "", true},
    };
    fs::create_symlink("/dev/pts/99", link(3));  // the simulator's, gone

    ui.expect_serial_adapters([&](const ui::Adapters_view& view, const auto& map) {
        ASSERT_EQ(view.adapters.size(), 2u);
        EXPECT_EQ(view.adapters[0].by_id_name, "usb-FTDI-A1B2C3-port0");
        EXPECT_EQ(view.adapters[0].ports, "");
        EXPECT_TRUE(view.adapters[1].no_permission);
        EXPECT_EQ(view.port_lines[2], "COM3: /dev/pts/99 (set by the simulator or by hand) - not present");

        const ui::Adapters_view after = map(2, 0);
        EXPECT_EQ(after.adapters[0].ports, "COM2");
        EXPECT_EQ(after.port_lines[1], "COM2: " + root + "/by-id/usb-FTDI-A1B2C3-port0");
        // A second port for the same adapter, then a row that is not there: nothing.
        EXPECT_EQ(map(5, 0).adapters[0].ports, "COM2, COM5");
        EXPECT_EQ(map(6, 7).port_lines[5].rfind("COM6: /dev/ttyS5 (default)", 0), 0u);
    });
    comm::serial_adapters_command(ui, folder, [&devices] { return devices; });
    EXPECT_EQ(ui.adapter_views.size(), 4u);
}

// ---- The open failure names the port and its device ----

TEST(Open_failure_text, names_the_port_its_device_and_where_to_choose_another) {
    const std::string hint = "\n" + res::str(res::IDS_PORT_OPEN_FAILED_HINT);
    const std::vector<std::tuple<comm::Port_device, std::string, std::string>> cases = {
        {{"COM5", "/dev/ttyS4"}, "No such file or directory",
         "Unable to open communications port COM5 (/dev/ttyS4): No such file or directory" + hint},
        {comm::Port_device("/dev/ttyUSB0"), "Permission denied",
         "Unable to open communications port /dev/ttyUSB0: Permission denied" + hint},
        {{"COM1", "/dev/ttyS0"}, "", "Unable to open communications port COM1 (/dev/ttyS0)" + hint},
    };
    for (const auto& [port, reason, text] : cases) EXPECT_EQ(comm::open_failure_text(port, reason), text);
}

}  // namespace
