#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <span>

#include "reports/field_table.h"
#include "tags/tag_record.h"
#include "tags/vocabulary.h"

using reports::Field_table;
using tags::Direction;
using tags::Tag_editor_values;

namespace {

// A saved thermocouple transmitter with five points and tolerance.
Tag_editor_values thermocouple_tag() {
    Tag_editor_values v = tags::new_tag_defaults();
    v.tag_id = "TT-101";
    v.manufacturer = "Maker";
    v.serial_number = "SN1234";
    v.technician = "Tech";
    v.temperature = "21C";
    v.humidity = "40%";
    v.model = "Model-7";
    v.input_type = "Thermocouple";
    v.input_units = "DegC";
    v.input_curve = "K";
    v.input_cold_junction = "CJC ON";
    v.output_type = "Milliamp";
    v.output_units = "mA";
    v.tolerance_state = tags::Tolerance_state::enabled;
    v.tolerance = 0.5f;
    v.input_low = 0;
    v.input_high = 100;
    v.output_low = 4;
    v.output_high = 20;
    v.points_used = 5;
    for (int k = 1; k <= 5; ++k) v.point(k) = 25.0f * static_cast<float>(k - 1);
    return v;
}

std::vector<std::string> record_fields(const Field_table& table) {
    std::vector<std::string> out;
    for (int f = 1; f <= 46; ++f) out.push_back(table.field_text(f));
    return out;
}

TEST(Editor_to_record, writes_the_46_fields_in_their_formats) {
    Field_table record;
    tags::editor_to_record(thermocouple_tag(), record);
    std::vector<std::string> expected = {
        "TT-101", "Maker", "SN1234", "Tech", "21C", "40%", "", "Model-7", "Thermocouple", "DegC", "K",
        "CJC ON", "", "", "", "Milliamp", "mA", "", "", "0.500", "0.0000", "100.0000", "4.0000", "20.0000",
        "5", "0.0000", "25.0000", "50.0000", "75.0000", "100.0000"};
    expected.resize(46);
    EXPECT_EQ(record_fields(record), expected);
}

TEST(Editor_to_record, overlong_text_is_cut_to_its_slot) {
    Tag_editor_values v = thermocouple_tag();
    v.tag_id = std::string(150, 'T');
    Field_table record;
    tags::editor_to_record(v, record);
    EXPECT_EQ(record.field_text(1), std::string(99, 'T'));
    EXPECT_EQ(record.field_text(2), "Maker");
}

TEST(Editor_to_record, single_precision_shows_in_the_saved_text) {
    Tag_editor_values v = thermocouple_tag();
    v.input_high = 123456.7f;
    v.point(1) = 0.1f;
    v.tolerance = 2.5f;
    Field_table record;
    tags::editor_to_record(v, record);
    EXPECT_EQ(record.field_text(22), "123456.7031");
    EXPECT_EQ(record.field_text(26), "0.1000");
    EXPECT_EQ(record.field_text(20), "2.500");
    // Read back through the float, the same text comes out again.
    Field_table again;
    tags::editor_to_record(tags::record_to_editor(record), again);
    EXPECT_EQ(record_fields(again), record_fields(record));
}

TEST(Editor_to_record, formats_ignore_a_comma_locale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
    Field_table record;
    tags::editor_to_record(thermocouple_tag(), record);
    Tag_editor_values back = tags::record_to_editor(record);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(record.field_text(20), "0.500");
    EXPECT_EQ(record.field_text(22), "100.0000");
    EXPECT_EQ(back.tolerance, 0.5f);
}

struct Pulse_case {
    tags::Fixed_type type;
    float value;
    const char* field14;
    const char* field15;
};

TEST(Editor_to_record, pulse_fixed_value_by_fixed_type) {
    const std::vector<Pulse_case> cases = {
        {tags::Fixed_type::counts, 12.7f, "Counts", "12"},
        {tags::Fixed_type::frequency, 12.7f, "Freq", "12.7"},
        {tags::Fixed_type::counts, -0.5f, "Counts", "0"},
        {tags::Fixed_type::counts, -3.9f, "Counts", "-3"},
        {tags::Fixed_type::counts, 999999.0f, "Counts", "999999"},
        {tags::Fixed_type::frequency, 0.0f, "Freq", "0.0"},
    };
    for (const auto& c : cases) {
        Tag_editor_values v = tags::new_tag_defaults();
        v.input_type = "Pulse";
        v.amplitude = 2.0f;
        v.fixed_type = c.type;
        v.fixed_value = c.value;
        Field_table record;
        tags::editor_to_record(v, record);
        EXPECT_EQ(record.field_text(13), "2.0");
        EXPECT_EQ(record.field_text(14), c.field14);
        EXPECT_EQ(record.field_text(15), c.field15) << c.value;
    }
}

struct Blanking_case {
    const char* input_type;
    const char* output_type;
    std::vector<int> blank;      // fields that must be empty
    std::vector<int> kept;       // fields that must hold a value
};

TEST(Editor_to_record, blanks_what_the_types_do_not_use) {
    const std::vector<Blanking_case> cases = {
        {"Volts", "Volts", {11, 12, 13, 14, 15, 18, 19}, {9, 10, 16, 17}},
        {"Frequency", "Frequency", {11, 12, 14, 15, 18, 19}, {13}},
        {"Pulse", "Manual", {11, 12, 18, 19}, {13, 14, 15}},
        {"Thermocouple", "Thermocouple", {13, 14, 15}, {11, 12, 18, 19}},
        {"RTD", "RTD", {12, 13, 14, 15}, {11, 18, 19}},
        // Types are told apart as their lists match them, case ignored.
        {"thermocouple", "rtd", {13, 14, 15}, {9, 11, 12, 16, 18, 19}},
        {"PULSE", "tHERMOCOUPLE", {11, 12}, {13, 14, 15, 18, 19}},
        {"frequency", "volts", {11, 12, 14, 15, 18, 19}, {13}},
        {"Thermo couple", "RTD ", {11, 12, 13, 14, 15, 18, 19}, {9, 16}},
    };
    for (const auto& c : cases) {
        Tag_editor_values v = thermocouple_tag();
        v.input_type = c.input_type;
        v.output_type = c.output_type;
        v.input_curve = v.output_curve = "K";
        v.input_cold_junction = v.output_auxiliary = "CJC ON";
        v.amplitude = 7.5f;
        v.fixed_value = 3;
        Field_table record;
        for (int f = 1; f <= 46; ++f) record.store_field(f, "old");
        tags::editor_to_record(v, record);
        for (int f : c.blank) EXPECT_EQ(record.field_text(f), "") << c.input_type << " field " << f;
        for (int f : c.kept) EXPECT_NE(record.field_text(f), "") << c.input_type << " field " << f;
    }
}

TEST(Editor_to_record, disabled_tolerance_loses_the_ranges) {
    Field_table record;
    tags::editor_to_record(thermocouple_tag(), record);
    record.store_field(20, "");
    Tag_editor_values v = tags::record_to_editor(record);
    EXPECT_EQ(v.tolerance_state, tags::Tolerance_state::disabled);
    EXPECT_EQ(v.input_high, 100.0f);   // still loaded...
    tags::editor_to_record(v, record);
    for (int f = 20; f <= 24; ++f) EXPECT_EQ(record.field_text(f), "") << f;   // ...but not saved
}

struct Count_case {
    int points_used;
    const char* field25;
    int filled;
};

TEST(Editor_to_record, point_fields_follow_the_count_within_21) {
    const std::vector<Count_case> cases = {
        {3, "3", 3}, {1, "1", 1}, {21, "21", 21}, {0, "0", 0}, {25, "21", 21}, {-4, "0", 0}};
    for (const auto& c : cases) {
        Tag_editor_values v = thermocouple_tag();
        v.points_used = c.points_used;
        for (int k = 1; k <= 21; ++k) v.point(k) = static_cast<float>(k);
        Field_table record;
        tags::editor_to_record(v, record);
        EXPECT_EQ(record.field_text(25), c.field25);
        for (int k = 1; k <= 21; ++k) {
            const std::string& text = record.field_text(25 + k);
            if (k <= c.filled)
                EXPECT_EQ(text, std::to_string(k) + ".0000");
            else
                EXPECT_EQ(text, "") << "count " << c.points_used << " point " << k;
        }
    }
}

TEST(Record_to_editor, reads_numbers_and_choices_by_the_rules) {
    Field_table record;
    record.store_field(9, "Pulse");
    record.store_field(13, "");
    record.store_field(14, "freq");
    record.store_field(15, "12.5");
    record.store_field(20, "abc");
    record.store_field(25, "3");
    record.store_field(26, "1.5");
    record.store_field(27, "");
    record.store_field(28, " -2e1 units");
    Tag_editor_values v = tags::record_to_editor(record);
    EXPECT_EQ(v.amplitude, 5.0f);                             // empty field 13
    EXPECT_EQ(v.fixed_type, tags::Fixed_type::counts);         // "freq" is not "Freq"
    EXPECT_EQ(v.fixed_value, 12.5f);
    EXPECT_EQ(v.tolerance_state, tags::Tolerance_state::enabled);   // not empty
    EXPECT_EQ(v.tolerance, 0.0f);                              // but no number
    EXPECT_EQ(v.points_used, 3);
    EXPECT_EQ(v.point(1), 1.5f);
    EXPECT_EQ(v.point(2), 0.0f);
    EXPECT_EQ(v.point(3), -20.0f);
    for (int k = 4; k <= 21; ++k) EXPECT_EQ(v.point(k), 0.0f);

    record.store_field(13, "abc");
    record.store_field(14, "Freq");
    v = tags::record_to_editor(record);
    EXPECT_EQ(v.amplitude, 0.0f);
    EXPECT_EQ(v.fixed_type, tags::Fixed_type::frequency);
}

TEST(Record_to_editor, huge_numbers_stay_finite_floats) {
    EXPECT_EQ(tags::number_in("1e39"), FLT_MAX);
    EXPECT_EQ(tags::number_in("-1e300"), -FLT_MAX);
    EXPECT_EQ(tags::number_in("123456.7"), 123456.703125f);
}

TEST(New_tag_defaults, start_values) {
    Tag_editor_values v = tags::new_tag_defaults();
    Field_table record;
    tags::editor_to_record(v, record);
    std::vector<std::string> expected(46);
    expected[24] = "1";
    expected[25] = "0.0000";
    EXPECT_EQ(record_fields(record), expected);
    EXPECT_EQ(v.amplitude, 5.0f);
    EXPECT_EQ(v.fixed_type, tags::Fixed_type::counts);
    EXPECT_EQ(v.tolerance_state, tags::Tolerance_state::disabled);
}

TEST(Field_names, the_46_names) {
    EXPECT_EQ(tags::field_name(1), "Tag ID");
    EXPECT_EQ(tags::field_name(20), "Tolerance, %span");
    EXPECT_EQ(tags::field_name(24), "Instrument Ouput Range High");
    EXPECT_EQ(tags::field_name(25), "Number of Test Points");
    EXPECT_EQ(tags::field_name(26), "Test Point 1");
    EXPECT_EQ(tags::field_name(46), "Test Point 21");
    EXPECT_EQ(tags::field_name(0), "");
    EXPECT_EQ(tags::field_name(47), "");
    for (int f = 1; f <= 46; ++f) EXPECT_FALSE(tags::field_name(f).empty()) << f;
}

std::vector<std::string> words(std::span<const std::string_view> list) {
    return {list.begin(), list.end()};
}

struct Units_case {
    Direction direction;
    const char* type;
    size_t count;
    const char* first;
};

TEST(Vocabulary, units_by_direction_and_type) {
    const std::vector<Units_case> cases = {
        {Direction::input, "Milliamp", 1, "mA"},        {Direction::input, "Milliamp 2W SIM", 1, "mA"},
        {Direction::output, "Milliamp Loop", 1, "mA"},  {Direction::input, "Milliamp Loop", 0, ""},
        {Direction::output, "Milliamp 2W SIM", 0, ""},  {Direction::input, "Volts", 1, "V"},
        {Direction::output, "Thermocouple", 3, "DegC"}, {Direction::input, "RTD", 3, "DegC"},
        {Direction::input, "Pulse", 3, "CPM"},          {Direction::output, "Pulse", 0, ""},
        {Direction::output, "Frequency", 3, "CPM"},     {Direction::input, "Pressure", 11, "psi"},
        {Direction::input, "Manual", 0, ""},            {Direction::input, "volts", 0, ""},
        {Direction::output, "Anything", 0, ""},
    };
    for (const auto& c : cases) {
        auto units = tags::units_for(c.direction, c.type);
        ASSERT_EQ(units.size(), c.count) << c.type;
        if (c.count) {
            EXPECT_EQ(units.front(), c.first) << c.type;
        }
    }
    EXPECT_EQ(words(tags::units_for(Direction::input, "Thermocouple")),
              (std::vector<std::string>{"DegC", "DegF", "mV"}));
    EXPECT_EQ(words(tags::units_for(Direction::output, "RTD")), (std::vector<std::string>{"DegC", "DegF", "Ohms"}));
    EXPECT_EQ(tags::units_for(Direction::output, "Pressure").back(), "kg/cm2");
}

TEST(Vocabulary, curves_and_auxiliary_choices) {
    EXPECT_EQ(tags::curves_for("Thermocouple").size(), 14u);
    EXPECT_EQ(tags::curves_for("Thermocouple")[4], "K");
    EXPECT_EQ(tags::curves_for("Thermocouple").back(), "mV");
    EXPECT_EQ(tags::curves_for("RTD").size(), 14u);
    EXPECT_EQ(tags::curves_for("RTD").front(), "P10-385");
    EXPECT_EQ(tags::curves_for("RTD").back(), "Ohms");
    EXPECT_TRUE(tags::curves_for("Volts").empty());
    EXPECT_TRUE(tags::curves_for("rtd").empty());

    auto tc_in = tags::auxiliary_for(Direction::input, "Thermocouple");
    EXPECT_EQ(tc_in.label, "CJ:");
    EXPECT_EQ(words(tc_in.entries), (std::vector<std::string>{"CJC ON", "CJC OFF"}));
    auto rtd_out = tags::auxiliary_for(Direction::output, "RTD");
    EXPECT_EQ(rtd_out.label, "Wires:");
    EXPECT_EQ(words(rtd_out.entries), (std::vector<std::string>{"2W", "3W", "4W"}));
    EXPECT_EQ(tags::auxiliary_for(Direction::output, "Thermocouple").label, "CJ:");
    auto rtd_in = tags::auxiliary_for(Direction::input, "RTD");
    EXPECT_TRUE(rtd_in.label.empty());
    EXPECT_TRUE(rtd_in.entries.empty());
    EXPECT_TRUE(tags::auxiliary_for(Direction::output, "Volts").entries.empty());
}

TEST(Vocabulary, type_lists_and_matching) {
    EXPECT_EQ(tags::Input_types.front(), "Milliamp");
    EXPECT_EQ(tags::Input_types.back(), "Manual");
    EXPECT_EQ(tags::Output_types[1], "Milliamp Loop");
    EXPECT_EQ(tags::match_choice(tags::Input_types, "tHERMOCOUPLE"), "Thermocouple");
    EXPECT_EQ(tags::match_choice(tags::curves_for("RTD"), "p100-jis"), "P100-JIS");
    EXPECT_EQ(tags::match_choice(tags::Input_types, "Thermo"), "Thermo");
    EXPECT_EQ(tags::match_choice({}, "free"), "free");
}

}  // namespace
