#include "records/records_browser.h"

#include <algorithm>
#include <filesystem>

#include "records/certificate.h"
#include "records/database_location.h"
#include "reports/report_print.h"
#include "resources/drift_strings.h"
#include "resources/due_strings.h"
#include "resources/records_server_strings.h"
#include "resources/records_window_strings.h"
#include "resources/strings.h"

namespace records {

namespace {

using Table = Records_browser::Table;

// The column headings of each table, in order.
const std::vector<int>& columns(Table table) {
    static const std::vector<int> tags = {res::IDS_RECORDS_COLUMN_TAG, res::IDS_RECORDS_COLUMN_LAST_CALIBRATED,
                                          res::IDS_RECORDS_COLUMN_AS_FOUND, res::IDS_RECORDS_COLUMN_AS_LEFT,
                                          res::IDS_RECORDS_COLUMN_CALIBRATIONS, res::IDS_COLUMN_DUE,
                                          res::IDS_COLUMN_DUE_STATUS, res::IDS_COLUMN_INTERVAL,
                                          res::IDS_RECORDS_COLUMN_PROJECTED};
    static const std::vector<int> calibrations = {
        res::IDS_RECORDS_COLUMN_CALIBRATED, res::IDS_RECORDS_COLUMN_AS_FOUND,  res::IDS_RECORDS_COLUMN_AS_LEFT,
        res::IDS_RECORDS_COLUMN_TECHNICIAN, res::IDS_RECORDS_COLUMN_CALIBRATOR, res::IDS_RECORDS_COLUMN_SOURCE};
    static const std::vector<int> points = {res::IDS_RECORDS_COLUMN_POINT, res::IDS_RECORDS_COLUMN_INPUT,
                                            res::IDS_RECORDS_COLUMN_READING, res::IDS_RECORDS_COLUMN_ERROR,
                                            res::IDS_RECORDS_COLUMN_VERDICT};
    switch (table) {
    case Table::tags: return tags;
    case Table::calibrations: return calibrations;
    case Table::as_found:
    case Table::as_left: break;
    }
    return points;
}

// The verdict columns of each table.
bool is_verdict_column(Table table, int column) {
    switch (table) {
    case Table::tags: return column == 2 || column == 3;
    case Table::calibrations: return column == 1 || column == 2;
    case Table::as_found:
    case Table::as_left: break;
    }
    return column == 4;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when text holds part, letters compared without regard to case.
bool contains_ignoring_case(const std::string& text, const std::string& part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

// "-" for a text the report left empty.
std::string or_dash(const std::string& text) { return text.empty() ? "-" : text; }

void show(ui::Ui& ui, const std::string& text, ui::Caption caption) { ui.message(text, caption, ui::Buttons::ok); }

// The window's text of a due status: "Overdue", "Due soon" or "OK".
std::string due_status_label(Due_status status) {
    switch (status) {
    case Due_status::overdue: return res::str(res::IDS_DUE_OVERDUE);
    case Due_status::due: return res::str(res::IDS_DUE_SOON);
    case Due_status::ok: break;
    }
    return res::str(res::IDS_DUE_OK);
}

void refresh_status(Records_context& c) {
    if (c.files.refresh_status_line) c.files.refresh_status_line();
}

}  // namespace

Records_browser::Records_browser(Records_context& context, Record_store* store) : context_(context), store_(store) {}

void Records_browser::load() {
    tags_ = store_ ? store_->tag_summaries() : std::vector<Tag_summary>{};
    projected_cells_.clear();
    intervals_ = store_ ? store_->intervals() : std::map<std::string, int>{};
    selected_tag_ = -1;
    set_filter(filter_);
}

int Records_browser::row_count(Table table) const {
    switch (table) {
    case Table::tags: return static_cast<int>(shown_.size());
    case Table::calibrations: return static_cast<int>(calibrations_.size());
    case Table::as_found: return current() ? static_cast<int>(current()->calibration.as_found.size()) : 0;
    case Table::as_left: return current() ? static_cast<int>(current()->calibration.as_left.size()) : 0;
    }
    return 0;
}

int Records_browser::column_count(Table table) const { return static_cast<int>(columns(table).size()); }

std::string Records_browser::heading(Table table, int column) const {
    const auto& ids = columns(table);
    return column >= 0 && column < static_cast<int>(ids.size()) ? res::str(ids[static_cast<std::size_t>(column)]) : "";
}

const Point& Records_browser::point(Table table, int row) const {
    const Calibration& c = current()->calibration;
    return (table == Table::as_found ? c.as_found : c.as_left)[static_cast<std::size_t>(row)];
}

std::string Records_browser::cell(Table table, int row, int column) const {
    if (row < 0 || row >= row_count(table)) return {};
    switch (table) {
    case Table::tags: {
        const Tag_summary& tag = shown_tag(row);
        switch (column) {
        case 0: return tag.tag_id;
        case 1: return date_time_text(tag.last_calibrated);
        case 2: return verdict_text(tag.as_found);
        case 3: return verdict_text(tag.as_left);
        case 4: return std::to_string(tag.calibrations);
        case 5: return date_text(due(row).date);
        case 6: return due_status_label(due(row).status);
        case 7:
            return res::format(intervals_.contains(tag.tag_id) ? res::IDS_INTERVAL_DAYS : res::IDS_INTERVAL_DEFAULT_DAYS,
                               interval_of(tag));
        case 8: return projected_cell(tag);
        default: return {};
        }
    }
    case Table::calibrations: {
        const Recorded_calibration& r = calibrations_[static_cast<std::size_t>(row)];
        switch (column) {
        case 0: return date_time_text(r.calibration.calibrated);
        case 1: return verdict_text(r.calibration.as_found_verdict());
        case 2: return verdict_text(r.calibration.as_left_verdict());
        case 3: return or_dash(r.calibration.technician);
        case 4: return or_dash(r.calibration.calibrator);
        case 5: return r.source;
        default: return {};
        }
    }
    case Table::as_found:
    case Table::as_left: {
        const Point& p = point(table, row);
        switch (column) {
        case 0: return std::to_string(p.number);
        case 1: return p.input;
        case 2: return p.reading;
        case 3: return or_dash(p.error_text);
        case 4: return verdict_text(p.verdict);
        default: return {};
        }
    }
    }
    return {};
}

bool Records_browser::failed(Table table, int row, int column) const {
    return is_verdict_column(table, column) && cell(table, row, column) == verdict_text(Verdict::fail);
}

std::string Records_browser::tags_label() const {
    return res::format(res::IDS_RECORDS_TAGS_LABEL, shown_.size(), tags_.size());
}

std::string Records_browser::calibrations_label() const {
    if (selected_tag_ < 0) return res::str(res::IDS_RECORDS_NO_TAG_LABEL);
    return res::format(res::IDS_RECORDS_CALIBRATIONS_LABEL, shown_tag(selected_tag_).tag_id);
}

std::string Records_browser::as_found_label() const {
    const Recorded_calibration* r = current();
    return res::format(res::IDS_RECORDS_AS_FOUND_LABEL,
                       verdict_text(r ? r->calibration.as_found_verdict() : Verdict::none));
}

std::string Records_browser::as_left_label() const {
    const Recorded_calibration* r = current();
    return res::format(res::IDS_RECORDS_AS_LEFT_LABEL,
                       verdict_text(r ? r->calibration.as_left_verdict() : Verdict::none));
}

std::vector<std::string> Records_browser::details() const {
    const Recorded_calibration* r = current();
    if (!r) return {};
    const Calibration& c = r->calibration;
    const auto type = [](const Signal& s) { return s.units.empty() ? s.type : s.type + ", " + s.units; };
    // The time recorded as the lists show times.
    const auto stored = parse_date_time_iso(r->recorded_at);
    const std::string recorded_at = stored ? date_time_text(*stored) : r->recorded_at;
    return {
        res::format(res::IDS_RECORDS_DETAIL_INSTRUMENT, or_dash(c.manufacturer), or_dash(c.model), or_dash(c.serial)),
        res::format(res::IDS_RECORDS_DETAIL_SIGNALS, type(c.input), or_dash(c.input.low), or_dash(c.input.high),
                    type(c.output), or_dash(c.output.low), or_dash(c.output.high)),
        res::format(res::IDS_RECORDS_DETAIL_TOLERANCE, or_dash(c.tolerance_text), or_dash(c.temperature),
                    or_dash(c.humidity)),
        res::format(res::IDS_RECORDS_DETAIL_CALIBRATOR, or_dash(c.calibrator), date_text(c.calibrator_last_cal)),
        res::format(res::IDS_RECORDS_DETAIL_RECORDED, recorded_at, r->source),
        res::format(res::IDS_RECORDS_DETAIL_HASH, r->sha256),
    };
}

void Records_browser::set_filter(const std::string& text) {
    const std::string selected_id = selected_tag_ >= 0 ? shown_tag(selected_tag_).tag_id : std::string();
    filter_ = text;
    shown_.clear();
    int keep = -1;
    for (std::size_t i = 0; i < tags_.size(); ++i) {
        if (!contains_ignoring_case(tags_[i].tag_id, filter_)) continue;
        if (!selected_id.empty() && tags_[i].tag_id == selected_id) keep = static_cast<int>(shown_.size());
        shown_.push_back(i);
    }
    if (keep >= 0) {
        selected_tag_ = keep;  // the same tag, at its new row; its calibrations stay as they are
        return;
    }
    selected_tag_ = -1;
    select_tag(shown_.empty() ? -1 : 0);
}

void Records_browser::select_tag(int row) {
    if (row < 0 || row >= static_cast<int>(shown_.size())) row = -1;
    const bool same = row >= 0 && row == selected_tag_;
    selected_tag_ = row;
    if (same) return;
    calibrations_.clear();
    if (row >= 0 && store_) calibrations_ = store_->calibrations_of(shown_tag(row).tag_id, Record_store::Order::newest_first);
    selected_calibration_ = calibrations_.empty() ? -1 : 0;
    std::vector<Calibration> values;
    for (const auto& r : calibrations_) values.push_back(r.calibration);
    drift_ = drift_of(values);
}

void Records_browser::select_calibration(int row) {
    selected_calibration_ = row >= 0 && row < static_cast<int>(calibrations_.size()) ? row : -1;
}

const Recorded_calibration* Records_browser::current() const {
    return selected_calibration_ >= 0 ? &calibrations_[static_cast<std::size_t>(selected_calibration_)] : nullptr;
}

std::optional<std::vector<std::string>> Records_browser::current_lines() {
    const Recorded_calibration* r = current();
    if (!r || !store_) return std::nullopt;
    std::vector<std::string> lines = store_->report_lines(r->id);
    if (lines.empty()) {
        show(context_.files.ui,
             res::format(res::IDS_RECORDS_NO_LINES, r->calibration.tag_id, date_time_text(r->calibration.calibrated)),
             ui::Caption::error);
        return std::nullopt;
    }
    return lines;
}

void Records_browser::print_report() {
    const auto lines = current_lines();
    if (!lines) return;
    reports::print_reports(context_.files.ui, reports::Report_lines(*lines), context_.font_size,
                           context_.files.refresh_status_line);
}

bool Records_browser::open_in_reports_list() {
    const auto lines = current_lines();
    if (!lines) return false;
    return reports::open_report_lines(context_.files, *lines, layout_of(*lines));
}

std::string Records_browser::projected_cell(const Tag_summary& tag) const {
    const auto known = projected_cells_.find(tag.tag_id);
    if (known != projected_cells_.end()) return known->second;
    std::vector<Calibration> values;
    if (store_)
        for (const auto& r : store_->calibrations_of(tag.tag_id, Record_store::Order::oldest_first))
            values.push_back(r.calibration);
    const auto projected = drift_of(values).earliest_projected();
    std::string text = "-";
    if (projected)
        text = at_risk(projected, add_days(tag.last_calibrated, interval_of(tag))) ? res::format(res::IDS_PROJECTED_AT_RISK, date_text(*projected))
                                                      : date_text(*projected);
    return projected_cells_[tag.tag_id] = text;
}

void Records_browser::print_certificate() {
    const Recorded_calibration* record = current();
    if (!record) return;
    const auto own = intervals_.find(record->calibration.tag_id);
    const int interval = own != intervals_.end() ? own->second : context_.interval_days;
    records::print_certificate(context_.files.ui,
                               make_certificate(*record, context_.company,
                                                certificate_due_date(record->calibration, interval)),
                               context_.font_size, context_.files.refresh_status_line);
}

// ---- Due dates ----

int Records_browser::interval_of(const Tag_summary& tag) const {
    const auto own = intervals_.find(tag.tag_id);
    return own != intervals_.end() ? own->second : context_.interval_days;
}

Due Records_browser::due(int row) const {
    if (row < 0 || row >= row_count(Table::tags)) return {};
    const Tag_summary& tag = shown_tag(row);
    return due_of(tag.last_calibrated, interval_of(tag), context_.today, due_window_);
}

Due_status Records_browser::due_mark(Table table, int row, int column) const {
    if (table != Table::tags || column < 0 || column >= column_count(table)) return Due_status::ok;
    const int id = columns(table)[static_cast<std::size_t>(column)];
    return id == res::IDS_COLUMN_DUE || id == res::IDS_COLUMN_DUE_STATUS ? due(row).status : Due_status::ok;
}

void Records_browser::set_due_window(int days) { due_window_ = std::clamp(days, 0, max_interval_days); }

std::string Records_browser::interval_prompt() const {
    if (selected_tag_ < 0) return {};
    return res::format(res::IDS_SET_INTERVAL_PROMPT, shown_tag(selected_tag_).tag_id, context_.interval_days);
}

std::string Records_browser::interval_text() const {
    return selected_tag_ < 0 ? std::string() : std::to_string(interval_of(shown_tag(selected_tag_)));
}

bool Records_browser::set_interval(const std::string& text) {
    if (selected_tag_ < 0) return false;
    const auto days = parse_days(text);
    if (!days) {
        show(context_.files.ui, res::format(res::IDS_BAD_INTERVAL, text), ui::Caption::error);
        return false;
    }
    // The window reads through a read-only store; the interval is written
    // through its own connection, which also brings an older file up to date.
    Store_options options;
    options.while_locked = [this] { context_.files.ui.pump_events(); };
    Record_store writer(context_.database, options);
    context_.files.ui.set_wait_cursor(true);
    const bool written = writer.open() && writer.set_interval(shown_tag(selected_tag_).tag_id, *days);
    if (written) intervals_ = writer.intervals();
    context_.files.ui.set_wait_cursor(false);
    if (!written) show(context_.files.ui, writer.error(), ui::Caption::error);
    return written;
}

reports::Report_format layout_of(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        if (reports::report_tag_id(line)) return line.starts_with('"') ? reports::Report_format::csv : reports::Report_format::text;
    return reports::Report_format::text;
}

void calibration_records_command(Records_context& c) {
    ui::Ui& ui = c.files.ui;
    std::unique_ptr<Record_store> store;
    std::error_code error;
    // A file not made yet holds no records; a server is always asked.
    if (is_server_address(c.database) || std::filesystem::exists(c.database, error)) {
        Store_options options;
        options.read_only = true;
        store = std::make_unique<Record_store>(c.database, options);
        ui.set_wait_cursor(true);
        const bool opened = store->open();
        ui.set_wait_cursor(false);
        if (!opened) {
            show(ui, store->error(), ui::Caption::error);
            return;
        }
    }
    Records_browser browser(c, store.get());
    ui.set_wait_cursor(true);
    browser.load();
    ui.set_wait_cursor(false);
    if (browser.row_count(Table::tags) == 0) {
        show(ui, res::str(res::IDS_RECORDS_EMPTY), ui::Caption::information);
        return;
    }
    ui.run_records_window(browser);
    refresh_status(c);
}

void import_reports_command(Records_context& c) {
    ui::Ui& ui = c.files.ui;
    ui::File_request request;
    request.title = res::str(res::IDS_IMPORT_TITLE);
    request.filter = res::str(res::IDS_IMPORT_FILTER);
    request.initial_folder = c.files.report_directory;
    request.must_exist = true;
    const auto chosen = ui.pick_files(request);
    if (!chosen || chosen->empty()) return;
    // The folder is remembered as File > Open remembers it.
    c.files.report_directory = reports::folder_of(chosen->front());
    if (c.files.store_directory) c.files.store_directory(c.files.report_directory);

    ui.set_status(res::format(res::IDS_IMPORTING_FILES, chosen->size()));
    ui.set_wait_cursor(true);
    Record_store store(c.database);
    std::vector<File_import> files;
    const bool opened = store.open();
    if (opened) files = store.import_files(*chosen);
    ui.set_wait_cursor(false);
    if (!opened) {
        refresh_status(c);
        show(ui, store.error(), ui::Caption::error);
        return;
    }

    Record_counts total;
    total.ok = true;
    bool refused = false;
    std::string outcome;
    for (const File_import& file : files) {
        if (file.counts.ok) {
            total.recorded += file.counts.recorded;
            total.already_recorded += file.counts.already_recorded;
        } else {
            refused = true;
        }
        if (!outcome.empty()) outcome += '\n';
        outcome += file_import_text(file);
    }
    if (files.size() < chosen->size())
        outcome += '\n' + res::format(res::IDS_FILES_NOT_TRIED, chosen->size() - files.size());
    ui.set_status(counts_text(total));
    show(ui, outcome, refused ? ui::Caption::error : ui::Caption::information);
}

}  // namespace records
