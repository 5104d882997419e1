#include "records/records_settings.h"

#include <filesystem>

#include "records/database_location.h"
#include "records/record_store.h"
#include "resources/due_strings.h"
#include "resources/records_strings.h"
#include "resources/strings.h"
#include "shell/program.h"

namespace records {

Records_settings read_records_settings(const std::string& ini_path) {
    const shell::Ini_file ini(ini_path, "records");
    Records_settings settings;
    settings.database = ini.read_text("database", "");
    settings.record_uploads = ini.read_int("record_uploads", 1) != 0;
    settings.interval_days =
        parse_days(ini.read_text("interval_days", std::to_string(default_interval_days))).value_or(default_interval_days);
    return settings;
}

std::string database_path(const Records_settings& settings, const std::string& data_folder) {
    if (!settings.database.empty()) return settings.database;
    return data_folder.empty() ? default_database_path() : data_folder + "/records.sqlite";
}

namespace {

// "NORVA TQ740 S/N 12345": the calibrator the reports came from.
std::string calibrator_text(const comm::Calibrator_identity& identity) {
    std::string text = identity.manufacturer;
    if (!identity.model.empty()) text += (text.empty() ? "" : " ") + identity.model;
    if (!identity.serial_number.empty()) text += (text.empty() ? "S/N " : " S/N ") + identity.serial_number;
    return text;
}

}  // namespace

bool record_uploaded_reports(shell::Program& program, const std::string& database) {
    program.ui.set_status(res::str(res::IDS_RECORDING_UPLOAD));
    program.ui.set_wait_cursor(true);
    // While another program holds the records, the window keeps repainting.
    Store_options options;
    options.while_locked = [&program] { program.ui.pump_events(); };
    Record_store store(database, options);
    Record_counts counts;
    if (store.open())
        counts = store.record_upload(program.reports.lines(), calibrator_text(program.session.identity));
    else
        counts.error = store.error();
    program.ui.set_wait_cursor(false);
    if (!counts.ok) {
        program.refresh_status_line();
        // The reports stay in the list and stay unsaved: nothing is lost.
        program.ui.message(res::format(res::IDS_RECORDING_FAILED, counts.error), ui::Caption::error, ui::Buttons::ok);
        return false;
    }
    program.ui.set_status(counts_text(counts));
    return true;
}

std::string overdue_status_text(const std::string& database, int interval_days, const Date_time& today) {
    std::error_code error;
    if (database.empty()) return {};
    if (!is_server_address(database) && !std::filesystem::exists(database, error)) return {};
    // The start-up does not wait long for a server that does not answer.
    Record_store store(database, {.read_only = true, .connect_timeout_s = 3});
    if (!store.open()) return {};
    const auto tags = store.tag_summaries();
    const auto intervals = store.intervals();
    if (!store.error().empty()) return {};
    const int overdue = overdue_count(due_dates(tags, intervals, interval_days, today, default_due_window_days));
    if (overdue == 0) return {};
    return overdue == 1 ? res::str(res::IDS_ONE_TAG_OVERDUE) : res::format(res::IDS_TAGS_OVERDUE, overdue);
}

}  // namespace records
