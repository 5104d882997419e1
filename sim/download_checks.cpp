#include "download_checks.h"

#include <array>
#include <charconv>
#include <cmath>
#include <vector>

namespace sim {

namespace {

using List = std::vector<std::string_view>;

constexpr size_t MAX_TEXT = 16;         // identification fields
constexpr size_t MAX_MANUAL_UNITS = 5;  // units of a Manual type
constexpr size_t MAX_NUMBER_TEXT = 16;  // any numeric field
constexpr double MAX_MAGNITUDE = 999999.0;
constexpr double MIN_INPUT_SPAN = 0.0000999;

const List INPUT_TYPES = {"Milliamp", "Milliamp 2W SIM", "Volts", "Thermocouple", "RTD",
                          "Frequency", "Pulse", "Pressure", "Manual"};
const List OUTPUT_TYPES = {"Milliamp", "Milliamp Loop", "Volts", "Thermocouple",
                           "RTD", "Frequency", "Pressure", "Manual"};
const List CJC = {"CJC ON", "CJC OFF"};
const List WIRES = {"2W", "3W", "4W"};
const List FIXED_TYPES = {"COUNTS", "FREQ"};

List units_for(std::string_view type) {
    if (type == "Milliamp" || type == "Milliamp 2W SIM" || type == "Milliamp Loop") return {"mA"};
    if (type == "Volts") return {"V"};
    if (type == "Thermocouple") return {"DegC", "DegF", "mV"};
    if (type == "RTD") return {"DegC", "DegF", "Ohms"};
    if (type == "Frequency" || type == "Pulse") return {"CPM", "Hz", "kHz"};
    if (type == "Pressure")
        return {"psi", "inH2O 4C", "inH2O 20C", "cmH2O 4C", "cmH2O 20C", "bar",
                "mbar", "kPa", "inHg 0C", "mmHg 0C", "kg/cm2"};
    return {};
}

List curves_for(std::string_view type) {
    if (type == "Thermocouple")
        return {"B", "C", "E", "J", "K", "L", "N", "R", "S", "T", "U", "BP", "XK", "mV"};
    if (type == "RTD")
        return {"P10-385", "P50-385", "P100-385", "P200-385", "P500-385", "P1K-385", "P100-392",
                "P100-JIS", "Ni 120", "Cu 10", "Cu 50", "Cu 100", "YSI-400", "Ohms"};
    return {};
}

// The list entry equal to value when case is ignored, or nullptr.
const std::string_view* lookup(const List& list, std::string_view value) {
    for (const auto& entry : list)
        if (equal_ignoring_case(entry, value)) return &entry;
    return nullptr;
}

bool printable(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c > 0x7e) return false;
    return true;
}

Field_verdict accept(std::string_view value) { return {0, std::string(value)}; }
Field_verdict refuse(int error) { return {error, {}}; }

// A choice from list, kept in the list's own spelling.
Field_verdict choice(const List& list, std::string_view value) {
    if (!printable(value)) return refuse(ERROR_TEXT);
    const std::string_view* entry = lookup(list, value);
    return entry ? accept(*entry) : refuse(ERROR_CHOICE);
}

// A field that does not apply to the tag's type must be blank.
Field_verdict blank_only(std::string_view value) {
    return value.empty() ? accept(value) : refuse(ERROR_CONFIGURATION);
}

// A decimal number in [low, high]; blank is refused as an incomplete
// configuration when required, else accepted as it is.
Field_verdict number(std::string_view value, double low, double high, bool required) {
    if (value.empty()) return required ? refuse(ERROR_CONFIGURATION) : accept(value);
    double x = 0;
    if (value.size() > MAX_NUMBER_TEXT || !parse_strict_float(value, x)) return refuse(ERROR_FLOAT);
    if (x < low || x > high) return refuse(ERROR_RANGE);
    return accept(value);
}

Field_verdict whole_number(std::string_view value, long long low, long long high, bool required) {
    if (value.empty()) return required ? refuse(ERROR_CONFIGURATION) : accept(value);
    long long x = 0;
    if (value.size() > MAX_NUMBER_TEXT || !parse_strict_int(value, x)) return refuse(ERROR_INTEGER);
    if (x < low || x > high) return refuse(ERROR_RANGE);
    return accept(value);
}

Field_verdict identification(std::string_view value) {
    if (value.size() > MAX_TEXT || !printable(value)) return refuse(ERROR_TEXT);
    return accept(value);
}

Field_verdict tag_id(std::string_view value, const Tag_store& store) {
    if (value.size() > MAX_TEXT || !printable(value)) return refuse(ERROR_TEXT);
    if (value.empty() || value.front() == ' ' || store.find(value) != 0) return refuse(ERROR_TAG_ID);
    return accept(value);
}

// Units of a signal: one of the type's units, or free text of up to five
// characters for a Manual signal.
Field_verdict units(std::string_view type, std::string_view value) {
    if (type == "Manual") {
        if (value.size() > MAX_MANUAL_UNITS || !printable(value)) return refuse(ERROR_TEXT);
        return accept(value);
    }
    return choice(units_for(type), value);
}

// The curve of a thermocouple or RTD; "mV" units go with the "mV" curve and
// "Ohms" units with the "Ohms" curve, both ways.
Field_verdict curve(std::string_view type, std::string_view units_text, std::string_view value) {
    List curves = curves_for(type);
    if (curves.empty()) return blank_only(value);
    Field_verdict verdict = choice(curves, value);
    if (verdict.error) return verdict;
    const char* raw_units = type == "Thermocouple" ? "mV" : "Ohms";
    if ((units_text == raw_units) != (verdict.stored == raw_units)) return refuse(ERROR_CONFIGURATION);
    return verdict;
}

Field_verdict input_auxiliary(std::string_view type, std::string_view value) {
    return type == "Thermocouple" ? choice(CJC, value) : blank_only(value);
}

Field_verdict output_auxiliary(std::string_view type, std::string_view value) {
    if (type == "Thermocouple") return choice(CJC, value);
    if (type == "RTD") return choice(WIRES, value);
    return blank_only(value);
}

// Signal pairs the calibrator cannot run at once: it has one pressure module
// port, and it cannot both simulate a two-wire transmitter and power the loop.
bool combination_supported(std::string_view input_type, std::string_view output_type) {
    if (input_type == "Pressure" && output_type == "Pressure") return false;
    if (input_type == "Milliamp 2W SIM" && output_type == "Milliamp Loop") return false;
    return true;
}

bool tolerance_enabled(const Tag_record& record) {
    return !record.field(20).empty() && record.field(20) != "NONE";
}

}  // namespace

bool parse_strict_int(std::string_view text, long long& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool parse_strict_float(std::string_view text, double& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return false;
    // from_chars also reads "inf" and "nan"; a calibrator only knows digits.
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E')) return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value,
                                        std::chars_format::general);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

Field_verdict check_download_field(int field, std::string_view value, const Tag_record& record,
                                   const Tag_store& store) {
    const std::string& input_type = record.field(9);
    const std::string& output_type = record.field(16);
    const bool pulse = input_type == "Pulse";
    switch (field) {
    case 1:
        return tag_id(value, store);
    case 2: case 3: case 4: case 5: case 6: case 7: case 8:
        return identification(value);
    case 9:
        return choice(INPUT_TYPES, value);
    case 10:
        return units(input_type, value);
    case 11:
        return curve(input_type, record.field(10), value);
    case 12:
        return input_auxiliary(input_type, value);
    case 13:
        if (input_type != "Frequency" && !pulse) return blank_only(value);
        return number(value, 1.0, 20.0, true);
    case 14:
        return pulse ? choice(FIXED_TYPES, value) : blank_only(value);
    case 15:
        if (!pulse) return blank_only(value);
        if (record.field(14) == "COUNTS") return whole_number(value, 0, 999999, true);
        return number(value, 0.0, MAX_MAGNITUDE, true);
    case 16:
        return choice(OUTPUT_TYPES, value);
    case 17:
        return units(output_type, value);
    case 18:
        return curve(output_type, record.field(17), value);
    case 19: {
        Field_verdict verdict = output_auxiliary(output_type, value);
        if (!verdict.error && !combination_supported(input_type, output_type)) return refuse(ERROR_COMBINATION);
        return verdict;
    }
    case 20: {
        // Tolerance testing disabled is kept as "NONE".
        if (value.empty()) return {0, "NONE"};
        return number(value, 0.0, 100.0, true);
    }
    case 21: case 22: case 23: case 24: {
        const bool enabled = tolerance_enabled(record);
        Field_verdict verdict = number(value, -MAX_MAGNITUDE, MAX_MAGNITUDE, enabled);
        if (verdict.error || field != 22 || !enabled) return verdict;
        double low = 0, high = 0;
        parse_strict_float(record.field(21), low);
        parse_strict_float(value, high);
        if (std::fabs(high - low) <= MIN_INPUT_SPAN) return refuse(ERROR_INPUT_SPAN);
        return verdict;
    }
    case 25: {
        long long points = 0;
        if (value.size() > MAX_NUMBER_TEXT || (!value.empty() && !parse_strict_int(value, points)))
            return refuse(ERROR_INTEGER);
        if (points < 1 || points > MAX_POINTS) return refuse(ERROR_POINT_COUNT);
        return accept(value);
    }
    default:
        break;
    }
    if (field >= 26 && field <= CONFIG_FIELDS) {
        const int point = field - 25;
        if (point <= record.points()) {
            // A point in use must hold a number.
            if (value.empty()) return refuse(ERROR_POINT_COUNT);
            return number(value, -MAX_MAGNITUDE, MAX_MAGNITUDE, true);
        }
        // Points beyond the count are ignored but must still be numbers or blank.
        return number(value, -MAX_MAGNITUDE, MAX_MAGNITUDE, false);
    }
    return refuse(ERROR_FIELD_NUMBER);
}

}  // namespace sim
