// Writes the example tag files of this folder with the program's own writer:
// the editor values of each tag go through editor_to_record and
// tag_file_text, as saving from the tag editor does.
//
// Built and run by hand once after a change (from the repository root, with
// the core library built in build/):
//
//   g++ -std=c++20 -Isrc examples/tags/make_examples.cpp build/libtq740_core.a
//       $(pkg-config --cflags --libs Qt6Core Qt6SerialPort) -o /tmp/make_examples     (one line)
//   /tmp/make_examples examples/tags
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "shell/ini_file.h"
#include "tags/tag_file.h"

namespace {

using tags::Tag_editor_values;

struct Signal {
    const char* type;
    const char* units;
    const char* curve = "";
    const char* auxiliary = "";   // cold junction or wires
};

struct Example {
    const char* file;
    const char* tag_id;
    const char* model;
    Signal input, output;
    float tolerance;              // 0: tolerance testing disabled
    float in_low, in_high, out_low, out_high;
    int points;                   // spread evenly over the input range
    std::function<void(Tag_editor_values&)> extra = {};
};

void pulse(Tag_editor_values& v, float amplitude, tags::Fixed_type fixed, float value) {
    v.amplitude = amplitude;
    v.fixed_type = fixed;
    v.fixed_value = value;
}

const std::vector<Example> examples = {
    // The worked example of the file format: a thermocouple transmitter with five points.
    {"TT-101.utg", "TT-101", "Model-7", {"Thermocouple", "DegC", "K", "CJC ON"}, {"Milliamp", "mA"}, 0.5f, 0, 100,
     4, 20, 5, [](Tag_editor_values& v) { v.temperature = "21C", v.humidity = "40%"; }},
    {"PT-201.utg", "PT-201", "PX-21", {"Pressure", "psi"}, {"Milliamp Loop", "mA"}, 0.25f, 0, 100, 4, 20, 21},
    {"TE-310.utg", "TE-310", "RT-3", {"RTD", "DegC", "P100-385"}, {"Milliamp", "mA"}, 0.5f, -50, 150, 4, 20, 3},
    {"TY-320.utg", "TY-320", "TX-4", {"Milliamp", "mA"}, {"RTD", "DegC", "P100-385", "3W"}, 1.0f, 4, 20, 0, 200, 5},
    {"VT-410.utg", "VT-410", "VS-1", {"Volts", "V"}, {"Volts", "V"}, 0, 0, 10, 0, 10, 1},
    {"LT-510.utg", "LT-510", "LV-2", {"Milliamp 2W SIM", "mA"}, {"Manual", "%"}, 1.0f, 4, 20, 0, 100, 5},
    {"FT-610.utg", "FT-610", "FR-6", {"Frequency", "Hz"}, {"Frequency", "kHz"}, 0.5f, 0, 1000, 0, 1, 5},
    {"FQ-710.utg", "FQ-710", "PC-7", {"Pulse", "Hz"}, {"Manual", "cnt"}, 0.1f, 0, 100, 0, 1000, 3,
     [](Tag_editor_values& v) { pulse(v, 10.0f, tags::Fixed_type::counts, 1000); }},
    {"FQ-720.utg", "FQ-720", "PF-7", {"Pulse", "kHz"}, {"Milliamp", "mA"}, 0.5f, 0, 50, 4, 20, 3,
     [](Tag_editor_values& v) { pulse(v, 2.5f, tags::Fixed_type::frequency, 50); }},
    {"TC-810.utg", "TC-810", "TS-8", {"Manual", "DegC"}, {"Thermocouple", "DegC", "J", "CJC OFF"}, 1.0f, 0, 400, 0,
     400, 5},
    {"PY-910.utg", "PY-910", "IP-9", {"Milliamp", "mA"}, {"Pressure", "bar"}, 0.5f, 4, 20, 0, 10, 5},
    {"HS-920.utg", "HS-920", "SW-1", {"Manual", "rpm"}, {"Milliamp Loop", "mA"}, 2.0f, 0, 3000, 4, 20, 2,
     [](Tag_editor_values& v) { v.other = "Loop check"; }},
    // A tag ID longer than the calibrator's 16 characters: the calibrator
    // refuses field 1, so the refusal message can be seen.
    {"refused-long-tag-id.utg", "FLOW-TRANSMITTER-1", "FM-1", {"Milliamp", "mA"}, {"Milliamp", "mA"}, 0.5f, 4, 20,
     4, 20, 3},
};

// The editor values of an example, as a user would enter them.
Tag_editor_values editor_values(const Example& e) {
    Tag_editor_values v = tags::new_tag_defaults();
    v.tag_id = e.tag_id;
    v.manufacturer = "Maker";
    v.serial_number = "SN1234";
    v.technician = "Tech";
    v.model = e.model;
    v.input_type = e.input.type;
    v.input_units = e.input.units;
    v.input_curve = e.input.curve;
    v.input_cold_junction = e.input.auxiliary;
    v.output_type = e.output.type;
    v.output_units = e.output.units;
    v.output_curve = e.output.curve;
    v.output_auxiliary = e.output.auxiliary;
    v.tolerance_state = e.tolerance > 0 ? tags::Tolerance_state::enabled : tags::Tolerance_state::disabled;
    v.tolerance = e.tolerance;
    v.input_low = e.in_low;
    v.input_high = e.in_high;
    v.output_low = e.out_low;
    v.output_high = e.out_high;
    v.points_used = e.points;
    for (int k = 1; k <= e.points; ++k)
        v.point(k) = e.points == 1 ? e.in_low : e.in_low + (e.in_high - e.in_low) * (k - 1) / (e.points - 1);
    if (e.extra) e.extra(v);
    return v;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    int failures = 0;
    for (const Example& example : examples) {
        reports::Field_table record;
        tags::editor_to_record(editor_values(example), record);
        std::string reason;
        const std::string path = folder + "/" + example.file;
        if (shell::write_file_atomically(path, tags::tag_file_text(record), reason) != shell::Write_outcome::ok) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), reason.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
