#include "pg_server.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace test {

namespace {

// The user the server programs run as when the tests run as root.
constexpr const char* server_user = "nobody";
// The locale of the cluster: fixed, so that every machine's tests see the
// same sorting and messages, and not "C", so that they see what a plant's
// server does (text sorted by the language's rules, not by byte).
constexpr const char* cluster_locale = "en_US.UTF-8";

bool running_as_root() { return ::geteuid() == 0; }

// What a finished program left.
struct Run_result {
    int status = -1;        // exit status; -1 when it was killed or could not be started
    std::string output;
    std::string errors;
};

// Runs argv[0] (a path) in folder with standard input from /dev/null; kills it
// (and its process group) when it has not ended within timeout_ms.
Run_result run(const std::vector<std::string>& argv, const std::string& folder, int timeout_ms) {
    Run_result result;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return result;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return result;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        // The server must hold none of the test's files open (a pipe a test
        // reads to its end would never end).
        ::close_range(3, ~0U, 0);
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    if (pid < 0) {
        ::close(out[0]);
        ::close(err[0]);
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    auto left_ms = [&deadline] {
        return static_cast<int>(std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                            deadline - std::chrono::steady_clock::now())
                                                            .count()));
    };
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* texts[2] = {&result.output, &result.errors};
    int open_pipes = 2;
    while (open_pipes > 0 && left_ms() > 0) {
        if (::poll(fds, 2, left_ms()) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open_pipes;
            }
        }
    }
    for (const pollfd& p : fds)
        if (p.fd >= 0) ::close(p.fd);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (left_ms() == 0) {
            ::kill(-pid, SIGKILL);
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            result.errors += "\n" + argv[0] + " did not end within " + std::to_string(timeout_ms / 1000) + " s";
            return result;
        }
        ::poll(nullptr, 0, 10);
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (result.status == 127 && result.errors.empty()) result.errors = "cannot run " + argv[0];
    return result;
}

// The command line that runs a server program as the server's user.
std::vector<std::string> as_server_user(std::vector<std::string> argv) {
    if (!running_as_root()) return argv;
    const char* runuser = ::access("/usr/sbin/runuser", X_OK) == 0 ? "/usr/sbin/runuser" : "/sbin/runuser";
    argv.insert(argv.begin(), {runuser, "-u", server_user, "--"});
    return argv;
}

// $TQ740_PG_BINDIR, else the newest /usr/lib/postgresql/<version>/bin that
// has initdb; empty when there is none.
std::string find_server_programs() {
    if (const char* bin = std::getenv("TQ740_PG_BINDIR"); bin != nullptr && *bin != '\0') return bin;
    std::string newest;
    double newest_version = -1;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/usr/lib/postgresql", error)) {
        const std::string name = entry.path().filename().string();
        char* end = nullptr;
        const double version = std::strtod(name.c_str(), &end);
        if (end == name.c_str() || *end != '\0') continue;
        if (version > newest_version && ::access((entry.path() / "bin" / "initdb").c_str(), X_OK) == 0) {
            newest_version = version;
            newest = (entry.path() / "bin").string();
        }
    }
    return newest;
}

// Alive and not a zombie (the postmaster is not our child, so nobody here
// reaps it).
bool process_alive(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z' && line[close + 2] != 'X';
}

// The text with every character but letters, digits and "-._~" written %XX.
std::string percent_encoded(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace

Pg_server::~Pg_server() {
    if (folder_.empty()) return;
    if (postmaster_pid() > 0 && !stop()) {
        const int pid = postmaster_pid();
        if (pid > 0) ::kill(pid, SIGKILL);
    }
    std::error_code error;
    fs::remove_all(folder_, error);
    if (watcher_ >= 0) {
        // Tells the watcher that everything is cleaned up already.
        [[maybe_unused]] const ssize_t written = ::write(watcher_, "done\n", 5);
        ::close(watcher_);
    }
}

bool Pg_server::fail(const std::string& why) {
    reason_ = why;
    return false;
}

std::string Pg_server::log_tail() const {
    std::ifstream log(folder_ + "/server.log");
    std::deque<std::string> lines;
    for (std::string line; std::getline(log, line);) {
        lines.push_back(line);
        if (lines.size() > 15) lines.pop_front();
    }
    std::string tail = "server log " + folder_ + "/server.log, last lines:";
    for (const std::string& line : lines) tail += "\n  " + line;
    return lines.empty() ? "the server log is empty" : tail;
}

bool Pg_server::start() {
    if (!folder_.empty()) return fail("the server was started already");
    bin_ = find_server_programs();
    if (bin_.empty())
        return fail("no PostgreSQL server programs in /usr/lib/postgresql/<version>/bin "
                    "(install the package postgresql, or set TQ740_PG_BINDIR)");
    // Short: the socket's path must fit in 107 bytes.
    char pattern[] = "/tmp/tq740-pg-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return fail(std::string("cannot create a folder in /tmp: ") + std::strerror(errno));
    folder_ = pattern;
    start_watcher();
    ::chmod(folder_.c_str(), 0755);
    if (running_as_root()) {
        const passwd* user = ::getpwnam(server_user);
        if (user == nullptr) return fail(std::string("running as root, and there is no user ") + server_user +
                                         " to run the server as");
        if (::chown(folder_.c_str(), user->pw_uid, user->pw_gid) != 0)
            return fail("cannot give " + folder_ + " to " + server_user + ": " + std::strerror(errno));
    }

    const std::string data = folder_ + "/data";
    const Run_result init = run(as_server_user({bin_ + "/initdb", "-D", data, "-U", "tq740", "--auth=trust", "-E",
                                                "UTF8", std::string("--locale=") + cluster_locale, "--no-sync"}),
                                folder_, 60000);
    if (init.status != 0) return fail("initdb failed: " + trimmed(init.output + init.errors));

    std::ofstream conf(data + "/postgresql.conf", std::ios::app);
    conf << "\n# A private test server: its own socket only, no TCP port.\n"
         << "listen_addresses = ''\n"
         << "unix_socket_directories = '" << folder_ << "'\n"
         << "port = " << port << "\n"
         // Nothing is forced to disk (a test server outlives no machine crash),
         // but every commit is written before it returns, so a killed server
         // still has every committed transaction.
         << "fsync = off\n"
         << "full_page_writes = off\n"
         << "max_connections = 50\n"
         << "shared_buffers = 32MB\n";
    std::ofstream hba(data + "/pg_hba.conf", std::ios::trunc);
    hba << "local all tq740_pw scram-sha-256\n"
        << "local all all trust\n";
    conf.close();
    hba.close();
    if (!conf || !hba) return fail("cannot write the configuration in " + data);
    return restart();
}

bool Pg_server::pg_ctl(const std::string& action, const std::string& mode) {
    std::vector<std::string> argv = {bin_ + "/pg_ctl", "-D", folder_ + "/data", "-l", folder_ + "/server.log",
                                     "-w", "-t", "20", action};
    if (!mode.empty()) argv.insert(argv.end(), {"-m", mode});
    const Run_result r = run(as_server_user(argv), folder_, 30000);
    if (r.status == 0) return true;
    reason_ = "pg_ctl " + action + (mode.empty() ? "" : " -m " + mode) + " failed: " + trimmed(r.output + r.errors);
    return false;
}

bool Pg_server::restart() {
    if (folder_.empty()) return fail("the server was never started");
    if (pg_ctl("start", "")) return true;
    return fail(reason_ + "\n" + log_tail());
}

bool Pg_server::kill() {
    if (folder_.empty()) return fail("the server was never started");
    return pg_ctl("stop", "immediate");
}

bool Pg_server::stop() {
    if (folder_.empty()) return fail("the server was never started");
    return pg_ctl("stop", "fast") || pg_ctl("stop", "immediate");
}

int Pg_server::postmaster_pid() const {
    if (folder_.empty()) return -1;
    std::ifstream pid_file(folder_ + "/data/postmaster.pid");
    int pid = -1;
    if (!(pid_file >> pid) || pid <= 0 || !process_alive(pid)) return -1;
    return pid;
}

std::string Pg_server::url(const std::string& database, const std::string& user) const {
    return "postgresql://" + percent_encoded(user) + "@" + percent_encoded(folder_) + ":" + std::to_string(port) +
           "/" + percent_encoded(database);
}

bool Pg_server::sql(const std::string& database, const std::string& statement, std::string* output) {
    if (folder_.empty()) return fail("the server was never started");
    const std::string file = folder_ + "/statement.sql";
    {
        std::ofstream out(file, std::ios::trunc);
        out << statement << "\n";
        if (!out) return fail("cannot write " + file);
    }
    const Run_result r = run({bin_ + "/psql", "-X", "-q", "-A", "-t", "-v", "ON_ERROR_STOP=1", "-h", folder_, "-p",
                              std::to_string(port), "-U", "tq740", "-d", database, "-f", file},
                             folder_, 20000);
    std::error_code error;
    fs::remove(file, error);
    if (output != nullptr) *output = r.output.empty() || r.output.back() != '\n' ? r.output : r.output.substr(0, r.output.size() - 1);
    if (r.status == 0) return true;
    return fail("psql in " + database + ": " + trimmed(r.errors.empty() ? r.output : r.errors));
}

bool Pg_server::create_database(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return sql("postgres", "CREATE DATABASE " + quoted + "\"");
}

// A shell left in the background, in a session of its own so that a ctest
// time-out (which kills the test process and its children) spares it.  It
// waits on a pipe whose only writer is this process: when the test process
// dies without the destructor having said "done", it stops the server at
// once and removes the folder.
void Pg_server::start_watcher() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return;
    const std::string script =
        "folder=$1; shift; read -r word; [ \"$word\" = done ] && exit 0; \"$@\" >/dev/null 2>&1; rm -rf \"$folder\"";
    std::vector<std::string> argv = {"/bin/sh", "-c", script, "sh", folder_};
    for (const std::string& a : as_server_user({bin_ + "/pg_ctl", "-D", folder_ + "/data", "stop", "-m", "immediate",
                                                "-w", "-t", "10"}))
        argv.push_back(a);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();
        if (::fork() != 0) ::_exit(0);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(ends[0], 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::close_range(3, ~0U, 0);
        if (::chdir("/") != 0) ::_exit(126);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(ends[0]);
    if (pid < 0) {
        ::close(ends[1]);
        return;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    watcher_ = ends[1];
}

}  // namespace test
