// tq740-sim: a calibrator on a pseudo-terminal.
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "demo_tags.h"
#include "shell/ini_file.h"
#include "engine.h"
#include "options.h"
#include "pty_host.h"
#include "shell/settings.h"
#include "link/port_names.h"

namespace {

volatile std::sig_atomic_t stop_requested = 0;

void request_stop(int) { stop_requested = 1; }

void install_signal_handlers() {
    struct sigaction action {};
    action.sa_handler = request_stop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: poll returns at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    shell::ignore_file_size_signal();
}

// Reads the state file; false (with a message) when it exists but cannot be
// used, so that a damaged file is never overwritten by an empty calibrator.
bool load_state(const std::string& path, sim::Tag_store& store, bool& found) {
    std::ifstream file(path, std::ios::binary);
    found = static_cast<bool>(file);
    if (!found) return true;
    std::stringstream content;
    content << file.rdbuf();
    std::string error;
    if (!sim::parse_state(content.str(), store, error)) {
        std::cerr << "tq740-sim: cannot use the state file " << path << ": " << error << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    sim::Sim_options options;
    std::string error;
    if (!sim::parse_options(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "tq740-sim: " << error << "\n" << sim::usage_text();
        return 2;
    }
    if (options.help) {
        std::cout << sim::usage_text();
        return 0;
    }

    sim::System_time_source time;
    sim::Engine engine(options.engine, time);
    bool state_found = false;
    if (options.demo) sim::load_demo_tags(engine.tags());
    if (options.full) sim::load_full_tags(engine.tags());
    if (!options.state_file.empty() && !load_state(options.state_file, engine.tags(), state_found)) return 2;

    auto save_state = [&]() {
        if (options.state_file.empty()) return;
        std::string save_error;
        if (shell::write_file_atomically(options.state_file, sim::serialize_state(engine.tags()), save_error) !=
            shell::Write_outcome::ok)
            std::cerr << "tq740-sim: cannot write " << options.state_file << ": " << save_error << "\n";
    };
    if (!options.state_file.empty() && !state_found) save_state();

    sim::Pty pty;
    if (!sim::open_pty(pty, error)) {
        std::cerr << "tq740-sim: " << error << "\n";
        return 1;
    }

    std::string link = options.link;
    if (options.port != 0) {
        shell::Data_folders folders;
        if (!shell::find_data_folders(folders)) {
            std::cerr << "tq740-sim: cannot find the application data folder\n";
            return 1;
        }
        shell::ensure_folder(folders.app_data);
        link = folders.app_data + "/" + comm::port_name(options.port);
    }
    if (!link.empty() && !sim::make_link(link, pty.slave_name, error)) {
        std::cerr << "tq740-sim: " << error << "\n";
        sim::close_pty(pty);
        return 1;
    }
    install_signal_handlers();

    std::cout << "device: " << pty.slave_name << std::endl;
    if (!link.empty()) std::cout << "link: " << link << std::endl;

    sim::Line_session session(engine, options.timing, [&](std::string_view entry) {
        if (options.log) std::cerr << entry << std::endl;
    });
    std::uint64_t saved_changes = engine.change_count();
    bool served = sim::serve(pty, session, time, stop_requested, [&]() {
        if (engine.change_count() == saved_changes) return;
        saved_changes = engine.change_count();
        save_state();
    }, error);

    if (!link.empty()) sim::remove_link(link, pty.slave_name);
    sim::close_pty(pty);
    if (!served) {
        std::cerr << "tq740-sim: " << error << "\n";
        return 1;
    }
    return 0;
}
