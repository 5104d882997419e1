#include "download/report_extract.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "reports/report_files.h"
#include "resources/download_strings.h"
#include "resources/reports_strings.h"
#include "resources/strings.h"
#include "resources/text_match.h"
#include "shell/ini_file.h"
#include "tags/tag_editor.h"
#include "tags/vocabulary.h"

namespace download {

namespace {

namespace f = reports::fields;
using res::starts_with;

constexpr std::string_view text_tag_label = "Tag ID:";
constexpr std::string_view csv_tag_label = "\"Tag ID:";
// "Tag ID:" and the character after it.
constexpr std::size_t text_id_column = 8;
// "\"Tag ID:\",\"": the CSV label, a comma and the opening quote.
constexpr std::size_t csv_id_column = 11;

bool is_space_or_quote(char c) { return c == ' ' || c == '"'; }
bool is_separator(char c) { return c == ',' || c == ' ' || c == '"'; }

std::size_t skip(const std::string& line, std::size_t column, bool (*skipped)(char)) {
    while (column < line.size() && skipped(line[column])) ++column;
    return column;
}

// Where a row starts its search: a line (below 0: the top) and a column.
struct Start {
    int line = -1;
    std::optional<std::size_t> column;
};

// The rows of the section reader share the line and column the previous
// rows left: "next line" starts on the line after the last row's value,
// "same line" on its line just after the value of the last row that moves
// the column.
class Section_reader {
public:
    Section_reader(const std::vector<std::string>& section, reports::Field_table& record)
        : section_(section), record_(record) {}

    const std::string& field(int number) const { return record_.field_text(number); }
    bool field_is(int number, std::string_view text) const { return field(number) == text; }
    void set(int number, std::string_view text) { record_.store_field(number, text); }
    int out_line() const { return out_line_; }
    reports::Field_table& record() { return record_; }
    const std::vector<std::string>& section() const { return section_; }

    Start top() const { return {}; }
    Start next_line() const { return {out_line_ + 1, std::nullopt}; }
    Start same_line() const { return {out_line_, column_}; }

    // One row; moves_column: a row whose end the next "same line" row starts from.
    void row(int number, std::string_view keyword, Start start, bool spaces_allowed, bool moves_column = false) {
        const std::size_t end =
            find_report_value(record_, number, keyword, section_, start.line, start.column, spaces_allowed, out_line_);
        if (moves_column) column_ = end;
    }

private:
    const std::vector<std::string>& section_;
    reports::Field_table& record_;
    int out_line_ = -1;
    std::size_t column_ = 0;
};

constexpr bool spaces = true;
constexpr bool no_spaces = false;
constexpr bool moves = true;

void read_identification(Section_reader& r) {
    static constexpr std::pair<int, std::string_view> rows[] = {
        {f::tag_id, "Tag ID:"},           {f::manufacturer, "Manufacturer:"}, {f::serial_number, "Serial Number:"},
        {f::technician, "Technician:"},   {f::temperature, "Temperature:"},   {f::humidity, "Humidity:"},
        {f::other, "Other information:"}, {f::model, "Model Number:"}};
    for (const auto& [field, keyword] : rows) r.row(field, keyword, r.top(), spaces);
}

// "Input type:  Thermocouple K, DegC" and the lines under it.
void read_input(Section_reader& r) {
    r.row(f::input_type, "Input type:", r.top(), no_spaces, moves);
    // "Milliamp 2W SIM": the type holds spaces.
    if (r.field_is(f::input_type, tags::type_milliamp)) r.row(f::input_type, "Input type:", r.top(), spaces, moves);
    if (r.field_is(f::input_type, tags::type_thermocouple) || r.field_is(f::input_type, tags::type_rtd))
        r.row(f::input_curve, "", r.same_line(), spaces, moves);
    r.row(f::input_units, "", r.same_line(), spaces);
    if (r.field_is(f::input_type, tags::type_thermocouple)) r.row(f::input_auxiliary, "", r.next_line(), spaces);
    const bool pulse = r.field_is(f::input_type, tags::type_pulse);
    if (r.field_is(f::input_type, tags::type_frequency) || pulse)
        r.row(f::input_amplitude, "Level:", r.next_line(), no_spaces);
    if (!pulse) return;
    r.row(f::pulse_fixed_value, "Fixed:", r.next_line(), no_spaces, moves);
    // A fixed frequency shows "Cnts" on the type line and its units after
    // the fixed value; fixed counts show the units on the type line.
    if (r.field_is(f::input_units, "Cnts")) {
        r.set(f::pulse_fixed_type, tags::fixed_freq);
        r.row(f::input_units, "", r.same_line(), spaces);
    } else {
        r.set(f::pulse_fixed_type, tags::fixed_counts);
    }
}

// "Output type: RTD 3W P100-385, DegC" and the line under it.
void read_output(Section_reader& r) {
    r.row(f::output_type, "Output type:", r.top(), no_spaces, moves);
    if (r.field_is(f::output_type, tags::type_milliamp)) r.row(f::output_type, "Output type:", r.top(), spaces, moves);
    const bool rtd = r.field_is(f::output_type, tags::type_rtd);
    const bool thermocouple = r.field_is(f::output_type, tags::type_thermocouple);
    if (rtd) r.row(f::output_auxiliary, "", r.same_line(), no_spaces, moves);
    if (thermocouple || rtd) r.row(f::output_curve, "", r.same_line(), spaces, moves);
    r.row(f::output_units, "", r.same_line(), spaces);
    if (thermocouple) r.row(f::output_auxiliary, "", r.next_line(), spaces);
}

// "Tolerance: 0.250%" (the sign stays: reading it as a number ignores it)
// and the range lines under the type lines; "Tolerance: None" disables it.
void read_tolerance(Section_reader& r) {
    r.row(f::tolerance, "Tolerance:", r.top(), no_spaces);
    if (r.field_is(f::tolerance, "None")) {
        r.set(f::tolerance, "");
        return;
    }
    // The type rows only find the type lines; the range rows replace their values.
    r.row(f::input_low, "Input type:", r.top(), no_spaces);
    r.row(f::input_low, "Range:", r.next_line(), no_spaces, moves);
    r.row(f::input_high, "to", r.same_line(), no_spaces);
    r.row(f::output_low, "Output type:", r.top(), no_spaces);
    r.row(f::output_low, "Range:", r.next_line(), no_spaces, moves);
    r.row(f::output_high, "to", r.same_line(), no_spaces);
}

// The points: the rows between "As Found Data" and "As Left Data", less the
// column heading and the empty line that close the block; each point is the
// first value after its number (the As Found input column).
void read_points(Section_reader& r) {
    r.row(f::first_point, "As Found", r.top(), no_spaces);
    const int found = r.out_line();
    r.row(f::first_point, "As Left", r.top(), no_spaces);
    const int left = r.out_line();
    const int n = left - found - 3;
    r.set(f::point_count, std::to_string(n));
    for (int k = 1; k <= n && k <= reports::max_points; ++k) {
        int line = -1;
        find_report_value(r.record(), f::point_count + k, std::to_string(k), r.section(), found + 2, std::nullopt,
                          no_spaces, line);
    }
}

// The edits of the editor that hold numbers, with their fields.
struct Number_edit {
    tags::Control control;
    int field;
};
constexpr Number_edit number_edits[] = {
    {tags::Control::amplitude, f::input_amplitude}, {tags::Control::fixed_value, f::pulse_fixed_value},
    {tags::Control::tolerance, f::tolerance},       {tags::Control::input_low, f::input_low},
    {tags::Control::input_high, f::input_high},     {tags::Control::output_low, f::output_low},
    {tags::Control::output_high, f::output_high},   {tags::Control::points_used, f::point_count}};
constexpr Number_edit identification_edits[] = {
    {tags::Control::tag_id, f::tag_id},       {tags::Control::manufacturer, f::manufacturer},
    {tags::Control::model, f::model},         {tags::Control::serial_number, f::serial_number},
    {tags::Control::technician, f::technician}, {tags::Control::temperature, f::temperature},
    {tags::Control::humidity, f::humidity},   {tags::Control::other, f::other}};

int field_of(tags::Control control) {
    if (control >= tags::Control::first_point && control <= tags::Control::last_point)
        return f::point_count + static_cast<int>(control) - static_cast<int>(tags::Control::first_point) + 1;
    for (const auto& edit : number_edits)
        if (edit.control == control) return edit.field;
    for (const auto& edit : identification_edits)
        if (edit.control == control) return edit.field;
    return 0;
}

// The field a page refused: the one its failed check focused, or -1 when a
// warning was answered No.
int refused_field(const tags::Tag_sheet& sheet) {
    return sheet.focus() == tags::Control::none ? -1 : field_of(sheet.focus());
}

// Puts the report's text of every number on the page into its edit, where
// the report had one (the other edits keep what the editor shows).
void type_report_numbers(tags::Tag_sheet& sheet, tags::Page page, const reports::Field_table& record) {
    auto type = [&](tags::Control control, int field) {
        std::string text = record.field_text(field);
        if (field == f::tolerance && !text.empty() && text.back() == '%') text.pop_back();
        if (!text.empty() && tags::page_of(control) == page) sheet.controls().text(control) = text;
    };
    for (const auto& edit : number_edits) type(edit.control, edit.field);
    for (int k = 1; k <= reports::max_points; ++k) type(tags::point_control(k), f::point_count + k);
}

std::string system_reason(int error) { return std::generic_category().message(error); }

void show(ui::Ui& ui, const std::string& text, ui::Caption caption) { ui.message(text, caption, ui::Buttons::ok); }

}  // namespace

bool begins_tag(std::string_view line) { return starts_with(line, text_tag_label) || starts_with(line, csv_tag_label); }

std::optional<std::string> listed_tag_id(std::string_view line) {
    std::string_view id;
    if (starts_with(line, text_tag_label)) {
        id = line.size() > text_id_column ? line.substr(text_id_column) : std::string_view();
    } else if (starts_with(line, csv_tag_label)) {
        id = line.size() > csv_id_column ? line.substr(csv_id_column) : std::string_view();
        if (!id.empty()) id.remove_suffix(1);
    } else {
        return std::nullopt;
    }
    return std::string(id.substr(0, listed_id_chars));
}

void Tag_index::take(const std::string& line) {
    const long long number = line_number_++;
    auto id = listed_tag_id(line);
    if (!id) return;
    ++found_;
    if (tags_.size() < max_report_tags) tags_.push_back({std::move(*id), number});
}

std::vector<std::string> Tag_index::ids() const {
    std::vector<std::string> ids;
    ids.reserve(tags_.size());
    for (const auto& tag : tags_) ids.push_back(tag.id);
    return ids;
}

bool Section_collector::take(const std::string& line) {
    if (line_number_++ < first_) return true;
    if (!lines_.empty() && begins_tag(line)) return false;
    lines_.push_back(line);
    return lines_.size() < max_section_lines;
}

std::size_t find_report_value(reports::Field_table& record, int field, std::string_view keyword,
                              const std::vector<std::string>& section, int start_line,
                              std::optional<std::size_t> start_column, bool spaces_allowed, int& out_line) {
    auto fail = [&] {
        record.store_field(field, not_found_value);
        out_line = -1;
        return std::size_t{0};
    };
    const int count = static_cast<int>(section.size());
    std::size_t line = 0, column = 0;
    if (start_line >= 0) {
        if (start_line >= count) return fail();
        line = static_cast<std::size_t>(start_line);
        if (start_column && *start_column >= section[line].size()) return fail();
        column = start_column.value_or(0);
    } else if (count == 0) {
        return fail();
    }

    if (!keyword.empty()) {
        for (;;) {
            column = skip(section[line], column, is_space_or_quote);
            if (starts_with(std::string_view(section[line]).substr(column), keyword)) break;
            if (++line >= section.size()) return fail();
            column = 0;
        }
        column += keyword.size();
        if (column >= section[line].size()) return fail();
    }

    const std::string& text = section[line];
    const std::size_t begin = skip(text, column, is_separator);
    // A value may begin with "%": the units of a level in percent read "%".
    std::size_t end = begin;
    while (end < text.size() && text[end] != ',' && text[end] != '"' && (spaces_allowed || text[end] != ' ')) ++end;
    record.store_field(field, std::string_view(text).substr(begin, end - begin));
    out_line = static_cast<int>(line);
    return end;
}

void parse_report_section(const std::vector<std::string>& section, reports::Field_table& record) {
    for (int field = f::tag_id; field <= f::last_tag_field; ++field) record.store_field(field, "");
    Section_reader reader(section, record);
    read_identification(reader);
    read_input(reader);
    read_output(reader);
    read_tolerance(reader);
    read_points(reader);
}

int check_extracted_record(const reports::Field_table& record, ui::Ui& ui) {
    tags::Tag_sheet sheet(ui, tags::record_to_editor(record));
    sheet.open();
    for (int p = 0; p < tags::page_count; ++p) {
        const auto page = static_cast<tags::Page>(p);
        if (!sheet.change_page(page)) return refused_field(sheet);
        type_report_numbers(sheet, page, record);
    }
    return sheet.ok() ? 0 : refused_field(sheet);
}

Open_report::~Open_report() {
    if (fd_ >= 0) ::close(fd_);  // the lock goes with the descriptor
}

bool Open_report::open(const std::string& path, std::string& reason) {
    fd_ = shell::open_regular_file(path, reason, &refused_);
    if (fd_ < 0) return false;
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        reason = system_reason(errno);
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

bool Open_report::read_lines(const std::function<bool(const std::string&)>& on_line, std::string& reason) const {
    return reports::read_open_text_lines(fd_, reports::report_line_limit, reports::Text_rule::ascii,
                                         reports::report_file_max_bytes, reason,
                                         on_line) == reports::Read_outcome::ok;
}

bool index_report(const Open_report& file, Tag_index& index, std::string& reason) {
    return file.read_lines(
        [&index](const std::string& line) {
            index.take(line);
            return true;
        },
        reason);
}

bool read_section(const Open_report& file, const Report_tag& tag, std::vector<std::string>& section,
                  std::string& reason) {
    Section_collector collector(tag.line);
    const bool read = file.read_lines([&collector](const std::string& line) { return collector.take(line); }, reason);
    section = collector.lines();
    return read;
}

void extract_from_report_command(Extract_context& c) {
    ui::Ui& ui = c.tags.ui;
    ui::File_request request;
    request.title = res::str(res::IDS_SELECT_REPORT_FOR_EXTRACTION);
    request.filter = res::str(res::IDS_FILTER_OPEN_REPORTS);
    request.initial_folder = c.report_directory;
    request.must_exist = true;
    const auto chosen = ui.pick_file(request);
    if (!chosen || chosen->empty()) return;
    c.report_directory = reports::folder_of(*chosen);
    if (c.store_report_directory) c.store_report_directory(c.report_directory);

    // Held open, and locked, until the editor has closed.
    Open_report file;
    std::string reason;
    if (!file.open(*chosen, reason)) {
        if (file.refused())
            tags::show_read_failure(ui, tags::File_read::read_failed, *chosen, reason, 0);
        else
            show(ui, res::str(res::IDS_FILE_OPEN_ERROR), ui::Caption::error);
        return;
    }
    auto finish = [&] {
        ui.set_wait_cursor(false);
        if (c.tags.refresh_status_line) c.tags.refresh_status_line();
    };
    auto read_failed = [&] {
        finish();
        tags::show_read_failure(ui, tags::File_read::read_failed, *chosen, reason, 0);
    };

    ui.set_status(res::str(res::IDS_READING_FILE));
    ui.set_wait_cursor(true);
    Tag_index index;
    if (!index_report(file, index, reason)) return read_failed();
    int choice = 0;
    if (index.tags().size() != 1) {
        // The choice is the user's: no wait cursor over the dialog.
        ui.set_wait_cursor(false);
        choice = ui.choose_extract_tag(res::str(res::IDS_EXTRACT_DIALOG_CAPTION), index.ids());
    }
    if (choice < 0 || choice >= static_cast<int>(index.tags().size())) {
        finish();
        show(ui, res::str(res::IDS_NO_TAG_SELECTED_FOR_EXTRACTION), ui::Caption::information);
        return;
    }
    ui.set_wait_cursor(true);

    std::vector<std::string> section;
    if (!read_section(file, index.tags()[static_cast<std::size_t>(choice)], section, reason)) return read_failed();
    parse_report_section(section, c.tags.record);
    // The editor is a window of its own: no wait cursor over it.
    finish();
    tags::run_tag_editor(c.tags, res::str(res::IDS_EDIT_EXTRACTED_TAG), tags::record_to_editor(c.tags.record));
    finish();
}

}  // namespace download
