// Drift of a tag's test points over its recorded calibrations, and the date
// each point is projected to leave its tolerance.
//
// A point is followed from calibration to calibration by its input value as
// printed (the point numbers can change when the point list changes).  Its
// drift is the least-squares slope of its As Found error (% of span) against
// time in years (days / 365.25 from the tag's first calibration).  The
// projection starts from the point's newest figure (the As Left figure of
// the newest calibration holding the point, else its As Found figure) and
// moves at the drift until it reaches +T or -T, T being the tolerance of the
// tag's newest calibration.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "records/calibration_record.h"

namespace records {

// One figure of a point: when, how far from the first calibration, what.
struct Drift_figure {
    Date_time calibrated;
    double years = 0;        // (days since the tag's first calibration) / 365.25
    double error_percent = 0;
};

// What the records say of one test point.
struct Point_drift {
    std::string input;                           // the input value as printed
    std::vector<Drift_figure> as_found;          // oldest first, one per calibration holding a figure
    std::vector<Drift_figure> as_left;
    int calibrations = 0;                        // calibrations with an As Found figure (as_found.size())
    std::optional<double> drift_percent_per_year;  // none with fewer than two calibrations
    double fit_intercept = 0;                    // the fitted line's error at years == 0
    std::optional<double> last_error_percent;    // the newest As Found figure
    std::optional<Date_time> projected;          // date only; none without drift, tolerance or slope
};

// A tag's drift: one entry per input value, in the order of the newest
// calibration's points, then the points no longer tested, newest first.
struct Tag_drift {
    std::vector<Point_drift> points;
    std::optional<double> tolerance_percent;     // of the newest calibration
    // The earliest projected date of any point.
    std::optional<Date_time> earliest_projected() const;
};

// The drift of one tag from its calibrations (any order).  Within one
// calibration a point printed twice (up and down the scale) counts by its
// figure farthest from zero.
Tag_drift drift_of(std::vector<Calibration> calibrations);

// True when the projected date falls before the due date.
bool at_risk(const std::optional<Date_time>& projected, const Date_time& due);

// The drift as the console prints it: "0.125", or "-" without drift.
std::string drift_text(const std::optional<double>& drift_percent_per_year);
// The console's line of a point: input, calibrations used, drift, newest
// As Found error, projected date, tab-separated ("-" for what is missing).
std::string drift_line(const Point_drift& point);
// Rounded to 3 decimals (so text and JSON agree), never "-0".
double rounded_drift(double drift_percent_per_year);

}  // namespace records
