// The tag configuration in its two forms and the conversions between them.
//
// Text form (`Tag_configuration`): the 46 numbered text fields of a tag, held
// in slots 1..46 of the field value table (reports::Field_table), the same
// storage the report upload fills.  Choices are stored as their texts;
// numbers as decimal text in fixed formats; an empty field marks a value that
// does not apply.  Field numbers are reports::fields::tag_id .. last_tag_field.
//
// Typed form (`Tag_editor_values`): the values of the five editor pages, with
// every number a single-precision float (123456.7 is held as 123456.703125 and
// saved as 123456.7031).
//
// The conversions never fail and never report: text without a number reads 0.
#pragma once

#include <array>
#include <string>

#include "reports/field_table.h"

namespace tags {

enum class Fixed_type : int { counts = 0, frequency = 1 };
enum class Tolerance_state : int { enabled = 0, disabled = 1 };

struct Tag_editor_values {
    // Tab_Identification (fields 1..8).
    std::string tag_id, manufacturer, serial_number, technician, temperature, humidity, other, model;

    // Tab_Instrument_Input (fields 9..15).
    std::string input_type, input_units, input_curve, input_cold_junction;
    float amplitude = 5.0f;                     // volts peak-to-peak
    Fixed_type fixed_type = Fixed_type::counts;
    float fixed_value = 0.0f;

    // Tab_Instrument_Output (fields 16..19).
    std::string output_type, output_units, output_curve, output_auxiliary;

    // Tab_Tolerance (fields 20..24).
    float tolerance = 0.0f;                     // percent of span
    float input_high = 0.0f, input_low = 0.0f, output_high = 0.0f, output_low = 0.0f;
    Tolerance_state tolerance_state = Tolerance_state::disabled;

    // Tab_Test_Points (fields 25..46).  The test point page works on this same
    // object, so it reads the tolerance page's ranges directly.
    int points_used = 1;
    std::array<float, reports::max_points> points{};   // points 1..21 at [0..20]

    // Point k (1..21).
    float& point(int k) { return points.at(static_cast<size_t>(k - 1)); }
    float point(int k) const { return points.at(static_cast<size_t>(k - 1)); }
};

// The values of "Edit new tag": empty texts, amplitude 5.0, fixed type Counts
// with value 0, tolerance Disabled with every number 0, one point, all points
// 0.  The caller also clears its current tag file name.
Tag_editor_values new_tag_defaults();

// Fills the editor values from the working record (fields 1..46).
Tag_editor_values record_to_editor(const reports::Field_table& record);

// Rewrites fields 1..46 of the working record from the editor values, with
// the blanking rules: curve fields 11 and 18 empty unless their type is
// "Thermocouple" or "RTD"; field 12 empty unless the input is "Thermocouple";
// field 19 empty unless the output is "Thermocouple" or "RTD"; fields 20..24
// empty when tolerance is disabled; field 13
// only for input types "Frequency" and "Pulse"; fields 14 and 15 only for
// "Pulse"; test point fields beyond the point count empty.  A point count
// outside 0..21 is brought into that range (field 25 and the point fields
// always agree).
void editor_to_record(const Tag_editor_values& values, reports::Field_table& record);

// "The number in" a field: the decimal floating-point rule narrowed to single
// precision (values beyond the float range become the largest float of their
// sign).
float number_in(std::string_view text);

// The system's name of field 1..46 ("Tag ID", ..., "Test Point 21"); "" for
// other numbers.
std::string field_name(int field);

}  // namespace tags
