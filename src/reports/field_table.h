// The field value table: the numbered text fields of one tag.
//
// Slot n holds field n (slot 0 holds nothing).  Fields 1..46 are the tag
// configuration (what a tag file stores and a download sends); fields 26..129
// of an uploaded tag hold its readings, state, pressure module data, dates and
// the calibrator serial number; slots 130..133 hold the identity of the
// calibrator of the current operation.  The table holds one tag at a time.
//
// Values are kept as text exactly as received; a slot holds at most 99
// characters and never more (longer text is cut, text after a NUL is dropped).
// Fields are read as numbers with the decimal rules below, which never fail:
// text without a leading number reads 0.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace reports {

// Field numbers of an uploaded tag (1..46 are also the tag configuration).
namespace fields {
constexpr int tag_id = 1;
constexpr int manufacturer = 2;
constexpr int serial_number = 3;
constexpr int technician = 4;
constexpr int temperature = 5;
constexpr int humidity = 6;
constexpr int other = 7;
constexpr int model = 8;
constexpr int input_type = 9;
constexpr int input_units = 10;
constexpr int input_curve = 11;
constexpr int input_auxiliary = 12;
constexpr int input_amplitude = 13;       // volts peak-to-peak
constexpr int pulse_fixed_type = 14;
constexpr int pulse_fixed_value = 15;
constexpr int output_type = 16;
constexpr int output_units = 17;
constexpr int output_curve = 18;
constexpr int output_auxiliary = 19;
constexpr int tolerance = 20;             // percent of span, or "NONE"
constexpr int input_low = 21;
constexpr int input_high = 22;
constexpr int output_low = 23;
constexpr int output_high = 24;
constexpr int point_count = 25;           // n, valid 1..21
constexpr int first_point = 26;           // configuration: test points 1..21 = 26..46
constexpr int last_tag_field = 46;        // last field of the tag configuration

// Readings of an uploaded tag: point k (1..21) is at base + k.
constexpr int found_input_base = 25;      // As Found input  26..46
constexpr int found_output_base = 46;     // As Found output 47..67
constexpr int left_input_base = 76;       // As Left input   77..97
constexpr int left_output_base = 97;      // As Left output  98..118

constexpr int tag_state = 68;             // <=0 no tag, 1 not calibrated, >=2 calibrated
constexpr int module_id = 69;             // pressure module identification
constexpr int module_after_psi = 70;
constexpr int module_before_psi = 71;
constexpr int module_year = 72;
constexpr int module_month = 73;
constexpr int module_day = 74;            // below 1: the module has no calibration date
constexpr int calibrated_year = 119;      // 119..124: year, month, day, hour, minute, second
constexpr int last_cal_year = 125;        // 125..127: calibrator's last calibration date
constexpr int report_serial = 129;        // calibrator serial number as printed
constexpr int calibrator_manufacturer = 130;
constexpr int calibrator_model = 131;
constexpr int firmware_suffix = 132;
constexpr int queried_serial = 133;       // serial number read at the start of the operation

constexpr int last_reset = 129;           // reset_tag_fields covers 1..129
constexpr int slot_count = 134;           // slots 0..133
}  // namespace fields

constexpr int max_points = 21;
constexpr size_t max_field_chars = 99;

// The decimal integer rule: leading white space skipped, optional sign,
// decimal digits up to the first other character; no leading digits reads 0.
// Values beyond the int range saturate at INT_MIN / INT_MAX.
int read_decimal_int(std::string_view text);

// The decimal floating-point rule: leading white space skipped, then the
// longest leading decimal number (optional sign, digits, optional point with
// digits, optional exponent); no leading number reads 0.0.  Only decimal
// notation is read ("inf", "nan" and hexadecimal forms read 0.0); a value too
// large for a double reads as an infinity of its sign, as the C library does.
// Independent of the C locale.
double read_decimal_real(std::string_view text);

// The value of a text that is one finite decimal number in that notation and
// nothing else but white space around it; nothing for any other text (blank,
// "nan", "inf", a marker, trailing letters, a value beyond the double range).
std::optional<double> read_finite_decimal(std::string_view text);

// The marker text of an absent value.
inline constexpr std::string_view none_marker = "NONE";

class Field_table {
public:
    // Every slot starts empty.
    Field_table() = default;

    // Sets slots 1..129 to "NONE" (slots 130..133 survive).
    void reset_tag_fields();

    // Copies text into slot field: at most 99 characters, up to the first NUL.
    // A field number outside 1..133 is ignored.
    void store_field(int field, std::string_view text);

    // Slot field as text; "" for a field number outside 0..133.
    const std::string& field_text(int field) const;
    // Slot field by the decimal integer rule.
    int field_int(int field) const { return read_decimal_int(field_text(field)); }
    // Slot field by the decimal floating-point rule.
    double field_real(int field) const { return read_decimal_real(field_text(field)); }

    // After a tag's fields have arrived: slot 129 = slot 133.
    void complete_tag_fields();

private:
    std::array<std::string, fields::slot_count> slots_{};
};

// The request plan of one tag, as field numbers in request order.
//
// The upload requests the head (fields 1..25) first, then reads n from
// field 25; only when n is a valid point count (1..21) does it request the
// tail: 26..25+n, 47..46+n, 68..76, 77..76+n, 98..97+n, 119..128.  Field 129
// is never requested: complete_tag_fields fills it.  A tag of n points costs
// 44 + 4n requests.
bool valid_point_count(int n);
std::vector<int> tag_request_head();
// Empty when n is not a valid point count.
std::vector<int> tag_request_tail(int n);
// Head and tail together: 44 + 4n fields, or the 25 head fields alone when n
// is not valid (the upload stops after field 25).
std::vector<int> tag_request_plan(int n);

}  // namespace reports
