// The texts of the tag editor sheet's controls and of its two point
// dialogs: tab titles, labels, radio buttons and buttons, with "&" before
// the letter Alt selects.  Like the menu bar's captions they belong to the
// dialog layouts; the sheet's messages are in the string table
// (tags_strings.h).
#pragma once

#include <array>
#include <string_view>

namespace res::tag_sheet {

// Tab titles, in page order.  Their Alt letters (D, P, R, L, N) are used by
// no control of any page, so each selects its tab from wherever the user is.
inline constexpr std::array<std::string_view, 5> tab_titles = {
    "I&dentification", "Instrument In&put", "Inst&rument Output", "To&lerance", "Test Poi&nts"};

// Identification page, top to bottom.
inline constexpr std::array<std::string_view, 8> identification_labels = {
    "Tag &ID:", "&Manufacturer:", "M&odel:", "&Serial Number:", "&Technician:", "Temp&erature:", "H&umidity:",
    "Ot&her:"};

// Input and output pages.
inline constexpr std::string_view type_label = "T&ype:";
inline constexpr std::string_view units_label = "&Units:";
inline constexpr std::string_view curve_label = "&Curve:";
inline constexpr std::string_view amplitude_label = "&Amplitude:";
inline constexpr std::string_view amplitude_units = "Vpp";
inline constexpr std::string_view fixed_label = "Fixed:";
inline constexpr std::string_view fixed_counts = "C&ounts";
inline constexpr std::string_view fixed_frequency = "&Frequency";
inline constexpr std::string_view fixed_value_label = "Fixed &Value:";
// The fourth list's labels with their Alt letters ("CJ:" must not take the
// C of "Curve:").
inline constexpr std::string_view cold_junction_label = "C&J:";
inline constexpr std::string_view wires_label = "&Wires:";

// Tolerance page.
inline constexpr std::string_view tolerance_testing = "Tolerance Testing:";
inline constexpr std::string_view enabled = "&Enabled";
inline constexpr std::string_view disabled = "Disa&bled";
inline constexpr std::string_view low = "Low";
inline constexpr std::string_view high = "High";
inline constexpr std::string_view instrument_input = "Instrument &Input:";
inline constexpr std::string_view instrument_output = "Instrument O&utput:";
inline constexpr std::string_view span_tolerance = "% &Span Tolerance:";

// Test points page ("1." to "21." are numbered in code).
inline constexpr std::string_view points_used = "Number of points &used:";
inline constexpr std::string_view insert = "&Insert";
inline constexpr std::string_view remove = "Dele&te";
inline constexpr std::string_view generate = "&Generate";

// Generate_points_dialog.
inline constexpr std::string_view generate_count = "&Number of Points:";
inline constexpr std::string_view generate_zero = "&Zero:";
inline constexpr std::string_view generate_span = "&Span:";
inline constexpr std::string_view generate_scheme = "Scheme:";
inline constexpr std::array<std::string_view, 4> scheme_names = {
    "Zero &to Span", "Span t&o Zero", "Zero to Sp&an to Zero", "Span to Ze&ro to Span"};

// Sheet buttons.  Help has no Alt letter: F1 opens help anywhere, and the
// H belongs to "Other:" on the identification page.
inline constexpr std::string_view help = "Help";

// The words of the non-standard values warning.
inline constexpr std::string_view word_type = "type";
inline constexpr std::string_view word_units = "units";
inline constexpr std::string_view word_curve = "curve";
inline constexpr std::string_view word_cj = "CJ";
inline constexpr std::string_view word_wires = "wires";

}  // namespace res::tag_sheet
