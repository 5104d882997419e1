#include "records/record_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include <QDateTime>
#include <QElapsedTimer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QVariant>

#include "records/database_location.h"
#include "records/due_dates.h"
#include "records/record_chain.h"
#include "resources/due_strings.h"
#include "resources/records_server_strings.h"
#include "resources/records_strings.h"
#include "resources/strings.h"
#include "shell/ini_file.h"
#include "shell/settings.h"

namespace records {

namespace {

// ---- What differs between database systems: this block only. ----
//
// The statements of this file are portable SQL.  Each database system has
// its driver, its way of being reached, its session settings, the type of
// the record number, and its way of taking the write lock at the start of a
// transaction, so that the chain's last link cannot change between reading
// it and adding the next.  SQLite locks the whole file (BEGIN IMMEDIATE); a
// PostgreSQL server lets other programs read and write meanwhile, so every
// writer takes one advisory lock of the database for its transaction.

// The slice of a wait for the write lock between two calls of while_locked.
constexpr int lock_slice_ms = 50;
// The advisory lock every writer of a PostgreSQL database holds while it
// appends to the chain ("TQ740" in ASCII).
constexpr long long chain_lock_key = 0x5451373430LL;
// The oldest PostgreSQL server the statements are written for.
constexpr int min_server_version = 120000;

struct Dialect {
    const char* driver;
    const char* record_number;               // the column type of the record number
    std::vector<std::string> begin_write;    // a transaction holding the write lock
    const char* begin_read;                  // a transaction reading one snapshot
    const char* table_exists;                // counts the tables named ? of the database
    const char* text_order;                  // after a text column in ORDER BY: byte order
    int busy_timeout_ms;                     // the usual wait for another writer's lock
    const char* probe;                       // fails when it is not a database; a server's version number
    std::vector<std::string> write_setup;    // after connecting for writing
    bool server;
    // Names the database and sets the connection's options.
    void configure(QSqlDatabase& db, const Database_location& where, const Store_options& options) const;
    // After connecting.
    std::vector<std::string> session_setup(const Store_options& options) const;
    std::vector<std::string> limit_size(long long pages) const {
        if (server) return {};   // a server's size is its administrator's
        return {"PRAGMA max_page_count = " + std::to_string(pages)};
    }
    // The driver's code for "locked by another connection".
    bool is_locked(const QSqlError& error) const {
        const QString code = error.nativeErrorCode();
        if (server) return code == "55P03";   // lock_not_available: lock_timeout passed
        return code == "5" || code == "6";
    }
};

// The time one attempt waits for a lock: the whole wait, or a slice of it
// when the window is served between slices.
int lock_wait_ms(const Store_options& options) {
    return options.while_locked ? std::min(options.busy_timeout_ms, lock_slice_ms) : options.busy_timeout_ms;
}

// A value of a libpq connection option, quoted.
std::string conninfo_value(const std::string& value) {
    std::string quoted = "'";
    for (char c : value) {
        if (c == '\'' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "'";
}

void Dialect::configure(QSqlDatabase& db, const Database_location& where, const Store_options& options) const {
    if (!server) {
        db.setDatabaseName(QString::fromStdString(where.file));
        std::string text = "QSQLITE_BUSY_TIMEOUT=" + std::to_string(lock_wait_ms(options));
        if (options.read_only) text += ";QSQLITE_OPEN_READONLY";
        db.setConnectOptions(QString::fromStdString(text));
        return;
    }
    db.setHostName(QString::fromStdString(where.host));
    db.setPort(where.port);
    db.setDatabaseName(QString::fromStdString(where.database));
    db.setUserName(QString::fromStdString(where.user));
    // Bounded waits: the connection, and a link that goes dead under a
    // running statement (found within about 25 s).
    std::string text = "connect_timeout=" + std::to_string(options.connect_timeout_s) +
                       ";keepalives=1;keepalives_idle=10;keepalives_interval=5;keepalives_count=3"
                       ";application_name=tq740";
    for (const auto& [key, value] : where.options) text += ";" + key + "=" + conninfo_value(value);
    db.setConnectOptions(QString::fromStdString(text));
}

std::vector<std::string> Dialect::session_setup(const Store_options& options) const {
    if (!server) return {"PRAGMA foreign_keys = ON"};
    std::vector<std::string> setup = {"SET lock_timeout = " + std::to_string(lock_wait_ms(options)),
                                      "SET client_min_messages = ERROR"};
    if (options.read_only) setup.push_back("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY");
    return setup;
}

const Dialect& sqlite_dialect() {
    static const Dialect sqlite{"QSQLITE",
                                "INTEGER PRIMARY KEY",
                                {"BEGIN IMMEDIATE"},
                                "BEGIN",
                                "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ?",
                                "",
                                5000,
                                "PRAGMA schema_version",
                                {"PRAGMA journal_mode = WAL", "PRAGMA synchronous = NORMAL"},
                                false};
    return sqlite;
}

const Dialect& postgresql_dialect() {
    static const Dialect postgresql{
        "QPSQL",
        "BIGSERIAL PRIMARY KEY",
        {"BEGIN", "SELECT pg_advisory_xact_lock(" + std::to_string(chain_lock_key) + ")"},
        "BEGIN ISOLATION LEVEL REPEATABLE READ",
        "SELECT COUNT(*) FROM pg_catalog.pg_tables WHERE schemaname = current_schema() AND tablename = ?",
        " COLLATE \"C\"",
        60000,
        "SHOW server_version_num",
        {},
        true};
    return postgresql;
}
// ---- End of the differences. ----

// The tables of schema version 1.
std::vector<std::string> schema_statements(const Dialect& dialect) {
    return {
        "CREATE TABLE records_meta (name VARCHAR(64) PRIMARY KEY, value VARCHAR(255) NOT NULL)",
        std::string("CREATE TABLE calibrations (id ") + dialect.record_number +
            ", tag_id TEXT NOT NULL, calibrated VARCHAR(19) NOT NULL, calibrator_serial TEXT NOT NULL,"
            " manufacturer TEXT NOT NULL, model TEXT NOT NULL, serial TEXT NOT NULL, technician TEXT NOT NULL,"
            " temperature TEXT NOT NULL, humidity TEXT NOT NULL, other_information TEXT NOT NULL,"
            " tolerance TEXT NOT NULL,"
            " input_type TEXT NOT NULL, input_units TEXT NOT NULL, input_extra TEXT NOT NULL,"
            " input_low TEXT NOT NULL, input_high TEXT NOT NULL,"
            " output_type TEXT NOT NULL, output_units TEXT NOT NULL, output_extra TEXT NOT NULL,"
            " output_low TEXT NOT NULL, output_high TEXT NOT NULL,"
            " calibrator TEXT NOT NULL, calibrator_last_cal VARCHAR(10) NOT NULL,"
            " as_found_verdict VARCHAR(4) NOT NULL, as_left_verdict VARCHAR(4) NOT NULL,"
            " report_lines TEXT NOT NULL, source TEXT NOT NULL, recorded_at VARCHAR(19) NOT NULL,"
            " sha256 CHAR(64) NOT NULL, link_hash CHAR(64) NOT NULL,"
            " UNIQUE (tag_id, calibrated, calibrator_serial))",
        "CREATE TABLE points (calibration_id BIGINT NOT NULL REFERENCES calibrations (id),"
        " phase INTEGER NOT NULL, point INTEGER NOT NULL, input TEXT NOT NULL, reading TEXT NOT NULL,"
        " error TEXT NOT NULL, verdict VARCHAR(4) NOT NULL, PRIMARY KEY (calibration_id, phase, point))",
        "CREATE INDEX calibrations_by_tag ON calibrations (tag_id, calibrated)",
        "INSERT INTO records_meta (name, value) VALUES ('schema_version', '1')",
    };
}

// The steps that bring an older file up to date: steps[v - 1] takes version
// v to v + 1.  A new file is made as version 1 and then takes every step, so
// a new file and a migrated one are alike.
const std::vector<std::vector<std::string>>& migrations() {
    static const std::vector<std::vector<std::string>> steps = {
        // 1 -> 2: the tags' own calibration intervals, in days.
        {"CREATE TABLE tag_intervals (tag_id TEXT PRIMARY KEY, interval_days INTEGER NOT NULL)"},
    };
    return steps;
}

// The columns of a calibration, in the order the statements use them.
constexpr const char* calibration_columns =
    "tag_id, calibrated, calibrator_serial, manufacturer, model, serial, technician, temperature, humidity,"
    " other_information, tolerance, input_type, input_units, input_extra, input_low, input_high,"
    " output_type, output_units, output_extra, output_low, output_high, calibrator, calibrator_last_cal,"
    " as_found_verdict, as_left_verdict, report_lines, source, recorded_at, sha256, link_hash";
constexpr int calibration_column_count = 30;

QString q(const std::string& text) { return QString::fromStdString(text); }

// The database's own reason for a failure ("database or disk is full").
// A server's message can run over several lines; it is given on one.
std::string reason_of(const QSqlError& error) {
    QString text = (error.databaseText().isEmpty() ? error.text() : error.databaseText()).simplified();
    if (text.startsWith("ERROR: ")) text.remove(0, 7);
    if (text.endsWith(" ()")) text.chop(3);   // the driver's empty error code
    return text.toStdString();
}
std::string s(const QVariant& value) { return value.toString().toStdString(); }

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = text.find('\n', begin);
        lines.push_back(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
        if (end == std::string::npos) return lines;
        begin = end + 1;
    }
}

std::string stored_verdict(Verdict v) { return v == Verdict::none ? std::string() : verdict_text(v); }
Verdict verdict_of(const std::string& text) {
    return text == "Pass" ? Verdict::pass : text == "Fail" ? Verdict::fail : Verdict::none;
}


Date_time date_of(const std::string& iso) {
    if (iso.size() == 10) return parse_date_time_iso(iso + "T00:00:00").value_or(Date_time{});
    return parse_date_time_iso(iso).value_or(Date_time{});
}

// The values of a calibration row (the columns above, from column `first`).
Recorded_calibration calibration_of(const QSqlQuery& row, int first) {
    auto at = [&row, first](int i) { return s(row.value(first + i)); };
    Recorded_calibration r;
    Calibration& c = r.calibration;
    c.tag_id = at(0);
    c.calibrated = date_of(at(1));
    c.calibrator_serial = at(2);
    c.manufacturer = at(3);
    c.model = at(4);
    c.serial = at(5);
    c.technician = at(6);
    c.temperature = at(7);
    c.humidity = at(8);
    c.other_information = at(9);
    c.tolerance_text = at(10);
    if (c.tolerance_text != "None") c.tolerance_percent = printed_number(c.tolerance_text);
    c.input = {at(11), at(12), split(at(13)), at(14), at(15)};
    c.output = {at(16), at(17), split(at(18)), at(19), at(20)};
    c.calibrator = at(21);
    c.calibrator_last_cal = date_of(at(22));
    // 23, 24: the overall verdicts, computed again from the points; 25: the report lines.
    r.source = at(26);
    r.recorded_at = at(27);
    r.sha256 = at(28);
    r.link_hash = at(29);
    return r;
}

// Begins a transaction holding the write lock.  While another program holds
// it, waits in slices, calling while_locked between them, until the store's
// busy timeout has passed.
std::optional<QSqlError> begin_write(QSqlDatabase& db, const Dialect& dialect, const Store_options& options) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        std::optional<QSqlError> failure;
        for (const auto& statement : dialect.begin_write) {
            QSqlQuery step(db);
            if (!step.exec(QString::fromStdString(statement))) {
                failure = step.lastError();
                break;
            }
        }
        if (!failure) return std::nullopt;
        if (db.isOpen()) QSqlQuery(db).exec("ROLLBACK");
        if (!options.while_locked || !dialect.is_locked(*failure) || waited.elapsed() >= options.busy_timeout_ms)
            return failure;
        options.while_locked();
    }
}

// True when the database has the table (false also when it cannot be asked).
bool has_table(QSqlDatabase& db, const Dialect& dialect, const char* table) {
    QSqlQuery query(db);
    query.prepare(dialect.table_exists);
    query.addBindValue(QString(table));
    return query.exec() && query.next() && query.value(0).toLongLong() > 0;
}

std::string now_iso() {
    return QDateTime::currentDateTime().toString("yyyy-MM-ddTHH:mm:ss").toStdString();
}

}  // namespace

std::string default_database_path() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.local/share";
    } else {
        base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
    }
    return base + "/" + shell::DATA_SUBFOLDER + "/records.sqlite";
}

struct Record_store::Impl {
    QString connection;
    Location_result where;
    const Dialect* dialect = &sqlite_dialect();
    bool open = false;
    bool empty = false;    // read-only over a file that does not exist (or holds no records yet)
    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }
};

Record_store::Record_store(std::string location, Store_options options)
    : path_(std::move(location)), options_(options), impl_(std::make_unique<Impl>()) {
    static int next_connection = 0;
    impl_->connection = QString("tq740-records-%1").arg(++next_connection);
    impl_->where = parse_location(path_);
    if (impl_->where.location.kind == Database_location::Kind::server) impl_->dialect = &postgresql_dialect();
    if (options_.busy_timeout_ms <= 0) options_.busy_timeout_ms = impl_->dialect->busy_timeout_ms;
}

Record_store::~Record_store() {
    if (QSqlDatabase::contains(impl_->connection)) {
        {
            QSqlDatabase db = impl_->db();
            if (db.isOpen()) db.close();
        }
        QSqlDatabase::removeDatabase(impl_->connection);
    }
}

bool Record_store::is_server() const { return impl_->dialect->server; }

bool Record_store::is_open() const { return impl_->open; }

namespace {

// Runs statements one by one; the first failure's error.
std::optional<QSqlError> run_all(QSqlDatabase& db, const std::vector<std::string>& statements) {
    for (const auto& statement : statements) {
        QSqlQuery query(db);
        if (!query.exec(q(statement))) return query.lastError();
    }
    return std::nullopt;
}

}  // namespace

bool Record_store::open() {
    error_.clear();
    impl_->open = false;
    if (!impl_->where.ok) {
        error_ = impl_->where.error;
        return false;
    }
    if (is_server()) return open_connection();
    const std::filesystem::path file(path_);
    std::error_code ec;
    if (options_.read_only) {
        if (!std::filesystem::exists(file, ec)) {
            impl_->open = impl_->empty = true;
            return true;
        }
    } else if (file.has_parent_path()) {
        const std::filesystem::path folder = file.parent_path();
        std::filesystem::create_directories(folder, ec);
        if (ec || !std::filesystem::is_directory(folder)) {
            error_ = res::format(res::IDS_RECORDS_FOLDER_FAILED, folder.string(),
                                 ec ? ec.message() : std::string(std::strerror(ENOTDIR)));
            return false;
        }
    }
    if (std::filesystem::exists(file, ec) && !std::filesystem::is_regular_file(file, ec)) {
        error_ = res::format(res::IDS_RECORDS_OPEN_FAILED, path_, std::string(std::strerror(EISDIR)));
        return false;
    }
    return open_connection();
}

bool Record_store::open_connection() {
    // Another program making or bringing the same file up to date at this
    // moment can refuse a step at once instead of making it wait (SQLite does
    // not wait where waiting could deadlock): the whole connection is tried
    // again until the wait allowed has passed.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        bool locked = false;
        if (connect(locked)) return true;
        if (!locked || waited.elapsed() >= options_.busy_timeout_ms) return false;
        if (options_.while_locked)
            options_.while_locked();
        else
            QThread::msleep(lock_slice_ms);
    }
}

// One attempt to connect and check (or make) the schema; locked is set when
// it failed because another connection held the file.
bool Record_store::connect(bool& locked) {
    const Dialect& dialect = *impl_->dialect;
    QSqlDatabase db = QSqlDatabase::contains(impl_->connection)
                          ? impl_->db()
                          : QSqlDatabase::addDatabase(dialect.driver, impl_->connection);
    dialect.configure(db, impl_->where.location, options_);
    auto fail = [this, &db, &locked, &dialect](const QSqlError& error) {
        locked = dialect.is_locked(error);
        error_ = locked
                     ? res::format(res::IDS_RECORDS_LOCKED, path_, options_.busy_timeout_ms / 1000.0)
                     : res::format(res::IDS_RECORDS_OPEN_FAILED, path_, reason_of(error));
        db.close();
        return false;
    };
    if (!db.open()) return fail(db.lastError());
    {
        QSqlQuery probe(db);
        if (!probe.exec(dialect.probe)) return fail(probe.lastError());
        if (dialect.server && probe.next() && probe.value(0).toInt() < min_server_version) {
            QSqlQuery version(db);
            const std::string shown = version.exec("SHOW server_version") && version.next() ? s(version.value(0)) : s(probe.value(0));
            error_ = res::format(res::IDS_SERVER_TOO_OLD, path_, shown);
            db.close();
            return false;
        }
    }
    if (const auto error = run_all(db, dialect.session_setup(options_))) return fail(*error);

    const bool has_schema = has_table(db, dialect, "records_meta");
    if (!has_schema && options_.read_only) {
        impl_->open = impl_->empty = true;
        return true;
    }
    if (!options_.read_only) {
        if (const auto error = run_all(db, dialect.write_setup)) return fail(*error);
        if (options_.max_pages > 0)
            if (const auto error = run_all(db, dialect.limit_size(options_.max_pages))) return fail(*error);
    }

    // The schema version (0: a new database).  It is read without the write
    // lock first, as it is usually up to date; a database to be made or
    // brought up to date is read again holding the lock, since another
    // program may have done it meanwhile.
    int version = 0;
    auto read_version = [&db, &dialect, &version]() -> std::optional<QSqlError> {
        version = 0;
        if (!has_table(db, dialect, "records_meta")) return std::nullopt;
        QSqlQuery query(db);
        if (!query.exec("SELECT value FROM records_meta WHERE name = 'schema_version'")) return query.lastError();
        version = query.next() ? query.value(0).toInt() : 0;
        if (version < 1) return QSqlError("", "the schema version is missing");
        return std::nullopt;
    };
    auto rollback = [&db] { QSqlQuery(db).exec("ROLLBACK"); };
    if (const auto error = read_version()) return fail(*error);
    const bool to_bring_up = !options_.read_only && version < schema_version;
    if (to_bring_up) {
        if (const auto error = begin_write(db, dialect, options_)) return fail(*error);
        if (const auto error = read_version()) {
            rollback();
            return fail(*error);
        }
    }
    if (version > schema_version) {
        if (to_bring_up) rollback();
        error_ = res::format(res::IDS_RECORDS_NEWER_SCHEMA, path_, version, schema_version);
        db.close();
        return false;
    }
    if (to_bring_up) {
        std::vector<std::string> steps;
        if (version == 0) {
            steps = schema_statements(dialect);
            version = 1;
        }
        for (int v = version; v < schema_version; ++v)
            for (const auto& step : migrations()[static_cast<std::size_t>(v - 1)]) steps.push_back(step);
        if (version < schema_version)
            steps.push_back("UPDATE records_meta SET value = '" + std::to_string(schema_version) +
                            "' WHERE name = 'schema_version'");
        if (auto error = run_all(db, steps)) {
            rollback();
            return fail(*error);
        }
        QSqlQuery commit(db);
        if (!commit.exec("COMMIT")) {
            const QSqlError error = commit.lastError();
            rollback();
            return fail(error);
        }
    }
    // A read-only run never changes the file: an older schema is read as it is.
    impl_->open = true;
    return true;
}

// ---- Reading ----

std::vector<Tag_summary> Record_store::tag_summaries() {
    std::vector<Tag_summary> tags;
    if (!impl_->open || impl_->empty) return tags;
    QSqlQuery query(impl_->db());
    query.setForwardOnly(true);
    if (!query.exec(QString("SELECT tag_id, calibrated, as_found_verdict, as_left_verdict FROM calibrations"
                            " ORDER BY tag_id%1, calibrated, id")
                        .arg(impl_->dialect->text_order))) {
        error_ = res::format(res::IDS_RECORDS_READ_FAILED, path_, reason_of(query.lastError()));
        return tags;
    }
    while (query.next()) {
        const std::string tag = s(query.value(0));
        if (tags.empty() || tags.back().tag_id != tag) tags.push_back(Tag_summary{tag, {}, {}, {}, 0});
        Tag_summary& t = tags.back();
        t.last_calibrated = date_of(s(query.value(1)));
        t.as_found = verdict_of(s(query.value(2)));
        t.as_left = verdict_of(s(query.value(3)));
        ++t.calibrations;
    }
    auto lower = [](const std::string& text) {
        std::string l = text;
        std::transform(l.begin(), l.end(), l.begin(), [](unsigned char c) { return std::tolower(c); });
        return l;
    };
    std::stable_sort(tags.begin(), tags.end(), [&lower](const Tag_summary& a, const Tag_summary& b) {
        return lower(a.tag_id) < lower(b.tag_id);
    });
    return tags;
}

namespace {

// The point of the current row of a points query (calibration, phase,
// point, input, reading, error, verdict), added to its calibration's table.
void add_point(const QSqlQuery& points, Calibration& calibration) {
    Point p;
    p.number = points.value(2).toInt();
    p.input = s(points.value(3));
    p.reading = s(points.value(4));
    p.error_text = s(points.value(5));
    p.error_percent = printed_number(p.error_text);
    p.verdict = verdict_of(s(points.value(6)));
    (points.value(1).toInt() == 0 ? calibration.as_found : calibration.as_left).push_back(p);
}

// Fills the point tables of the calibrations (by record number) from a
// query of points ordered by record, phase and point.
void attach_points(QSqlQuery& points, std::map<long long, Calibration*>& by_id) {
    while (points.next()) {
        const auto found = by_id.find(points.value(0).toLongLong());
        if (found != by_id.end()) add_point(points, *found->second);
    }
}

}  // namespace

std::vector<Recorded_calibration> Record_store::calibrations_of(const std::string& tag_id, Order order) {
    std::vector<Recorded_calibration> result;
    if (!impl_->open || impl_->empty) return result;
    const QString direction = order == Order::oldest_first ? "ASC" : "DESC";
    QSqlQuery query(impl_->db());
    query.setForwardOnly(true);
    query.prepare(QString("SELECT id, %1 FROM calibrations WHERE tag_id = ? ORDER BY calibrated %2, id %2")
                      .arg(calibration_columns, direction));
    query.addBindValue(q(tag_id));
    if (!query.exec()) {
        error_ = res::format(res::IDS_RECORDS_READ_FAILED, path_, reason_of(query.lastError()));
        return result;
    }
    while (query.next()) {
        Recorded_calibration r = calibration_of(query, 1);
        r.id = query.value(0).toLongLong();
        result.push_back(std::move(r));
    }
    std::map<long long, Calibration*> by_id;
    for (auto& r : result) by_id[r.id] = &r.calibration;
    QSqlQuery points(impl_->db());
    points.setForwardOnly(true);
    points.prepare("SELECT p.calibration_id, p.phase, p.point, p.input, p.reading, p.error, p.verdict"
                   " FROM points p JOIN calibrations c ON c.id = p.calibration_id WHERE c.tag_id = ?"
                   " ORDER BY p.calibration_id, p.phase, p.point");
    points.addBindValue(q(tag_id));
    if (!points.exec()) {
        error_ = res::format(res::IDS_RECORDS_READ_FAILED, path_, reason_of(points.lastError()));
        return {};
    }
    attach_points(points, by_id);
    return result;
}

std::vector<std::string> Record_store::report_lines(long long id) {
    if (!impl_->open || impl_->empty) return {};
    QSqlQuery query(impl_->db());
    query.prepare("SELECT report_lines FROM calibrations WHERE id = ?");
    query.addBindValue(id);
    if (!query.exec() || !query.next()) return {};
    return split(s(query.value(0)));
}

long long Record_store::record_count() {
    if (!impl_->open || impl_->empty) return 0;
    QSqlQuery query(impl_->db());
    if (!query.exec("SELECT COUNT(*) FROM calibrations") || !query.next()) return 0;
    return query.value(0).toLongLong();
}

// ---- Calibration intervals ----

std::map<std::string, int> Record_store::intervals() {
    std::map<std::string, int> result;
    // A file older than the intervals (read without migrating it) has none.
    if (!impl_->open || impl_->empty) return result;
    QSqlDatabase db = impl_->db();
    if (!has_table(db, *impl_->dialect, "tag_intervals")) return result;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec("SELECT tag_id, interval_days FROM tag_intervals")) {
        error_ = res::format(res::IDS_RECORDS_READ_FAILED, path_, reason_of(query.lastError()));
        return result;
    }
    while (query.next()) result[s(query.value(0))] = query.value(1).toInt();
    return result;
}

std::optional<int> Record_store::interval_of(const std::string& tag_id) {
    const auto all = intervals();
    const auto found = all.find(tag_id);
    if (found == all.end()) return std::nullopt;
    return found->second;
}

bool Record_store::set_interval(const std::string& tag_id, int days) {
    error_.clear();
    if (days < min_interval_days || days > max_interval_days) {
        error_ = res::format(res::IDS_BAD_INTERVAL, std::to_string(days));
        return false;
    }
    if (!impl_->open || impl_->empty || options_.read_only) {
        error_ = res::format(res::IDS_TAG_NOT_RECORDED, tag_id);
        return false;
    }
    QSqlDatabase db = impl_->db();
    auto fail = [this, &db](const QSqlError& error) {
        QSqlQuery(db).exec("ROLLBACK");
        error_ = write_failure(error);
        return false;
    };
    if (const auto error = begin_write(db, *impl_->dialect, options_)) {
        error_ = write_failure(*error);
        return false;
    }
    // Only a tag with a calibration recorded may have an interval.
    QSqlQuery known(db);
    known.prepare("SELECT COUNT(*) FROM calibrations WHERE tag_id = ?");
    known.addBindValue(q(tag_id));
    if (!known.exec() || !known.next()) return fail(known.lastError());
    if (known.value(0).toLongLong() == 0) {
        QSqlQuery(db).exec("ROLLBACK");
        error_ = res::format(res::IDS_TAG_NOT_RECORDED, tag_id);
        return false;
    }
    QSqlQuery remove(db);
    remove.prepare("DELETE FROM tag_intervals WHERE tag_id = ?");
    remove.addBindValue(q(tag_id));
    if (!remove.exec()) return fail(remove.lastError());
    QSqlQuery insert(db);
    insert.prepare("INSERT INTO tag_intervals (tag_id, interval_days) VALUES (?, ?)");
    insert.addBindValue(q(tag_id));
    insert.addBindValue(days);
    if (!insert.exec()) return fail(insert.lastError());
    QSqlQuery commit(db);
    if (!commit.exec("COMMIT")) return fail(commit.lastError());
    return true;
}

// ---- Writing ----

// One calibration to record: its values and report lines, and for a copy
// the source and time it was first recorded with.
struct Record_store::Pending {
    const Calibration* calibration;
    const std::vector<std::string>* lines;
    std::string source;
    std::string recorded_at;
};

std::string Record_store::write_failure(const QSqlError& error) const {
    return impl_->dialect->is_locked(error)
               ? res::format(res::IDS_RECORDS_LOCKED, path_, options_.busy_timeout_ms / 1000.0)
               : res::format(res::IDS_RECORDS_WRITE_FAILED, path_, reason_of(error));
}

Record_counts Record_store::record(const std::vector<Read_report>& reports, const std::string& source) {
    const std::string recorded_at = now_iso();
    std::vector<Pending> pending;
    pending.reserve(reports.size());
    for (const Read_report& report : reports)
        pending.push_back({&report.calibration, &report.lines, source, recorded_at});
    return write(pending, false, nullptr);
}

Record_counts Record_store::write(const std::vector<Pending>& pending, bool copy, std::vector<std::string>* conflicts) {
    Record_counts counts;
    if (!impl_->open || impl_->empty) {
        counts.error = error_.empty() ? res::format(res::IDS_RECORDS_WRITE_FAILED, path_, std::string("not open"))
                                      : error_;
        return counts;
    }
    QSqlDatabase db = impl_->db();
    auto failed = [&](const QSqlError& error) {
        if (db.isOpen())
            QSqlQuery(db).exec("ROLLBACK");
        else
            db.close();   // a lost connection: its statements are let go without asking the server
        counts = {};
        counts.database_failed = true;
        counts.error = write_failure(error);
        error_ = counts.error;
        return counts;
    };
    auto refused = [&](std::string message) {
        QSqlQuery(db).exec("ROLLBACK");
        counts = {};
        counts.refused = true;
        counts.error = std::move(message);
        error_ = counts.error;
        return counts;
    };
    std::vector<std::string> in_conflict;

    if (auto error = begin_write(db, *impl_->dialect, options_)) {
        // A connection lost since the last write (a server restarted, say) is
        // made again once; a database that stays unreachable says why.
        if (impl_->dialect->is_locked(*error)) return failed(*error);
        db.close();
        if (!open_connection()) {
            counts.database_failed = true;
            counts.error = error_;
            return counts;
        }
        db = impl_->db();
        error = begin_write(db, *impl_->dialect, options_);
        if (error) return failed(*error);
    }

    // The chain goes on from the last record's link.
    std::string previous = chain_start;
    {
        QSqlQuery last(db);
        if (!last.exec("SELECT link_hash FROM calibrations ORDER BY id DESC LIMIT 1")) return failed(last.lastError());
        if (last.next()) previous = s(last.value(0));
    }

    // A calibration whose identity is recorded already is not inserted; its
    // recorded content hash tells "already recorded" from a conflict.  The
    // unique key has the last word (the insert does nothing when the
    // identity is there), so a writer that got past the lock could never
    // record a calibration twice.
    QSqlQuery insert(db);
    insert.prepare(QString("INSERT INTO calibrations (%1) VALUES (?%2)"
                           " ON CONFLICT (tag_id, calibrated, calibrator_serial) DO NOTHING RETURNING id")
                       .arg(calibration_columns, QString(", ?").repeated(calibration_column_count - 1)));
    QSqlQuery existing(db);
    existing.prepare("SELECT sha256 FROM calibrations WHERE tag_id = ? AND calibrated = ? AND calibrator_serial = ?");
    // The points of one calibration go in one statement (one for each number of points).
    std::map<std::size_t, QSqlQuery> insert_points;

    // The calibrations of this write so far, by identity: the same one twice
    // in one file counts once.
    std::map<std::tuple<std::string, std::string, std::string>, std::string> seen;
    for (const Pending& item : pending) {
        const Calibration& c = *item.calibration;
        const std::string calibrated = date_time_iso(c.calibrated);
        const std::string content = content_hash(c);
        const auto identity = std::make_tuple(c.tag_id, calibrated, c.calibrator_serial);
        if (const auto found = seen.find(identity); found != seen.end()) {
            if (found->second != content)
                return refused(res::format(res::IDS_REASON_TWICE, c.tag_id, date_time_text(c.calibrated)));
            ++counts.already_recorded;
            continue;
        }
        seen.emplace(identity, content);

        // The recorded content hash of this identity, when it is recorded.
        auto recorded_hash = [&]() -> std::optional<std::string> {
            existing.addBindValue(q(c.tag_id));
            existing.addBindValue(q(calibrated));
            existing.addBindValue(q(c.calibrator_serial));
            if (!existing.exec()) return std::nullopt;
            const std::string hash = existing.next() ? s(existing.value(0)) : std::string();
            existing.finish();
            return hash;
        };
        // Already recorded, or in conflict: not inserted.
        auto not_new = [&](const std::string& recorded) -> std::optional<Record_counts> {
            if (recorded == content)
                ++counts.already_recorded;
            else if (copy)
                in_conflict.push_back(res::format(res::IDS_COPY_CONFLICT, c.tag_id, date_time_text(c.calibrated), path_));
            else
                return refused(res::format(res::IDS_RECORD_CONFLICT, c.tag_id, date_time_text(c.calibrated)));
            return std::nullopt;
        };
        const auto before = recorded_hash();
        if (!before) return failed(existing.lastError());
        if (!before->empty()) {
            if (auto refusal = not_new(*before)) return *refusal;
            continue;
        }

        const std::string link = link_hash(previous, content);
        const std::string values[calibration_column_count] = {
            c.tag_id, calibrated, c.calibrator_serial, c.manufacturer, c.model, c.serial, c.technician,
            c.temperature, c.humidity, c.other_information, c.tolerance_text,
            c.input.type, c.input.units, joined(c.input.extra_lines), c.input.low, c.input.high,
            c.output.type, c.output.units, joined(c.output.extra_lines), c.output.low, c.output.high,
            c.calibrator, date_text(c.calibrator_last_cal), stored_verdict(c.as_found_verdict()),
            stored_verdict(c.as_left_verdict()), joined(*item.lines), item.source, item.recorded_at, content, link};
        for (const auto& value : values) insert.addBindValue(q(value));
        if (!insert.exec()) return failed(insert.lastError());
        if (!insert.next()) {
            insert.finish();
            const auto after = recorded_hash();
            if (!after || after->empty()) return failed(existing.lastError());
            if (auto refusal = not_new(*after)) return *refusal;
            continue;
        }
        const long long id = insert.value(0).toLongLong();
        insert.finish();

        const std::size_t point_count = c.as_found.size() + c.as_left.size();
        if (point_count > 0) {
            auto [statement, made] = insert_points.try_emplace(point_count, db);
            QSqlQuery& points = statement->second;
            if (made)
                points.prepare("INSERT INTO points (calibration_id, phase, point, input, reading, error, verdict)"
                               " VALUES (?, ?, ?, ?, ?, ?, ?)" +
                               QString(", (?, ?, ?, ?, ?, ?, ?)").repeated(static_cast<int>(point_count - 1)));
            for (const auto& [phase, table] : {std::pair{0, &c.as_found}, std::pair{1, &c.as_left}}) {
                for (const Point& p : *table) {
                    points.addBindValue(id);
                    points.addBindValue(phase);
                    points.addBindValue(p.number);
                    points.addBindValue(q(p.input));
                    points.addBindValue(q(p.reading));
                    points.addBindValue(q(p.error_text));
                    points.addBindValue(q(stored_verdict(p.verdict)));
                }
            }
            if (!points.exec()) return failed(points.lastError());
        }
        previous = link;
        ++counts.recorded;
    }
    QSqlQuery commit(db);
    if (!commit.exec("COMMIT")) return failed(commit.lastError());
    if (conflicts) conflicts->insert(conflicts->end(), in_conflict.begin(), in_conflict.end());
    counts.ok = true;
    return counts;
}

Record_counts Record_store::record_upload(const reports::Report_lines& lines, const std::string& calibrator) {
    const Read_result read = read_reports(lines);
    if (!read.ok) {
        Record_counts counts;
        counts.refused = true;
        counts.error = read.failure.line > 0
                           ? res::format(res::IDS_REPORT_FILE_REFUSED, std::string("Reports list"),
                                         static_cast<long long>(read.failure.line), read.failure.reason)
                           : res::format(res::IDS_REPORT_FILE_REFUSED_NO_LINE, std::string("Reports list"),
                                         read.failure.reason);
        return counts;
    }
    return record(read.reports, "upload " + calibrator);
}

File_import Record_store::import_file(const std::string& path) {
    File_import file{path, {}};
    const Read_result read = read_report_file(path);
    if (!read.ok) {
        file.counts.error = read.failure.line > 0
                                ? res::format(res::IDS_REPORT_FILE_REFUSED, path,
                                              static_cast<long long>(read.failure.line), read.failure.reason)
                                : res::format(res::IDS_REPORT_FILE_REFUSED_NO_LINE, path, read.failure.reason);
        return file;
    }
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(path, ec).lexically_normal().string();
    file.counts = record(read.reports, "file " + (ec ? path : absolute));
    if (file.counts.refused)
        file.counts.error = res::format(res::IDS_REPORT_FILE_REFUSED_NO_LINE, path, file.counts.error);
    else if (!file.counts.ok)
        file.counts.error = path + ": " + file.counts.error;
    return file;
}

std::vector<File_import> Record_store::import_files(const std::vector<std::string>& paths) {
    std::vector<File_import> files;
    for (const auto& path : paths) {
        files.push_back(import_file(path));
        if (files.back().counts.database_failed) break;
    }
    return files;
}

// ---- Checking and export ----

// A record as stored: its values, number, hashes and report lines.
struct Record_store::Stored {
    Recorded_calibration record;
    std::vector<std::string> lines;
};

namespace {
// The records read at once by verify and copy: memory stays bounded however
// many are recorded.
constexpr int batch_size = 500;
}  // namespace

bool Record_store::read_batch(long long after, int limit, std::vector<Stored>& batch) {
    batch.clear();
    QSqlDatabase db = impl_->db();
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    rows.prepare(QString("SELECT id, %1 FROM calibrations WHERE id > ? ORDER BY id LIMIT %2")
                     .arg(calibration_columns)
                     .arg(limit));
    rows.addBindValue(after);
    if (!rows.exec()) {
        error_ = res::format(res::IDS_RECORDS_READ_FAILED, path_, reason_of(rows.lastError()));
        return false;
    }
    while (rows.next()) {
        Stored stored{calibration_of(rows, 1), split(s(rows.value(26)))};
        stored.record.id = rows.value(0).toLongLong();
        batch.push_back(std::move(stored));
    }
    if (batch.empty()) return true;
    std::map<long long, Calibration*> by_id;
    for (auto& stored : batch) by_id[stored.record.id] = &stored.record.calibration;
    QSqlQuery points(db);
    points.setForwardOnly(true);
    points.prepare("SELECT calibration_id, phase, point, input, reading, error, verdict FROM points"
                   " WHERE calibration_id > ? AND calibration_id <= ? ORDER BY calibration_id, phase, point");
    points.addBindValue(after);
    points.addBindValue(batch.back().record.id);
    if (!points.exec()) {
        error_ = res::format(res::IDS_RECORDS_READ_FAILED, path_, reason_of(points.lastError()));
        return false;
    }
    attach_points(points, by_id);
    return true;
}

bool Record_store::each_batch(const std::function<bool(const std::vector<Stored>&)>& visit) {
    QSqlDatabase db = impl_->db();
    QSqlQuery(db).exec(impl_->dialect->begin_read);
    std::vector<Stored> batch;
    bool read = true;
    for (long long after = 0;; after = batch.back().record.id) {
        if (!read_batch(after, batch_size, batch)) {
            read = false;
            break;
        }
        if (batch.empty() || !visit(batch)) break;
    }
    QSqlQuery(db).exec("ROLLBACK");
    return read;
}

Verify_result Record_store::verify() {
    Verify_result result;
    if (!impl_->open) {
        result.error = error_;
        return result;
    }
    if (impl_->empty) {
        result.ok = true;
        return result;
    }
    std::string previous = chain_start;
    const bool read = each_batch([&](const std::vector<Stored>& batch) {
        for (const Stored& stored : batch) {
            const Recorded_calibration& r = stored.record;
            // The values kept, the report lines read again, and the link.
            const Read_result reread = read_reports(stored.lines);
            const bool values_match = content_hash(r.calibration) == r.sha256;
            const bool lines_match = reread.ok && reread.reports.size() == 1 &&
                                     content_hash(reread.reports.front().calibration) == r.sha256;
            const bool link_matches = link_hash(previous, r.sha256) == r.link_hash;
            ++result.records;
            if (!values_match || !lines_match || !link_matches) {
                result.first_bad = r;
                return false;
            }
            previous = r.link_hash;
        }
        return true;
    });
    if (!read) result.error = error_;
    result.ok = read && !result.first_bad;
    return result;
}

Copy_result Record_store::copy_to(Record_store& target) {
    Copy_result result;
    if (!impl_->open) {
        result.error = error_;
        return result;
    }
    // The same database (the same text, or one file named two ways) would
    // only find every record already there, while holding its lock.
    std::error_code ec;
    if (target.path_ == path_ ||
        (!is_server() && !target.is_server() && std::filesystem::equivalent(path_, target.path_, ec))) {
        result.error = res::format(res::IDS_COPY_SAME_DATABASE, path_);
        return result;
    }
    if (impl_->empty) {
        result.ok = true;
        return result;
    }
    const bool read = each_batch([&](const std::vector<Stored>& batch) {
        std::vector<Pending> pending;
        for (const Stored& stored : batch)
            pending.push_back({&stored.record.calibration, &stored.lines, stored.record.source,
                               stored.record.recorded_at});
        const Record_counts counts = target.write(pending, true, &result.conflicts);
        if (!counts.ok) {
            result.error = counts.error;
            return false;
        }
        result.copied += counts.recorded;
        result.already_recorded += counts.already_recorded;
        return true;
    });
    if (!read) result.error = error_;
    result.ok = result.error.empty();
    return result;
}

namespace {

// One CSV field, quoted when it must be (RFC 4180).
std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void csv_row(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        out += csv_field(fields[i]);
    }
    out += "\r\n";
}

}  // namespace

bool Record_store::export_csv(const std::string& file) {
    std::string out;
    csv_row(out, {"tag", "calibrated", "phase", "point", "input", "reading", "error", "verdict", "manufacturer",
                  "model", "serial", "technician", "temperature", "humidity", "other_information", "tolerance",
                  "input_type", "input_low", "input_high", "output_type", "output_low", "output_high", "calibrator",
                  "calibrator_last_cal", "source", "sha256"});
    if (impl_->open && !impl_->empty) {
        QSqlQuery rows(impl_->db());
        rows.setForwardOnly(true);
        if (!rows.exec(QString("SELECT c.id, %1, p.phase, p.point, p.input, p.reading, p.error, p.verdict"
                               " FROM calibrations c JOIN points p ON p.calibration_id = c.id"
                               " ORDER BY c.tag_id%2, c.calibrated, c.id, p.phase, p.point")
                           .arg(QString(calibration_columns).replace(QRegularExpression("(\\w+)"), "c.\\1"),
                                impl_->dialect->text_order))) {
            error_ = res::format(res::IDS_RECORDS_READ_FAILED, path_, reason_of(rows.lastError()));
            return false;
        }
        const int p0 = 1 + calibration_column_count;
        while (rows.next()) {
            const Recorded_calibration r = calibration_of(rows, 1);
            const Calibration& c = r.calibration;
            auto type = [](const Signal& signal) {
                return signal.units.empty() ? signal.type : signal.type + ", " + signal.units;
            };
            csv_row(out, {c.tag_id, date_time_text(c.calibrated),
                          phase_text(rows.value(p0).toInt() == 0 ? Phase::as_found : Phase::as_left),
                          s(rows.value(p0 + 1)), s(rows.value(p0 + 2)), s(rows.value(p0 + 3)), s(rows.value(p0 + 4)),
                          s(rows.value(p0 + 5)), c.manufacturer, c.model, c.serial, c.technician, c.temperature,
                          c.humidity, c.other_information, c.tolerance_text, type(c.input), c.input.low, c.input.high,
                          type(c.output), c.output.low, c.output.high, c.calibrator, date_text(c.calibrator_last_cal),
                          r.source, r.sha256});
        }
    }
    std::string reason;
    if (shell::write_file_atomically(file, out, reason) != shell::Write_outcome::ok) {
        error_ = res::format(res::IDS_EXPORT_FAILED, file, reason);
        return false;
    }
    return true;
}

std::string counts_text(const Record_counts& counts) {
    return res::format(res::IDS_RECORDED_COUNTS, counts.recorded, counts.already_recorded);
}

std::string file_import_text(const File_import& file) {
    if (!file.counts.ok) return file.counts.error;
    return res::format(res::IDS_FILE_IMPORT_COUNTS, file.path, file.counts.recorded, file.counts.already_recorded);
}

}  // namespace records
