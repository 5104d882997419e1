#include <gtest/gtest.h>

#include <clocale>
#include <set>

#include "resources/link_strings.h"
#include "resources/strings.h"

TEST(String_table, ids_are_unique_and_in_their_ranges) {
    std::set<int> seen;
    for (const auto& e : res::all_entries()) {
        EXPECT_TRUE(seen.insert(e.id).second) << "duplicate id " << e.id;
        // 32814: Configure > Serial Adapters, the first command after the original ones.
        bool prompt = e.id >= 32771 && e.id <= 32814;
        // 57601..57787, and from 57900 the texts the table outgrew it with.
        bool message = (e.id >= 57601 && e.id <= 57787) || (e.id >= 57900 && e.id <= 58499);
        EXPECT_TRUE(prompt || message) << "id out of range " << e.id;
    }
}

TEST(String_table, calibrator_error_texts_follow_their_codes) {
    for (int code = 1; code <= 25; ++code) {
        std::string text = res::str(res::IDS_CALIBRATOR_ERROR_BASE + code);
        EXPECT_EQ(text.rfind(std::to_string(code) + " - ", 0), 0u) << text;
    }
}

struct Format_case {
    const char* tmpl;
    std::vector<res::Format_arg> args;
    const char* expected;
};

TEST(Format_template, formats_and_never_reads_past_its_arguments) {
    const std::vector<Format_case> cases = {
        {"Configured to upload reports in %s format via port COM%i", {std::string_view("CSV"), 3LL},
         "Configured to upload reports in CSV format via port COM3"},
        {"%4i/%02i/%02i %i:%02i:%02i", {2026LL, 3LL, 7LL, 9LL, 5LL, 0LL}, "2026/03/07 9:05:00"},
        {"%i.%02i%s", {3LL, 5LL, std::string_view("-B")}, "3.05-B"},
        {"%2i U %s", {3LL, std::string_view("PUMP-1")}, " 3 U PUMP-1"},
        {"%.3f%%", {0.5}, "0.500%"},
        // Missing argument, wrong type, unknown conversion: printed as they stand.
        {"Tag '%s' not found", {}, "Tag '%s' not found"},
        {"code %i", {std::string_view("x")}, "code %i"},
        {"odd %q end", {1LL}, "odd %q end"},
        {"trailing %", {}, "trailing %"},
    };
    for (const auto& c : cases) EXPECT_EQ(res::format_template(c.tmpl, c.args), c.expected) << c.tmpl;
}

TEST(Format_template, does_not_depend_on_the_c_locale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no comma locale installed";
    std::string out = res::format_template("%.3f", {0.5});
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(out, "0.500");
}
