// Drift and projection of a tag's points over its calibrations, against
// figures worked by hand (days between the dates counted on a calendar).
#include <gtest/gtest.h>

#include <optional>

#include "records/drift.h"

namespace {

using records::Calibration;
using records::Date_time;

struct Figure {
    int number;
    const char* input;
    std::optional<double> error;  // none: the report printed no figure (UNDER, OVER)
};

// A calibration at midnight of "YYYY-MM-DD".
Calibration calibration(const char* date, std::optional<double> tolerance, std::vector<Figure> found,
                        std::vector<Figure> left = {}) {
    Calibration c;
    c.tag_id = "TT-1";
    std::sscanf(date, "%d-%d-%d", &c.calibrated.year, &c.calibrated.month, &c.calibrated.day);
    c.tolerance_percent = tolerance;
    for (const auto& [table, figures] : {std::pair{&c.as_found, &found}, std::pair{&c.as_left, &left}})
        for (const Figure& f : *figures) {
            records::Point p;
            p.number = f.number;
            p.input = f.input;
            p.error_percent = f.error;
            table->push_back(p);
        }
    return c;
}

TEST(Records_drift, slopes_and_projections_match_the_figures_worked_by_hand) {
    struct Row {
        const char* name;
        std::vector<Calibration> calibrations;  // in any order
        std::vector<std::string> lines;         // input, calibrations, drift, last As Found, projected
        const char* earliest;
    };
    const std::optional<double> tol = 0.5;
    const Row rows[] = {
        // 366 days (2020 is a leap year): 0.1 / (366 / 365.25) = 0.0998 %/year; from 0.2 the
        // remaining 0.3 takes 3 x 366 = 1098 days.  Printed twice, the figure farthest from zero counts.
        {"towards the limit, printed up and down the scale",
         {calibration("2021-01-01", tol, {{1, "50.000", 0.200}, {2, "50.000", 0.150}}),
          calibration("2020-01-01", tol, {{1, "50.000", 0.100}, {2, "50.000", -0.050}})},
         {"50.000\t2\t0.100\t0.200\t2024-01-04"},
         "2024-01-04"},
        // Point 2 becomes point 3 when 25.000 is added; 182 days: 0.2 / (182 / 365.25) = 0.401;
        // the remaining 0.2 takes 182 days.
        {"a point that changes number",
         {calibration("2020-01-01", tol, {{1, "0.000", 0.0}, {2, "50.000", 0.100}}),
          calibration("2020-07-01", tol, {{1, "25.000", 0.050}, {2, "0.000", 0.0}, {3, "50.000", 0.300}})},
         {"25.000\t1\t-\t0.050\t-", "0.000\t2\t0.000\t0.000\t-", "50.000\t2\t0.401\t0.300\t2020-12-30"},
         "2020-12-30"},
        // 100.000 has no figure in 2020: 731 days, 0.4 / (731 / 365.25) = 0.200; the projection
        // starts from the As Left 0.000: 0.5 / 0.4 x 731 = 913.75 days.  10.000 is flat: no projection.
        {"a missing figure, a flat line, the start from As Left",
         {calibration("2019-01-01", tol, {{1, "100.000", 0.0}, {2, "10.000", 0.100}}),
          calibration("2020-01-01", tol, {{1, "100.000", std::nullopt}, {2, "10.000", 0.100}}),
          calibration("2021-01-01", tol, {{1, "100.000", 0.400}, {2, "10.000", 0.100}},
                      {{1, "100.000", 0.0}, {2, "10.000", 0.100}})},
         {"100.000\t2\t0.200\t0.400\t2023-07-03", "10.000\t3\t0.000\t0.100\t-"},
         "2023-07-03"},
        {"one calibration", {calibration("2020-03-01", tol, {{1, "50.000", 0.200}})}, {"50.000\t1\t-\t0.200\t-"}, ""},
        // Away from +T towards -T: 0.7 / 0.2 x 366 = 1281 days.  Exactly at +T moving out: that day.
        // Exactly at -T moving in: the whole 1.0 to +T, 5 x 366 = 1830 days.
        {"a slope away from the nearer limit, starts exactly at a limit",
         {calibration("2020-01-01", tol, {{1, "4.000", 0.400}, {2, "20.000", 0.300}, {3, "12.000", -0.700}}),
          calibration("2021-01-01", tol, {{1, "4.000", 0.200}, {2, "20.000", 0.500}, {3, "12.000", -0.500}})},
         {"4.000\t2\t-0.200\t0.200\t2024-07-05", "20.000\t2\t0.200\t0.500\t2021-01-01",
          "12.000\t2\t0.200\t-0.500\t2026-01-05"},
         "2021-01-01"},
        // Outside at the last calibration, whichever way it moves: that calibration's date.  Brought
        // back inside by the adjustment (As Left 0.1): 0.4 / 0.3 x 366 = 488 days.
        {"a start already outside",
         {calibration("2020-01-01", tol, {{1, "50.000", 0.300}, {2, "75.000", 0.800}, {3, "25.000", 0.300}}),
          calibration("2021-01-01", tol, {{1, "50.000", 0.600}, {2, "75.000", 0.600}, {3, "25.000", 0.600}},
                      {{3, "25.000", 0.100}})},
         {"50.000\t2\t0.299\t0.600\t2021-01-01", "75.000\t2\t-0.200\t0.600\t2021-01-01",
          "25.000\t2\t0.299\t0.600\t2022-05-04"},
         "2021-01-01"},
        // The newest calibration has no tolerance: drift, no projection.
        {"no tolerance",
         {calibration("2020-01-01", tol, {{1, "50.000", 0.100}}),
          calibration("2021-01-01", std::nullopt, {{1, "50.000", 0.200}})},
         {"50.000\t2\t0.100\t0.200\t-"},
         ""},
        {"no calibrations", {}, {}, ""},
    };
    for (const Row& row : rows) {
        const records::Tag_drift drift = records::drift_of(row.calibrations);
        std::vector<std::string> lines;
        for (const auto& p : drift.points) lines.push_back(records::drift_line(p));
        EXPECT_EQ(lines, row.lines) << row.name;
        const auto earliest = drift.earliest_projected();
        EXPECT_EQ(earliest ? records::date_text(*earliest) : "", row.earliest) << row.name;
    }
}

TEST(Records_drift, a_tag_is_at_risk_when_its_projection_falls_before_its_due_date) {
    const Date_time due{2021, 2, 28};
    const struct {
        std::optional<Date_time> projected;
        bool at_risk;
    } rows[] = {
        {Date_time{2021, 2, 27}, true},
        {Date_time{2021, 2, 28}, false},
        {Date_time{2021, 3, 1}, false},
        {std::nullopt, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(records::at_risk(row.projected, due), row.at_risk)
            << (row.projected ? records::date_text(*row.projected) : "none");
}

}  // namespace
