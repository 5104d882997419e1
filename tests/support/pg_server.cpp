#include "pg_server.h"

#include <unistd.h>

#include <cstdio>

namespace test {

namespace {

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

// Runs the script's command on this server's folder (start: none) with more
// arguments; output gets what it printed, without the last line break.
bool Pg_server::run(const std::string& command, const std::string& arguments, std::string* output) {
    const std::string line = "timeout 90 " + quoted(TQ740_SOURCE_DIR "/scripts/private-postgres.sh") + " " + command +
                             (folder_.empty() ? "" : " " + quoted(folder_)) + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(line.c_str(), "r");
    std::string text;
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    const bool ok = pipe && ::pclose(pipe) == 0;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (!ok) reason_ = command + ": " + (pipe ? text : "cannot run " + line);
    if (output) *output = text;
    return ok;
}

bool Pg_server::start() {
    std::string folder;
    if (!run("start", "--watch " + std::to_string(::getpid()), &folder)) return false;
    folder_ = folder;
    return true;
}

Pg_server::~Pg_server() {
    if (!folder_.empty()) run("stop", "");
}

bool Pg_server::kill() { return run("kill", ""); }
bool Pg_server::restart() { return run("restart", ""); }

std::string Pg_server::url(const std::string& database, const std::string& user) const {
    std::string folder;
    for (const char c : folder_) folder += c == '/' ? std::string("%2F") : std::string(1, c);
    return "postgresql://" + user + "@" + folder + ":5432/" + database;
}

bool Pg_server::sql(const std::string& database, const std::string& statement, std::string* output) {
    return run("sql", quoted(database) + " " + quoted(statement), output);
}

}  // namespace test
