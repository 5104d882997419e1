#include "records/report_reader.h"

#include <sys/stat.h>

#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "download/report_extract.h"
#include "reports/field_table.h"
#include "reports/report_files.h"
#include "reports/report_upload.h"
#include "resources/records_strings.h"
#include "resources/strings.h"

namespace records {

namespace {

// The scratch slot the keyword search writes its values into.
constexpr int value_slot = 1;

// One report's lines, read value by value with the extraction's keyword
// search.  A search that finds nothing gives nothing (not "ERROR").
class Report_section {
public:
    explicit Report_section(const std::vector<std::string>& lines) : lines_(lines) {}

    struct Found {
        std::string value;
        int line = -1;              // the line of the value
        std::size_t end = 0;        // the column just after it
    };

    // The value after the first line (from line `from` on) that begins
    // with keyword, past spaces and quotes.
    std::optional<Found> keyword(std::string_view keyword, int from, bool spaces_allowed) {
        return find(keyword, from, std::nullopt, spaces_allowed);
    }
    // The value after keyword on the same line, from a column on.
    std::optional<Found> keyword_after(int line, std::size_t column, std::string_view keyword) {
        auto found = find(keyword, line, column, false);
        if (found && found->line != line) return std::nullopt;
        return found;
    }
    // The next value on a line, from a column on (column 0: the line's first value).
    std::optional<Found> next(int line, std::size_t column, bool spaces_allowed) {
        return find("", line, column, spaces_allowed);
    }
    // True when the line, past spaces and quotes, begins with keyword.
    bool line_begins(int line, std::string_view keyword) {
        if (line < 0 || line >= count()) return false;
        const std::vector<std::string> one{lines_[static_cast<std::size_t>(line)]};
        int out_line = -1;
        download::find_report_value(scratch_, value_slot, keyword, one, 0, std::nullopt, true, out_line);
        if (out_line == 0) return true;
        // A keyword that ends its line ("As Found Data") leaves no value to find.
        std::string_view text = one.front();
        while (!text.empty() && (text.front() == ' ' || text.front() == '"')) text.remove_prefix(1);
        return text.substr(0, keyword.size()) == keyword;
    }
    int count() const { return static_cast<int>(lines_.size()); }
    const std::string& line(int i) const { return lines_[static_cast<std::size_t>(i)]; }

private:
    std::optional<Found> find(std::string_view keyword, int line, std::optional<std::size_t> column,
                              bool spaces_allowed) {
        int out_line = -1;
        const std::size_t end = download::find_report_value(scratch_, value_slot, keyword, lines_, line, column,
                                                            spaces_allowed, out_line);
        if (out_line < 0) return std::nullopt;
        return Found{scratch_.field_text(value_slot), out_line, end};
    }

    const std::vector<std::string>& lines_;
    reports::Field_table scratch_;
};

constexpr bool spaces = true;
constexpr bool no_spaces = false;

std::optional<double> number_of(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str()) return std::nullopt;
    return value;
}

// A failure inside a report: its reason and the line within the report (from 0).
struct Report_failure {
    std::string reason;
    int line = 0;
};

std::string missing(std::string_view keyword) {
    return res::format(res::IDS_REASON_MISSING_LINE, keyword);
}

// "2010/05/07 9:05:00" or "2010/01/01" (date_only).
std::optional<Date_time> read_date(const std::string& text, bool date_only) {
    Date_time t;
    int used = 0;
    const int wanted = date_only ? 3 : 6;
    const int got = date_only ? std::sscanf(text.c_str(), "%d/%d/%d%n", &t.year, &t.month, &t.day, &used)
                              : std::sscanf(text.c_str(), "%d/%d/%d %d:%d:%d%n", &t.year, &t.month, &t.day,
                                            &t.hour, &t.minute, &t.second, &used);
    if (got != wanted || used != static_cast<int>(text.size())) return std::nullopt;
    return t;
}

// The type line of the input or the output, the lines under it and its range.
std::optional<Report_failure> read_signal(Report_section& s, std::string_view label, Signal& signal, int& type_line) {
    const auto type = s.keyword(label, 0, spaces);
    if (!type) return Report_failure{missing(label), 0};
    signal.type = type->value;
    type_line = type->line;
    if (const auto units = s.next(type->line, type->end, spaces)) signal.units = units->value;
    for (int line = type->line + 1; line < s.count(); ++line) {
        if (s.line_begins(line, "Range:")) {
            const auto low = s.keyword("Range:", line, no_spaces);
            if (low && low->line == line) {
                signal.low = low->value;
                if (const auto high = s.keyword_after(low->line, low->end, "to")) signal.high = high->value;
            }
            break;
        }
        if (s.line_begins(line, "Output type:") || s.line_begins(line, "Calibrator:")) break;
        const auto extra = s.next(line, 0, spaces);
        signal.extra_lines.push_back(extra ? extra->value : std::string());
    }
    return std::nullopt;
}


// One row of a point table: " %2i    %9s  %9s  %7.3f  Pass" or its CSV form.
bool read_point(Report_section& s, int line, int number, Point& point) {
    const auto k = s.next(line, 0, no_spaces);
    if (!k || k->value != std::to_string(number)) return false;
    point.number = number;
    const auto input = s.next(line, k->end, no_spaces);
    if (!input) return false;
    point.input = input->value;
    const auto reading = s.next(line, input->end, no_spaces);
    if (!reading) return false;
    point.reading = reading->value;
    // Without tolerance testing the row ends here.  With it: the error
    // figure (blank when the reading could not be judged), then the verdict.
    auto next = s.next(line, reading->end, no_spaces);
    if (!next || next->value.empty()) return true;
    if (next->value != "Pass" && next->value != "Fail") {
        point.error_text = next->value;
        point.error_percent = number_of(next->value);
        next = s.next(line, next->end, no_spaces);
        if (!next) return false;
    }
    if (next->value == "Pass")
        point.verdict = Verdict::pass;
    else if (next->value == "Fail")
        point.verdict = Verdict::fail;
    else
        return false;
    return true;
}

// "As Found Data", its heading, n rows and the empty line that closes them.
std::optional<Report_failure> read_table(Report_section& s, int title, int points, std::vector<Point>& out) {
    if (!s.line_begins(title + 1, "Point")) return Report_failure{missing("Point"), title + 1};
    for (int k = 1; k <= points; ++k) {
        const int line = title + 1 + k;
        if (line >= s.count()) return Report_failure{res::str(res::IDS_REASON_CUT), s.count() - 1};
        Point point;
        if (!read_point(s, line, k, point)) return Report_failure{res::str(res::IDS_REASON_BAD_POINT), line};
        out.push_back(point);
    }
    return std::nullopt;
}

std::optional<Report_failure> read_calibration(Report_section& s, Calibration& c) {
    // The lines every report has; without them the report cannot be read.
    const auto tag = s.keyword("Tag ID:", 0, spaces);
    if (!tag) return Report_failure{missing("Tag ID:"), 0};
    c.tag_id = tag->value;
    const auto calibrated = s.keyword("Calibrated:", 0, spaces);
    if (!calibrated) return Report_failure{missing("Calibrated:"), 0};
    const auto when = read_date(calibrated->value, false);
    if (!when) return Report_failure{res::str(res::IDS_REASON_BAD_DATE), calibrated->line};
    c.calibrated = *when;

    // The lines a level 1 calibrator's own report may lack read as empty.
    const std::pair<std::string_view, std::string*> texts[] = {
        {"Manufacturer:", &c.manufacturer},   {"Model Number:", &c.model},       {"Serial Number:", &c.serial},
        {"Technician:", &c.technician},       {"Temperature:", &c.temperature},  {"Humidity:", &c.humidity},
        {"Other information:", &c.other_information}};
    for (const auto& [keyword, value] : texts)
        if (const auto found = s.keyword(keyword, 0, spaces)) *value = found->value;

    const auto tolerance = s.keyword("Tolerance:", 0, no_spaces);
    if (!tolerance) return Report_failure{missing("Tolerance:"), 0};
    c.tolerance_text = tolerance->value;
    if (c.tolerance_text != "None") c.tolerance_percent = number_of(c.tolerance_text);

    int input_line = 0, output_line = 0;
    if (auto failure = read_signal(s, "Input type:", c.input, input_line)) return failure;
    if (auto failure = read_signal(s, "Output type:", c.output, output_line)) return failure;

    const auto calibrator = s.keyword("Calibrator:", 0, spaces);
    if (!calibrator) return Report_failure{missing("Calibrator:"), 0};
    c.calibrator = calibrator->value;
    if (const auto sn = c.calibrator.rfind("S/N "); sn != std::string::npos) c.calibrator_serial = c.calibrator.substr(sn + 4);
    const auto last_cal = s.keyword("Last Cal.:", 0, spaces);
    if (!last_cal) return Report_failure{missing("Last Cal.:"), 0};
    const auto last = read_date(last_cal->value, true);
    if (!last) return Report_failure{res::str(res::IDS_REASON_BAD_DATE), last_cal->line};
    c.calibrator_last_cal = *last;

    // The point tables: the rows lie between "As Found Data" and "As Left
    // Data", less the heading and the empty line that close the first table.
    int found_line = -1, left_line = -1;
    for (int line = 0; line < s.count() && left_line < 0; ++line) {
        if (found_line < 0 && s.line_begins(line, "As Found Data")) found_line = line;
        else if (found_line >= 0 && s.line_begins(line, "As Left Data")) left_line = line;
    }
    if (found_line < 0) return Report_failure{missing("As Found Data"), s.count() - 1};
    if (left_line < 0) return Report_failure{res::str(res::IDS_REASON_CUT), s.count() - 1};
    const int points = left_line - found_line - 3;
    if (points < 0 || points > reports::max_points || !s.line(left_line - 1).empty())
        return Report_failure{res::str(res::IDS_REASON_BAD_POINT), left_line - 1};
    if (auto failure = read_table(s, found_line, points, c.as_found)) return failure;
    if (auto failure = read_table(s, left_line, points, c.as_left)) return failure;

    // A report is whole when its closing "Comments:" line is there.
    bool whole = false;
    for (int line = left_line + 2 + points; line < s.count() && !whole; ++line) whole = s.line_begins(line, "Comments:");
    if (!whole) return Report_failure{res::str(res::IDS_REASON_CUT), s.count() - 1};
    return std::nullopt;
}

// Where each report of the lines begins and ends: a report begins at its
// "Tag ID:" line, or at the company line two lines above it, and ends at the
// next separator line or the next report's beginning.
struct Report_span {
    std::size_t begin = 0, end = 0;
};

bool is_company_line(std::string_view line) {
    if (!line.empty() && line.front() == '"') line.remove_prefix(1);
    return line.substr(0, 13) == "Company Name:";
}

template <typename Lines>
std::vector<Report_span> find_reports(const Lines& lines) {
    std::vector<Report_span> spans;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (reports::is_report_separator(lines[i])) {
            if (!spans.empty() && spans.back().end == 0) spans.back().end = i;
            continue;
        }
        if (!reports::is_report_start(lines[i])) continue;
        std::size_t begin = i;
        if (i >= 2 && lines[i - 1].empty() && is_company_line(lines[i - 2])) begin = i - 2;
        if (!spans.empty() && spans.back().end == 0) spans.back().end = begin;
        spans.push_back({begin, 0});
    }
    if (!spans.empty() && spans.back().end == 0) spans.back().end = lines.size();
    return spans;
}

template <typename Lines>
Read_result read_all(const Lines& lines) {
    Read_result result;
    const std::vector<Report_span> spans = find_reports(lines);
    if (spans.empty()) {
        result.failure = {res::str(lines.size() == 0 ? res::IDS_REASON_EMPTY : res::IDS_REASON_NO_REPORT), 0};
        return result;
    }
    result.reports.reserve(spans.size());
    for (const Report_span& span : spans) {
        Read_report report;
        report.first_line = span.begin;
        report.lines.reserve(span.end - span.begin);
        for (std::size_t i = span.begin; i < span.end; ++i) report.lines.emplace_back(lines[i]);
        Report_section section(report.lines);
        if (auto failure = read_calibration(section, report.calibration)) {
            result.reports.clear();
            result.failure = {failure->reason, span.begin + static_cast<std::size_t>(std::max(failure->line, 0)) + 1};
            return result;
        }
        result.reports.push_back(std::move(report));
    }
    result.ok = true;
    return result;
}

}  // namespace

Read_result read_reports(const std::vector<std::string>& lines) { return read_all(lines); }
Read_result read_reports(const reports::Report_lines& lines) { return read_all(lines); }

Read_result read_report_file(const std::string& path) {
    Read_result result;
    auto refuse = [&result](std::string reason) {
        result.failure = {std::move(reason), 0};
        return result;
    };
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return refuse(std::strerror(errno));
    if (!S_ISREG(info.st_mode)) return refuse(res::str(res::IDS_REASON_NOT_REGULAR));
    if (info.st_size == 0) return refuse(res::str(res::IDS_REASON_EMPTY));
    const auto limit_mb = static_cast<int>(reports::report_file_max_bytes / (1024 * 1024));
    if (static_cast<unsigned long long>(info.st_size) > reports::report_file_max_bytes)
        return refuse(res::format(res::IDS_REASON_TOO_LARGE, limit_mb));

    // The report reader drops what is not text, so a binary file would read
    // as a few scraps of lines: its first block decides.
    {
        std::ifstream file(path, std::ios::binary);
        char block[4096];
        file.read(block, sizeof block);
        for (std::streamsize i = 0; i < file.gcount(); ++i) {
            const auto byte = static_cast<unsigned char>(block[i]);
            if (byte < 0x20 && byte != '\n' && byte != '\r' && byte != '\t' && byte != '\f')
                return refuse(res::str(res::IDS_REASON_BINARY));
        }
    }

    std::vector<std::string> lines;
    std::string reason;
    if (reports::read_text_lines(path, reports::report_line_limit, lines, reason, reports::Text_rule::utf8) !=
        reports::Read_outcome::ok)
        return refuse(reason);
    if (lines.size() > reports::report_file_max_lines) return refuse(res::format(res::IDS_REASON_TOO_LARGE, limit_mb));
    return read_all(lines);
}

}  // namespace records
