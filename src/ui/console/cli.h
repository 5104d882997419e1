// tq740-cli: the program's calibrator operations from a shell.
//
//   tq740-cli [--port N | --device PATH] [--yes] [--no-clock-check] COMMAND [ARGS...]
//
// The common options may stand before or after the command name.
#pragma once

#include <string>
#include <vector>

namespace ui::console {

// Exit statuses besides 0 (done) and 1 (failed, with its message on
// standard error); send exits with its last result code instead.
constexpr int EXIT_DECLINED = 10;  // a question was answered No (no --yes), so the command did nothing more
constexpr int EXIT_USAGE = 64;     // the command line is wrong

// Runs the command line (without the program name) and returns the exit status.
int run_cli(const std::vector<std::string>& args);

// True when the command line prints into a PDF file, which needs a GUI
// application object (fonts and painting) rather than a core one.
bool needs_painting(const std::vector<std::string>& args);

}  // namespace ui::console
