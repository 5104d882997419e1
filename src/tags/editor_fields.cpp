#include "tags/editor_fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "reports/field_table.h"
#include "resources/strings.h"
#include "resources/tags_strings.h"

namespace tags {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The text an edit gives back: its first 31 characters, without the spaces
// and tabs around them.
std::string_view read_back(std::string_view text) {
    text = text.substr(0, read_back_chars);
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::string show_number(double value) { return res::format_template("%g", {value}); }

std::string show_integer(int value) { return std::to_string(value); }

std::optional<std::string> read_number(std::string_view text, float low, float high, float& value) {
    const std::string_view number = read_back(text);
    // Only spaces and tabs may stand around the number: other white space
    // (a pasted line break) makes the text something else.
    const auto read = number.find_first_of("\n\v\f\r") == std::string_view::npos
                          ? reports::read_finite_decimal(number)
                          : std::nullopt;
    if (!read) return res::str(res::IDS_ENTER_NUMBER);
    const float narrowed = static_cast<float>(*read);
    if (!(narrowed >= low && narrowed <= high))
        return res::format(res::IDS_NUMBER_BETWEEN, show_number(low), show_number(high));
    value = narrowed;
    return std::nullopt;
}

std::optional<std::string> read_integer(std::string_view text, int low, int high, int& value) {
    std::string_view number = read_back(text);
    // One optional sign, then decimal digits and nothing else.
    const bool negative = !number.empty() && number.front() == '-';
    if (!number.empty() && (number.front() == '+' || negative)) number.remove_prefix(1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos)
        return res::str(res::IDS_ENTER_INTEGER);
    long long read = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), read);
    if (negative) read = -read;
    // A number too long for any integer is outside every range.
    if (error == std::errc::result_out_of_range || read < low || read > high)
        return res::format(res::IDS_INTEGER_BETWEEN, show_integer(low), show_integer(high));
    value = static_cast<int>(read);
    return std::nullopt;
}

std::optional<std::string> check_length(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return std::nullopt;
    return res::format(res::IDS_TOO_MANY_CHARACTERS, static_cast<int>(limit));
}

bool typing_accepted(std::string_view before, std::string_view after, std::size_t limit) {
    for (char c : after)
        if (c < 0x20 || c > 0x7E) return false;
    return after.size() <= std::max(limit, before.size());
}

}  // namespace tags
