#include "ui/console/cli.h"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

#include "link/clock.h"
#include "link/port_names.h"
#include "link/qt_serial_port.h"
#include "link/serial_link.h"
#include "shell/ini_file.h"
#include "shell/settings.h"
#include "ui/console/console_ui.h"

namespace ui::console {

namespace {

// The options every command accepts, wherever they stand.
struct Common_options {
    std::optional<int> port;
    std::string device;
    bool yes = false;
    bool no_clock_check = false;
    bool help = false;
};

// Everything a command works with: the settings, the port and the link.
struct Cli {
    Common_options options;
    shell::Data_folders folders;
    shell::Program_settings settings;
    Console_ui ui;
    comm::Qt_serial_port port;
    comm::System_clock clock;
    comm::Serial_link link;

    explicit Cli(const Common_options& o, const shell::Data_folders& f, const shell::Program_settings& s)
        : options(o), folders(f), settings(s), ui(o.yes), link(port, clock, ui, [this] { return device(); }) {}

    std::string device() const {
        if (!options.device.empty()) return options.device;
        return comm::device_for_port(options.port.value_or(settings.port), folders.app_data);
    }
};

using Handler = std::function<int(Cli&, const std::vector<std::string>&)>;

struct Command {
    const char* name;
    const char* usage;
    Handler run;
};

std::optional<int> parse_int(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int usage_error(const std::string& text) {
    std::fprintf(stderr, "tq740-cli: %s (see tq740-cli --help)\n", text.c_str());
    return 64;
}

// send [--lines K] TEXT: one command and up to K reply lines, each printed as
// "code<TAB>text"; the exit status is the last result code.
int run_send(Cli& cli, const std::vector<std::string>& args) {
    int lines = 1;
    std::string text;
    bool have_text = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lines" && i + 1 < args.size()) {
            const auto k = parse_int(args[++i]);
            if (!k || *k < 1) return usage_error("--lines needs a number of at least 1");
            lines = *k;
        } else if (!have_text) {
            text = args[i];
            have_text = true;
        } else {
            return usage_error("send takes one command text; quote it");
        }
    }
    if (!have_text) return usage_error("send needs the command text");

    if (!cli.link.open_port()) return static_cast<int>(comm::RESULT_PORT_CLOSED);
    cli.link.send_command(text);
    comm::Result_code result = comm::RESULT_OK;
    for (int n = 0; n < lines; ++n) {
        std::string reply;
        result = cli.link.receive_line(reply, comm::REPLY_CAPACITY, n == 0);
        std::printf("%d\t%s\n", static_cast<int>(result), reply.c_str());
        std::fflush(stdout);
        if (result != comm::RESULT_OK) break;
    }
    cli.link.close_port();
    return static_cast<int>(result);
}

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"send", "send [--lines K] TEXT      send one command line, print each reply as CODE<TAB>TEXT", run_send},
    };
    return table;
}

void print_help() {
    std::printf(
        "usage: tq740-cli [--port N | --device PATH] [--yes] [--no-clock-check] COMMAND [ARGS...]\n"
        "\n"
        "  --port N          use COMN (1..8) instead of the port in the settings\n"
        "  --device PATH     open this serial device directly\n"
        "  --yes             answer Yes to every question (default: No)\n"
        "  --no-clock-check  skip the calibrator clock check for this run\n"
        "\n"
        "commands:\n");
    for (const auto& c : commands()) std::printf("  %s\n", c.usage);
}

void on_interrupt(int) { Console_ui::interrupted = true; }

}  // namespace

int run_cli(const std::vector<std::string>& args) {
    Common_options options;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--port") {
            if (i + 1 >= args.size()) return usage_error("--port needs a number");
            const auto n = parse_int(args[++i]);
            if (!n || *n < 1 || *n > 8) return usage_error("--port takes 1 to 8");
            options.port = *n;
        } else if (a == "--device") {
            if (i + 1 >= args.size()) return usage_error("--device needs a path");
            options.device = args[++i];
        } else if (a == "--yes") {
            options.yes = true;
        } else if (a == "--no-clock-check") {
            options.no_clock_check = true;
        } else if (a == "--help" || a == "-h") {
            options.help = true;
        } else {
            rest.push_back(a);
        }
    }
    if (options.help || rest.empty()) {
        print_help();
        return rest.empty() && !options.help ? 64 : 0;
    }

    const Command* command = nullptr;
    for (const auto& c : commands())
        if (rest.front() == c.name) command = &c;
    if (!command) return usage_error("unknown command '" + rest.front() + "'");

    shell::Data_folders folders;
    shell::find_data_folders(folders);
    const shell::Ini_file ini(folders.app_data.empty() ? std::string() : shell::ini_path(folders));
    Cli cli(options, folders, shell::read_settings(ini));

    std::signal(SIGINT, on_interrupt);
    return command->run(cli, std::vector<std::string>(rest.begin() + 1, rest.end()));
}

}  // namespace ui::console
