// The records database: every calibration recorded, one class over
// QSqlDatabase.  No SQL is written anywhere else.
//
// The embedded default is an SQLite file (WAL journal, foreign keys on); a
// plant keeps its records on a PostgreSQL server instead, named by an
// address (database_location.h).  The statements are portable SQL, and what
// differs between the two (connection options, the journal, taking the
// write lock, the type of the record number) is kept in one place in the
// .cpp.  Several programs may write into one database at once: every write
// holds the database's write lock (SQLite's, or an advisory lock on the
// server) while it reads the chain's last link and appends to it.
//
// Every write is one transaction: one report file, or one upload.  A crash
// at any moment leaves the database as it was before it.  The identity of a
// calibration is tag ID + calibrated date and time + calibrator serial
// number (a unique key, so two processes recording the same calibration at
// once record it once: the second counts it as already recorded).  A
// calibration whose identity is recorded with the same values is "already
// recorded"; with different values it is refused and nothing of its file or
// upload is recorded.
//
// The schema version is kept in the database: an older file is brought up
// to date when opened for writing; a newer one is refused and left alone.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "records/calibration_record.h"
#include "records/report_reader.h"

class QSqlDatabase;
class QSqlError;

namespace records {

// The schema version this program writes.  Version 2 added the tags' own
// calibration intervals.
inline constexpr int schema_version = 2;

// The default database: $XDG_DATA_HOME/NORVATQ740/records.sqlite.
std::string default_database_path();

struct Store_options {
    bool read_only = false;        // open without writing anything (list, show, verify, export)
    // Wait this long for another program's write lock; 0: 5 s for a file,
    // 60 s on a server, where several technicians' imports take turns.
    int busy_timeout_ms = 0;
    long long max_pages = 0;       // limit the database to this many pages (0: no limit)
    // Called between short waits while another program holds the write
    // lock (the desktop program handles its window events there); the whole
    // wait still ends after busy_timeout_ms.  Empty: the wait is one sleep.
    std::function<void()> while_locked = {};
    int connect_timeout_s = 10;    // a database server that does not answer within this is unreachable
};

// What one write did.
struct Record_counts {
    bool ok = false;
    int recorded = 0;              // calibrations newly recorded
    int already_recorded = 0;      // calibrations that were recorded before
    bool refused = false;          // not ok because of the reports (a calibration in conflict)
    bool database_failed = false;  // not ok because the database failed (not the reports)
    std::string error;             // the message when not ok (names the file and the reason)
};

// What a copy into another database did.
struct Copy_result {
    bool ok = false;
    long long copied = 0;              // records newly recorded in the target
    long long already_recorded = 0;    // records the target held already
    std::vector<std::string> conflicts;  // records the target holds with other values (not copied)
    std::string error;                 // the copy stopped: either database failed
};

// One file of an import.
struct File_import {
    std::string path;
    Record_counts counts;
};

// What verify found.
struct Verify_result {
    bool ok = false;               // every hash and link matches
    long long records = 0;         // records checked
    std::optional<Recorded_calibration> first_bad;  // the first record that does not match
    std::string error;             // the database could not be read
};

class Record_store {
public:
    // location: a database file, or a server address (database_location.h).
    explicit Record_store(std::string location, Store_options options = {});
    ~Record_store();
    Record_store(const Record_store&) = delete;
    Record_store& operator=(const Record_store&) = delete;

    // Opens (creating the folder and the file when writing) and checks the
    // schema.  False with error() set: not a database, a newer schema, a
    // folder that cannot be made, ...
    bool open();
    bool is_open() const;
    // The file or the server address, as given (an address never holds a password).
    const std::string& path() const { return path_; }
    bool is_server() const;
    // The last failure's message, naming the file or the server.
    const std::string& error() const { return error_; }

    // ---- Reading ----
    // Every tag recorded, sorted by tag ID without regard to case.
    std::vector<Tag_summary> tag_summaries();
    // The calibrations of one tag (the ID exactly), oldest first or newest first.
    enum class Order { oldest_first, newest_first };
    std::vector<Recorded_calibration> calibrations_of(const std::string& tag_id, Order order);
    // The report lines recorded with a calibration (empty when none).
    std::vector<std::string> report_lines(long long id);
    long long record_count();

    // ---- Writing ----
    // Records the reports read from one source in one transaction.
    Record_counts record(const std::vector<Read_report>& reports, const std::string& source);
    // Records the reports of an upload (the Reports list's lines); source
    // names the calibrator.
    Record_counts record_upload(const reports::Report_lines& lines, const std::string& calibrator);
    // Reads and records one report file (one transaction).
    File_import import_file(const std::string& path);
    // Each file in turn; a refused file does not stop the others, a failed
    // database does (the files after it are not in the result).
    std::vector<File_import> import_files(const std::vector<std::string>& paths);

    // ---- Calibration intervals ----
    // The tags that have their own interval, with it in days (a tag at the
    // default is absent).  Empty for a file older than the intervals.
    std::map<std::string, int> intervals();
    // One tag's own interval; nothing when it has none (it takes the default).
    std::optional<int> interval_of(const std::string& tag_id);
    // Gives a recorded tag its own interval (min_interval_days..max_interval_days
    // of due_dates.h), replacing any it had.  False with error() set, nothing
    // changed: the tag has no calibration recorded (the ID exactly), the
    // interval is out of range, or the write failed.
    bool set_interval(const std::string& tag_id, int days);

    // ---- Checking and export ----
    // Recomputes every record's content hash (from its values and from its
    // report lines read again) and every link, in recording order.
    Verify_result verify();
    // One row per point per calibration, RFC 4180, written atomically.
    bool export_csv(const std::string& file);

    // Records every record of this database in the target (open for
    // writing), oldest first, a batch to a transaction.  Each keeps its
    // values, report lines, source and recording time, so its content hash;
    // its link is the target's.  A record the target holds already is
    // counted, not doubled; one it holds with other values is listed and not
    // copied.  A failure stops the copy after the last whole batch.
    Copy_result copy_to(Record_store& target);

private:
    struct Pending;
    struct Stored;
    bool open_connection();
    bool connect(bool& locked);
    // The message of a failed write: the lock that stayed taken, or the reason.
    std::string write_failure(const QSqlError& error) const;
    // Records the calibrations in one transaction.  A copy keeps each one's
    // source and time, and lists a calibration in conflict instead of
    // refusing the whole write.
    Record_counts write(const std::vector<Pending>& pending, bool copy, std::vector<std::string>* conflicts);
    // Up to `limit` records after record number `after`, in recording order,
    // with their points and report lines.  False with error_ set.
    bool read_batch(long long after, int limit, std::vector<Stored>& batch);
    // Every record in recording order, a batch at a time, in one snapshot (a
    // recording running meanwhile is not half seen), each batch handed to
    // `visit` until it returns false.  False with error_ set when the
    // database cannot be read.
    bool each_batch(const std::function<bool(const std::vector<Stored>&)>& visit);

    struct Impl;
    std::string path_;
    Store_options options_;
    std::string error_;
    std::unique_ptr<Impl> impl_;
};

// "Recorded 11 calibrations (2 already recorded)".
std::string counts_text(const Record_counts& counts);
// "FILE: N recorded, M already recorded" for a file recorded, or the
// refusal's message.
std::string file_import_text(const File_import& file);

}  // namespace records
