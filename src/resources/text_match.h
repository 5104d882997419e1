// Comparing the program's texts: tag IDs, report lines, vocabulary words and
// settings keys.  Case is folded for the letters A to Z only, as the
// calibrator does, whatever the user's locale.
#pragma once

#include <string>
#include <string_view>

namespace res {

constexpr char ascii_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

constexpr bool starts_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

constexpr bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii_upper(a[i]) != ascii_upper(b[i])) return false;
    return true;
}

constexpr bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equal_ignoring_case(text.substr(0, prefix.size()), prefix);
}

inline std::string to_upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = ascii_upper(c);
    return result;
}

}  // namespace res
