// A private PostgreSQL server for the tests that keep records on a server,
// started with scripts/private-postgres.sh: a cluster in a new folder under
// /tmp listening only on a Unix socket there (no TCP port), so servers of
// tests running at once never meet.  Role tq740 is trusted; role tq740_pw,
// when a test creates it, must give its password.  As root the server runs
// as nobody.
//
// The destructor stops the server and removes the folder; should the test
// process be killed first (a ctest time-out), the script's watcher does.
// A call that fails returns false and reason() says why (with the end of the
// server's log when it would not start).  Every call is bounded in time.
#pragma once

#include <string>

namespace test {

class Pg_server {
public:
    Pg_server() = default;
    ~Pg_server();
    Pg_server(const Pg_server&) = delete;
    Pg_server& operator=(const Pg_server&) = delete;

    // Creates the cluster and starts the server.
    bool start();
    // The server dies at once, as in a crash: committed transactions stay.
    bool kill();
    // Starts the server again on the same data.
    bool restart();

    // postgresql://USER@%2Ftmp%2Ftq740-pg-XXXXXX:5432/DATABASE
    std::string url(const std::string& database, const std::string& user = "tq740") const;
    // Runs SQL statements in the database as tq740; output gets the rows,
    // unaligned, one a line, columns separated by "|".
    bool sql(const std::string& database, const std::string& statement, std::string* output = nullptr);
    bool create_database(const std::string& name) { return sql("postgres", "CREATE DATABASE \"" + name + "\""); }
    const std::string& reason() const { return reason_; }

private:
    bool run(const std::string& command, const std::string& argument, std::string* output = nullptr);

    std::string folder_;
    std::string reason_;
};

}  // namespace test
