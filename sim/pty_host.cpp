#include "pty_host.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace sim {

namespace {

constexpr int IDLE_POLL_MS = 500;  // wake-up interval with nothing to do

std::string system_error(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

bool open_pty(Pty& pty, std::string& error) {
    char name[256] = {};
    if (::openpty(&pty.master, &pty.slave, name, nullptr, nullptr) != 0) {
        error = system_error("cannot open a pseudo-terminal");
        return false;
    }
    pty.slave_name = name;
    termios settings {};
    if (::tcgetattr(pty.slave, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::cfsetispeed(&settings, B9600);
        ::cfsetospeed(&settings, B9600);
        ::tcsetattr(pty.slave, TCSANOW, &settings);
    }
    ::fcntl(pty.master, F_SETFL, ::fcntl(pty.master, F_GETFL) | O_NONBLOCK);
    ::fcntl(pty.master, F_SETFD, FD_CLOEXEC);
    ::fcntl(pty.slave, F_SETFD, FD_CLOEXEC);
    return true;
}

void close_pty(Pty& pty) {
    if (pty.master >= 0) ::close(pty.master);
    if (pty.slave >= 0) ::close(pty.slave);
    pty.master = pty.slave = -1;
}

bool make_link(const std::string& path, const std::string& target, std::string& error) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        std::vector<char> old(4096);
        ssize_t size = S_ISLNK(info.st_mode) ? ::readlink(path.c_str(), old.data(), old.size() - 1) : -1;
        std::string old_target = size > 0 ? std::string(old.data(), static_cast<size_t>(size)) : std::string();
        if (old_target.rfind("/dev/pts/", 0) != 0) {
            error = path + " already exists" + (old_target.empty() ? "" : " and points at " + old_target) +
                    "; remove it or choose another port";
            return false;
        }
    }
    const std::string temporary = path + ".sim-" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0) {
        error = system_error("cannot create the link " + temporary);
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = system_error("cannot create the link " + path);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

void remove_link(const std::string& path, const std::string& target) {
    std::vector<char> buffer(4096);
    ssize_t size = ::readlink(path.c_str(), buffer.data(), buffer.size() - 1);
    if (size > 0 && std::string(buffer.data(), static_cast<size_t>(size)) == target) ::unlink(path.c_str());
}

bool serve(const Pty& pty, Line_session& session, Time_source& time, const volatile std::sig_atomic_t& stop,
           const std::function<void()>& after_each_turn, std::string& error) {
    std::string unwritten;  // reply bytes due but not yet taken by the pty
    char buffer[4096];
    while (!stop) {
        std::int64_t now = time.monotonic_us();
        std::int64_t due = session.next_due_us();
        int timeout = IDLE_POLL_MS;
        if (due >= 0) timeout = static_cast<int>(std::clamp<std::int64_t>((due - now + 999) / 1000, 0, timeout));

        pollfd descriptor {pty.master, POLLIN, 0};
        if (!unwritten.empty()) descriptor.events |= POLLOUT;
        int ready = ::poll(&descriptor, 1, timeout);
        if (ready < 0 && errno != EINTR) {
            error = system_error("poll");
            return false;
        }
        now = time.monotonic_us();
        if (ready > 0 && (descriptor.revents & POLLIN)) {
            ssize_t n = ::read(pty.master, buffer, sizeof buffer);
            if (n > 0) {
                session.receive(std::string_view(buffer, static_cast<size_t>(n)), now);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                // Should not happen while the slave stays open; wait a little
                // rather than spin.
                ::poll(nullptr, 0, 50);
            }
        }
        unwritten += session.take_due(now);
        while (!unwritten.empty()) {
            ssize_t n = ::write(pty.master, unwritten.data(), unwritten.size());
            if (n <= 0) break;
            unwritten.erase(0, static_cast<size_t>(n));
        }
        if (after_each_turn) after_each_turn();
    }
    return true;
}

}  // namespace sim
