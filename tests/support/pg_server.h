// A private PostgreSQL server for a test, run by scripts/private-postgres.sh
// (which says what it is).  The destructor stops it and removes its folder,
// as the script's watcher does should the test be killed first.  A failed
// call returns false with reason(); every call is bounded in time.
#pragma once

#include <string>

namespace test {

class Pg_server {
public:
    Pg_server() = default;
    ~Pg_server();
    Pg_server(const Pg_server&) = delete;
    Pg_server& operator=(const Pg_server&) = delete;

    bool start();
    bool kill();      // dies at once, as in a crash: committed transactions stay
    bool restart();   // on the same data

    std::string url(const std::string& database, const std::string& user = "tq740") const;
    // As tq740; output gets the rows, one a line, columns separated by "|".
    bool sql(const std::string& database, const std::string& statement, std::string* output = nullptr);
    bool create_database(const std::string& name) { return sql("postgres", "CREATE DATABASE \"" + name + "\""); }
    const std::string& reason() const { return reason_; }

private:
    bool run(const std::string& command, const std::string& argument, std::string* output = nullptr);

    std::string folder_;
    std::string reason_;
};

}  // namespace test
