// The simulator's command line.
#pragma once

#include <string>
#include <vector>

#include "engine.h"
#include "line_session.h"

namespace sim {

struct Sim_options {
    Engine_config engine;
    Timing_options timing;
    bool demo = false;
    bool full = false;
    bool log = false;
    std::string state_file;
    int port = 0;          // 1..8: make <application data folder>/COMn point at the pty
    std::string link;      // a link at this path instead
    bool help = false;
};

// Parses the arguments after the program name.  False with a message in
// error for an unknown option, a missing or malformed value.
bool parse_options(const std::vector<std::string>& args, Sim_options& options, std::string& error);

std::string usage_text();

}  // namespace sim
