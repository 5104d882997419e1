#include "records/calibration_record.h"

#include <cstdio>

#include "reports/field_table.h"

namespace records {

std::string verdict_text(Verdict verdict) {
    switch (verdict) {
    case Verdict::pass: return "Pass";
    case Verdict::fail: return "Fail";
    case Verdict::none: break;
    }
    return "-";
}

std::string date_time_text(const Date_time& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

std::string date_time_iso(const Date_time& t) {
    std::string text = date_time_text(t);
    text[10] = 'T';
    return text;
}

std::string date_text(const Date_time& t) { return date_time_text(t).substr(0, 10); }

std::optional<Date_time> parse_date_time_iso(const std::string& text) {
    Date_time t;
    char separator = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &t.year, &t.month, &t.day, &separator, &t.hour,
                    &t.minute, &t.second, &used) != 7 ||
        separator != 'T' || used != static_cast<int>(text.size()))
        return std::nullopt;
    return t;
}

std::optional<double> printed_number(std::string text) {
    if (!text.empty() && text.back() == '%') text.pop_back();
    return reports::read_finite_decimal(text);
}

std::string phase_text(Phase phase) { return phase == Phase::as_found ? "As Found" : "As Left"; }

Verdict overall_verdict(const std::vector<Point>& points) {
    if (points.empty()) return Verdict::none;
    bool all_pass = true;
    for (const Point& point : points) {
        if (point.verdict == Verdict::fail) return Verdict::fail;
        all_pass = all_pass && point.verdict == Verdict::pass;
    }
    return all_pass ? Verdict::pass : Verdict::none;
}

Verdict Calibration::as_found_verdict() const { return overall_verdict(as_found); }
Verdict Calibration::as_left_verdict() const { return overall_verdict(as_left); }

}  // namespace records
