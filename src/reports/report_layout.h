// The TXT and CSV report layouts of one uploaded tag, with the percent-of-span
// error and the Pass/Fail verdict of every point.
//
// The lines made here are the report file format: saving writes them
// unchanged, printing and extraction find their way by their texts, and a
// basic calibrator sends the same lines itself (from its "Tag ID:" line on).
// Every value field is printed exactly as received; only the date fields and
// the point number go through integer formats.  Numbers are formatted with a
// decimal point whatever the C locale.
//
// Choices of the layouts where the data cannot be judged:
// - a point whose input or output value is not a finite decimal number (a
//   marker "NONE", "UNDER", "OVER", a blank, "nan", other text) fails, and
//   its error column is left blank (7 spaces in TEXT, an empty quoted field
//   in CSV);
// - so does a point of a tag whose input range or output range has zero
//   width, or whose numbers overflow: no error figure can be computed;
// - in the CSV layout a double quote inside a value is written twice.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/field_table.h"
#include "reports/report_list.h"
#include "tags/vocabulary.h"

namespace reports {

// The tolerance T of a report from field 20: -1.0 for exactly "NONE", else the
// field's number.  The tolerance line shows T when T >= 0; the range lines,
// the "% Error" heading and the result column appear when T > -0.5.
double report_tolerance(const Field_table& table);

// The description of one side of the instrument.
struct Signal_description {
    std::string description;   // e.g. "Thermocouple K", "RTD 3W PT385"
    std::string units_shown;   // units on the type line
    std::string extra_line_1;  // "" when absent
    std::string extra_line_2;  // "" when absent
    std::string column_units;  // units of the point table column
};

// Describes a side from its type, units, curve and auxiliary texts; reads
// the pulse (13..15) and pressure module (69..74) fields itself, whichever
// direction is described.  The types are compared exactly; the pulse fixed
// type "COUNTS" (field 14) in any case, as tag files may write "Counts".
Signal_description describe_signal(const Field_table& table, tags::Direction direction,
                                   std::string_view type, std::string_view units,
                                   std::string_view curve, std::string_view auxiliary);

// The judgement of one point.
struct Point_result {
    bool pass = false;
    // The error in percent of the output span; empty when it cannot be
    // computed (marker value, zero-width range, non-finite arithmetic).
    std::optional<double> error_percent;
};

// Judges a point (input text x, output text y) against the ranges of fields
// 21..24 and the tolerance T (percent of span).  Readings that are not
// numbers fail without a figure.  A deviation equal to the allowance passes,
// within a relative rounding margin of 1e-9 of the allowance.
Point_result point_result(const Field_table& table, std::string_view x, std::string_view y, double tolerance);

// Appends count pad lines of the layout to lines.
void add_pad_lines(std::vector<std::string>& lines, int count, Report_format format);

// The lines of one report of the table's tag in the given layout.  index is
// the report's place in the current upload (0 for the first): a report with
// index > 0 begins with the separator and an empty line.  company, when not
// empty, gives the company line and an empty line.  With index 0 and an empty
// company the report begins at its "Tag ID:" line, as a calibrator that
// renders reports itself sends it.
std::vector<std::string> report_lines(const Field_table& table, Report_format format,
                                      std::string_view company, int index);

// Append one report to the Reports list (report_lines + add_report_line).
void render_text_report(const Field_table& table, std::string_view company, int index, Report_list& list);
void render_csv_report(const Field_table& table, std::string_view company, int index, Report_list& list);

// The separator line between reports (unquoted in both layouts).
inline constexpr std::string_view report_separator = "------------------------------";

// The company line of a layout, as the upload adds it before each report of a
// basic calibrator.
std::string company_line(std::string_view company, Report_format format);

// A text as it is written inside a quoted CSV field: each double quote
// doubled, so that inch marks and quoted words keep the line readable by
// every spreadsheet.
std::string csv_escaped(std::string_view text);
// The value of a quoted CSV field, read from text that begins just after the
// field's opening quote: up to its closing quote (one not followed by
// another), each doubled quote read as one; the whole text when the closing
// quote is missing.  used, when given, receives the characters taken,
// closing quote included.
std::string read_csv_value(std::string_view text, std::size_t* used = nullptr);

}  // namespace reports
