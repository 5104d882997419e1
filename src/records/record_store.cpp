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

#include "records/due_dates.h"
#include "records/record_chain.h"
#include "resources/due_strings.h"
#include "resources/records_strings.h"
#include "resources/strings.h"
#include "shell/ini_file.h"
#include "shell/settings.h"

namespace records {

namespace {

// ---- What differs between database systems: this block only. ----
//
// The statements below are portable SQL; the embedded SQLite file needs
// its driver, its connection options, its journal and its way of taking the
// write lock at the start of a transaction (so that the chain's last link
// cannot change between reading it and adding the next).
// The slice of a wait for the write lock between two calls of while_locked.
constexpr int lock_slice_ms = 50;

struct Dialect {
    const char* driver;
    const char* record_number;               // the column type of the record number
    const char* begin_write;                 // a transaction holding the write lock
    const char* probe;                       // fails when the file is not a database
    std::vector<std::string> session_setup;  // after connecting
    std::vector<std::string> write_setup;    // after connecting for writing
    // The options of a connection.
    std::string connect_options(const Store_options& options) const {
        const int timeout = options.while_locked ? std::min(options.busy_timeout_ms, lock_slice_ms) : options.busy_timeout_ms;
        std::string text = "QSQLITE_BUSY_TIMEOUT=" + std::to_string(timeout);
        if (options.read_only) text += ";QSQLITE_OPEN_READONLY";
        return text;
    }
    std::vector<std::string> limit_size(long long pages) const {
        return {"PRAGMA max_page_count = " + std::to_string(pages)};
    }
    // The driver's code for "locked by another connection".
    bool is_locked(const QSqlError& error) const {
        const QString code = error.nativeErrorCode();
        return code == "5" || code == "6";
    }
};

const Dialect& dialect() {
    static const Dialect sqlite{"QSQLITE",
                                "INTEGER PRIMARY KEY",
                                "BEGIN IMMEDIATE",
                                "PRAGMA schema_version",
                                {"PRAGMA foreign_keys = ON"},
                                {"PRAGMA journal_mode = WAL", "PRAGMA synchronous = NORMAL"}};
    return sqlite;
}
// ---- End of the differences. ----

// The tables of schema version 1.
std::vector<std::string> schema_statements() {
    return {
        "CREATE TABLE records_meta (name VARCHAR(64) PRIMARY KEY, value VARCHAR(255) NOT NULL)",
        std::string("CREATE TABLE calibrations (id ") + dialect().record_number +
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
        "CREATE TABLE points (calibration_id INTEGER NOT NULL REFERENCES calibrations (id),"
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
std::string reason_of(const QSqlError& error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
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
std::optional<QSqlError> begin_write(QSqlDatabase& db, const Store_options& options) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QSqlQuery begin(db);
        if (begin.exec(dialect().begin_write)) return std::nullopt;
        const QSqlError error = begin.lastError();
        if (!options.while_locked || !dialect().is_locked(error) || waited.elapsed() >= options.busy_timeout_ms)
            return error;
        options.while_locked();
    }
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
    bool open = false;
    bool empty = false;    // read-only over a file that does not exist (or holds no records yet)
    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }
};

Record_store::Record_store(std::string path, Store_options options)
    : path_(std::move(path)), options_(options), impl_(std::make_unique<Impl>()) {
    static int next_connection = 0;
    impl_->connection = QString("tq740-records-%1").arg(++next_connection);
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
    QSqlDatabase db = QSqlDatabase::contains(impl_->connection)
                          ? impl_->db()
                          : QSqlDatabase::addDatabase(dialect().driver, impl_->connection);
    db.setDatabaseName(q(path_));
    db.setConnectOptions(q(dialect().connect_options(options_)));
    auto fail = [this, &db, &locked](const QSqlError& error) {
        locked = dialect().is_locked(error);
        error_ = locked
                     ? res::format(res::IDS_RECORDS_LOCKED, path_, options_.busy_timeout_ms / 1000.0)
                     : res::format(res::IDS_RECORDS_OPEN_FAILED, path_, reason_of(error));
        db.close();
        return false;
    };
    if (!db.open()) return fail(db.lastError());
    if (const auto error = run_all(db, {dialect().probe})) return fail(*error);
    if (const auto error = run_all(db, dialect().session_setup)) return fail(*error);

    const bool has_schema = db.tables().contains("records_meta");
    if (!has_schema && options_.read_only) {
        impl_->open = impl_->empty = true;
        return true;
    }
    if (!options_.read_only) {
        if (const auto error = run_all(db, dialect().write_setup)) return fail(*error);
        if (options_.max_pages > 0)
            if (const auto error = run_all(db, dialect().limit_size(options_.max_pages))) return fail(*error);
    }

    // The schema: made in a new file, checked (and brought up to date) in an old one.
    if (!options_.read_only)
        if (const auto error = begin_write(db, options_)) return fail(*error);
    auto rollback = [&db] { QSqlQuery(db).exec("ROLLBACK"); };
    int version = 0;
    if (db.tables().contains("records_meta")) {
        QSqlQuery query(db);
        if (!query.exec("SELECT value FROM records_meta WHERE name = 'schema_version'")) {
            const QSqlError error = query.lastError();
            if (!options_.read_only) rollback();
            return fail(error);
        }
        version = query.next() ? query.value(0).toInt() : 0;
        if (version < 1) {
            if (!options_.read_only) rollback();
            return fail(QSqlError("", "the schema version is missing"));
        }
    }
    if (version > schema_version) {
        if (!options_.read_only) rollback();
        error_ = res::format(res::IDS_RECORDS_NEWER_SCHEMA, path_, version, schema_version);
        db.close();
        return false;
    }
    if (!options_.read_only) {
        std::vector<std::string> steps;
        if (version == 0) {
            steps = schema_statements();
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
    if (!query.exec("SELECT tag_id, calibrated, as_found_verdict, as_left_verdict FROM calibrations"
                    " ORDER BY tag_id, calibrated, id")) {
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
    if (!impl_->open || impl_->empty || !impl_->db().tables().contains("tag_intervals")) return result;
    QSqlQuery query(impl_->db());
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
        error_ = dialect().is_locked(error)
                     ? res::format(res::IDS_RECORDS_LOCKED, path_, options_.busy_timeout_ms / 1000.0)
                     : res::format(res::IDS_RECORDS_WRITE_FAILED, path_, reason_of(error));
        return false;
    };
    if (const auto error = begin_write(db, options_)) {
        error_ = dialect().is_locked(*error)
                     ? res::format(res::IDS_RECORDS_LOCKED, path_, options_.busy_timeout_ms / 1000.0)
                     : res::format(res::IDS_RECORDS_WRITE_FAILED, path_, reason_of(*error));
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

Record_counts Record_store::record(const std::vector<Read_report>& reports, const std::string& source) {
    Record_counts counts;
    if (!impl_->open || impl_->empty) {
        counts.error = error_.empty() ? res::format(res::IDS_RECORDS_WRITE_FAILED, path_, std::string("not open"))
                                      : error_;
        return counts;
    }
    QSqlDatabase db = impl_->db();
    auto failed = [&](const QSqlError& error) {
        QSqlQuery(db).exec("ROLLBACK");
        counts = {};
        counts.error = dialect().is_locked(error)
                           ? res::format(res::IDS_RECORDS_LOCKED, path_, options_.busy_timeout_ms / 1000.0)
                           : res::format(res::IDS_RECORDS_WRITE_FAILED, path_, reason_of(error));
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

    if (const auto error = begin_write(db, options_)) return failed(*error);

    // The chain goes on from the last record's link.
    std::string previous = chain_start;
    {
        QSqlQuery last(db);
        if (!last.exec("SELECT link_hash FROM calibrations ORDER BY id DESC LIMIT 1")) return failed(last.lastError());
        if (last.next()) previous = s(last.value(0));
    }

    QSqlQuery existing(db);
    existing.prepare("SELECT sha256 FROM calibrations WHERE tag_id = ? AND calibrated = ? AND calibrator_serial = ?");
    QSqlQuery insert(db);
    insert.prepare(QString("INSERT INTO calibrations (%1) VALUES (?%2)")
                       .arg(calibration_columns, QString(", ?").repeated(calibration_column_count - 1)));
    QSqlQuery insert_point(db);
    insert_point.prepare("INSERT INTO points (calibration_id, phase, point, input, reading, error, verdict)"
                         " VALUES (?, ?, ?, ?, ?, ?, ?)");
    const std::string recorded_at = now_iso();

    // The calibrations of this write so far, by identity: the same one twice
    // in one file counts once.
    std::map<std::tuple<std::string, std::string, std::string>, std::string> seen;
    for (const Read_report& report : reports) {
        const Calibration& c = report.calibration;
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
        existing.addBindValue(q(c.tag_id));
        existing.addBindValue(q(calibrated));
        existing.addBindValue(q(c.calibrator_serial));
        if (!existing.exec()) return failed(existing.lastError());
        if (existing.next()) {
            const std::string recorded = s(existing.value(0));
            existing.finish();
            if (recorded != content)
                return refused(res::format(res::IDS_RECORD_CONFLICT, c.tag_id, date_time_text(c.calibrated)));
            ++counts.already_recorded;
            continue;
        }
        existing.finish();

        const std::string link = link_hash(previous, content);
        const std::string values[calibration_column_count] = {
            c.tag_id, calibrated, c.calibrator_serial, c.manufacturer, c.model, c.serial, c.technician,
            c.temperature, c.humidity, c.other_information, c.tolerance_text,
            c.input.type, c.input.units, joined(c.input.extra_lines), c.input.low, c.input.high,
            c.output.type, c.output.units, joined(c.output.extra_lines), c.output.low, c.output.high,
            c.calibrator, date_text(c.calibrator_last_cal), stored_verdict(c.as_found_verdict()),
            stored_verdict(c.as_left_verdict()), joined(report.lines), source, recorded_at, content, link};
        for (const auto& value : values) insert.addBindValue(q(value));
        if (!insert.exec()) return failed(insert.lastError());
        const long long id = insert.lastInsertId().toLongLong();
        for (const auto& [phase, table] : {std::pair{0, &c.as_found}, std::pair{1, &c.as_left}}) {
            for (const Point& p : *table) {
                insert_point.addBindValue(id);
                insert_point.addBindValue(phase);
                insert_point.addBindValue(p.number);
                insert_point.addBindValue(q(p.input));
                insert_point.addBindValue(q(p.reading));
                insert_point.addBindValue(q(p.error_text));
                insert_point.addBindValue(q(stored_verdict(p.verdict)));
                if (!insert_point.exec()) return failed(insert_point.lastError());
            }
        }
        previous = link;
        ++counts.recorded;
    }
    QSqlQuery commit(db);
    if (!commit.exec("COMMIT")) return failed(commit.lastError());
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
    for (const auto& path : paths) files.push_back(import_file(path));
    return files;
}

// ---- Checking and export ----

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
    QSqlDatabase db = impl_->db();
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    QSqlQuery points(db);
    points.setForwardOnly(true);
    // Read in one snapshot: a recording running meanwhile is not half seen.
    QSqlQuery(db).exec("BEGIN");
    if (!rows.exec(QString("SELECT id, %1 FROM calibrations ORDER BY id").arg(calibration_columns)) ||
        !points.exec("SELECT calibration_id, phase, point, input, reading, error, verdict FROM points"
                     " ORDER BY calibration_id, phase, point")) {
        result.error = res::format(res::IDS_RECORDS_READ_FAILED, path_,
                                   reason_of(rows.lastError().isValid() ? rows.lastError() : points.lastError()));
        QSqlQuery(db).exec("ROLLBACK");
        return result;
    }
    bool point_pending = points.next();
    std::string previous = chain_start;
    while (rows.next()) {
        Recorded_calibration r = calibration_of(rows, 1);
        r.id = rows.value(0).toLongLong();
        const std::vector<std::string> lines = split(s(rows.value(26)));
        // This record's points (they come in record order).
        while (point_pending && points.value(0).toLongLong() < r.id) point_pending = points.next();
        while (point_pending && points.value(0).toLongLong() == r.id) {
            add_point(points, r.calibration);
            point_pending = points.next();
        }
        // The values kept, the report lines read again, and the link.
        const Read_result reread = read_reports(lines);
        const bool values_match = content_hash(r.calibration) == r.sha256;
        const bool lines_match = reread.ok && reread.reports.size() == 1 &&
                                 content_hash(reread.reports.front().calibration) == r.sha256;
        const bool link_matches = link_hash(previous, r.sha256) == r.link_hash;
        ++result.records;
        if (!values_match || !lines_match || !link_matches) {
            result.first_bad = r;
            QSqlQuery(db).exec("ROLLBACK");
            return result;
        }
        previous = r.link_hash;
    }
    QSqlQuery(db).exec("ROLLBACK");
    result.ok = true;
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
                               " ORDER BY c.tag_id, c.calibrated, c.id, p.phase, p.point")
                           .arg(QString(calibration_columns).replace(QRegularExpression("(\\w+)"), "c.\\1")))) {
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
