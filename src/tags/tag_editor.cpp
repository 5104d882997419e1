#include "tags/tag_editor.h"

#include <cmath>

#include "resources/help_pages.h"
#include "resources/strings.h"
#include "resources/tag_sheet_layout.h"
#include "resources/tags_strings.h"
#include "resources/text_match.h"
#include "tags/editor_fields.h"
#include "tags/test_points.h"

namespace tags {

namespace {

namespace words = res::tag_sheet;

// The four lists of a page, in the order type, units, curve, fourth.
struct Side {
    Control type, units, curve, auxiliary;
};
Side side_of(Direction direction) {
    if (direction == Direction::input)
        return {Control::input_type, Control::input_units, Control::input_curve, Control::input_auxiliary};
    return {Control::output_type, Control::output_units, Control::output_curve, Control::output_auxiliary};
}

std::vector<std::string> entries_of(std::span<const std::string_view> list) {
    return {list.begin(), list.end()};
}

bool in_list(std::span<const std::string_view> list, std::string_view text) {
    for (auto entry : list)
        if (res::equal_ignoring_case(entry, text)) return true;
    return false;
}

// Selects the entry that equals text when case is ignored and takes over
// its spelling; any other text stays as typed with nothing selected.
void match(List_state& list, std::string& text) {
    list.selected = -1;
    for (size_t i = 0; i < list.entries.size(); ++i) {
        if (res::equal_ignoring_case(list.entries[i], text)) {
            list.selected = static_cast<int>(i);
            text = list.entries[i];
            return;
        }
    }
}

// A dependent list: shown with its entries, the first entry taken on reset,
// the text matched; or hidden with its text emptied.
void refresh_list(List_state& list, std::string& text, std::span<const std::string_view> entries, bool shown,
                  bool reset) {
    list.shown = shown;
    list.entries = entries_of(entries);
    if (!shown) {
        list.selected = -1;
        text.clear();
        return;
    }
    if (reset) text = list.entries.empty() ? std::string() : list.entries.front();
    match(list, text);
}

std::span<const std::string_view> types_of(Direction direction) {
    if (direction == Direction::input) return Input_types;
    return Output_types;
}

std::string radio_text(int value) { return value != 0 ? "1" : "0"; }
int radio_value(const std::string& text) { return text == "1" ? 1 : 0; }

bool has_curve_list(std::string_view type) { return type == type_thermocouple || type == type_rtd; }

// "type, units, curve" for the non-standard values warning.
std::string non_standard_words(Direction direction, const std::string& type, const std::string& units,
                               const std::string& curve, const std::string& auxiliary) {
    std::vector<std::string_view> found;
    if (!in_list(types_of(direction), type))
        found.push_back(words::word_type);
    else if (type != type_manual && !in_list(units_for(direction, type), units))
        found.push_back(words::word_units);
    if (has_curve_list(type) && !in_list(curves_for(type), curve)) found.push_back(words::word_curve);
    const Auxiliary_choices fourth = auxiliary_for(direction, type);
    if (!fourth.entries.empty() && !in_list(fourth.entries, auxiliary))
        found.push_back(type == type_rtd ? words::word_wires : words::word_cj);
    std::string joined;
    for (auto word : found) {
        if (!joined.empty()) joined += ", ";
        joined += word;
    }
    return joined;
}

// Exactly one of units and curve is `word` ("mV", "Ohms").
bool pair_split(const std::string& units, const std::string& curve, std::string_view word) {
    return (units == word) != (curve == word);
}

}  // namespace

int help_context(Page page) {
    switch (page) {
    case Page::identification: return res::HELP_TAG_IDENTIFICATION;
    case Page::instrument_input: return res::HELP_TAG_INPUT;
    case Page::instrument_output: return res::HELP_TAG_OUTPUT;
    case Page::tolerance: return res::HELP_TAG_TOLERANCE;
    case Page::test_points: return res::HELP_TAG_TEST_POINTS;
    }
    return res::HELP_MAIN_WINDOW;
}

Page page_of(Control c) {
    if (c <= Control::other) return Page::identification;
    if (c <= Control::fixed_value) return Page::instrument_input;
    if (c <= Control::output_auxiliary) return Page::instrument_output;
    if (c <= Control::tolerance) return Page::tolerance;
    return Page::test_points;
}

bool is_list(Control c) {
    return (c >= Control::input_type && c <= Control::input_auxiliary) ||
           (c >= Control::output_type && c <= Control::output_auxiliary);
}

List_state& Sheet_controls::list(Control c) {
    const int base = c >= Control::output_type ? static_cast<int>(Control::output_type) - 4
                                               : static_cast<int>(Control::input_type);
    return lists.at(static_cast<size_t>(static_cast<int>(c) - base));
}

const List_state& Sheet_controls::list(Control c) const { return const_cast<Sheet_controls*>(this)->list(c); }

Tag_sheet::Tag_sheet(ui::Ui& ui, const Tag_editor_values& values) : ui_(ui), values_(values) {}

void Tag_sheet::open() {
    created_ = {};
    focus_ = Control::none;
    active_ = Page::identification;
    show_page(active_);
}

bool Tag_sheet::change_page(Page page) {
    if (page == active_) return true;
    if (!leave_active_page()) return false;
    active_ = page;
    show_page(page);
    return true;
}

bool Tag_sheet::ok() { return leave_active_page(); }

bool Tag_sheet::leave_active_page() {
    focus_ = Control::none;
    return read_page(active_) && page_warnings(active_);
}

void Tag_sheet::show_page(Page page) {
    Sheet_controls& c = controls_;
    const Tag_editor_values& v = values_;
    const bool first = !created_[static_cast<size_t>(page)];
    created_[static_cast<size_t>(page)] = true;
    switch (page) {
    case Page::identification:
        c.text(Control::tag_id) = v.tag_id;
        c.text(Control::manufacturer) = v.manufacturer;
        c.text(Control::model) = v.model;
        c.text(Control::serial_number) = v.serial_number;
        c.text(Control::technician) = v.technician;
        c.text(Control::temperature) = v.temperature;
        c.text(Control::humidity) = v.humidity;
        c.text(Control::other) = v.other;
        break;
    case Page::instrument_input:
        c.text(Control::input_type) = v.input_type;
        c.text(Control::input_units) = v.input_units;
        c.text(Control::input_curve) = v.input_curve;
        c.text(Control::input_auxiliary) = v.input_cold_junction;
        c.text(Control::amplitude) = show_number(v.amplitude);
        c.text(Control::fixed_type) = radio_text(static_cast<int>(v.fixed_type));
        c.text(Control::fixed_value) = show_number(v.fixed_value);
        if (first) refresh_selections(Direction::input, false);
        break;
    case Page::instrument_output:
        c.text(Control::output_type) = v.output_type;
        c.text(Control::output_units) = v.output_units;
        c.text(Control::output_curve) = v.output_curve;
        c.text(Control::output_auxiliary) = v.output_auxiliary;
        if (first) refresh_selections(Direction::output, false);
        break;
    case Page::tolerance:
        c.text(Control::tolerance_state) = radio_text(static_cast<int>(v.tolerance_state));
        c.text(Control::tolerance) = show_number(v.tolerance);
        c.text(Control::input_low) = show_number(v.input_low);
        c.text(Control::input_high) = show_number(v.input_high);
        c.text(Control::output_low) = show_number(v.output_low);
        c.text(Control::output_high) = show_number(v.output_high);
        break;
    case Page::test_points:
        c.text(Control::points_used) = show_integer(v.points_used);
        for (int k = 1; k <= reports::max_points; ++k) c.text(point_control(k)) = show_number(v.point(k));
        break;
    }
}

bool Tag_sheet::fail(Control control, const std::string& message) {
    focus_ = control;
    ui_.message(message, ui::Caption::error, ui::Buttons::ok);
    return false;
}

bool Tag_sheet::read_text(Control control, std::string& value) {
    const std::string& text = controls_.text(control);
    if (auto failure = check_length(text, identification_chars)) return fail(control, *failure);
    value = text;
    return true;
}

bool Tag_sheet::read_number_field(Control control, float low, float high, float& value) {
    if (auto failure = read_number(controls_.text(control), low, high, value)) return fail(control, *failure);
    return true;
}

bool Tag_sheet::read_page(Page page) {
    Sheet_controls& c = controls_;
    Tag_editor_values& v = values_;
    switch (page) {
    case Page::identification:
        return read_text(Control::tag_id, v.tag_id) && read_text(Control::humidity, v.humidity) &&
               read_text(Control::manufacturer, v.manufacturer) && read_text(Control::model, v.model) &&
               read_text(Control::other, v.other) && read_text(Control::serial_number, v.serial_number) &&
               read_text(Control::technician, v.technician) && read_text(Control::temperature, v.temperature);
    case Page::instrument_input:
        v.input_type = c.text(Control::input_type);
        v.input_units = c.text(Control::input_units);
        v.input_curve = c.text(Control::input_curve);
        v.input_cold_junction = c.text(Control::input_auxiliary);
        // Checked even while hidden: a value from a file must be put right
        // before the page can be left.
        if (!read_number_field(Control::amplitude, 1.0f, 20.0f, v.amplitude)) return false;
        v.fixed_type = static_cast<Fixed_type>(radio_value(c.text(Control::fixed_type)));
        return read_number_field(Control::fixed_value, 0.0f, value_limit, v.fixed_value);
    case Page::instrument_output:
        v.output_type = c.text(Control::output_type);
        v.output_units = c.text(Control::output_units);
        v.output_curve = c.text(Control::output_curve);
        v.output_auxiliary = c.text(Control::output_auxiliary);
        return true;
    case Page::tolerance:
        if (!read_number_field(Control::tolerance, 0.0f, 100.0f, v.tolerance) ||
            !read_number_field(Control::input_high, -value_limit, value_limit, v.input_high) ||
            !read_number_field(Control::input_low, -value_limit, value_limit, v.input_low) ||
            !read_number_field(Control::output_high, -value_limit, value_limit, v.output_high) ||
            !read_number_field(Control::output_low, -value_limit, value_limit, v.output_low))
            return false;
        v.tolerance_state = static_cast<Tolerance_state>(radio_value(c.text(Control::tolerance_state)));
        return true;
    case Page::test_points: {
        if (auto failure = read_integer(c.text(Control::points_used), 1, reports::max_points, v.points_used))
            return fail(Control::points_used, *failure);
        // The points in the order of their names: 1, 10..19, 2, 20, 21, 3..9.
        static constexpr int order[] = {1, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 2, 20, 21, 3, 4, 5, 6, 7, 8, 9};
        for (int k : order)
            if (!read_number_field(point_control(k), -value_limit, value_limit, v.point(k))) return false;
        return true;
    }
    }
    return true;
}

bool Tag_sheet::warn(const std::string& text) {
    return ui_.message(text, ui::Caption::warning, ui::Buttons::yes_no_exclamation) == ui::Answer::yes;
}

bool Tag_sheet::page_warnings(Page page) {
    const Tag_editor_values& v = values_;
    switch (page) {
    case Page::identification:
        if (v.tag_id.empty() || v.tag_id.front() == ' ') return warn(res::str(res::IDS_TAG_ID_BLANK_WARNING));
        return true;
    case Page::instrument_input:
    case Page::instrument_output: {
        const bool input = page == Page::instrument_input;
        const Direction direction = input ? Direction::input : Direction::output;
        const std::string& type = input ? v.input_type : v.output_type;
        const std::string& units = input ? v.input_units : v.output_units;
        const std::string& curve = input ? v.input_curve : v.output_curve;
        const std::string& fourth = input ? v.input_cold_junction : v.output_auxiliary;
        // Every warning that applies is shown, even after a No.
        bool go_on = true;
        const std::string odd = non_standard_words(direction, type, units, curve, fourth);
        if (!odd.empty()) go_on = warn(res::format(res::IDS_NON_STANDARD_WARNING, odd)) && go_on;
        if (type == type_thermocouple && pair_split(units, curve, "mV"))
            go_on = warn(res::str(res::IDS_MV_WARNING)) && go_on;
        if (type == type_rtd && pair_split(units, curve, "Ohms"))
            go_on = warn(res::str(res::IDS_OHMS_WARNING)) && go_on;
        if (type == type_manual && units.size() > 5) go_on = warn(res::str(res::IDS_MANUAL_UNITS_WARNING)) && go_on;
        return go_on;
    }
    case Page::tolerance:
        if (v.tolerance_state == Tolerance_state::enabled &&
            std::fabs(static_cast<double>(v.input_high) - static_cast<double>(v.input_low)) <= 0.0000999)
            return warn(res::str(res::IDS_INPUT_RANGE_WARNING));
        return true;
    case Page::test_points: return true;
    }
    return true;
}

void Tag_sheet::refresh_selections(Direction direction, bool reset_dependents) {
    Sheet_controls& c = controls_;
    const Side side = side_of(direction);

    List_state& types = c.list(side.type);
    types.entries = entries_of(types_of(direction));
    match(types, c.text(side.type));
    const std::string type = c.text(side.type);

    refresh_list(c.list(side.units), c.text(side.units), units_for(direction, type), true, reset_dependents);
    refresh_list(c.list(side.curve), c.text(side.curve), curves_for(type), has_curve_list(type), reset_dependents);
    const Auxiliary_choices fourth = auxiliary_for(direction, type);
    refresh_list(c.list(side.auxiliary), c.text(side.auxiliary), fourth.entries, !fourth.entries.empty(),
                 reset_dependents);
    c.list(side.auxiliary).label = std::string(fourth.label);

    if (direction == Direction::input) {
        c.amplitude_shown = type == type_frequency || type == type_pulse;
        c.pulse_shown = type == type_pulse;
    }
}

void Tag_sheet::list_text_changed(Control list, const std::string& text, int caret) {
    if (!is_list(list)) return;
    controls_.text(list) = text;
    const Direction direction = list <= Control::input_auxiliary ? Direction::input : Direction::output;
    refresh_selections(direction, list == Control::input_type || list == Control::output_type);
    controls_.caret_list = caret >= 0 ? list : Control::none;
    controls_.caret = caret;
}

void Tag_sheet::text_changed(Control control, const std::string& text, int caret) {
    if (is_list(control)) {
        list_text_changed(control, text, caret);
        return;
    }
    if (control != Control::none && control != Control::count) controls_.text(control) = text;
}

bool Tag_sheet::accepts_typing(Control control, std::string_view text) const {
    const std::size_t limit = page_of(control) == Page::identification ? identification_chars
                                                                         : reports::max_field_chars;
    return typing_accepted(controls_.text(control), text, limit);
}

void Tag_sheet::insert_point() {
    const auto k = ui_.ask_point_number(res::str(res::IDS_INSERT_POINT_PROMPT));
    if (!k) return;
    read_page(Page::test_points);  // a failing field is shown and keeps its value
    tags::insert_point(values_, *k);
    show_page(Page::test_points);
}

void Tag_sheet::delete_point() {
    const auto k = ui_.ask_point_number(res::str(res::IDS_DELETE_POINT_PROMPT));
    if (!k) return;
    read_page(Page::test_points);
    tags::delete_point(values_, *k);
    show_page(Page::test_points);
}

void Tag_sheet::generate_points() {
    // The proposals need the points as they stand on the page.
    read_page(Page::test_points);
    const auto request = ui_.ask_generate_points(generate_proposal(values_));
    if (!request) return;
    tags::generate_points(values_, *request);
    show_page(Page::test_points);
}

bool run_tag_editor(Tag_file_context& context, const std::string& title, const Tag_editor_values& values) {
    Tag_sheet sheet(context.ui, values);
    for (;;) {
        sheet.open();
        if (!context.ui.run_tag_sheet(title, sheet)) return false;
        // A cancelled Save dialog brings the sheet back as it was edited.
        if (save_tag_file(context, sheet.values())) return true;
    }
}

void new_tag_command(Tag_file_context& context) {
    context.current_tag_file_name.clear();
    run_tag_editor(context, res::str(res::IDS_EDIT_NEW_TAG), new_tag_defaults());
}

void edit_tag_command(Tag_file_context& context) {
    if (!load_tag_file(context, res::str(res::IDS_SELECT_TAG_TO_EDIT))) return;
    run_tag_editor(context, res::format(res::IDS_EDIT_TAG, context.current_tag_file_name),
                   record_to_editor(context.record));
}

}  // namespace tags
