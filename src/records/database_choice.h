// Records > Database...: where the calibration records are kept.
//
// Database_choice is the dialog's logic: the database in use, the user's
// choice between the default file, another file and a PostgreSQL server,
// the check of what was typed, Test Connection and the saving of the choice
// in key `database` of section [records] of the settings file (empty: the
// default file).  The dialog only mirrors it, so the tests see what the
// user sees.  A password is never shown and never saved: an address holding
// one is refused (the password belongs in ~/.pgpass or PGPASSWORD).
#pragma once

#include <functional>
#include <string>

#include "ui/ui.h"

namespace records {

class Database_choice {
public:
    enum class Kind { default_file, other_file, server };

    // ui shows the refusals and the file picker; ini_path is the settings
    // file; default_file the database used when the setting is empty.  The
    // choice starts as the database in use.
    Database_choice(ui::Ui& ui, std::string ini_path, std::string default_file);

    // ---- The database in use ----
    // "/home/tech/.local/share/NORVATQ740/records.sqlite (the default file)",
    // "/srv/shared/records.sqlite" or "postgresql://tq@db.example/records"
    // (an address is shown without any password).
    std::string current_line() const;
    bool current_is_default() const { return current_.empty(); }
    const std::string& default_file() const { return default_file_; }

    // ---- The choice ----
    // Every change empties the result of an earlier Test Connection.
    Kind kind() const { return kind_; }
    void choose(Kind kind);
    // The path and the address as typed (each kept while another kind is chosen).
    const std::string& file() const { return file_; }
    void set_file(const std::string& path);
    const std::string& address() const { return address_; }
    void set_address(const std::string& text);
    // Browse...: the file picker, starting in the folder of the file typed
    // (else of the default file), or the nearest folder above it that
    // exists; a file chosen becomes "another file".
    void browse();

    // What the settings file would hold for the choice: "" for the default
    // file, the whole path (a leading "~/" made the home folder), or the
    // address; blanks around what was typed are dropped.
    std::string setting() const;
    // The database the choice names: the file, or the address.
    std::string location() const;
    // "" when the choice checks out, else why not: a path or address
    // missing, a path that is not whole, names a folder or is an address,
    // an address that parse_location refuses (its message as it is).
    std::string problem() const;

    // ---- Test Connection ----
    // Opens the database chosen and puts one line in result():
    //  - a file that exists is opened read-only (a test never changes it):
    //    "Connected: 1,234 calibrations recorded.", or that it cannot be
    //    written, or the store's error as it is;
    //  - a file that does not exist is not made: the line says it will be
    //    made at the first recording, or why its folder cannot be made;
    //  - a server is opened for writing, as the first recording would, so
    //    that the tables are made and the login's right to write is proven
    //    now rather than at the first upload.
    // shown_connecting runs once result() says "Connecting to ...", before
    // the wait (the dialog repaints there).  A choice that does not check
    // out gives its problem() without connecting.
    void test_connection(const std::function<void()>& shown_connecting = {});
    const std::string& result() const { return result_; }

    // ---- OK ----
    // Writes the choice to the settings file.  False, with the reason shown
    // as an error message and nothing changed, when the choice does not
    // check out or the settings file cannot be written.
    bool save();

private:
    void changed() { result_.clear(); }

    ui::Ui& ui_;
    std::string ini_path_;
    std::string default_file_;
    std::string current_;          // the setting in use ("" for the default file)
    Kind kind_ = Kind::default_file;
    std::string file_;
    std::string address_;
    std::string result_;
};

// "1,234": a count with its thousands grouped, as the result line shows it.
std::string grouped_count(long long count);

// Records > Database...: the dialog over the settings file's choice.  When
// a new choice is saved the status line names the database now in use;
// returns true then.
bool database_command(ui::Ui& ui, const std::string& ini_path, const std::string& data_folder);

}  // namespace records
