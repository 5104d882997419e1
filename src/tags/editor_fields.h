// How the tag editor shows numbers in its edits and reads them back.
//
// A number is shown in general notation with 6 significant digits (123456.7
// shows as 123457, 0.0001 as 0.0001), so a page the user visits rounds its
// numbers to 6 digits when it is left.  Reading an edit back takes at most
// its first 31 characters, which must hold one number with nothing but
// spaces or tabs around it, and checks the number against the field's range.
// Each read returns the message to show when the text fails, or nothing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tags {

// The most characters of an edit that are read back.
inline constexpr std::size_t read_back_chars = 31;
// The most characters of the identification texts.
inline constexpr std::size_t identification_chars = 16;

// The range of every number field but the few below.
inline constexpr float value_limit = 999999.0f;

// A number as an edit shows it: "%g" (6 significant digits).
std::string show_number(double value);
// A whole number as an edit shows it.
std::string show_integer(int value);

// Reads a number field: "Please enter a number." when the text is not one
// number, "Please enter a number between %s and %s." when it is outside
// low..high (compared in single precision).  value is set only on success.
std::optional<std::string> read_number(std::string_view text, float low, float high, float& value);

// Reads a whole-number field: "Please enter an integer." / "Please enter an
// integer between %s and %s.".
std::optional<std::string> read_integer(std::string_view text, int low, int high, int& value);

// A text field holds at most `limit` characters: "Please enter no more than
// %i characters." for longer text (a file's value; typing stops at the limit).
std::optional<std::string> check_length(std::string_view text, std::size_t limit);

// Whether typing may turn an edit's text `before` into `after`.  The tag
// file and the calibrator keep printable ASCII only (bytes 0x20 to 0x7E), so
// any other character is refused, and with one byte a character the limit
// counts the same here as in check_length.  Typing stops at the limit; a
// longer text that came from a file may be shortened but never lengthened.
bool typing_accepted(std::string_view before, std::string_view after, std::size_t limit);

}  // namespace tags
