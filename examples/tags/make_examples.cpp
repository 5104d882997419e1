// Writes the example tag files of this folder with the program's own writer:
// the editor values of each tag go through editor_to_record and
// tag_file_text, as saving from the tag editor does.
//
// Built and run by hand once after a change (from the repository root, with
// the core library built in build/):
//
//   g++ -std=c++20 -Isrc examples/tags/make_examples.cpp build/libtq740_core.a \
//       $(pkg-config --cflags --libs Qt6Core Qt6SerialPort) -o /tmp/make_examples
//   /tmp/make_examples examples/tags
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "shell/ini_file.h"
#include "tags/tag_file.h"

namespace {

using tags::Tag_editor_values;

struct Example {
    const char* file;
    std::function<void(Tag_editor_values&)> fill;
};

// Points evenly spread over the input range, n of them.
void spread_points(Tag_editor_values& v, int n) {
    v.points_used = n;
    for (int k = 1; k <= n; ++k)
        v.point(k) = n == 1 ? v.input_low : v.input_low + (v.input_high - v.input_low) * (k - 1) / (n - 1);
}

void identify(Tag_editor_values& v, const char* tag, const char* model) {
    v.tag_id = tag;
    v.manufacturer = "Maker";
    v.serial_number = "SN1234";
    v.technician = "Tech";
    v.model = model;
}

void ranges(Tag_editor_values& v, float tolerance, float in_low, float in_high, float out_low, float out_high) {
    v.tolerance_state = tags::Tolerance_state::enabled;
    v.tolerance = tolerance;
    v.input_low = in_low;
    v.input_high = in_high;
    v.output_low = out_low;
    v.output_high = out_high;
}

void signal(std::string& type, std::string& units, const char* t, const char* u) {
    type = t;
    units = u;
}

const std::vector<Example> examples = {
    // The worked example of the file format: a thermocouple transmitter with five points.
    {"TT-101.utg",
     [](Tag_editor_values& v) {
         identify(v, "TT-101", "Model-7");
         v.temperature = "21C";
         v.humidity = "40%";
         signal(v.input_type, v.input_units, "Thermocouple", "DegC");
         v.input_curve = "K";
         v.input_cold_junction = "CJC ON";
         signal(v.output_type, v.output_units, "Milliamp", "mA");
         ranges(v, 0.5f, 0, 100, 4, 20);
         spread_points(v, 5);
     }},
    {"PT-201.utg",
     [](Tag_editor_values& v) {
         identify(v, "PT-201", "PX-21");
         signal(v.input_type, v.input_units, "Pressure", "psi");
         signal(v.output_type, v.output_units, "Milliamp Loop", "mA");
         ranges(v, 0.25f, 0, 100, 4, 20);
         spread_points(v, 21);
     }},
    {"TE-310.utg",
     [](Tag_editor_values& v) {
         identify(v, "TE-310", "RT-3");
         signal(v.input_type, v.input_units, "RTD", "DegC");
         v.input_curve = "P100-385";
         signal(v.output_type, v.output_units, "Milliamp", "mA");
         ranges(v, 0.5f, -50, 150, 4, 20);
         spread_points(v, 3);
     }},
    {"TY-320.utg",
     [](Tag_editor_values& v) {
         identify(v, "TY-320", "TX-4");
         signal(v.input_type, v.input_units, "Milliamp", "mA");
         signal(v.output_type, v.output_units, "RTD", "DegC");
         v.output_curve = "P100-385";
         v.output_auxiliary = "3W";
         ranges(v, 1.0f, 4, 20, 0, 200);
         spread_points(v, 5);
     }},
    {"VT-410.utg",
     [](Tag_editor_values& v) {
         identify(v, "VT-410", "VS-1");
         signal(v.input_type, v.input_units, "Volts", "V");
         signal(v.output_type, v.output_units, "Volts", "V");
         v.input_low = 0;
         v.input_high = 10;
         spread_points(v, 1);  // tolerance testing disabled
     }},
    {"LT-510.utg",
     [](Tag_editor_values& v) {
         identify(v, "LT-510", "LV-2");
         signal(v.input_type, v.input_units, "Milliamp 2W SIM", "mA");
         signal(v.output_type, v.output_units, "Manual", "%");
         ranges(v, 1.0f, 4, 20, 0, 100);
         spread_points(v, 5);
     }},
    {"FT-610.utg",
     [](Tag_editor_values& v) {
         identify(v, "FT-610", "FR-6");
         signal(v.input_type, v.input_units, "Frequency", "Hz");
         v.amplitude = 5.0f;
         signal(v.output_type, v.output_units, "Frequency", "kHz");
         ranges(v, 0.5f, 0, 1000, 0, 1);
         spread_points(v, 5);
     }},
    {"FQ-710.utg",
     [](Tag_editor_values& v) {
         identify(v, "FQ-710", "PC-7");
         signal(v.input_type, v.input_units, "Pulse", "Hz");
         v.amplitude = 10.0f;
         v.fixed_type = tags::Fixed_type::counts;
         v.fixed_value = 1000;
         signal(v.output_type, v.output_units, "Manual", "cnt");
         ranges(v, 0.1f, 0, 100, 0, 1000);
         spread_points(v, 3);
     }},
    {"FQ-720.utg",
     [](Tag_editor_values& v) {
         identify(v, "FQ-720", "PF-7");
         signal(v.input_type, v.input_units, "Pulse", "kHz");
         v.amplitude = 2.5f;
         v.fixed_type = tags::Fixed_type::frequency;
         v.fixed_value = 50;
         signal(v.output_type, v.output_units, "Milliamp", "mA");
         ranges(v, 0.5f, 0, 50, 4, 20);
         spread_points(v, 3);
     }},
    {"TC-810.utg",
     [](Tag_editor_values& v) {
         identify(v, "TC-810", "TS-8");
         signal(v.input_type, v.input_units, "Manual", "DegC");
         signal(v.output_type, v.output_units, "Thermocouple", "DegC");
         v.output_curve = "J";
         v.output_auxiliary = "CJC OFF";
         ranges(v, 1.0f, 0, 400, 0, 400);
         spread_points(v, 5);
     }},
    {"PY-910.utg",
     [](Tag_editor_values& v) {
         identify(v, "PY-910", "IP-9");
         signal(v.input_type, v.input_units, "Milliamp", "mA");
         signal(v.output_type, v.output_units, "Pressure", "bar");
         ranges(v, 0.5f, 4, 20, 0, 10);
         spread_points(v, 5);
     }},
    {"HS-920.utg",
     [](Tag_editor_values& v) {
         identify(v, "HS-920", "SW-1");
         v.other = "Loop check";
         signal(v.input_type, v.input_units, "Manual", "rpm");
         signal(v.output_type, v.output_units, "Milliamp Loop", "mA");
         ranges(v, 2.0f, 0, 3000, 4, 20);
         spread_points(v, 2);
     }},
    // A tag ID longer than the calibrator's 16 characters: the calibrator
    // refuses field 1, so the refusal message can be seen.
    {"refused-long-tag-id.utg",
     [](Tag_editor_values& v) {
         identify(v, "FLOW-TRANSMITTER-1", "FM-1");
         signal(v.input_type, v.input_units, "Milliamp", "mA");
         signal(v.output_type, v.output_units, "Milliamp", "mA");
         ranges(v, 0.5f, 4, 20, 4, 20);
         spread_points(v, 3);
     }},
};

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    int failures = 0;
    for (const Example& example : examples) {
        Tag_editor_values values = tags::new_tag_defaults();
        example.fill(values);
        reports::Field_table record;
        tags::editor_to_record(values, record);
        std::string reason;
        const std::string path = folder + "/" + example.file;
        if (shell::write_file_atomically(path, tags::tag_file_text(record), reason) != shell::Write_outcome::ok) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), reason.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
