#include "tags/vocabulary.h"

#include <algorithm>

#include "resources/strings.h"
#include "resources/tags_strings.h"
#include "resources/text_match.h"

namespace tags {

namespace {

constexpr std::array<std::string_view, 1> milliamp_units = {"mA"};
constexpr std::array<std::string_view, 1> volts_units = {"V"};
constexpr std::array<std::string_view, 3> thermocouple_units = {"DegC", "DegF", "mV"};
constexpr std::array<std::string_view, 3> rtd_units = {"DegC", "DegF", "Ohms"};
constexpr std::array<std::string_view, 3> frequency_units = {"CPM", "Hz", "kHz"};
constexpr std::array<std::string_view, 11> pressure_units = {
    "psi", "inH2O 4C", "inH2O 20C", "cmH2O 4C", "cmH2O 20C", "bar",
    "mbar", "kPa", "inHg 0C", "mmHg 0C", "kg/cm2"};

constexpr std::array<std::string_view, 14> thermocouple_curves = {
    "B", "C", "E", "J", "K", "L", "N", "R", "S", "T", "U", "BP", "XK", "mV"};
constexpr std::array<std::string_view, 14> rtd_curves = {
    "P10-385", "P50-385", "P100-385", "P200-385", "P500-385", "P1K-385", "P100-392",
    "P100-JIS", "Ni 120", "Cu 10", "Cu 50", "Cu 100", "YSI-400", "Ohms"};

constexpr std::array<std::string_view, 2> cold_junction = {cjc_on, cjc_off};
constexpr std::array<std::string_view, 3> wires = {"2W", "3W", "4W"};

using res::equal_ignoring_case;

}  // namespace

bool is_listed_type(Direction direction, std::string_view type) {
    if (direction == Direction::input)
        return std::find(Input_types.begin(), Input_types.end(), type) != Input_types.end();
    return std::find(Output_types.begin(), Output_types.end(), type) != Output_types.end();
}

std::span<const std::string_view> units_for(Direction direction, std::string_view type) {
    if (!is_listed_type(direction, type)) return {};
    if (type == type_milliamp || type == type_milliamp_2w_sim || type == type_milliamp_loop)
        return milliamp_units;
    if (type == type_volts) return volts_units;
    if (type == type_thermocouple) return thermocouple_units;
    if (type == type_rtd) return rtd_units;
    if (type == type_frequency || type == type_pulse) return frequency_units;
    if (type == type_pressure) return pressure_units;
    return {};
}

std::span<const std::string_view> curves_for(std::string_view type) {
    if (type == type_thermocouple) return thermocouple_curves;
    if (type == type_rtd) return rtd_curves;
    return {};
}

Auxiliary_choices auxiliary_for(Direction direction, std::string_view type) {
    if (type == type_thermocouple) return {res::text(res::IDS_LABEL_COLD_JUNCTION), cold_junction};
    if (type == type_rtd && direction == Direction::output) return {res::text(res::IDS_LABEL_WIRES), wires};
    return {};
}

std::string match_choice(std::span<const std::string_view> list, std::string_view typed) {
    for (auto entry : list)
        if (equal_ignoring_case(entry, typed)) return std::string(entry);
    return std::string(typed);
}

}  // namespace tags
