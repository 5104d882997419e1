// Where the records are kept: a database file (SQLite, embedded), or a
// database on a PostgreSQL server named by an address of the form
//   postgresql://USER@HOST[:PORT]/DBNAME[?sslmode=require&...]
// HOST may be a name, an IPv4 address, an IPv6 address in brackets, or a
// folder holding the server's Unix socket written with %2F for each "/"
// (postgresql://tq@%2Fvar%2Frun%2Fpostgresql/records).  The password is
// never part of the address: it comes from ~/.pgpass or PGPASSWORD, as for
// every PostgreSQL client, so that it is never kept in the settings file.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace records {

struct Database_location {
    enum class Kind { file, server };
    Kind kind = Kind::file;
    std::string text;       // as given; for a server without any password
    // Kind::file
    std::string file;
    // Kind::server
    std::string user;
    std::string host;       // a name, an address, or a socket folder (starts with "/")
    int port = 5432;
    std::string database;
    // The TLS options passed on to the client library, in the order given.
    std::vector<std::pair<std::string, std::string>> options;
};

// True when the text is a server address (it starts with "postgresql://"
// or "postgres://"); anything else is a file path.
bool is_server_address(std::string_view text);

struct Location_result {
    bool ok = false;
    Database_location location;
    std::string error;      // when not ok: what is wrong, naming the address (never its password)
};

// Reads a file path or a server address.  A path is taken as it is.
Location_result parse_location(const std::string& text);

// The address with any password taken out ("postgresql://tq:secret@db/r" ->
// "postgresql://tq@db/r"); anything else unchanged.
std::string without_password(const std::string& text);

}  // namespace records
