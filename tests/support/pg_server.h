// A private PostgreSQL server for the tests that keep records on a server.
//
// start() creates a database cluster in a new folder /tmp/tq740-pg-XXXXXX
// (initdb, superuser role tq740, UTF8, locale en_US.UTF-8) and starts the
// server listening only on a Unix socket in that folder (no TCP port), so
// servers of tests running at once never meet.  Local connections are
// trusted, except for the role tq740_pw, which must give its password
// (scram-sha-256); a test creates that role when it needs one.
//
// PostgreSQL refuses to run as root: when the tests run as root, the server
// programs run as the user nobody (runuser), who is given the folder.  The
// server programs are taken from $TQ740_PG_BINDIR, else from the newest
// /usr/lib/postgresql/<version>/bin.
//
// The destructor stops the server and removes the folder.  Should the test
// process be killed before (a ctest time-out), a watcher process left in the
// background at start() stops the server and removes the folder when it
// sees the test process gone.
//
// Every call waits a bounded time (at most about 30 s); a call that fails
// returns false and reason() says why, with the end of the server's log
// when the server would not start.
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
    // The server dies at once, without a checkpoint (pg_ctl stop -m immediate),
    // as after a crash: committed transactions stay, the others are lost.
    bool kill();
    // Starts the server again on the same data (after kill() or stop()).
    bool restart();
    // A clean shutdown (pg_ctl stop -m fast); the data stay for restart().
    bool stop();

    // The records address of a database on this server:
    // postgresql://USER@%2Ftmp%2Ftq740-pg-XXXXXX:5432/DATABASE
    std::string url(const std::string& database, const std::string& user = "tq740") const;

    // Runs SQL statements in the database as tq740 (psql, stopping at the
    // first error); output receives what they printed, unaligned, one row a
    // line, columns separated by "|", without the last newline.
    bool sql(const std::string& database, const std::string& statement, std::string* output = nullptr);
    bool create_database(const std::string& name);

    // The process id of the running server (its postmaster), -1 when none.
    int postmaster_pid() const;
    const std::string& socket_folder() const { return folder_; }
    const std::string& reason() const { return reason_; }

    static constexpr int port = 5432;

private:
    bool fail(const std::string& why);
    bool pg_ctl(const std::string& action, const std::string& mode);
    void start_watcher();
    std::string log_tail() const;

    std::string bin_;        // the folder of the server programs
    std::string folder_;     // socket, data/ and server.log
    std::string reason_;
    int watcher_ = -1;       // the write end of the watcher's pipe
};

}  // namespace test
