// The calibration records: reports of every signal type in both layouts
// read back into records field by field, the hash chain and its tampering,
// and the faults of files and databases.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <charconv>
#include <chrono>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "records/database_location.h"
#include "records/record_chain.h"
#include "records/record_store.h"
#include "records/records_settings.h"
#include "records/report_reader.h"
#include "reports/field_table.h"
#include "reports/report_files.h"
#include "reports/report_layout.h"
#include "support/pg_server.h"

namespace {

namespace f = reports::fields;
using records::Verdict;
using reports::Report_format;
using Lines = std::vector<std::string>;

// The SQL driver is a plugin, which needs an application object.
void ensure_application() {
    static int argc = 1;
    static char name[] = "records_test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

struct Signal_row {
    const char* in[4];      // fields 9..12: type, units, curve, auxiliary
    const char* out[4];     // fields 16..19
    const char* tolerance;  // field 20
    int points;
    // What the record must hold.
    const char* in_type;
    Lines in_extra;
    const char* out_type;
    const char* out_units;
    Lines out_extra;
};

// An uploaded tag's fields: the row's signals, n points whose third As Found
// reading is "UNDER" and whose fourth reads "12.3x" (not a number).
reports::Field_table uploaded(const Signal_row& row, const std::string& tag) {
    reports::Field_table t;
    t.reset_tag_fields();
    const std::pair<int, const char*> values[] = {
        {f::tag_id, tag.c_str()}, {f::manufacturer, "Brandt"}, {f::serial_number, "B-7"}, {f::technician, "J. Okafor"},
        {f::temperature, "21 C"}, {f::humidity, "45 %"}, {f::other, "bay 4"}, {f::model, "IP-2"},
        {f::input_amplitude, "1.5"}, {f::pulse_fixed_type, "COUNTS"}, {f::pulse_fixed_value, "250"},
        {f::tolerance, row.tolerance}, {f::input_low, "4.000"}, {f::input_high, "20.000"}, {f::output_low, "0.000"},
        {f::output_high, "100.000"}, {f::module_id, "700P07"}, {f::module_after_psi, "G"}, {f::module_before_psi, "100"},
        {f::module_year, "2024"}, {f::module_month, "3"}, {f::module_day, "12"}, {f::calibrated_year, "2025"},
        {f::calibrated_year + 1, "3"}, {f::calibrated_year + 2, "7"}, {f::calibrated_year + 3, "9"},
        {f::calibrated_year + 4, "5"}, {f::calibrated_year + 5, "44"}, {f::last_cal_year, "2024"},
        {f::last_cal_year + 1, "9"}, {f::last_cal_year + 2, "16"}, {f::report_serial, "1234567"},
        {f::calibrator_manufacturer, "NORVA"}, {f::calibrator_model, "TQ740"}};
    for (const auto& [field, text] : values) t.store_field(field, text);
    for (int i = 0; i < 4; ++i) {
        t.store_field(f::input_type + i, row.in[i]);
        t.store_field(f::output_type + i, row.out[i]);
    }
    t.store_field(f::point_count, std::to_string(row.points));
    // Three decimals with a decimal point, whatever the locale.
    auto decimal = [](double value) {
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3).ptr;
        return std::string(text, end);
    };
    for (int k = 1; k <= row.points; ++k) {
        const std::string input = decimal(4 + 0.8 * (k - 1));
        const std::string output = decimal(5.0 * (k - 1) + (k % 2 ? 0.1 : 0.9));
        t.store_field(f::found_input_base + k, input);
        t.store_field(f::left_input_base + k, input);
        t.store_field(f::found_output_base + k, k == 3 ? "UNDER" : k == 4 ? "12.3x" : output);
        t.store_field(f::left_output_base + k, output);
    }
    return t;
}

const Signal_row signal_rows[] = {
    {{"Milliamp", "mA", "", ""}, {"Volts", "V", "", ""}, "0.500", 5, "Milliamp", {}, "Volts", "V", {}},
    {{"Milliamp 2W SIM", "mA", "", ""}, {"Milliamp Loop", "mA", "", ""}, "NONE", 21, "Milliamp 2W SIM", {},
     "Milliamp Loop", "mA", {}},
    {{"Thermocouple", "DegC", "K", "CJC ON"}, {"RTD", "Ohms", "PT385", "3W"}, "0.250", 4, "Thermocouple K",
     {"CJC ON"}, "RTD 3W PT385", "Ohms", {}},
    {{"RTD", "DegF", "PT385", "4W"}, {"Thermocouple", "DegC", "J", "CJC OFF"}, "1.000", 1, "RTD PT385", {},
     "Thermocouple J", "DegC", {"CJC OFF"}},
    {{"Frequency", "Hz", "", ""}, {"Frequency", "Hz", "", ""}, "0.000", 3, "Frequency", {"Level: 1.5 Vpp"},
     "Frequency", "Hz", {}},
    {{"Pulse", "Cnts", "", ""}, {"Pressure", "psi", "", ""}, "-1.000", 2, "Pulse", {"Level: 1.5 Vpp",
     "Fixed: 250 Cnts"}, "Pressure", "psi", {"700P07 2024/03/12", "100 psi G"}},
    {{"Pressure", "psi", "", ""}, {"Manual", "%", "", ""}, "2.000", 0, "Pressure", {"700P07 2024/03/12",
     "100 psi G"}, "Manual", "%", {}},
};

TEST(Records_reader, every_signal_type_in_both_layouts_is_read_back_field_by_field) {
    // The desktop program runs under the user's locale: numbers are read
    // the same under one with a decimal comma.
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    struct Restore {
        std::string locale;
        ~Restore() { std::setlocale(LC_NUMERIC, locale.c_str()); }
    } restore{previous};
    int index = 0;
    for (const Signal_row& row : signal_rows) {
        for (const Report_format format : {Report_format::text, Report_format::csv}) {
            const std::string tag = "TG-" + std::to_string(index);
            const reports::Field_table t = uploaded(row, tag);
            // The second report of an upload, after a first one with a company line.
            Lines lines = reports::report_lines(uploaded(signal_rows[0], "FIRST"), format, "Acme, Inc.", 0);
            const Lines second = reports::report_lines(t, format, "Acme, Inc.", 1);
            lines.insert(lines.end(), second.begin(), second.end());
            const records::Read_result read = records::read_reports(lines);
            const std::string where = tag + (format == Report_format::csv ? " csv" : " txt");
            ASSERT_TRUE(read.ok) << where << ": line " << read.failure.line << ": " << read.failure.reason;
            ASSERT_EQ(read.reports.size(), 2u) << where;
            const records::Read_report& r = read.reports[1];
            EXPECT_EQ(r.lines, Lines(second.begin() + 2, second.end())) << where;  // after the separator
            const records::Calibration& c = r.calibration;
            EXPECT_EQ(c.tag_id, tag);
            EXPECT_EQ(records::date_time_text(c.calibrated), "2025-03-07 09:05:44") << where;
            const Lines texts{c.manufacturer, c.model, c.serial, c.technician, c.temperature, c.humidity,
                              c.other_information};
            EXPECT_EQ(texts, (Lines{"Brandt", "IP-2", "B-7", "J. Okafor", "21 C", "45 %", "bay 4"})) << where;
            const bool judged = std::string(row.tolerance) != "NONE" && std::string(row.tolerance) != "-1.000";
            EXPECT_EQ(c.tolerance_percent.has_value(), judged) << where;
            if (judged) {
                double tolerance = 0;
                std::from_chars(row.tolerance, row.tolerance + std::strlen(row.tolerance), tolerance);
                EXPECT_DOUBLE_EQ(*c.tolerance_percent, tolerance) << where;
            }
            EXPECT_EQ(c.input.type, row.in_type) << where;
            EXPECT_EQ(c.input.extra_lines, row.in_extra) << where;
            EXPECT_EQ(c.output.type, row.out_type) << where;
            EXPECT_EQ(c.output.units, row.out_units) << where;
            EXPECT_EQ(c.output.extra_lines, row.out_extra) << where;
            const std::vector<std::string> ranges{c.input.low, c.input.high, c.output.low, c.output.high};
            const Lines expected_ranges = judged ? Lines{"4.000", "20.000", "0.000", "100.000"} : Lines(4);
            EXPECT_EQ(ranges, expected_ranges) << where;
            EXPECT_EQ(c.calibrator, "NORVA TQ740 S/N 1234567") << where;
            EXPECT_EQ(c.calibrator_serial, "1234567") << where;
            EXPECT_EQ(records::date_text(c.calibrator_last_cal), "2024-09-16") << where;
            ASSERT_EQ(c.as_found.size(), static_cast<size_t>(row.points)) << where;
            ASSERT_EQ(c.as_left.size(), static_cast<size_t>(row.points)) << where;
            for (int k = 1; k <= row.points; ++k) {
                const records::Point& found = c.as_found[k - 1];
                const records::Point& left = c.as_left[k - 1];
                EXPECT_EQ(found.number, k);
                EXPECT_EQ(found.input, t.field_text(f::found_input_base + k)) << where << k;
                EXPECT_EQ(found.reading, t.field_text(f::found_output_base + k)) << where << k;
                EXPECT_EQ(left.reading, t.field_text(f::left_output_base + k)) << where << k;
                // Readings that are not numbers fail without an error figure.
                const bool number = k != 3 && k != 4;
                EXPECT_EQ(found.error_percent.has_value(), judged && number) << where << k;
                EXPECT_EQ(found.verdict == Verdict::none, !judged) << where << k;
                if (judged && !number) {
                    EXPECT_EQ(found.verdict, Verdict::fail) << where << k;
                }
                EXPECT_EQ(left.error_percent.has_value(), judged) << where << k;
                if (judged) {
                    EXPECT_DOUBLE_EQ(left.error_percent.value_or(0), k % 2 ? 0.1 : 0.9) << where << k;
                }
            }
            // Overall: none without tolerance or points.  Over a span of 100
            // the odd points are 0.1 off and the even ones 0.9; As Found
            // points 3 and 4 cannot be judged.
            if (!judged || row.points == 0) {
                EXPECT_EQ(c.as_found_verdict(), Verdict::none) << where;
                EXPECT_EQ(c.as_left_verdict(), Verdict::none) << where;
            } else {
                EXPECT_EQ(c.as_found_verdict(), row.points >= 3 ? Verdict::fail : c.as_left_verdict()) << where;
                double tolerance = 0;
                std::from_chars(row.tolerance, row.tolerance + std::strlen(row.tolerance), tolerance);
                const bool all_pass = tolerance >= 0.9 || (row.points == 1 && tolerance >= 0.1);
                EXPECT_EQ(c.as_left_verdict(), all_pass ? Verdict::pass : Verdict::fail) << where;
            }
        }
        // The TXT and the CSV of one calibration hash alike.
        const std::string tag = "TG-" + std::to_string(index);
        const auto txt = records::read_reports(reports::report_lines(uploaded(row, tag), Report_format::text, "", 0));
        const auto csv = records::read_reports(reports::report_lines(uploaded(row, tag), Report_format::csv, "", 0));
        ASSERT_TRUE(txt.ok && csv.ok) << tag;
        EXPECT_EQ(txt.reports[0].calibration, csv.reports[0].calibration) << tag;
        EXPECT_EQ(records::content_hash(txt.reports[0].calibration), records::content_hash(csv.reports[0].calibration));
        ++index;
    }
}

// ---- The store ----

class Records_store : public ::testing::Test {
public:
    void SetUp() override { ensure_application(); }

    std::string path(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
    std::string database() const { return path("records.sqlite"); }

    // A report file of the tags, each calibrated at the given minute.
    std::string report_file(const std::string& name, const std::vector<std::pair<std::string, int>>& tags,
                            Report_format format = Report_format::text, const char* reading = nullptr) {
        Lines lines;
        int index = 0;
        for (const auto& [tag, minute] : tags) {
            reports::Field_table t = uploaded(signal_rows[0], tag);
            t.store_field(f::calibrated_year + 4, std::to_string(minute));
            if (reading) t.store_field(f::left_output_base + 1, reading);
            const Lines report = reports::report_lines(t, format, "", index++);
            lines.insert(lines.end(), report.begin(), report.end());
        }
        return write(name, lines);
    }
    std::string write(const std::string& name, const Lines& lines) {
        std::ofstream out(path(name), std::ios::binary);
        for (const auto& line : lines) out << line << "\r\n";
        return path(name);
    }
    // Runs one statement on the database behind the store's back.
    void tamper(const std::string& statement) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "tamper");
            db.setDatabaseName(QString::fromStdString(database()));
            ASSERT_TRUE(db.open());
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(QString::fromStdString(statement))) << statement;
        }
        QSqlDatabase::removeDatabase("tamper");
    }

    QTemporaryDir dir;
};

// The same reports through both stores: an SQLite file, and a database on
// a private PostgreSQL server.
class Records_on : public Records_store, public ::testing::WithParamInterface<bool> {
public:
    void SetUp() override {
        Records_store::SetUp();
        if (GetParam()) ASSERT_TRUE(server.start() && server.create_database("records")) << server.reason();
    }
    std::string location() const { return GetParam() ? server.url("records") : database(); }
    test::Pg_server server;
};

INSTANTIATE_TEST_SUITE_P(Stores, Records_on, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "postgresql" : "sqlite"; });

// Every signal type in both layouts goes into the store and comes back as
// it was read: each value, each point, the report lines and the hash.
TEST_P(Records_on, every_signal_type_comes_back_from_the_store_as_it_was_read) {
    records::Record_store store(location());
    ASSERT_TRUE(store.open()) << store.error();
    int index = 0;
    for (const Signal_row& row : signal_rows) {
        const std::string tag = "TG-" + std::to_string(index++);
        const std::string txt = write("s.txt", reports::report_lines(uploaded(row, tag), Report_format::text, "", 0));
        const std::string csv = write("s.csv", reports::report_lines(uploaded(row, tag), Report_format::csv, "", 0));
        EXPECT_EQ(records::file_import_text(store.import_file(txt)), txt + ": 1 recorded, 0 already recorded");
        EXPECT_EQ(records::file_import_text(store.import_file(csv)), csv + ": 0 recorded, 1 already recorded");
        const records::Read_result read = records::read_report_file(txt);
        ASSERT_TRUE(read.ok);
        const auto stored = store.calibrations_of(tag, records::Record_store::Order::oldest_first);
        ASSERT_EQ(stored.size(), 1u) << tag;
        EXPECT_EQ(stored[0].calibration, read.reports[0].calibration) << tag;
        EXPECT_EQ(stored[0].sha256, records::content_hash(read.reports[0].calibration)) << tag;
        EXPECT_EQ(store.report_lines(stored[0].id), read.reports[0].lines) << tag;
    }
    EXPECT_EQ(store.verify().records, index);
}

TEST_F(Records_store, the_chain_holds_and_every_change_behind_its_back_is_found) {
    const std::string first = report_file("a.txt", {{"PT-1", 1}, {"pt-2", 2}, {"PT-3", 3}});
    const std::string again = report_file("a.csv", {{"PT-3", 3}, {"PT-1", 4}}, Report_format::csv);
    {
        records::Record_store store(database());
        ASSERT_TRUE(store.open()) << store.error();
        EXPECT_EQ(records::file_import_text(store.import_file(first)), first + ": 3 recorded, 0 already recorded");
        EXPECT_EQ(records::file_import_text(store.import_file(again)), again + ": 1 recorded, 1 already recorded");
        const auto tags = store.tag_summaries();
        ASSERT_EQ(tags.size(), 3u);
        EXPECT_EQ(tags[0].tag_id, "PT-1");
        EXPECT_EQ(tags[0].calibrations, 2);
        EXPECT_EQ(records::date_time_text(tags[0].last_calibrated), "2025-03-07 09:04:44");
        EXPECT_EQ(tags[1].tag_id, "pt-2");  // sorted without regard to case
        const auto history = store.calibrations_of("PT-1", records::Record_store::Order::newest_first);
        ASSERT_EQ(history.size(), 2u);
        EXPECT_EQ(history[0].calibration.calibrated.minute, 4);
        EXPECT_EQ(history[0].calibration.as_found.size(), 5u);
        EXPECT_EQ(store.report_lines(history[1].id).front(), "Tag ID: PT-1");
        const auto verified = store.verify();
        EXPECT_TRUE(verified.ok);
        EXPECT_EQ(verified.records, 4);
    }
    const std::string saved = path("records.saved");
    std::filesystem::copy_file(database(), saved);
    struct Tampering {
        const char* statement;
        const char* first_bad;   // tag and minute of the first record that no longer matches
    };
    const Tampering rows[] = {
        {"UPDATE points SET reading = '9.999' WHERE point = 2 AND phase = 1 AND calibration_id = 2", "pt-2 2"},
        {"UPDATE calibrations SET technician = 'X' WHERE id = 3", "PT-3 3"},
        {"UPDATE calibrations SET report_lines = replace(report_lines, 'bay 4', 'bay 5') WHERE id = 1", "PT-1 1"},
        {"DELETE FROM points WHERE calibration_id = 2", "pt-2 2"},
        {"DELETE FROM calibrations WHERE id = 2", "PT-3 3"},
        {"UPDATE calibrations SET link_hash = sha256 WHERE id = 4", "PT-1 4"},
    };
    for (const Tampering& row : rows) {
        std::filesystem::copy_file(saved, database(), std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(database() + "-wal");
        std::filesystem::remove(database() + "-shm");
        tamper(row.statement);
        records::Record_store store(database(), {.read_only = true});
        ASSERT_TRUE(store.open()) << store.error();
        const auto verified = store.verify();
        ASSERT_FALSE(verified.ok) << row.statement;
        ASSERT_TRUE(verified.first_bad.has_value());
        const auto& c = verified.first_bad->calibration;
        EXPECT_EQ(c.tag_id + " " + std::to_string(c.calibrated.minute), row.first_bad) << row.statement;
    }
}

// Every fault: the message names the file and the reason, and nothing of
// the failing file (or of the failing database) is recorded.
TEST_F(Records_store, faults_name_the_file_and_record_nothing) {
    struct Fault {
        const char* name;
        std::function<std::string(Records_store&)> prepare;   // the file to import ("" : none)
        records::Store_options options;
        std::function<std::string(Records_store&, const std::string&)> message;  // expected; "" : none
        long long records_after;   // in the database afterwards (-1: not readable)
    };
    auto db = [](Records_store& t) { return t.database(); };
    // Holds the write lock from another connection until the test ends.
    auto lock = std::make_shared<QSqlDatabase>();
    // How often the store let the window handle its events while it waited.
    auto waits = std::make_shared<int>(0);
    const std::string one_report_lines = std::to_string(reports::report_lines(uploaded(signal_rows[0], "X"),
                                                                              Report_format::text, "", 0).size());
    const Fault rows[] = {
        {"report of two", [](Records_store& t) { return t.report_file("ok.txt", {{"A", 1}, {"B", 2}}); }, {},
         [](Records_store&, const std::string&) { return std::string(); }, 2},
        {"same calibration twice in one file",
         [](Records_store& t) { return t.report_file("twice.txt", {{"A", 1}, {"A", 1}}); }, {},
         [](Records_store&, const std::string&) { return std::string(); }, 1},
        {"twice with different values",
         [](Records_store& t) {
             Lines lines = reports::report_lines(uploaded(signal_rows[0], "A"), Report_format::text, "", 0);
             reports::Field_table changed = uploaded(signal_rows[0], "A");
             changed.store_field(f::technician, "K. Berg");
             const Lines second = reports::report_lines(changed, Report_format::text, "", 1);
             lines.insert(lines.end(), second.begin(), second.end());
             return t.write("differ.txt", lines);
         },
         {}, [](Records_store&, const std::string& file) {
             return file + ": tag A calibrated 2025-03-07 09:05:44 appears twice with different values; nothing of "
                           "this file was recorded";
         }, 0},
        {"conflict with a recorded calibration",
         [](Records_store& t) {
             records::Record_store store(t.database());
             EXPECT_TRUE(store.open());
             store.import_file(t.report_file("first.txt", {{"A", 1}}));
             return t.report_file("conflict.txt", {{"B", 2}, {"A", 1}}, Report_format::csv, "7.777");
         },
         {}, [](Records_store&, const std::string& file) {
             return file + ": tag A calibrated 2025-03-07 09:01:44 is already recorded with different values; "
                           "nothing of this file was recorded";
         }, 1},
        {"empty file", [](Records_store& t) { return t.write("empty.txt", {}); }, {},
         [](Records_store&, const std::string& file) {
             return file + ": the file is empty; nothing of this file was recorded";
         }, 0},
        {"binary file",
         [](Records_store& t) { return t.write("image.txt", {std::string("Tag ID: A\0\x01\x02", 12)}); }, {},
         [](Records_store&, const std::string& file) {
             return file + ": not a report file (binary data); nothing of this file was recorded";
         }, 0},
        {"text without a report", [](Records_store& t) { return t.write("notes.txt", {"shopping list", "milk"}); },
         {}, [](Records_store&, const std::string& file) {
             return file + ": not a report file (no \"Tag ID:\" line); nothing of this file was recorded";
         }, 0},
        {"one byte over the report file limit",
         [](Records_store& t) {
             const std::string file = t.report_file("huge.txt", {{"A", 1}});
             std::filesystem::resize_file(file, reports::report_file_max_bytes + 1);
             return file;
         },
         {}, [](Records_store&, const std::string& file) {
             return file + ": larger than a report file may be (64 MB); nothing of this file was recorded";
         }, 0},
        {"report cut in the middle",
         [](Records_store& t) {
             Lines lines = reports::report_lines(uploaded(signal_rows[0], "A"), Report_format::text, "", 0);
             const Lines second = reports::report_lines(uploaded(signal_rows[0], "B"), Report_format::text, "", 1);
             lines.insert(lines.end(), second.begin(), second.begin() + 25);  // into B's As Found table
             return t.write("cut.txt", lines);
         },
         {}, [one_report_lines](Records_store&, const std::string& file) {
             return file + ": line " + std::to_string(std::stoi(one_report_lines) + 25) +
                    ": the report is cut short; nothing of this file was recorded";
         }, 0},
        {"a point row that cannot be read",
         [](Records_store& t) {
             Lines lines = reports::report_lines(uploaded(signal_rows[0], "A"), Report_format::csv, "", 0);
             for (auto& line : lines)
                 if (line.rfind("\"3\",", 0) == 0) line = "\"3\"";
             return t.write("row.csv", lines);
         },
         {}, [](Records_store&, const std::string& file) {
             return file + ": line 24: a point row cannot be read; nothing of this file was recorded";
         }, 0},
        {"database that is not SQLite",
         [db](Records_store& t) { t.write("records.sqlite", Lines(200, "not a database at all")); return std::string(); },
         {}, [db](Records_store& t, const std::string&) {
             return "Cannot open the records database " + db(t) + ": file is not a database";
         }, -1},
        {"truncated database",
         [](Records_store& t) {
             {
                 records::Record_store store(t.database());
                 EXPECT_TRUE(store.open());
                 store.import_file(t.report_file("before.txt", {{"A", 1}, {"B", 2}}));
             }
             std::filesystem::resize_file(t.database(), 8192);
             return t.report_file("after.txt", {{"C", 3}});
         },
         {}, [db](Records_store& t, const std::string&) {
             return "Cannot open the records database " + db(t) + ": database disk image is malformed";
         }, -1},
        {"newer schema",
         [](Records_store& t) {
             { records::Record_store store(t.database()); EXPECT_TRUE(store.open()); }
             t.tamper("UPDATE records_meta SET value = '3' WHERE name = 'schema_version'");
             return std::string();
         },
         {}, [db](Records_store& t, const std::string&) {
             return "The records database " + db(t) + " was written by a newer version of the program (schema 3; "
                    "this program reads up to 2).  Nothing was changed.";
         }, -1},
        {"folder that cannot be created",
         [](Records_store& t) {
             t.write("plain", {"x"});
             return std::string();
         },
         {}, [](Records_store& t, const std::string&) {
             return "Cannot create the records folder " + t.path("plain") + ": Not a directory";
         }, -1},
        {"database opened read-only",
         [](Records_store& t) {
             { records::Record_store store(t.database()); EXPECT_TRUE(store.open()); }
             return t.report_file("ro.txt", {{"A", 1}});
         },
         {.read_only = true}, [db](Records_store& t, const std::string& file) {
             return file + ": Cannot write to the records database " + db(t) +
                    ": attempt to write a readonly database\nNothing was recorded.";
         }, 0},
        {"database locked by another program",
         [lock](Records_store& t) {
             { records::Record_store store(t.database()); EXPECT_TRUE(store.open()); }
             *lock = QSqlDatabase::addDatabase("QSQLITE", "locker");
             lock->setDatabaseName(QString::fromStdString(t.database()));
             EXPECT_TRUE(lock->open());
             EXPECT_TRUE(QSqlQuery(*lock).exec("BEGIN EXCLUSIVE"));
             return t.report_file("locked.txt", {{"A", 1}});
         },
         {.busy_timeout_ms = 300, .while_locked = [waits] { ++*waits; }}, [db](Records_store& t, const std::string& file) {
             return file + ": The records database " + db(t) +
                    " is locked by another program; it stayed locked for 0.3 s.  Try again later.";
         }, -1},
        {"database full",
         [](Records_store& t) {
             std::vector<std::pair<std::string, int>> many;
             for (int i = 0; i < 60; ++i) many.emplace_back("T-" + std::to_string(i), i);
             return t.report_file("many.txt", many);
         },
         {.max_pages = 20}, [db](Records_store& t, const std::string& file) {
             return file + ": Cannot write to the records database " + db(t) +
                    ": database or disk is full\nNothing was recorded.";
         }, 0},
    };
    for (const Fault& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(database());
        std::filesystem::remove(database() + "-wal");
        std::filesystem::remove(database() + "-shm");
        const std::string file = row.prepare(*this);
        const bool folder_fault = std::string(row.name) == "folder that cannot be created";
        records::Record_store store(folder_fault ? path("plain/records.sqlite") : database(), row.options);
        const std::string expected = row.message(*this, file);
        if (!store.open()) {
            EXPECT_EQ(store.error(), expected);
        } else {
            const records::File_import result = store.import_file(file);
            EXPECT_EQ(result.counts.ok, expected.empty());
            EXPECT_EQ(result.counts.error, expected);
        }
        if (lock->isOpen()) {
            QSqlQuery(*lock).exec("ROLLBACK");
            lock->close();
        }
        if (row.records_after >= 0) {
            records::Record_store check(database(), {.read_only = true});
            ASSERT_TRUE(check.open()) << check.error();
            EXPECT_EQ(check.record_count(), row.records_after);
            EXPECT_TRUE(check.verify().ok);
        }
    }
    *lock = QSqlDatabase();
    QSqlDatabase::removeDatabase("locker");
    EXPECT_GE(*waits, 300 / 50 - 1);  // the wait was cut in slices, the window served between them
}

// A version 1 file (before the tags' intervals) is read as it is by a
// read-only run and brought up to date when opened for writing, keeping its
// records and chain; then each recorded tag may have its own interval, and
// the start-up line counts the tags overdue with them.
TEST_F(Records_store, a_version_1_file_is_migrated_and_keeps_its_records_and_chain) {
    const std::string file = report_file("a.txt", {{"PT-1", 1}, {"PT-2", 2}});  // calibrated 2025-03-07
    {
        records::Record_store store(database());
        ASSERT_TRUE(store.open()) << store.error();
        ASSERT_TRUE(store.import_file(file).counts.ok);
    }
    tamper("DROP TABLE tag_intervals");
    tamper("UPDATE records_meta SET value = '1' WHERE name = 'schema_version'");
    {
        records::Record_store reader(database(), {.read_only = true});
        ASSERT_TRUE(reader.open()) << reader.error();
        EXPECT_TRUE(reader.intervals().empty());
        EXPECT_EQ(records::overdue_status_text(database(), 365, {2026, 3, 8}), "2 tags overdue for calibration");
    }

    records::Record_store store(database());
    ASSERT_TRUE(store.open()) << store.error();
    EXPECT_EQ(store.record_count(), 2);
    struct Interval_row {
        const char* tag;
        int days;
        std::string error;       // "": set
        std::map<std::string, int> after;
    };
    const Interval_row rows[] = {
        {"PT-1", 30, "", {{"PT-1", 30}}},
        {"NO-SUCH", 30, "Tag NO-SUCH has no calibration recorded.", {{"PT-1", 30}}},
        {"pt-1", 30, "Tag pt-1 has no calibration recorded.", {{"PT-1", 30}}},  // the ID exactly
        {"PT-2", 0, "The calibration interval must be a whole number of days from 1 to 3650, not \"0\".", {{"PT-1", 30}}},
        {"PT-2", 3651, "The calibration interval must be a whole number of days from 1 to 3650, not \"3651\".", {{"PT-1", 30}}},
        {"PT-2", 3650, "", {{"PT-1", 30}, {"PT-2", 3650}}},
    };
    for (const Interval_row& row : rows) {
        SCOPED_TRACE(std::string(row.tag) + " " + std::to_string(row.days));
        EXPECT_EQ(store.set_interval(row.tag, row.days), row.error.empty());
        EXPECT_EQ(store.error(), row.error);
        EXPECT_EQ(store.intervals(), row.after);
    }
    EXPECT_EQ(store.interval_of("PT-3"), std::nullopt);
    EXPECT_TRUE(store.verify().ok);
    // PT-1 is due 2025-04-06 (30 days), PT-2 2035-03-05: overdue the day after each.
    EXPECT_EQ(records::overdue_status_text(database(), 365, {2035, 3, 5}), "1 tag overdue for calibration");
    EXPECT_EQ(records::overdue_status_text(database(), 365, {2035, 3, 6}), "2 tags overdue for calibration");
    EXPECT_EQ(records::overdue_status_text(path("none.sqlite"), 365, {2035, 3, 6}), "");
    EXPECT_FALSE(std::filesystem::exists(path("none.sqlite")));
}

// Server addresses: what is taken from them, what is refused (naming the
// address without its password), and a server that never answers is given
// up after the connect time-out.
TEST(Records_address, addresses_are_read_exactly_and_a_silent_server_is_given_up_in_time) {
    // What an address gives ("user host database port options"), or the
    // end of the message refusing it.
    const std::pair<std::string, std::string> rows[] = {
        {"postgresql://tq@db.plant/records", "tq db.plant records 5432 "},
        {"POSTGRES://t%40q@%2Ftmp%2Fpg:1/r", "t@q /tmp/pg r 1 "},
        {"postgresql://tq@[::1]:65535/r?sslmode=verify-full&sslrootcert=%2Fetc%2Fca.crt",
         "tq ::1 r 65535 sslmode=verify-full sslrootcert=/etc/ca.crt "},
        {"postgresql://tq@db:0/r", ": the port is not a number from 1 to 65535."},
        {"postgresql://tq@db:65536/r", ": the port is not a number from 1 to 65535."},
        {"postgresql://db/r", ": the user name is missing."},
        {"postgresql://tq@/r", ": the server is missing."},
        {"postgresql://tq@db", ": the database name is missing."},
        {"postgresql://tq@db/r%2", ": a percent-escape cannot be read."},
        {"postgresql://tq@db/r?host=x",
         ": the option \"host\" is not one the program passes on (sslmode, sslrootcert, sslcert, sslkey, sslcrl)."},
        {"postgresql://tq:s3cret@db/r", "The database address postgresql://tq@db/r holds a password."},
        {"postgresql://tq@db/r?sslmode=require&password=s3cret",
         "The database address postgresql://tq@db/r?sslmode=require holds a password."},
    };
    for (const auto& [text, expected] : rows) {
        const records::Location_result read = records::parse_location(text);
        std::string got = read.error.substr(0, read.error.find("  Give the password"));
        if (read.ok) {
            const records::Database_location& l = read.location;
            got = l.user + " " + l.host + " " + l.database + " " + std::to_string(l.port) + " ";
            for (const auto& [key, value] : l.options) got += key + "=" + value + " ";
        } else if (got.starts_with(text)) {
            got = got.substr(got.find(": "));   // after "TEXT is not a database address of the form ..."
        }
        EXPECT_EQ(got, expected) << text;
    }

    // A server that takes the connection and never answers.
    ensure_application();
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    ASSERT_TRUE(::bind(listener, reinterpret_cast<sockaddr*>(&address), size) == 0 && ::listen(listener, 4) == 0 &&
                ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) == 0);
    const std::string url = "postgresql://tq@127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/r?sslmode=disable";
    records::Record_store store(url, {.read_only = true, .connect_timeout_s = 2});
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(store.open());
    const auto waited = std::chrono::steady_clock::now() - started;
    ::close(listener);
    EXPECT_EQ(store.error().rfind("Cannot open the records database " + url + ": ", 0), 0u) << store.error();
    EXPECT_NE(store.error().find("timeout expired"), std::string::npos) << store.error();
    EXPECT_GE(waited, std::chrono::seconds(2));
    EXPECT_LT(waited, std::chrono::seconds(5));
}

}  // namespace
