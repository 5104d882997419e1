// The tag editor's logic over a scripted ui: data exchange and its checks,
// the lists that follow the type, the warnings on leaving a page, the test
// point commands and generation, and the editing loop with its save.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "resources/strings.h"
#include "resources/tags_strings.h"
#include "support/scripted_ui.h"
#include "tags/editor_fields.h"
#include "tags/tag_editor.h"
#include "tags/test_points.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;
using tags::Control;
using tags::Page;
using tags::Tag_sheet;

const fs::path EXAMPLES = fs::path(__FILE__).parent_path() / "../../examples/tags";

void expect_warning(test::Scripted_ui& ui, int id, ui::Answer answer = ui::Answer::yes) {
    ui.expect_message(res::str(id), ui::Caption::warning, ui::Buttons::yes_no_exclamation, answer);
}

// The saved texts of points 1..n, as the record holds them.
std::vector<std::string> saved_points(const tags::Tag_editor_values& v) {
    reports::Field_table record;
    tags::editor_to_record(v, record);
    std::vector<std::string> out;
    for (int k = 1; k <= record.field_int(25); ++k) out.push_back(record.field_text(25 + k));
    return out;
}

// ---- Generation: the worked table, row for row ----

struct Generate_case {
    float zero, span;
    int count, scheme;
    std::vector<std::string> points;
};

TEST(Generate_points, the_worked_table_comes_out_as_saved_texts) {
    std::vector<std::string> round_trip_21;
    for (int k = -10; k <= 10; k += 2) round_trip_21.push_back(std::to_string(k) + ".0000");
    for (int k = 8; k >= -10; k -= 2) round_trip_21.push_back(std::to_string(k) + ".0000");
    const std::vector<Generate_case> cases = {
        {0, 100, 5, 0, {"0.0000", "25.0000", "50.0000", "75.0000", "100.0000"}},
        {0, 100, 5, 1, {"100.0000", "75.0000", "50.0000", "25.0000", "0.0000"}},
        {0, 100, 5, 2, {"0.0000", "50.0000", "100.0000", "50.0000", "0.0000"}},
        {0, 100, 4, 2, {"0.0000", "50.0000", "100.0000", "50.0000", "0.0000"}},
        {0, 10, 4, 0, {"0.0000", "3.3333", "6.6667", "10.0000"}},
        // The fourth point is about -0.0000013: the rounding of each sum shows.
        {0, 100, 7, 3, {"100.0000", "66.6667", "33.3333", "-0.0000", "33.3333", "66.6667", "100.0000"}},
        {-10, 10, 21, 2, round_trip_21},
        {0, 100, 1, 3, {"100.0000"}},
        // Span below zero: a falling list.
        {10, 0, 3, 0, {"10.0000", "5.0000", "0.0000"}},
    };
    for (const auto& c : cases) {
        tags::Tag_editor_values v = tags::new_tag_defaults();
        for (int k = 1; k <= 21; ++k) v.point(k) = 7.0f;  // cleared past the last generated point
        tags::generate_points(v, {c.count, c.zero, c.span, c.scheme});
        EXPECT_EQ(saved_points(v), c.points) << c.zero << " " << c.span << " " << c.count << " " << c.scheme;
        for (int k = v.points_used + 1; k <= 21; ++k) EXPECT_EQ(v.point(k), 0.0f) << "point " << k;
    }
}

TEST(Generate_points, minus_zero_is_a_small_negative_sum_and_a_round_trip_of_20_gives_21) {
    tags::Tag_editor_values v = tags::new_tag_defaults();
    tags::generate_points(v, {7, 0, 100, 3});
    EXPECT_LT(v.point(4), 0.0f);
    EXPECT_GT(v.point(4), -0.00001f);
    tags::generate_points(v, {20, 0, 100, 2});
    EXPECT_EQ(v.points_used, 21);
    EXPECT_EQ(v.point(11), 100.0f);
}

// ---- Insert and Delete ----

struct Shift_case {
    bool insert;
    int k;
    std::vector<float> expected_first;   // points 1.. as expected (the rest: unchanged shift)
    float expected_21;
};

TEST(Point_list, insert_and_delete_shift_the_whole_list_and_keep_the_count) {
    const std::vector<Shift_case> cases = {
        {true, 3, {1, 2, 0, 3, 4, 5, 6}, 20},
        {true, 1, {0, 1, 2, 3}, 20},
        {true, 21, {1, 2, 3}, 0},
        {false, 2, {1, 3, 4, 5, 6, 7}, 0},
        {false, 1, {2, 3, 4}, 0},
        {false, 21, {1, 2, 3}, 0},
    };
    for (const auto& c : cases) {
        tags::Tag_editor_values v = tags::new_tag_defaults();
        v.points_used = 5;
        for (int k = 1; k <= 21; ++k) v.point(k) = static_cast<float>(k);
        if (c.insert)
            tags::insert_point(v, c.k);
        else
            tags::delete_point(v, c.k);
        for (size_t i = 0; i < c.expected_first.size(); ++i)
            EXPECT_EQ(v.point(static_cast<int>(i) + 1), c.expected_first[i]) << (c.insert ? "insert " : "delete ") << c.k;
        EXPECT_EQ(v.point(21), c.expected_21) << c.k;
        EXPECT_EQ(v.points_used, 5);
    }
}

// The page's buttons: a cancelled dialog reads and changes nothing; a field
// that fails the read-back is shown, keeps its value, and the command goes on.
TEST(Point_list, buttons_read_the_page_back_and_show_it_again) {
    test::Scripted_ui ui;
    tags::Tag_editor_values v = tags::new_tag_defaults();
    v.tag_id = "T";
    v.points_used = 5;
    for (int k = 1; k <= 5; ++k) v.point(k) = static_cast<float>(k);
    Tag_sheet sheet(ui, v);
    sheet.open();
    ASSERT_TRUE(sheet.change_page(Page::test_points));
    auto& c = sheet.controls();
    c.text(tags::point_control(2)) = "x";

    ui.expect_point_number(res::str(res::IDS_INSERT_POINT_PROMPT), std::nullopt);
    sheet.insert_point();
    EXPECT_EQ(c.text(tags::point_control(2)), "x");   // Cancel: not read back

    c.text(tags::point_control(1)) = "9";
    c.text(tags::point_control(3)) = "33";   // after point 2 in check order: keeps its value
    ui.expect_point_number(res::str(res::IDS_DELETE_POINT_PROMPT), 1);
    ui.expect_error(res::str(res::IDS_ENTER_NUMBER));
    sheet.delete_point();
    EXPECT_EQ(sheet.focus(), tags::point_control(2));
    EXPECT_EQ(c.text(tags::point_control(1)), "2");
    EXPECT_EQ(c.text(tags::point_control(2)), "3");
    EXPECT_EQ(c.text(tags::point_control(21)), "0");
    EXPECT_EQ(c.text(Control::points_used), "5");
}

// ---- Generate through the page: the proposals ----

TEST(Point_list, generate_proposes_the_input_range_or_the_points_in_use) {
    struct Case {
        tags::Tolerance_state state;
        int used;
        float zero, span;
    };
    for (const Case& k : std::vector<Case>{{tags::Tolerance_state::enabled, 3, -5, 50},
                                            {tags::Tolerance_state::disabled, 3, 2, 30},
                                            {tags::Tolerance_state::disabled, 0, 1e10f, -1e10f}}) {
        test::Scripted_ui ui;
        tags::Tag_editor_values v = tags::new_tag_defaults();
        v.tolerance_state = k.state;
        v.input_low = -5;
        v.input_high = 50;
        v.points_used = k.used;
        v.point(1) = 30, v.point(2) = 2, v.point(3) = 9, v.point(4) = 99;
        Tag_sheet sheet(ui, v);
        sheet.open();
        sheet.controls().text(Control::tag_id) = "T";
        ASSERT_TRUE(sheet.change_page(Page::test_points));
        if (k.used == 0) ui.expect_error(res::format(res::IDS_INTEGER_BETWEEN, "1", "21"));
        ui.expect_generate({{5, 0, 100, 0}}, [&](const ui::Generate_values& p) {
            EXPECT_EQ(p.count, k.used);
            EXPECT_EQ(p.zero, k.zero);
            EXPECT_EQ(p.span, k.span);
            EXPECT_EQ(p.scheme, 0);
        });
        sheet.generate_points();
        EXPECT_EQ(sheet.controls().text(Control::points_used), "5");
        EXPECT_EQ(sheet.controls().text(tags::point_control(2)), "25");
        EXPECT_EQ(sheet.controls().text(tags::point_control(6)), "0");
    }
}

TEST(Generate_dialog, checks_span_then_zero_then_the_number) {
    struct Case {
        tags::Generate_texts texts;
        std::optional<tags::Generate_field> field;
        std::string message;
    };
    const std::string range = res::format(res::IDS_NUMBER_BETWEEN, "-999999", "999999");
    const std::vector<Case> cases = {
        {{"5", "0", "100", 0}, std::nullopt, ""},
        {{"0", "1e+10", "-1e+10", 0}, tags::Generate_field::span, range},
        {{"0", "1e+10", "100", 0}, tags::Generate_field::zero, range},
        {{"22", "0", "100", 2}, tags::Generate_field::count, res::format(res::IDS_INTEGER_BETWEEN, "1", "21")},
        {{"5", "zero", "100", 0}, tags::Generate_field::zero, res::str(res::IDS_ENTER_NUMBER)},
    };
    for (const auto& c : cases) {
        ui::Generate_values out;
        const auto failure = tags::read_generate_texts(c.texts, out);
        ASSERT_EQ(failure.has_value(), c.field.has_value()) << c.texts.span;
        if (failure) {
            EXPECT_EQ(failure->field, *c.field);
            EXPECT_EQ(failure->message, c.message);
        }
    }
    // Shown proposals: a point list without points in use gives the two
    // far values, in the notation the edits show.
    const auto shown = tags::show_generate_values({0, 1e10f, -1e10f, 0});
    EXPECT_EQ(shown.zero, "1e+10");
    EXPECT_EQ(shown.span, "-1e+10");
}

// ---- Data exchange: the shown numbers and every check ----

TEST(Editor_fields, numbers_show_with_six_digits_and_read_back_from_31_characters) {
    EXPECT_EQ(tags::show_number(123456.703125), "123457");
    EXPECT_EQ(tags::show_number(0.0001f), "0.0001");
    EXPECT_EQ(tags::show_number(5.0f), "5");
    struct Case {
        std::string text;
        bool ok;
        float value;
    };
    const std::vector<Case> cases = {
        {" 7 \t", true, 7},
        {"1e1", true, 10},
        {"5" + std::string(30, ' ') + "x", true, 5},   // the x lies past the 31 characters read
        {"5" + std::string(29, ' ') + "x", false, 0},
        {"", false, 0},
        {"5 5", false, 0},
        {"0x10", false, 0},
        {"inf", false, 0},
    };
    for (const auto& c : cases) {
        float value = -1;
        const auto failure = tags::read_number(c.text, -100, 100, value);
        EXPECT_EQ(!failure.has_value(), c.ok) << "'" << c.text << "'";
        if (c.ok) EXPECT_EQ(value, c.value) << c.text;
        if (!c.ok) EXPECT_EQ(*failure, "Please enter a number.");
    }
    int n = 0;
    EXPECT_EQ(tags::read_integer("2.5", 1, 21, n), "Please enter an integer.");
    EXPECT_EQ(tags::read_integer("99999999999999999999", 1, 21, n), "Please enter an integer between 1 and 21.");
    EXPECT_EQ(tags::read_integer(" +21 ", 1, 21, n), std::nullopt);
    EXPECT_EQ(n, 21);
    for (const char* text : {"+-5", "-+5", "--5", "+", "5-"})   // one sign at most, then digits
        EXPECT_EQ(tags::read_integer(text, -5, 21, n), "Please enter an integer.") << text;
    EXPECT_EQ(tags::read_integer("-6", -5, 21, n), "Please enter an integer between -5 and 21.");
    EXPECT_EQ(tags::read_integer("-5", -5, 21, n), std::nullopt);
    EXPECT_EQ(n, -5);
}

// Typing stops past the limit and at a character the file does not keep.
TEST(Tag_sheet, typing_is_refused_past_the_limit_and_for_what_the_file_drops) {
    struct Case {
        Control control;
        std::string before, after;
        bool accepted;
    };
    const Case cases[] = {
        {Control::tag_id, std::string(15, 'A'), std::string(16, 'A'), true},
        {Control::tag_id, std::string(16, 'A'), std::string(17, 'A'), false},
        {Control::temperature, "", "\xC3\xA4", false},           // one character, two bytes
        {Control::other, "", " ~", true},                        // 0x20 and 0x7E
        {Control::other, "", "\x7F", false},
        {Control::model, std::string(20, 'M'), std::string(19, 'M'), true},   // a file's text may shrink
        {Control::model, std::string(20, 'M'), std::string(21, 'M'), false},  // but not grow
    };
    for (const auto& c : cases) {
        test::Scripted_ui ui;
        Tag_sheet sheet(ui, tags::new_tag_defaults());
        sheet.text_changed(c.control, c.before);
        EXPECT_EQ(sheet.accepts_typing(c.control, c.after), c.accepted) << c.after;
    }
}

struct Exchange_case {
    Page page;
    Control control;
    std::string text;
    std::string message;     // "" = the page is left
};

TEST(Tag_sheet, each_page_checks_its_fields_in_order_and_focuses_the_one_that_fails) {
    const std::vector<Exchange_case> cases = {
        {Page::identification, Control::tag_id, std::string(17, 'T'), "Please enter no more than 16 characters."},
        {Page::identification, Control::other, std::string(16, 'O'), ""},
        {Page::instrument_input, Control::amplitude, "abc", "Please enter a number."},
        {Page::instrument_input, Control::amplitude, "0.5", "Please enter a number between 1 and 20."},
        {Page::instrument_input, Control::fixed_value, "-1", "Please enter a number between 0 and 999999."},
        {Page::tolerance, Control::tolerance, "101", "Please enter a number between 0 and 100."},
        {Page::tolerance, Control::output_low, "1e6", "Please enter a number between -999999 and 999999."},
        {Page::test_points, Control::points_used, "22", "Please enter an integer between 1 and 21."},
        {Page::test_points, Control::points_used, "2.5", "Please enter an integer."},
        {Page::test_points, tags::point_control(21), "-1000000", "Please enter a number between -999999 and 999999."},
    };
    for (const auto& c : cases) {
        test::Scripted_ui ui;
        tags::Tag_editor_values v = tags::new_tag_defaults();
        v.tag_id = "T";
        Tag_sheet sheet(ui, v);
        sheet.open();
        if (c.page != Page::identification) ASSERT_TRUE(sheet.change_page(c.page));
        sheet.controls().text(c.control) = c.text;
        if (!c.message.empty()) ui.expect_error(c.message);
        EXPECT_EQ(sheet.ok(), c.message.empty()) << c.text;
        EXPECT_EQ(sheet.focus(), c.message.empty() ? Control::none : c.control) << c.text;
        EXPECT_EQ(sheet.active_page(), c.page);
    }
}

// Point 10 is checked before point 2: the first failure in check order is the one shown.
TEST(Tag_sheet, points_are_checked_in_the_order_1_10_to_19_2_20_21_3_to_9) {
    test::Scripted_ui ui;
    Tag_sheet sheet(ui, tags::new_tag_defaults());
    sheet.open();
    sheet.controls().text(Control::tag_id) = "T";
    ASSERT_TRUE(sheet.change_page(Page::test_points));
    sheet.controls().text(tags::point_control(2)) = "a";
    sheet.controls().text(tags::point_control(19)) = "b";
    sheet.controls().text(tags::point_control(10)) = "c";
    ui.expect_error("Please enter a number.");
    EXPECT_FALSE(sheet.change_page(Page::tolerance));
    EXPECT_EQ(sheet.focus(), tags::point_control(10));
}

// A value from a file outside its range stops the page even while its edit
// is hidden, until the type shows the edit and the value is put right.
TEST(Tag_sheet, an_amplitude_out_of_range_from_a_file_blocks_the_page_while_hidden) {
    test::Scripted_ui ui;
    reports::Field_table record;
    record.store_field(1, "T");
    record.store_field(9, "Volts");
    record.store_field(13, "25.0");
    record.store_field(25, "1");
    Tag_sheet sheet(ui, tags::record_to_editor(record));
    sheet.open();
    ASSERT_TRUE(sheet.change_page(Page::instrument_input));
    EXPECT_FALSE(sheet.controls().amplitude_shown);
    ui.expect_error("Please enter a number between 1 and 20.");
    EXPECT_FALSE(sheet.change_page(Page::instrument_output));
    EXPECT_EQ(sheet.focus(), Control::amplitude);
    sheet.list_text_changed(Control::input_type, "Frequency");
    EXPECT_TRUE(sheet.controls().amplitude_shown);
    sheet.controls().text(Control::amplitude) = "10";
    EXPECT_TRUE(sheet.change_page(Page::instrument_output));
    EXPECT_EQ(sheet.values().amplitude, 10.0f);
}

// ---- The lists that follow the type, and the warnings on leaving ----

struct Selection_case {
    const char* name;
    Page page;
    std::vector<std::pair<Control, std::string>> typed;    // in order
    std::map<Control, std::string> texts;                  // expected control texts
    std::map<Control, bool> shown;                         // expected list visibility
    std::vector<std::pair<int, ui::Answer>> warnings;      // in order
    std::string non_standard;                              // the words, when that warning comes first
    std::map<int, std::string> saved = {};                 // record fields after the page was left
};

TEST(Tag_sheet, lists_follow_the_type_and_leaving_warns_in_order) {
    using A = ui::Answer;
    const std::vector<Selection_case> cases = {
        {"lower-case thermocouple", Page::instrument_input, {{Control::input_type, "thermocouple"}},
         {{Control::input_type, "Thermocouple"}, {Control::input_units, "DegC"}, {Control::input_curve, "B"},
          {Control::input_auxiliary, "CJC ON"}},
         {{Control::input_curve, true}, {Control::input_auxiliary, true}}, {}, ""},
        {"thermocouple to volts", Page::instrument_input,
         {{Control::input_type, "Thermocouple"}, {Control::input_curve, "k"}, {Control::input_type, "Volts"}},
         {{Control::input_units, "V"}, {Control::input_curve, ""}, {Control::input_auxiliary, ""}},
         {{Control::input_curve, false}, {Control::input_auxiliary, false}}, {}, ""},
        {"output rtd has wires", Page::instrument_output, {{Control::output_type, "RTD"}},
         {{Control::output_units, "DegC"}, {Control::output_curve, "P10-385"}, {Control::output_auxiliary, "2W"}},
         {{Control::output_auxiliary, true}}, {}, ""},
        {"input rtd has no fourth list", Page::instrument_input, {{Control::input_type, "rtd"}},
         {{Control::input_type, "RTD"}, {Control::input_auxiliary, ""}}, {{Control::input_auxiliary, false}}, {}, ""},
        {"units typed in any case", Page::instrument_input,
         {{Control::input_type, "Thermocouple"}, {Control::input_units, "degf"}, {Control::input_curve, "xk"}},
         {{Control::input_units, "DegF"}, {Control::input_curve, "XK"}}, {}, {}, ""},
        {"mV units with a K curve", Page::instrument_input,
         {{Control::input_type, "Thermocouple"}, {Control::input_units, "mV"}, {Control::input_curve, "K"}}, {}, {},
         {{res::IDS_MV_WARNING, A::yes}}, ""},
        {"mV with mV", Page::instrument_input,
         {{Control::input_type, "Thermocouple"}, {Control::input_units, "mV"}, {Control::input_curve, "mV"}}, {}, {},
         {}, ""},
        {"a type that is no listed type", Page::instrument_input, {{Control::input_type, "Foo"}},
         {{Control::input_units, ""}}, {}, {{res::IDS_NON_STANDARD_WARNING, A::yes}}, "type"},
        {"manual units of 7 characters", Page::instrument_output,
         {{Control::output_type, "Manual"}, {Control::output_units, "Percent"}}, {}, {},
         {{res::IDS_MANUAL_UNITS_WARNING, A::yes}}, ""},
        {"ohms units with another curve", Page::instrument_output,
         {{Control::output_type, "RTD"}, {Control::output_units, "Ohms"}}, {}, {}, {{res::IDS_OHMS_WARNING, A::yes}},
         ""},
        {"every warning after a No", Page::instrument_input,
         {{Control::input_type, "Thermocouple"}, {Control::input_units, "mV"}, {Control::input_curve, "ZZ"},
          {Control::input_auxiliary, "CJ"}},
         {}, {}, {{res::IDS_NON_STANDARD_WARNING, A::no}, {res::IDS_MV_WARNING, A::yes}}, "curve, CJ"},
        // Only the lists react while a page is worked on: other values stay as typed.
        {"amplitude kept while units are typed", Page::instrument_input,
         {{Control::input_type, "Frequency"}, {Control::amplitude, "7"}, {Control::input_units, "hz"}},
         {{Control::amplitude, "7"}, {Control::input_units, "Hz"}}, {}, {}, "", {{13, "7.0"}, {10, "Hz"}}},
        {"fixed value kept while units are typed", Page::instrument_input,
         {{Control::input_type, "Pulse"}, {Control::fixed_type, "1"}, {Control::fixed_value, "123"},
          {Control::input_units, "khz"}},
         {{Control::fixed_type, "1"}, {Control::fixed_value, "123"}}, {}, {}, "", {{14, "Freq"}, {15, "123.0"}}},
        {"manual units of 5 characters", Page::instrument_output,
         {{Control::output_type, "Manual"}, {Control::output_units, "Perce"}}, {}, {}, {}, "", {{17, "Perce"}}},
        {"non-standard units and wires", Page::instrument_output,
         {{Control::output_type, "RTD"}, {Control::output_units, "K"}, {Control::output_auxiliary, "5W"}}, {}, {},
         {{res::IDS_NON_STANDARD_WARNING, A::yes}}, "units, wires"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::Scripted_ui ui;
        tags::Tag_editor_values v = tags::new_tag_defaults();
        v.tag_id = "T";
        Tag_sheet sheet(ui, v);
        sheet.open();
        ASSERT_TRUE(sheet.change_page(c.page));
        for (const auto& [control, text] : c.typed) sheet.text_changed(control, text, 2);
        for (const auto& [control, text] : c.texts) EXPECT_EQ(sheet.controls().text(control), text);
        for (const auto& [control, shown] : c.shown) EXPECT_EQ(sheet.controls().list(control).shown, shown);
        EXPECT_EQ(sheet.controls().caret, 2);   // the caret stays where typing left it
        bool goes_on = true;
        for (const auto& [id, answer] : c.warnings) {
            const std::string text =
                id == res::IDS_NON_STANDARD_WARNING ? res::format(id, c.non_standard) : res::str(id);
            ui.expect_message(text, ui::Caption::warning, ui::Buttons::yes_no_exclamation, answer);
            goes_on = goes_on && answer == A::yes;
        }
        EXPECT_EQ(sheet.change_page(Page::tolerance), goes_on);
        EXPECT_EQ(sheet.active_page(), goes_on ? Page::tolerance : c.page);
        reports::Field_table record;
        tags::editor_to_record(sheet.values(), record);
        for (const auto& [field, text] : c.saved) EXPECT_EQ(record.field_text(field), text) << "field " << field;
    }
}

TEST(Tag_sheet, the_lists_of_a_page_show_the_choices_of_its_type) {
    test::Scripted_ui ui;
    Tag_sheet sheet(ui, tags::new_tag_defaults());
    sheet.open();
    sheet.list_text_changed(Control::output_type, "rtd");
    const auto& wires = sheet.controls().list(Control::output_auxiliary);
    EXPECT_EQ(wires.label, "Wires:");
    EXPECT_EQ(wires.entries, (std::vector<std::string>{"2W", "3W", "4W"}));
    EXPECT_EQ(wires.selected, 0);
    EXPECT_EQ(sheet.controls().list(Control::output_type).selected, 4);
    sheet.list_text_changed(Control::input_type, "pulse");
    EXPECT_TRUE(sheet.controls().amplitude_shown);
    EXPECT_TRUE(sheet.controls().pulse_shown);
    EXPECT_EQ(sheet.controls().list(Control::input_units).entries.size(), 3u);
}

struct Leave_case {
    const char* name;
    Page page;
    std::map<Control, std::string> texts;
    int warning;   // 0 = none
};

TEST(Tag_sheet, identification_and_tolerance_warn_when_the_tag_cannot_download) {
    const std::vector<Leave_case> cases = {
        {"blank tag id", Page::identification, {{Control::tag_id, ""}}, res::IDS_TAG_ID_BLANK_WARNING},
        {"leading space", Page::identification, {{Control::tag_id, " A"}}, res::IDS_TAG_ID_BLANK_WARNING},
        {"tag id", Page::identification, {{Control::tag_id, "A "}}, 0},
        {"enabled, no range", Page::tolerance,
         {{Control::tolerance_state, "0"}, {Control::input_low, "0"}, {Control::input_high, "0"}},
         res::IDS_INPUT_RANGE_WARNING},
        {"enabled, range under 0.0001", Page::tolerance,
         {{Control::tolerance_state, "0"}, {Control::input_low, "1"}, {Control::input_high, "1.00009"}},
         res::IDS_INPUT_RANGE_WARNING},
        {"enabled, range 0.0001", Page::tolerance,
         {{Control::tolerance_state, "0"}, {Control::input_low, "0"}, {Control::input_high, "0.0001"}}, 0},
        {"disabled, no range", Page::tolerance, {{Control::tolerance_state, "1"}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (ui::Answer answer : {ui::Answer::yes, ui::Answer::no}) {
            test::Scripted_ui ui;
            tags::Tag_editor_values v = tags::new_tag_defaults();
            v.tag_id = "T";
            Tag_sheet sheet(ui, v);
            sheet.open();
            ASSERT_TRUE(sheet.change_page(c.page));
            for (const auto& [control, text] : c.texts) sheet.controls().text(control) = text;
            if (c.warning) expect_warning(ui, c.warning, answer);
            EXPECT_EQ(sheet.ok(), !c.warning || answer == ui::Answer::yes);
        }
    }
}

// ---- The editing loop and the menu commands ----

struct Editor_files {
    QTemporaryDir dir;
    test::Scripted_ui ui;
    reports::Field_table record;
    std::string folder = dir.path().toStdString();
    std::string current_name = "OLD.utg";
    tags::Tag_file_context context{ui, record, folder, {}, current_name, {}};
};

// The user of the worked example: every page filled as a technician would.
bool fill_worked_example(Tag_sheet& sheet) {
    auto& c = sheet.controls();
    c.text(Control::tag_id) = "TT-101";
    c.text(Control::manufacturer) = "Maker";
    c.text(Control::serial_number) = "SN1234";
    c.text(Control::technician) = "Tech";
    c.text(Control::temperature) = "21C";
    c.text(Control::humidity) = "40%";
    c.text(Control::model) = "Model-7";
    if (!sheet.change_page(Page::instrument_input)) return false;
    sheet.list_text_changed(Control::input_type, "thermocouple", 12);
    sheet.list_text_changed(Control::input_curve, "K");
    if (!sheet.change_page(Page::instrument_output)) return false;
    sheet.list_text_changed(Control::output_type, "Milliamp");
    if (!sheet.change_page(Page::tolerance)) return false;
    c.text(Control::tolerance_state) = "0";
    c.text(Control::tolerance) = "0.5";
    c.text(Control::input_high) = "100";
    c.text(Control::output_low) = "4";
    c.text(Control::output_high) = "20";
    if (!sheet.change_page(Page::test_points)) return false;
    sheet.generate_points();
    return sheet.ok();
}

TEST(Tag_editor, a_cancelled_save_brings_the_sheet_back_as_edited_and_cancel_saves_nothing) {
    Editor_files f;
    f.ui.expect_tag_sheet("Edit new tag", fill_worked_example);
    f.ui.expect_generate({{5, 0, 100, 0}}, [](const ui::Generate_values& p) {
        EXPECT_EQ(p.zero, 0.0f);     // the tolerance page's input range
        EXPECT_EQ(p.span, 100.0f);
    });
    f.ui.expect_file(std::nullopt, [](const ui::File_request& r) {
        EXPECT_EQ(r.title, "Save Tag File");
        EXPECT_EQ(r.default_name, "");   // a new tag proposes no name
    });
    f.ui.expect_tag_sheet("Edit new tag", [](Tag_sheet& sheet) {
        EXPECT_EQ(sheet.active_page(), Page::identification);
        EXPECT_EQ(sheet.controls().text(Control::tag_id), "TT-101");
        return false;
    });
    tags::new_tag_command(f.context);
    EXPECT_EQ(f.current_name, "");
    EXPECT_EQ(f.record.field_text(1), "TT-101");   // the record was rewritten before the dialog
    EXPECT_TRUE(fs::is_empty(f.folder));
}

TEST(Tag_editor, new_writes_the_worked_example_and_edit_loads_it_with_the_same_values) {
    Editor_files f;
    const std::string path = f.folder + "/TT-101.utg";
    f.ui.expect_tag_sheet("Edit new tag", fill_worked_example);
    f.ui.expect_generate({{5, 0, 100, 0}});
    f.ui.expect_file(path);
    tags::new_tag_command(f.context);
    EXPECT_EQ(test::file_bytes(path), test::file_bytes(EXAMPLES / "TT-101.utg"));

    f.ui.expect_file(path);
    f.ui.expect_tag_sheet("Edit tag:  TT-101.utg", [](Tag_sheet& sheet) {
        EXPECT_TRUE(sheet.change_page(Page::instrument_input));
        EXPECT_EQ(sheet.controls().text(Control::input_curve), "K");
        EXPECT_TRUE(sheet.controls().list(Control::input_auxiliary).shown);
        EXPECT_TRUE(sheet.change_page(Page::test_points));
        EXPECT_EQ(sheet.controls().text(tags::point_control(5)), "100");
        return sheet.ok();
    });
    f.ui.expect_file(path, [](const ui::File_request& r) { EXPECT_EQ(r.default_name, "TT-101.utg"); });
    tags::edit_tag_command(f.context);
    EXPECT_EQ(test::file_bytes(path), test::file_bytes(EXAMPLES / "TT-101.utg"));
}

}  // namespace
