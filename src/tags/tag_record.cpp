#include "tags/tag_record.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>

#include "resources/strings.h"
#include "resources/tags_strings.h"
#include "tags/vocabulary.h"

namespace tags {

namespace f = reports::fields;

namespace {

// printf "%.Nf" of the float widened to double, independent of the locale.
std::string fixed(float value, int precision) {
    char buffer[128];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                   std::chars_format::fixed, precision);
    if (ec != std::errc()) return {};
    return std::string(buffer, end);
}

// printf "%i" of the value truncated toward zero.
std::string truncated(float value) {
    double whole = std::trunc(static_cast<double>(value));
    if (whole == 0.0) return "0";   // never "-0"
    char buffer[128];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0);
    if (ec != std::errc()) return {};
    return std::string(buffer, end);
}

// The type as its list spells it, when it equals a listed type of the
// direction with case ignored: a page never opened in the editor keeps the
// type as the file spelled it ("thermocouple"), and its curve and auxiliary
// value must not be lost for that.
std::string listed_spelling(Direction direction, std::string_view type) {
    return match_choice(direction == Direction::input ? std::span<const std::string_view>(Input_types)
                                                      : std::span<const std::string_view>(Output_types),
                        type);
}

bool has_curve(std::string_view type) { return !curves_for(type).empty(); }
bool has_auxiliary(Direction direction, std::string_view type) {
    return !auxiliary_for(direction, type).entries.empty();
}

}  // namespace

float number_in(std::string_view text) {
    double value = reports::read_decimal_real(text);
    return static_cast<float>(std::clamp(value, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

Tag_editor_values new_tag_defaults() { return Tag_editor_values{}; }

Tag_editor_values record_to_editor(const reports::Field_table& record) {
    auto text = [&record](int field) { return record.field_text(field); };
    auto number = [&record](int field) { return number_in(record.field_text(field)); };

    Tag_editor_values v;
    v.tag_id = text(f::tag_id);
    v.manufacturer = text(f::manufacturer);
    v.serial_number = text(f::serial_number);
    v.technician = text(f::technician);
    v.temperature = text(f::temperature);
    v.humidity = text(f::humidity);
    v.other = text(f::other);
    v.model = text(f::model);

    v.input_type = text(f::input_type);
    v.input_units = text(f::input_units);
    v.input_curve = text(f::input_curve);
    v.input_cold_junction = text(f::input_auxiliary);
    v.output_type = text(f::output_type);
    v.output_units = text(f::output_units);
    v.output_curve = text(f::output_curve);
    v.output_auxiliary = text(f::output_auxiliary);

    v.tolerance_state = text(f::tolerance).empty() ? Tolerance_state::disabled : Tolerance_state::enabled;
    v.tolerance = number(f::tolerance);
    v.input_low = number(f::input_low);
    v.input_high = number(f::input_high);
    v.output_low = number(f::output_low);
    v.output_high = number(f::output_high);

    v.points_used = record.field_int(f::point_count);
    for (int k = 1; k <= reports::max_points; ++k) v.point(k) = number(f::first_point + k - 1);

    v.amplitude = text(f::input_amplitude).empty() ? 5.0f : number(f::input_amplitude);
    v.fixed_type = text(f::pulse_fixed_type) == fixed_freq ? Fixed_type::frequency : Fixed_type::counts;
    v.fixed_value = number(f::pulse_fixed_value);
    return v;
}

void editor_to_record(const Tag_editor_values& v, reports::Field_table& record) {
    record.store_field(f::tag_id, v.tag_id);
    record.store_field(f::manufacturer, v.manufacturer);
    record.store_field(f::serial_number, v.serial_number);
    record.store_field(f::technician, v.technician);
    record.store_field(f::temperature, v.temperature);
    record.store_field(f::humidity, v.humidity);
    record.store_field(f::other, v.other);
    record.store_field(f::model, v.model);

    // Curves and auxiliary values are kept only for the types that have them,
    // even when the editor page that empties them was never opened.
    const std::string input_type = listed_spelling(Direction::input, v.input_type);
    const std::string output_type = listed_spelling(Direction::output, v.output_type);
    record.store_field(f::input_type, v.input_type);
    record.store_field(f::input_units, v.input_units);
    record.store_field(f::input_curve, has_curve(input_type) ? v.input_curve : "");
    record.store_field(f::input_auxiliary, has_auxiliary(Direction::input, input_type) ? v.input_cold_junction : "");
    record.store_field(f::output_type, v.output_type);
    record.store_field(f::output_units, v.output_units);
    record.store_field(f::output_curve, has_curve(output_type) ? v.output_curve : "");
    record.store_field(f::output_auxiliary,
                       has_auxiliary(Direction::output, output_type) ? v.output_auxiliary : "");

    const bool enabled = v.tolerance_state == Tolerance_state::enabled;
    record.store_field(f::tolerance, enabled ? fixed(v.tolerance, 3) : "");
    record.store_field(f::input_low, enabled ? fixed(v.input_low, 4) : "");
    record.store_field(f::input_high, enabled ? fixed(v.input_high, 4) : "");
    record.store_field(f::output_low, enabled ? fixed(v.output_low, 4) : "");
    record.store_field(f::output_high, enabled ? fixed(v.output_high, 4) : "");

    // The record never claims more points than it holds, nor a negative count.
    const int n = std::clamp(v.points_used, 0, reports::max_points);
    record.store_field(f::point_count, std::to_string(n));
    for (int k = 1; k <= reports::max_points; ++k)
        record.store_field(f::first_point + k - 1, k <= n ? fixed(v.point(k), 4) : "");

    const bool has_amplitude = input_type == type_frequency || input_type == type_pulse;
    record.store_field(f::input_amplitude, has_amplitude ? fixed(v.amplitude, 1) : "");
    if (input_type == type_pulse) {
        const bool frequency = v.fixed_type == Fixed_type::frequency;
        record.store_field(f::pulse_fixed_type, frequency ? fixed_freq : fixed_counts);
        record.store_field(f::pulse_fixed_value, frequency ? fixed(v.fixed_value, 1) : truncated(v.fixed_value));
    } else {
        record.store_field(f::pulse_fixed_type, "");
        record.store_field(f::pulse_fixed_value, "");
    }
}

std::string field_name(int field) {
    if (field >= 1 && field <= f::point_count) return res::str(res::IDS_FIELD_NAME_BASE + field);
    if (field >= f::first_point && field <= f::last_tag_field)
        return res::format(res::IDS_FIELD_TEST_POINT, field - f::point_count);
    return {};
}

}  // namespace tags
