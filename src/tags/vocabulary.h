// The vocabularies of a tag configuration: signal types, units, curves,
// wiring and cold-junction choices, and which list applies to which type.
//
// Every choice is stored in a tag and sent to the calibrator as its text, so
// these words are file and wire values as well as what the editor offers.
// Type comparisons are exact and case-sensitive on the whole text; only the
// editor folds case (match_choice) to bring a typed choice to its list's
// spelling, and saving folds it the same way to decide which fields of a
// type stay filled.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace tags {

enum class Direction { input, output };

// Type texts.
inline constexpr std::string_view type_milliamp = "Milliamp";
inline constexpr std::string_view type_milliamp_2w_sim = "Milliamp 2W SIM";
inline constexpr std::string_view type_milliamp_loop = "Milliamp Loop";
inline constexpr std::string_view type_volts = "Volts";
inline constexpr std::string_view type_thermocouple = "Thermocouple";
inline constexpr std::string_view type_rtd = "RTD";
inline constexpr std::string_view type_frequency = "Frequency";
inline constexpr std::string_view type_pulse = "Pulse";
inline constexpr std::string_view type_pressure = "Pressure";
inline constexpr std::string_view type_manual = "Manual";

// The type lists, in the order the editor offers them.
inline constexpr std::array<std::string_view, 9> Input_types = {
    type_milliamp, type_milliamp_2w_sim, type_volts, type_thermocouple, type_rtd,
    type_frequency, type_pulse,          type_pressure, type_manual};
inline constexpr std::array<std::string_view, 8> Output_types = {
    type_milliamp, type_milliamp_loop, type_volts,    type_thermocouple,
    type_rtd,      type_frequency,     type_pressure, type_manual};

// Auxiliary values.
inline constexpr std::string_view cjc_on = "CJC ON";
inline constexpr std::string_view cjc_off = "CJC OFF";

// Pulse fixed types as stored in field 14.
inline constexpr std::string_view fixed_counts = "Counts";
inline constexpr std::string_view fixed_freq = "Freq";

// True when type is one of the direction's listed types (exact comparison).
bool is_listed_type(Direction direction, std::string_view type);

// The units offered for a type of this direction; empty for "Manual" and any
// text that is not a listed type of the direction (units are free text then).
std::span<const std::string_view> units_for(Direction direction, std::string_view type);

// The curves of "Thermocouple" and "RTD" (14 each); empty for any other type.
std::span<const std::string_view> curves_for(std::string_view type);

// The auxiliary choice of a side: the label beside the list ("CJ:" for cold
// junction compensation, "Wires:" for RTD wiring) and its entries.  Both are
// empty where the side has no auxiliary value.
struct Auxiliary_choices {
    std::string_view label;
    std::span<const std::string_view> entries;
};
Auxiliary_choices auxiliary_for(Direction direction, std::string_view type);

// The editor's matching: a typed choice that equals an entry of the list
// when case is ignored becomes the entry's own spelling; any other text is
// kept as typed.
std::string match_choice(std::span<const std::string_view> list, std::string_view typed);

}  // namespace tags
