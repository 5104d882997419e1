#include "records/drift.h"

#include <QDate>
#include <QString>
#include <algorithm>
#include <cmath>

namespace records {

namespace {

constexpr double days_per_year = 365.25;

// Days since the start of the Julian day count, with the time of day as a fraction.
double day_number(const Date_time& t) {
    const QDate date(t.year, t.month, t.day);
    return static_cast<double>(date.toJulianDay()) + (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
}

// The date of a day number.  Dates past 9999-12-31 are shown as that day:
// a line that takes millennia to reach its limit is "never" in practice, and
// the date must keep its four-digit year.  A millionth of a day absorbs the
// rounding of the division that found the day, so a line reaching its limit
// at midnight falls on that day, not the one before.
Date_time date_of(double day) {
    const double last = static_cast<double>(QDate(9999, 12, 31).toJulianDay());
    const QDate date = QDate::fromJulianDay(static_cast<qint64>(std::floor(std::min(day + 1e-6, last))));
    return Date_time{date.year(), date.month(), date.day()};
}

// The figure of an input in one point table: the one farthest from zero when
// the input is printed twice; none when no row of it has a figure.
std::optional<double> figure_of(const std::vector<Point>& points, const std::string& input) {
    std::optional<double> worst;
    for (const Point& p : points)
        if (p.input == input && p.error_percent && (!worst || std::fabs(*p.error_percent) > std::fabs(*worst)))
            worst = p.error_percent;
    return worst;
}

// The least-squares slope and intercept of the figures; none when they do
// not span two moments.  The sums are taken relative to the first figure so
// that a flat line gives exactly zero.
std::optional<std::pair<double, double>> fit(const std::vector<Drift_figure>& figures) {
    if (figures.size() < 2) return std::nullopt;
    const double x0 = figures.front().years, y0 = figures.front().error_percent;
    double mean_x = 0, mean_y = 0;
    for (const auto& f : figures) {
        mean_x += f.years - x0;
        mean_y += f.error_percent - y0;
    }
    mean_x /= static_cast<double>(figures.size());
    mean_y /= static_cast<double>(figures.size());
    double sxy = 0, sxx = 0;
    for (const auto& f : figures) {
        const double dx = f.years - x0 - mean_x;
        sxy += dx * (f.error_percent - y0 - mean_y);
        sxx += dx * dx;
    }
    if (sxx == 0) return std::nullopt;
    const double slope = sxy / sxx;
    return std::pair{slope, y0 + mean_y - slope * (x0 + mean_x)};
}

// The date the point leaves ±tolerance, moving at its drift from its newest figure.
std::optional<Date_time> projection(const Point_drift& p, double first_day, double tolerance) {
    if (!p.drift_percent_per_year || *p.drift_percent_per_year == 0) return std::nullopt;
    const double slope = *p.drift_percent_per_year;
    // The newest figure: the As Left of the newest calibration holding the
    // point when it has one, else its As Found.
    const Drift_figure* start = p.as_found.empty() ? nullptr : &p.as_found.back();
    if (!p.as_left.empty() && (!start || p.as_left.back().calibrated >= start->calibrated)) start = &p.as_left.back();
    if (!start) return std::nullopt;
    const double day = first_day + start->years * days_per_year;
    if (std::fabs(start->error_percent) > tolerance) return date_of(day);
    const double limit = slope > 0 ? tolerance : -tolerance;
    return date_of(day + (limit - start->error_percent) / slope * days_per_year);
}

}  // namespace

std::optional<Date_time> Tag_drift::earliest_projected() const {
    std::optional<Date_time> earliest;
    for (const auto& p : points)
        if (p.projected && (!earliest || *p.projected < *earliest)) earliest = p.projected;
    return earliest;
}

Tag_drift drift_of(std::vector<Calibration> calibrations) {
    std::erase_if(calibrations, [](const Calibration& c) { return !QDate(c.calibrated.year, c.calibrated.month, c.calibrated.day).isValid(); });
    std::stable_sort(calibrations.begin(), calibrations.end(),
                     [](const Calibration& a, const Calibration& b) { return a.calibrated < b.calibrated; });
    Tag_drift drift;
    if (calibrations.empty()) return drift;
    drift.tolerance_percent = calibrations.back().tolerance_percent;

    // The inputs, newest calibration first, each once in the order printed.
    for (auto c = calibrations.rbegin(); c != calibrations.rend(); ++c)
        for (const auto* table : {&c->as_found, &c->as_left})
            for (const Point& p : *table)
                if (std::none_of(drift.points.begin(), drift.points.end(),
                                 [&](const Point_drift& d) { return d.input == p.input; })) {
                    Point_drift point;
                    point.input = p.input;
                    drift.points.push_back(point);
                }

    const double first_day = day_number(calibrations.front().calibrated);
    for (Point_drift& point : drift.points) {
        for (const Calibration& c : calibrations) {
            const double years = (day_number(c.calibrated) - first_day) / days_per_year;
            if (const auto found = figure_of(c.as_found, point.input))
                point.as_found.push_back({c.calibrated, years, *found});
            if (const auto left = figure_of(c.as_left, point.input))
                point.as_left.push_back({c.calibrated, years, *left});
        }
        point.calibrations = static_cast<int>(point.as_found.size());
        if (!point.as_found.empty()) point.last_error_percent = point.as_found.back().error_percent;
        if (const auto line = fit(point.as_found)) {
            point.drift_percent_per_year = line->first;
            point.fit_intercept = line->second;
        }
        if (drift.tolerance_percent) point.projected = projection(point, first_day, *drift.tolerance_percent);
    }
    return drift;
}

bool at_risk(const std::optional<Date_time>& projected, const Date_time& due) {
    return projected && *projected < due;
}

double rounded_drift(double drift_percent_per_year) {
    const double rounded = std::round(drift_percent_per_year * 1000) / 1000;
    return rounded == 0 ? 0.0 : rounded;
}

std::string drift_text(const std::optional<double>& drift_percent_per_year) {
    if (!drift_percent_per_year) return "-";
    // A decimal point in every locale.
    return QString::number(rounded_drift(*drift_percent_per_year), 'f', 3).toStdString();
}

std::string drift_line(const Point_drift& p) {
    const std::string last = p.last_error_percent ? QString::number(*p.last_error_percent, 'f', 3).toStdString() : "-";
    return p.input + '\t' + std::to_string(p.calibrations) + '\t' + drift_text(p.drift_percent_per_year) + '\t' +
           last + '\t' + (p.projected ? date_text(*p.projected) : "-");
}

}  // namespace records
