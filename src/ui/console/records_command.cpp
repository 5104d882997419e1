#include "ui/console/records_command.h"

#include <cstdio>
#include <optional>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "records/drift.h"
#include "records/certificate.h"
#include "records/record_store.h"
#include "resources/certificate_strings.h"
#include "resources/reports_strings.h"
#include "shell/settings.h"
#include "ui/console/console_ui.h"
#include "ui/print/paged_print_job.h"
#include "records/due_dates.h"
#include "records/record_store.h"
#include "resources/due_strings.h"
#include "resources/records_server_strings.h"
#include "resources/records_strings.h"
#include "resources/strings.h"
#include "ui/console/cli.h"

namespace ui::console {

namespace {

int fail(const std::string& text) {
    std::fprintf(stderr, "ERROR: %s\n", text.c_str());
    return 1;
}

int usage(const std::string& text) {
    std::fprintf(stderr, "tq740-cli: %s (see tq740-cli --help)\n", text.c_str());
    return EXIT_USAGE;
}

// The store opened for reading only, or for recording.
bool open_store(records::Record_store& store) {
    if (store.open()) return true;
    fail(store.error());
    return false;
}

// The date options of the commands that use today's date: --today
// YYYY-MM-DD replaces the system date, --within DAYS the due-soon window
// (when the command takes it).  Anything else is left in `rest`.
struct Date_options {
    records::Date_time today = records::today_local();
    int within = records::default_due_window_days;
    std::vector<std::string> rest;
};
// Nothing when the options are good; else the exit status (the message shown).
std::optional<int> read_date_options(const std::vector<std::string>& args, bool takes_within,
                                     const char* command, Date_options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool is_today = a == "--today";
        const bool is_within = takes_within && a == "--within";
        if (!is_today && !is_within) {
            options.rest.push_back(a);
            continue;
        }
        if (i + 1 == args.size()) return usage(std::string(command) + " " + a + " needs a value");
        const std::string& value = args[++i];
        if (is_today) {
            const auto date = records::parse_date(value);
            if (!date) return fail(res::format(res::IDS_BAD_DATE, value));
            options.today = *date;
        } else {
            const auto days = records::parse_days(value, 0, records::max_interval_days);
            if (!days) return fail(res::format(res::IDS_BAD_WINDOW, value));
            options.within = *days;
        }
    }
    return std::nullopt;
}

// Every tag with its interval and due date; nothing (the message shown) when
// the store cannot be read.
std::optional<std::vector<records::Tag_due>> read_due_dates(const std::string& database, int default_interval,
                                                            const Date_options& options) {
    records::Record_store store(database, {.read_only = true});
    if (!open_store(store)) return std::nullopt;
    const auto tags = store.tag_summaries();
    const auto intervals = store.intervals();
    if (!store.error().empty()) {
        fail(store.error());
        return std::nullopt;
    }
    return records::due_dates(tags, intervals, default_interval, options.today, options.within);
}

// records list [--today YYYY-MM-DD] [--within DAYS]
int run_list(const std::vector<std::string>& args, const std::string& database, int default_interval) {
    Date_options options;
    if (const auto status = read_date_options(args, true, "records list", options)) return *status;
    if (!options.rest.empty()) return usage("records list takes only --today and --within");
    const auto tags = read_due_dates(database, default_interval, options);
    if (!tags) return 1;
    std::printf("tag\tcalibrated\tas_found\tas_left\tcalibrations\tdue\tstatus\n");
    for (const auto& d : *tags) {
        const records::Tag_summary& t = d.tag;
        std::printf("%s\t%s\t%s\t%s\t%d\t%s\t%s\n", t.tag_id.c_str(), records::date_time_text(t.last_calibrated).c_str(),
                    records::verdict_text(t.as_found).c_str(), records::verdict_text(t.as_left).c_str(),
                    t.calibrations, records::date_text(d.due.date).c_str(),
                    records::due_status_text(d.due.status).c_str());
    }
    return 0;
}

// records due [--within DAYS] [--today YYYY-MM-DD]: the tags overdue or due
// within the window, the most overdue first.
int run_due(const std::vector<std::string>& args, const std::string& database, int default_interval) {
    Date_options options;
    if (const auto status = read_date_options(args, true, "records due", options)) return *status;
    if (!options.rest.empty()) return usage("records due takes only --within and --today");
    const auto tags = read_due_dates(database, default_interval, options);
    if (!tags) return 1;
    std::printf("tag\tlast_calibrated\tinterval_days\tdue\tstatus\n");
    for (const auto& d : records::due_or_overdue(*tags))
        std::printf("%s\t%s\t%d\t%s\t%s\n", d.tag.tag_id.c_str(), records::date_text(d.tag.last_calibrated).c_str(),
                    d.interval_days, records::date_text(d.due.date).c_str(),
                    records::due_status_text(d.due.status).c_str());
    return 0;
}

// records interval TAG DAYS: the tag's own calibration interval.
int run_interval(const std::vector<std::string>& args, const std::string& database) {
    if (args.size() != 2 || args[0].empty()) return usage("records interval needs a tag ID and a number of days");
    const std::string& tag = args[0];
    const auto days = records::parse_days(args[1]);
    if (!days) return fail(res::format(res::IDS_BAD_INTERVAL, args[1]));
    records::Record_store store(database);
    if (!open_store(store)) return 1;
    if (!store.set_interval(tag, *days)) return fail(store.error());
    const auto last = store.calibrations_of(tag, records::Record_store::Order::newest_first);
    if (last.empty()) return fail(store.error());
    const auto due = records::add_days(last.front().calibration.calibrated, *days);
    std::printf("%s\n", res::format(res::IDS_INTERVAL_SET, tag, *days, records::date_text(due)).c_str());
    return 0;
}

QJsonValue text_or_null(const std::optional<double>& number) {
    return number ? QJsonValue(*number) : QJsonValue(QJsonValue::Null);
}
QJsonValue verdict_json(records::Verdict verdict) {
    return verdict == records::Verdict::none ? QJsonValue(QJsonValue::Null)
                                             : QJsonValue(QString::fromStdString(records::verdict_text(verdict)));
}
QString q(const std::string& text) { return QString::fromStdString(text); }

QJsonArray points_json(const std::vector<records::Point>& points) {
    QJsonArray array;
    for (const auto& p : points)
        array.append(QJsonObject{{"point", p.number},
                                 {"input", q(p.input)},
                                 {"reading", q(p.reading)},
                                 {"error_percent", text_or_null(p.error_percent)},
                                 {"verdict", verdict_json(p.verdict)}});
    return array;
}

QJsonObject signal_json(const records::Signal& signal) {
    const std::string type = signal.units.empty() ? signal.type : signal.type + ", " + signal.units;
    return QJsonObject{{"type", q(type)}, {"low", q(signal.low)}, {"high", q(signal.high)}};
}

QJsonObject calibration_json(const records::Recorded_calibration& r) {
    const records::Calibration& c = r.calibration;
    return QJsonObject{{"tag", q(c.tag_id)},
                       {"calibrated", q(records::date_time_iso(c.calibrated))},
                       {"manufacturer", q(c.manufacturer)},
                       {"model", q(c.model)},
                       {"serial", q(c.serial)},
                       {"technician", q(c.technician)},
                       {"calibrator", q(c.calibrator)},
                       {"calibrator_last_cal", q(records::date_text(c.calibrator_last_cal))},
                       {"tolerance_percent", text_or_null(c.tolerance_percent)},
                       {"input", signal_json(c.input)},
                       {"output", signal_json(c.output)},
                       {"as_found", points_json(c.as_found)},
                       {"as_left", points_json(c.as_left)},
                       {"as_found_verdict", verdict_json(c.as_found_verdict())},
                       {"as_left_verdict", verdict_json(c.as_left_verdict())},
                       {"source", q(r.source)},
                       {"sha256", q(r.sha256)}};
}

void print_table(const char* title, const std::vector<records::Point>& points, records::Verdict verdict) {
    std::printf("%s: %s\n", title, records::verdict_text(verdict).c_str());
    if (points.empty()) return;
    std::printf("  Point  %12s  %12s  %9s  Verdict\n", "Input", "Reading", "% Error");
    for (const auto& p : points)
        std::printf("  %5d  %12s  %12s  %9s  %s\n", p.number, p.input.c_str(), p.reading.c_str(),
                    p.error_text.empty() ? "-" : p.error_text.c_str(), records::verdict_text(p.verdict).c_str());
}

void print_signal(const char* title, const records::Signal& signal) {
    std::printf("%s: %s%s%s\n", title, signal.type.c_str(), signal.units.empty() ? "" : ", ", signal.units.c_str());
    for (const auto& line : signal.extra_lines) std::printf("  %s\n", line.c_str());
    if (!signal.low.empty() || !signal.high.empty())
        std::printf("  Range: %s to %s\n", signal.low.c_str(), signal.high.c_str());
}

void print_calibration(const records::Recorded_calibration& r) {
    const records::Calibration& c = r.calibration;
    std::printf("Tag ID: %s\nCalibrated: %s\n", c.tag_id.c_str(), records::date_time_text(c.calibrated).c_str());
    std::printf("Manufacturer: %s\nModel Number: %s\nSerial Number: %s\nTechnician: %s\n", c.manufacturer.c_str(),
                c.model.c_str(), c.serial.c_str(), c.technician.c_str());
    std::printf("Temperature: %s\nHumidity: %s\nOther information: %s\nTolerance: %s\n", c.temperature.c_str(),
                c.humidity.c_str(), c.other_information.c_str(), c.tolerance_text.c_str());
    print_signal("Input", c.input);
    print_signal("Output", c.output);
    std::printf("Calibrator: %s (last calibrated %s)\n", c.calibrator.c_str(),
                records::date_text(c.calibrator_last_cal).c_str());
    print_table("As Found", c.as_found, c.as_found_verdict());
    print_table("As Left", c.as_left, c.as_left_verdict());
    std::printf("Source: %s\nRecorded: %s\nSHA-256: %s\n", r.source.c_str(), r.recorded_at.c_str(), r.sha256.c_str());
}

// Reads "TAG [--json]", the arguments of `command`; 0, or the status of a
// wrong command line.
int read_tag_and_json(const std::vector<std::string>& args, const std::string& command, std::string& tag,
                      bool& json) {
    for (const auto& a : args) {
        if (a == "--json") json = true;
        else if (tag.empty() && !a.empty()) tag = a;
        else return usage(command + " takes one tag ID and --json");
    }
    return tag.empty() ? usage(command + " needs a tag ID") : 0;
}

// The calibrations of a recorded tag, oldest first; 0, or 1 with the message
// shown when the records cannot be read or hold no calibration of the tag.
int load_calibrations(const std::string& database, const std::string& tag,
                      std::vector<records::Recorded_calibration>& calibrations) {
    records::Record_store store(database, {.read_only = true});
    if (!open_store(store)) return 1;
    calibrations = store.calibrations_of(tag, records::Record_store::Order::oldest_first);
    if (!store.error().empty()) return fail(store.error());
    if (calibrations.empty()) return fail(res::format(res::IDS_TAG_NOT_RECORDED, tag));
    return 0;
}

// records show TAG [--json]
int run_show(const std::vector<std::string>& args, const std::string& database) {
    std::string tag;
    bool json = false;
    if (const int status = read_tag_and_json(args, "records show", tag, json)) return status;
    std::vector<records::Recorded_calibration> calibrations;
    if (const int status = load_calibrations(database, tag, calibrations)) return status;
    if (json) {
        QJsonArray array;
        for (const auto& r : calibrations) array.append(calibration_json(r));
        std::fputs(QJsonDocument(array).toJson(QJsonDocument::Indented).constData(), stdout);
        return 0;
    }
    for (std::size_t i = 0; i < calibrations.size(); ++i) {
        if (i > 0) std::printf("\n");
        print_calibration(calibrations[i]);
    }
    return 0;
}

// records import FILE...: each file in turn; a refused file does not stop
// the others, a failed database does.
int run_import(const std::vector<std::string>& files, const std::string& database) {
    if (files.empty()) return usage("records import needs the report files");
    records::Record_store store(database);
    if (!open_store(store)) return 1;
    int status = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const records::File_import result = store.import_file(files[i]);
        if (result.counts.ok) {
            std::printf("%s\n", records::file_import_text(result).c_str());
            std::fflush(stdout);
            continue;
        }
        status = fail(result.counts.error);
        if (result.counts.database_failed) {
            if (i + 1 < files.size()) fail(res::format(res::IDS_FILES_NOT_TRIED, files.size() - i - 1));
            break;
        }
    }
    return status;
}

// records verify
int run_verify(const std::string& database) {
    records::Record_store store(database, {.read_only = true});
    if (!open_store(store)) return 1;
    const records::Verify_result result = store.verify();
    if (!result.error.empty()) return fail(result.error);
    if (!result.ok) {
        const auto& c = result.first_bad->calibration;
        return fail(res::format(res::IDS_CHAIN_BROKEN, c.tag_id, records::date_time_text(c.calibrated)));
    }
    std::printf("%s\n", res::format(res::IDS_CHAIN_INTACT, result.records).c_str());
    return 0;
}

// records copy --to DATABASE: every record of this database into another
// (a file or a server address).  Prints "N copied, M already recorded";
// each record in conflict is named and the exit status is 1.
int run_copy(const std::vector<std::string>& args, const std::string& database) {
    if (args.size() != 2 || args[0] != "--to" || args[1].empty())
        return usage("records copy needs --to DATABASE (a file or postgresql://USER@HOST[:PORT]/DBNAME)");
    records::Record_store source(database, {.read_only = true});
    if (!open_store(source)) return 1;
    records::Record_store target(args[1]);
    if (!open_store(target)) return 1;
    const records::Copy_result result = source.copy_to(target);
    for (const auto& conflict : result.conflicts) fail(conflict);
    if (!result.error.empty()) {
        fail(result.error);
        if (result.copied + result.already_recorded > 0)
            fail(res::format(res::IDS_COPY_NOT_DONE, result.copied + result.already_recorded));
    }
    if (result.ok || result.copied + result.already_recorded > 0)
        std::printf("%s\n", res::format(res::IDS_COPY_COUNTS, result.copied, result.already_recorded).c_str());
    return result.ok && result.conflicts.empty() ? 0 : 1;
}

// records export --csv FILE
int run_export(const std::vector<std::string>& args, const std::string& database) {
    if (args.size() != 2 || args[0] != "--csv") return usage("records export needs --csv FILE");
    records::Record_store store(database, {.read_only = true});
    if (!open_store(store)) return 1;
    if (!store.export_csv(args[1])) return fail(store.error());
    return 0;
}

// records drift TAG [--json]: one line per test point: input, calibrations
// used, drift (% of span per year), newest As Found error, projected date.
int run_drift(const std::vector<std::string>& args, const std::string& database) {
    std::string tag;
    bool json = false;
    if (const int status = read_tag_and_json(args, "records drift", tag, json)) return status;
    std::vector<records::Recorded_calibration> recorded;
    if (const int status = load_calibrations(database, tag, recorded)) return status;
    std::vector<records::Calibration> calibrations;
    for (const auto& r : recorded) calibrations.push_back(r.calibration);
    const records::Tag_drift drift = records::drift_of(calibrations);

    if (json) {
        QJsonArray array;
        for (const auto& p : drift.points)
            array.append(QJsonObject{
                {"input", q(p.input)},
                {"calibrations", p.calibrations},
                {"drift_percent_per_year", p.drift_percent_per_year
                                               ? QJsonValue(records::rounded_drift(*p.drift_percent_per_year))
                                               : QJsonValue(QJsonValue::Null)},
                {"last_error_percent", text_or_null(p.last_error_percent)},
                {"projected_out_of_tolerance", p.projected ? QJsonValue(q(records::date_text(*p.projected))) : QJsonValue(QJsonValue::Null)}});
        std::fputs(QJsonDocument(array).toJson(QJsonDocument::Indented).constData(), stdout);
        return 0;
    }
    for (const auto& p : drift.points) std::printf("%s\n", records::drift_line(p).c_str());
    return 0;
}

// records certificate TAG [--calibrated "YYYY-MM-DD HH:MM:SS"] --pdf OUT.pdf [--font-size N]:
// the certificate of the tag's calibration at that date and time (default:
// the last one) printed into the PDF file.  Nothing is written unless the
// certificate is printed whole.
int run_certificate(const std::vector<std::string>& args, const std::string& database, int default_interval,
                    const Records_printing& printing) {
    std::string tag, pdf, calibrated;
    bool has_calibrated = false;
    int font_size = printing.font_size;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--pdf" && has_value) {
            pdf = args[++i];
        } else if (a == "--calibrated" && has_value) {
            calibrated = args[++i];
            has_calibrated = true;
        } else if (a == "--font-size" && has_value) {
            const std::string& n = args[++i];
            font_size = n.size() <= 2 && n.find_first_not_of("0123456789") == std::string::npos && !n.empty()
                            ? std::stoi(n)
                            : 0;
            if (!shell::valid_font_size(font_size)) return usage("--font-size takes 8, 9, 10, 11, 12, 14 or 16");
        } else if (tag.empty() && !a.empty() && a[0] != '-') {
            tag = a;
        } else {
            return usage("records certificate takes one tag ID, --calibrated DATE, --pdf FILE and --font-size N");
        }
    }
    if (tag.empty() || pdf.empty()) return usage("records certificate needs a tag ID and --pdf OUT.pdf");
    std::optional<records::Date_time> when;
    if (has_calibrated) {
        when = records::parse_calibrated(calibrated);
        if (!when) return fail(res::format(res::IDS_CERT_BAD_DATE, calibrated));
    }

    records::Record_store store(database, {.read_only = true});
    if (!open_store(store)) return 1;
    const auto calibrations = store.calibrations_of(tag, records::Record_store::Order::oldest_first);
    if (!store.error().empty()) return fail(store.error());
    if (calibrations.empty()) return fail(res::format(res::IDS_TAG_NOT_RECORDED, tag));
    const records::Recorded_calibration* record = records::find_calibration(calibrations, when);
    if (!record) return fail(res::format(res::IDS_CERT_NO_CALIBRATION_AT, tag, calibrated));

    const int interval = store.interval_of(tag).value_or(default_interval);
    const records::Date_time due = records::certificate_due_date(record->calibration, interval);
    const records::Certificate certificate = records::make_certificate(*record, printing.company, due);
    Console_ui ui(false);
    ui::print::Pdf_result result;
    ui.print_with([&pdf, &result]() -> std::unique_ptr<ui::Print_job> {
        return std::make_unique<ui::print::Pdf_print_job>(pdf, &result);
    });
    records::print_certificate(ui, certificate, font_size);
    if (ui.error_count() > 0) return 1;
    if (!result.written) return fail(!result.error.empty() ? result.error : res::str(res::IDS_PRINT_FAILED));
    std::printf("%s: %d pages\n", pdf.c_str(), result.pages);
    return 0;
}

}  // namespace

int run_records(const std::vector<std::string>& args, const std::string& database, int default_interval,
                const Records_printing& printing) {
    if (args.empty()) return usage("records needs list, show, import, verify, export, copy, due, interval, certificate or drift");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "list") return run_list(rest, database, default_interval);
    if (command == "due") return run_due(rest, database, default_interval);
    if (command == "interval") return run_interval(rest, database);
    if (command == "show") return run_show(rest, database);
    if (command == "import") return run_import(rest, database);
    if (command == "verify") return rest.empty() ? run_verify(database) : usage("records verify takes no arguments");
    if (command == "export") return run_export(rest, database);
    if (command == "copy") return run_copy(rest, database);
    if (command == "drift") return run_drift(rest, database);
    if (command == "certificate") return run_certificate(rest, database, default_interval, printing);
    return usage("records does not understand '" + command + "'");
}

const char* records_usage() {
    return "records list | show TAG [--json] | import FILE... | verify | export --csv FILE\n"
           "                             | drift TAG [--json]\n"
           "                             the calibration records: list the tags, show a tag's\n"
           "                             calibrations, record saved reports, check the chain, export\n"
           "  records due [--within DAYS] [--today YYYY-MM-DD] | interval TAG DAYS\n"
           "                             the tags overdue or due for calibration; a tag's interval\n"
           "                             (list also takes --today and --within)\n"
           "  records copy --to DATABASE  every record into another database (a file or\n"
           "                             postgresql://USER@HOST[:PORT]/DBNAME), none twice\n"
           "  records certificate TAG [--calibrated \"YYYY-MM-DD HH:MM:SS\"] --pdf OUT.pdf [--font-size N]\n"
           "                             the calibration certificate (default: the last calibration)\n"
           "  records drift TAG [--json]   each test point's drift and projected out-of-tolerance date";
}

}  // namespace ui::console
