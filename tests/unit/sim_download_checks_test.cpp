// The simulated calibrator's checks of downloaded field values.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "demo_tags.h"
#include "download_checks.h"

namespace {

// Fields accepted before the field under test, as the calibrator keeps them.
sim::Tag_record prior(std::vector<std::pair<int, std::string>> fields) {
    sim::Tag_record record;
    for (auto& [n, value] : fields) record.set(n, value);
    return record;
}

struct Check_case {
    const char* name;
    int field;
    std::string value;
    std::vector<std::pair<int, std::string>> before;
    int error;
    std::string stored = "";  // checked when not empty
};

const std::vector<std::pair<int, std::string>> TC_INPUT = {{9, "Thermocouple"}, {10, "DegC"}};
const std::vector<std::pair<int, std::string>> PULSE_COUNTS = {{9, "Pulse"}, {10, "Hz"}, {14, "COUNTS"}};
const std::vector<std::pair<int, std::string>> PULSE_FREQ = {{9, "Pulse"}, {10, "Hz"}, {14, "FREQ"}};
const std::vector<std::pair<int, std::string>> TOLERANCE_ON = {{20, "0.250"}, {21, "4.0000"}};

TEST(Sim_download_checks, each_field_is_judged_like_an_instrument_would) {
    const std::vector<Check_case> cases = {
        // Tag ID: blank, leading space, duplicate (any case), too long, control character.
        {"blank tag ID", 1, "", {}, 7},
        {"tag ID with a leading space", 1, " TT", {}, 7},
        {"duplicate tag ID", 1, "tt-204", {}, 7},
        {"tag ID of 16 characters", 1, "ABCDEFGHIJKLMNOP", {}, 0},
        {"tag ID of 17 characters", 1, "ABCDEFGHIJKLMNOPQ", {}, 6},
        {"tag ID with a tab", 1, "TT\t1", {}, 6},
        {"tag ID with a byte above 0x7E", 1, "TT\xB0", {}, 6},
        {"identification text", 4, "Jane Q. Public", {}, 0},
        {"blank identification", 7, "", {}, 0},
        {"identification too long", 8, "MODEL-0123456789X", {}, 6},
        // Types, units, curves, auxiliary values.
        {"input type in other case", 9, "milliamp 2w sim", {}, 0, "Milliamp 2W SIM"},
        {"output-only type as input", 9, "Milliamp Loop", {}, 12},
        {"blank input type", 9, "", {}, 12},
        {"input-only type as output", 16, "Pulse", {}, 12},
        {"units of the type", 10, "degf", TC_INPUT, 0, "DegF"},
        {"units of another type", 10, "psi", TC_INPUT, 12},
        {"manual units up to five characters", 10, "%RH", {{9, "Manual"}}, 0},
        {"manual units too long", 10, "Percent", {{9, "Manual"}}, 6},
        {"curve of the type", 11, "k", TC_INPUT, 0, "K"},
        {"RTD curve for a thermocouple", 11, "P100-385", TC_INPUT, 12},
        {"curve on a volts input", 11, "K", {{9, "Volts"}, {10, "V"}}, 13},
        {"mV units without mV curve", 11, "K", {{9, "Thermocouple"}, {10, "mV"}}, 13},
        {"mV curve without mV units", 11, "mV", TC_INPUT, 13},
        {"mV units with mV curve", 11, "mV", {{9, "Thermocouple"}, {10, "mV"}}, 0},
        {"Ohms units without Ohms curve", 18, "P100-385", {{16, "RTD"}, {17, "Ohms"}}, 13},
        {"cold junction", 12, "cjc on", TC_INPUT, 0, "CJC ON"},
        {"cold junction on an RTD input", 12, "CJC ON", {{9, "RTD"}}, 13},
        {"unknown cold junction", 12, "CJC AUTO", TC_INPUT, 12},
        {"RTD output wires", 19, "3w", {{16, "RTD"}, {17, "DegC"}, {18, "P100-385"}}, 0, "3W"},
        {"wires on a thermocouple output", 19, "3W", {{16, "Thermocouple"}}, 12},
        {"auxiliary on a milliamp output", 19, "2W", {{16, "Milliamp"}}, 13},
        // Combinations the calibrator cannot run.
        {"two pressure signals", 19, "", {{9, "Pressure"}, {16, "Pressure"}}, 14},
        {"2W SIM into a powered loop", 19, "", {{9, "Milliamp 2W SIM"}, {16, "Milliamp Loop"}}, 14},
        {"pressure in, milliamp out", 19, "", {{9, "Pressure"}, {16, "Milliamp"}}, 0},
        // Frequency and pulse.
        {"amplitude", 13, "5.0", {{9, "Frequency"}}, 0},
        {"amplitude below 1", 13, "0.5", {{9, "Frequency"}}, 11},
        {"amplitude above 20", 13, "20.1", {{9, "Pulse"}}, 11},
        {"amplitude not a number", 13, "5V", {{9, "Frequency"}}, 10},
        {"amplitude missing", 13, "", {{9, "Frequency"}}, 13},
        {"amplitude on a volts input", 13, "5.0", {{9, "Volts"}}, 13},
        {"fixed type", 14, "Counts", {{9, "Pulse"}}, 0, "COUNTS"},
        {"fixed type freq", 14, "freq", {{9, "Pulse"}}, 0, "FREQ"},
        {"fixed type unknown", 14, "Frequency", {{9, "Pulse"}}, 12},
        {"fixed counts", 15, "1000", PULSE_COUNTS, 0},
        {"fixed counts with a fraction", 15, "12.7", PULSE_COUNTS, 8},
        {"fixed counts too high", 15, "1000000", PULSE_COUNTS, 11},
        {"fixed counts negative", 15, "-1", PULSE_COUNTS, 11},
        {"fixed frequency", 15, "12.7", PULSE_FREQ, 0},
        {"fixed value on a frequency input", 15, "1", {{9, "Frequency"}}, 13},
        // Tolerance, ranges, the input span.
        {"tolerance disabled", 20, "", {}, 0, "NONE"},
        {"tolerance", 20, "0.250", {}, 0},
        {"tolerance above 100", 20, "100.001", {}, 11},
        {"tolerance negative", 20, "-0.1", {}, 11},
        {"tolerance not a number", 20, "abc", {}, 10},
        {"tolerance of infinity", 20, "inf", {}, 10},
        {"range with tolerance disabled", 21, "", {{20, "NONE"}}, 0},
        {"range missing with tolerance", 21, "", {{20, "0.250"}}, 13},
        {"range beyond 999999", 23, "1000000.0", {{20, "0.250"}}, 11},
        {"range with exponent", 23, "1e3", {{20, "0.250"}}, 0},
        {"input span too small", 22, "4.0000", TOLERANCE_ON, 17},
        {"input span 0.00009", 22, "4.00009", TOLERANCE_ON, 17},
        {"input span 0.0001", 22, "4.0001", TOLERANCE_ON, 0},
        {"reversed input range", 22, "0.0000", TOLERANCE_ON, 0},
        {"tiny span without tolerance", 22, "4.0000", {{20, "NONE"}, {21, "4.0000"}}, 0},
        // Test points.
        {"no test points", 25, "0", {}, 9},
        {"22 test points", 25, "22", {}, 9},
        {"blank test point count", 25, "", {}, 9},
        {"test point count not an integer", 25, "3.0", {}, 8},
        {"21 test points", 25, "21", {}, 0},
        {"point in use", 28, "-999999", {{25, "3"}}, 0},
        {"point in use blank", 28, "", {{25, "3"}}, 9},
        {"point in use out of range", 26, "-1000000", {{25, "3"}}, 11},
        {"point in use not a number", 27, "1,5", {{25, "3"}}, 10},
        {"point beyond the count blank", 29, "", {{25, "3"}}, 0},
        {"point beyond the count a number", 46, "5.0000", {{25, "3"}}, 0},
        {"point beyond the count text", 46, "x", {{25, "3"}}, 10},
        {"number text too long", 26, "1.00000000000000000", {{25, "1"}}, 10},
        // Field numbers outside the configuration.
        {"field 47", 47, "", {}, 1},
        {"field 0", 0, "", {}, 1},
    };
    sim::Tag_store store;
    sim::Tag_record existing;
    existing.set(1, "TT-204");
    existing.set(sim::STATE_FIELD, "2");
    store.put(17, existing);
    for (const auto& c : cases) {
        sim::Field_verdict verdict = sim::check_download_field(c.field, c.value, prior(c.before), store);
        EXPECT_EQ(verdict.error, c.error) << c.name;
        if (verdict.error == 0) {
            EXPECT_EQ(verdict.stored, c.stored.empty() ? c.value : c.stored) << c.name;
        }
    }
}

struct Number_case {
    const char* text;
    bool valid_int;
    bool valid_float;
};

TEST(Sim_download_checks, numbers_must_be_the_whole_value) {
    const std::vector<Number_case> cases = {
        {"12", true, true},    {"-12", true, true},    {"+12", true, true},   {"12.5", false, true},
        {".5", false, true},   {"1e3", false, true},   {" 12", false, false}, {"12 ", false, false},
        {"", false, false},    {"+", false, false},    {"-", false, false},   {"++1", false, false},
        {"nan", false, false}, {"1e999", false, false}, {"0x10", false, false}, {"1.2.3", false, false},
    };
    for (const auto& c : cases) {
        long long i = 0;
        double d = 0;
        EXPECT_EQ(sim::parse_strict_int(c.text, i), c.valid_int) << c.text;
        EXPECT_EQ(sim::parse_strict_float(c.text, d), c.valid_float) << c.text;
    }
}

// The demonstration tags must be tags the calibrator itself would accept.
TEST(Sim_download_checks, every_demonstration_tag_passes_the_download_checks) {
    sim::Tag_store demo;
    sim::load_demo_tags(demo);
    ASSERT_GT(demo.count(), 10);
    for (int p = 1; p <= sim::MAX_TAGS; ++p) {
        if (!demo.in_use(p)) continue;
        sim::Tag_store others = demo;
        others.clear(p);
        sim::Tag_record accepted;
        for (int f = 1; f <= sim::CONFIG_FIELDS; ++f) {
            std::string value = demo.at(p).field(f);
            // As the program would send it back: tolerance disabled is blank.
            if (f == 20 && value == "NONE") value.clear();
            // Calibrated tags hold As Found inputs in 26..46; they are the points.
            sim::Field_verdict verdict = sim::check_download_field(f, value, accepted, others);
            ASSERT_EQ(verdict.error, 0) << demo.at(p).tag_id() << " field " << f << " \"" << value << "\"";
            accepted.set(f, verdict.stored);
        }
    }
}

TEST(Sim_download_checks, demonstration_tags_cover_every_signal_type_and_reading_form) {
    sim::Tag_store demo;
    sim::load_demo_tags(demo);
    std::set<std::string> inputs, outputs, markers;
    int calibrated = 0, not_calibrated = 0, tolerance_disabled = 0, pressure_without_date = 0, pressure_with_date = 0;
    bool rtd_output_with_wires = false, thermocouple_cj = false, pulse_counts = false, pulse_freq = false;
    for (int p = 1; p <= sim::MAX_TAGS; ++p) {
        if (!demo.in_use(p)) continue;
        const sim::Tag_record& tag = demo.at(p);
        inputs.insert(tag.field(9));
        outputs.insert(tag.field(16));
        (tag.calibrated() ? calibrated : not_calibrated)++;
        tolerance_disabled += tag.field(20) == "NONE" ? 1 : 0;
        rtd_output_with_wires |= tag.field(16) == "RTD" && !tag.field(19).empty();
        thermocouple_cj |= tag.field(9) == "Thermocouple" && !tag.field(12).empty();
        pulse_counts |= tag.field(14) == "COUNTS";
        pulse_freq |= tag.field(14) == "FREQ";
        if (tag.calibrated() && (tag.field(9) == "Pressure" || tag.field(16) == "Pressure"))
            (sim::leading_int(tag.field(74)) < 1 ? pressure_without_date : pressure_with_date)++;
        for (int f = 26; f <= 118; ++f)
            if (tag.field(f) == "UNDER" || tag.field(f) == "OVER") markers.insert(tag.field(f));
    }
    EXPECT_EQ(inputs, (std::set<std::string>{"Milliamp", "Milliamp 2W SIM", "Volts", "Thermocouple", "RTD",
                                             "Frequency", "Pulse", "Pressure", "Manual"}));
    for (const char* type : {"Milliamp", "Milliamp Loop", "Volts", "Thermocouple", "RTD", "Pressure", "Manual"})
        EXPECT_TRUE(outputs.count(type)) << type;
    EXPECT_GE(calibrated, 5);
    EXPECT_GE(not_calibrated, 2);
    EXPECT_GE(tolerance_disabled, 1);
    EXPECT_GE(pressure_with_date, 1);
    EXPECT_GE(pressure_without_date, 1);
    EXPECT_TRUE(rtd_output_with_wires && thermocouple_cj && pulse_counts && pulse_freq);
    EXPECT_EQ(markers, (std::set<std::string>{"UNDER", "OVER"}));
}

}  // namespace
