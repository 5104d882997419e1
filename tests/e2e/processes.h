// Running the built programs as processes in the end-to-end tests: the
// simulator in the background, the command-line program to completion.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

using Clock = std::chrono::steady_clock;

inline int elapsed_ms(Clock::time_point since) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// A temporary folder, removed with its content.
struct Temp_dir {
    Temp_dir() {
        char pattern[] = "/tmp/tq740-sim-e2e-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~Temp_dir() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string path;
};

// The simulator process: started with its arguments, stopped with SIGTERM.
class Sim_process {
public:
    explicit Sim_process(const std::vector<std::string>& args, const std::string& config_home = "") {
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::close(out[1]);
            if (!config_home.empty()) ::setenv("XDG_CONFIG_HOME", config_home.c_str(), 1);
            std::vector<char*> argv;
            std::string program = TQ740_SIM;
            argv.push_back(program.data());
            std::vector<std::string> copy = args;
            for (auto& a : copy) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        stdout_ = out[0];
        first_line_ = read_stdout_line(5000);
        if (first_line_.rfind("device: ", 0) == 0) device_ = first_line_.substr(8);
    }
    ~Sim_process() {
        stop();
        if (stdout_ >= 0) ::close(stdout_);
    }

    // A further line of standard output.
    std::string read_stdout_line(int timeout_ms) {
        std::string line;
        auto start = Clock::now();
        while (elapsed_ms(start) < timeout_ms) {
            pollfd p {stdout_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char c;
            if (::read(stdout_, &c, 1) != 1) break;
            if (c == '\n') return line;
            line += c;
        }
        return line;
    }

    // SIGTERM, then the exit status (-1 when it had to be killed).
    int stop() {
        if (pid_ <= 0) return status_;
        ::kill(pid_, SIGTERM);
        auto start = Clock::now();
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (elapsed_ms(start) > 5000) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                pid_ = -1;
                return status_ = -1;
            }
            ::poll(nullptr, 0, 20);
        }
        pid_ = -1;
        return status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string& device() const { return device_; }
    const std::string& first_line() const { return first_line_; }

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    int status_ = -1;
    std::string first_line_;
    std::string device_;
};

// What a finished program left.
struct Run_result {
    int status = -1;      // exit status, -1 when it did not exit normally
    std::string output;   // standard output
    std::string errors;   // standard error
    double cpu_seconds = 0;  // user and system time the program used
    int ms_after_signal = -1;  // from the last signal of Run_extras to the program's end
};

// What a test does to the program besides running it: set up the child
// before exec (a resource limit), or send it a signal once its standard
// error holds a text (Ctrl+C during a wait); each repeat of the text sends it again.
struct Run_extras {
    std::function<void()> in_child;
    int signal = 0;
    std::string signal_when_errors_hold;
};

// Runs a program to completion with XDG_CONFIG_HOME (and HOME) pointed at
// config_home, so it never sees the user's own settings.
inline Run_result run_program(const std::string& program, const std::vector<std::string>& args,
                              const std::string& config_home, const Run_extras& extras = {}) {
    Run_result result;
    int out[2], err[2];
    if (::pipe(out) != 0) return result;
    if (::pipe(err) != 0) return result;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (int fd : {out[0], out[1], err[0], err[1]}) ::close(fd);
        ::setenv("XDG_CONFIG_HOME", config_home.c_str(), 1);
        ::setenv("HOME", config_home.c_str(), 1);
        // The calibration records go under that home too.
        ::unsetenv("XDG_DATA_HOME");
        if (extras.in_child) extras.in_child();
        std::vector<std::string> copy = args;
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (auto& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    // Both pipes are drained together so neither can fill up and stall the program.
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.output, &result.errors};
    int open_pipes = 2;
    std::size_t signalled_at = 0;  // where in the errors the marker was last found
    Clock::time_point signalled{};  // when the signal was last sent
    while (open_pipes > 0 && ::poll(fds, 2, 60000) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open_pipes;
            }
        }
        if (extras.signal != 0 && !extras.signal_when_errors_hold.empty()) {
            const std::size_t found = result.errors.find(extras.signal_when_errors_hold, signalled_at);
            if (found != std::string::npos) {
                ::kill(pid, extras.signal);
                signalled = Clock::now();
                signalled_at = found + 1;
            }
        }
    }
    for (const auto& f : fds)
        if (f.fd >= 0) ::close(f.fd);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (signalled != Clock::time_point{}) result.ms_after_signal = elapsed_ms(signalled);
    result.cpu_seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return result;
}

}  // namespace e2e
