// Serves the engine on a pseudo-terminal that behaves like a serial line.
#pragma once

#include <csignal>
#include <functional>
#include <string>

#include "line_session.h"
#include "time_source.h"

namespace sim {

struct Pty {
    int master = -1;
    int slave = -1;          // kept open so the master never reads EIO
    std::string slave_name;  // /dev/pts/K
};

// Opens a pseudo-terminal in raw mode (no echo, no CR/LF translation).
bool open_pty(Pty& pty, std::string& error);
void close_pty(Pty& pty);

// Makes path a symbolic link to target.  An existing symbolic link that
// points into /dev/pts/ (left by an earlier simulator) is replaced; anything
// else at path is left alone and the call fails, so that a user's own port
// mapping is never overwritten.
bool make_link(const std::string& path, const std::string& target, std::string& error);
// Removes path if it is still a link to target.
void remove_link(const std::string& path, const std::string& target);

// Reads and writes the master until stop becomes non-zero.  after_each_turn
// runs after every wake-up (used to save the state file).  Returns false with
// error when the pty fails.
bool serve(const Pty& pty, Line_session& session, Time_source& time, const volatile std::sig_atomic_t& stop,
           const std::function<void()>& after_each_turn, std::string& error);

}  // namespace sim
