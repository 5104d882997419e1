// tq740-cli: the program's calibrator operations from a shell.
//
//   tq740-cli [--port N | --device PATH] [--yes] [--no-clock-check] COMMAND [ARGS...]
//
// The common options may stand before or after the command name.
#pragma once

#include <string>
#include <vector>

namespace ui::console {

// Runs the command line (without the program name) and returns the exit status.
int run_cli(const std::vector<std::string>& args);

}  // namespace ui::console
