// tq740-cli ports: Configure > Serial Adapters from a shell.
//
//   tq740-cli ports                 the serial devices and what COM1..COM8 open
//   tq740-cli ports map N DEVICE    make COMN open DEVICE (--yes replaces a
//                                   link made by the simulator or by hand)
#pragma once

#include <string>
#include <vector>

#include "ui/console/console_ui.h"

namespace ui::console {

// Runs "ports ARGS..." (args after "ports") over the links in
// app_data_folder; questions go through ui.  Returns the exit status.
int run_ports(const std::vector<std::string>& args, const std::string& app_data_folder, Console_ui& ui);

// The usage lines of ports.
const char* ports_usage();

}  // namespace ui::console
