// One calibration as the records keep it: the values read from one tag's
// calibration report (TXT or CSV layout alike), its report lines as they
// were, where it came from and its place in the chain of records.
//
// Texts are kept exactly as the report printed them (readings, ranges, type
// lines); only the error figure and the tolerance are numbers as well.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace records {

// A point's verdict, or a calibration's overall verdict.  none: tolerance
// testing off, or (overall) no points.
enum class Verdict { none, pass, fail };
// "Pass", "Fail" or "-" (the list's and the console's form).
std::string verdict_text(Verdict verdict);

// A date and time as the report printed its numbers (0 when not delivered).
struct Date_time {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool operator==(const Date_time&) const = default;
    auto operator<=>(const Date_time&) const = default;
};
// "YYYY-MM-DD HH:MM:SS" (list), "YYYY-MM-DDTHH:MM:SS" (JSON, and the stored
// form, which sorts as the time does), "YYYY-MM-DD" (dates).
std::string date_time_text(const Date_time& t);
std::string date_time_iso(const Date_time& t);
std::string date_text(const Date_time& t);
// The stored form back; nothing when the text is not one.
std::optional<Date_time> parse_date_time_iso(const std::string& text);

// The number a report printed ("0.625", the tolerance's "0.500%"): one
// decimal number, a trailing "%" allowed, read alike in every locale;
// nothing for any other text.
std::optional<double> printed_number(std::string text);

// The two tables of a report.
enum class Phase { as_found, as_left };
// "As Found" or "As Left".
std::string phase_text(Phase phase);

// One row of a point table.
struct Point {
    int number = 0;                        // the point number printed
    std::string input;                     // the input column as printed
    std::string reading;                   // the output column exactly as printed (may be UNDER, OVER, NONE)
    std::optional<double> error_percent;   // the % error figure; none when not printed or not a number
    std::string error_text;                // the % error figure as printed ("" when none)
    Verdict verdict = Verdict::none;
    bool operator==(const Point&) const = default;
};

// The instrument's input or output as the report describes it.
struct Signal {
    std::string type;                      // the description printed, "Thermocouple K"
    std::string units;                     // the units printed after it, "DegC"
    std::vector<std::string> extra_lines;  // the lines under it: "CJC ON", "Level: 1.0 Vpp", ...
    std::string low, high;                 // the range as printed ("" when the report has no range line)
    bool operator==(const Signal&) const = default;
};

// The values read from one report.
struct Calibration {
    std::string tag_id;
    Date_time calibrated;
    std::string manufacturer, model, serial, technician;
    std::string temperature, humidity, other_information;
    std::string tolerance_text;              // as printed: "0.500%" or "None"
    std::optional<double> tolerance_percent; // none when the report says "None"
    Signal input, output;
    std::string calibrator;                  // "NORVA TQ740 S/N 12345": the reference standard
    std::string calibrator_serial;           // the text after "S/N "
    Date_time calibrator_last_cal;           // date only
    std::vector<Point> as_found, as_left;

    // Fail if any point fails, Pass if all pass; none without points or
    // without tolerance.
    Verdict as_found_verdict() const;
    Verdict as_left_verdict() const;
    bool operator==(const Calibration&) const = default;
};

// The overall verdict of a point table.
Verdict overall_verdict(const std::vector<Point>& points);

// A calibration as the store holds it.
struct Recorded_calibration {
    long long id = 0;                        // the store's number, in recording order
    Calibration calibration;
    std::string source;                      // "upload NORVA TQ740 S/N 12345" or "file /path/report.txt"
    std::string recorded_at;                 // local time recorded, "YYYY-MM-DDTHH:MM:SS"
    std::string sha256;                      // content hash of the values (hex)
    std::string link_hash;                   // over sha256 and the previous record's link hash (hex)
};

// One line of the tag list: a tag and its last calibration.
struct Tag_summary {
    std::string tag_id;
    Date_time last_calibrated;
    Verdict as_found = Verdict::none;        // of the last calibration
    Verdict as_left = Verdict::none;
    int calibrations = 0;
};

}  // namespace records
