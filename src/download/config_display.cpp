#include "download/config_display.h"

#include "download/group_file.h"
#include "download/tag_download.h"
#include "resources/download_strings.h"
#include "resources/strings.h"
#include "resources/tags_strings.h"
#include "shell/settings.h"
#include "tags/tag_file.h"

namespace download {

namespace f = reports::fields;

namespace {

// The labels of fields 1..25 as the display prints them, like the report
// lines a fixed layout: the sub-lines of the input and output sides are
// indented by four spaces under their headings.
constexpr const char* field_labels[] = {
    "",
    "Tag ID:",
    "Manufacturer:",
    "Serial Number:",
    "Technician:",
    "Temperature:",
    "Humidity:",
    "Other:",
    "Model:",
    "    Type:",
    "    Units:",
    "    Curve:",
    "    Cold Junction:",
    "    Amplitude:",
    "    Fixed Parameter:",
    "    Value:",
    "    Type:",
    "    Units:",
    "    Curve:",
    "    Cold Junction:",
    "Error Tolerance:",
    "Input Range Low:",
    "Input Range High:",
    "Output Range Low:",
    "Output Range High:",
    "Number of points:",
};
constexpr const char* wires_label = "    Wires:";
constexpr const char* point_label = "%2i:";
constexpr const char* input_heading = "Instrument Input:";
constexpr const char* output_heading = "Instrument Output:";
// Field 20 left empty: tolerance testing is disabled.
constexpr const char* no_tolerance = "None";

bool is_one_of(const std::string& text, std::initializer_list<const char*> choices) {
    for (const char* choice : choices)
        if (text == choice) return true;
    return false;
}

std::string cut(std::string text, std::size_t limit) {
    return shell::cut_characters(text, limit);
}

}  // namespace

std::string display_label(const reports::Field_table& record, int field) {
    if (field == f::output_auxiliary && record.field_text(f::output_type) == "RTD") return wires_label;
    if (field >= 1 && field <= f::point_count) return field_labels[field];
    if (field >= f::first_point && field <= f::last_tag_field)
        return res::format_template(point_label, {static_cast<long long>(field - f::point_count)});
    return {};
}

void add_display_line(const reports::Field_table& record, int field, std::vector<std::string>& lines) {
    if (field == f::input_type) lines.emplace_back(input_heading);
    if (field == f::output_type) lines.emplace_back(output_heading);
    std::string value = record.field_text(field);
    if (field == f::tolerance && value.empty()) value = no_tolerance;
    std::string label = display_label(record, field);
    label.resize(std::max<std::size_t>(label.size(), display_label_width), ' ');
    lines.push_back(cut(label + ' ' + value, max_display_chars));
}

std::vector<std::string> tag_display_lines(const reports::Field_table& record) {
    std::vector<std::string> lines;
    auto add = [&](std::initializer_list<int> fields) {
        for (int field : fields) add_display_line(record, field, lines);
    };
    const std::string& input = record.field_text(f::input_type);
    const std::string& output = record.field_text(f::output_type);

    add({f::tag_id, f::manufacturer, f::model, f::serial_number, f::technician, f::temperature, f::humidity,
         f::other});
    add({f::input_type, f::input_units});
    if (is_one_of(input, {"Thermocouple", "RTD"})) add({f::input_curve});
    if (input == "Thermocouple") add({f::input_auxiliary});
    if (is_one_of(input, {"Frequency", "Pulse"})) add({f::input_amplitude});
    if (input == "Pulse") add({f::pulse_fixed_type, f::pulse_fixed_value});
    add({f::output_type, f::output_units});
    if (is_one_of(output, {"Thermocouple", "RTD"})) add({f::output_curve, f::output_auxiliary});
    add({f::tolerance});
    if (!record.field_text(f::tolerance).empty()) add({f::input_low, f::input_high, f::output_low, f::output_high});
    add({f::point_count});
    const int n = record.field_int(f::point_count);
    if (reports::valid_point_count(n))
        for (int field = f::first_point; field < f::first_point + n; ++field) add({field});
    return lines;
}

std::vector<std::string> group_display_lines(const std::vector<std::string>& members, const std::string& folder) {
    std::vector<std::string> lines;
    for (const std::string& member : members) {
        const std::string line =
            find_member(folder, member) ? member : res::format(res::IDS_MISSING_MEMBER_ENTRY, member);
        lines.push_back(cut(line, max_display_chars));
    }
    return lines;
}

bool lay_out_display_pages(const std::string& caption, const std::vector<std::string>& lines,
                           const reports::Page_geometry& g, const reports::Page_sink& sink) {
    ui::Printed_page page;
    bool open = false;
    int number = 1;
    int y = 0;
    for (const std::string& line : lines) {
        if (!open) {
            page.rows.clear();
            page.rows.push_back({g.margin, res::format(res::IDS_DISPLAY_PAGE_HEADER, caption, number++)});
            y = g.margin + 2 * g.line_height;
            open = true;
        }
        page.rows.push_back({y, line});
        y += g.line_height;
        if (y >= g.bottom_limit) {
            open = false;
            if (!sink(page)) return false;
        }
    }
    return !open || sink(page);
}

bool print_display_lines(ui::Ui& ui, const std::string& caption, const std::vector<std::string>& lines,
                         int font_size) {
    const std::unique_ptr<ui::Print_job> job = ui.choose_printer();
    if (!job) return false;
    ui.set_wait_cursor(true);
    reports::print_document(ui, *job, caption, font_size,
                            [&](const reports::Page_geometry& g, const reports::Page_sink& sink) {
                                return lay_out_display_pages(caption, lines, g, sink);
                            });
    ui.set_wait_cursor(false);
    return true;
}

void show_display(ui::Ui& ui, const std::string& caption, const std::vector<std::string>& lines, int font_size) {
    const std::string shown_caption = cut(caption, max_display_caption);
    std::vector<std::string> shown(lines.begin(), lines.begin() + std::min(lines.size(), max_display_lines));
    for (std::string& line : shown) line = cut(std::move(line), max_display_chars);
    ui.show_display(shown_caption, shown,
                    [&ui, &shown_caption, &shown, font_size] {
                        return print_display_lines(ui, shown_caption, shown, font_size);
                    });
}

void display_tag_command(shell::Program& program) {
    tags::Tag_file_context files = tag_file_context(program);
    if (!tags::load_tag_file(files, res::str(res::IDS_SELECT_TAG_TO_DISPLAY))) return;
    show_display(program.ui, res::format(res::IDS_TAG_DISPLAY_CAPTION, program.current_tag_file_name),
                 tag_display_lines(program.fields), program.settings.font_size);
}

void display_group_command(shell::Program& program) {
    Group_file_context files = group_file_context(program);
    if (!load_group_file(files, res::str(res::IDS_SELECT_GROUP_TO_DISPLAY))) return;
    show_display(program.ui, res::format(res::IDS_GROUP_DISPLAY_CAPTION, program.current_group_file_name),
                 group_display_lines(program.group_members, program.settings.tag_config_directory),
                 program.settings.font_size);
}

}  // namespace download
