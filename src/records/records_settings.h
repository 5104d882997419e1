// The records' settings (section [records] of the settings file) and the
// recording of every successful upload.
#pragma once

#include <string>

#include "records/due_dates.h"
#include "shell/ini_file.h"

namespace shell {
class Program;
}

namespace records {

struct Records_settings {
    std::string database;          // key `database`: the database file or server address ("": the default file)
    bool record_uploads = true;    // key `record_uploads`: 0 turns recording of uploads off
    // key `interval_days`: the calibration interval of a tag without its own
    // (a value that is not a whole number from 1 to 3650 gives the default)
    int interval_days = default_interval_days;
};

// Reads section [records] of the settings file (never writes it).
Records_settings read_records_settings(const std::string& ini_path);
// The database file these settings name: the setting, else records.sqlite
// in the data folder (empty: the default_database_path()).
std::string database_path(const Records_settings& settings, const std::string& data_folder = {});

// Records the reports an upload has just put in the Reports list, and puts
// "Recorded N calibrations (M already recorded)" in the status line.  A
// failure shows its reason as an error message; the reports stay in the
// list, unsaved.  Returns false on failure.
bool record_uploaded_reports(shell::Program& program, const std::string& database);

// The start-up status line's "3 tags overdue for calibration" when any tag
// of the database is overdue on `today`; "" when none is, or when there is
// no database or it cannot be read (the start-up goes on without a message).
std::string overdue_status_text(const std::string& database, int interval_days, const Date_time& today);

}  // namespace records
