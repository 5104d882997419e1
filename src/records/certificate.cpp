#include "records/certificate.h"

#include <QDate>
#include <algorithm>
#include <cstdio>

#include "records/due_dates.h"
#include "resources/certificate_strings.h"
#include "resources/strings.h"

namespace records {

namespace {

// The labels' column: values start at this character.
constexpr std::size_t label_width = 22;

std::string labelled(int label, const std::string& value) {
    std::string line = res::str(label);
    if (line.size() < label_width) line.resize(label_width, ' ');
    else line += ' ';
    return line + value;
}

// The reference standard's model: the calibrator's text before " S/N ".
std::string calibrator_model(const Calibration& c) {
    const std::size_t serial = c.calibrator.find(" S/N ");
    return serial == std::string::npos ? c.calibrator : c.calibrator.substr(0, serial);
}

std::string signal_text(const Signal& signal) {
    return signal.units.empty() ? signal.type : signal.type + ", " + signal.units;
}

// The date, or "-" when the report had none.
std::string date_or_dash(const Date_time& date) { return date.year == 0 ? "-" : date_text(date); }

// A point row, aligned under the column headings.
std::string point_row(const Point& p) {
    char row[160];
    std::snprintf(row, sizeof row, "  %5d  %14s  %14s  %9s  %s", p.number, p.input.c_str(), p.reading.c_str(),
                  p.error_text.empty() ? "-" : p.error_text.c_str(), verdict_text(p.verdict).c_str());
    return row;
}

class Certificate_builder {
public:
    Certificate certificate;

    void add(std::string line) { certificate.lines.push_back(std::move(line)); }
    void add(int label, const std::string& value) { add(labelled(label, value)); }

    void add_signal(int label, const Signal& signal) {
        add(label, signal_text(signal));
        for (const std::string& extra : signal.extra_lines) add(std::string(label_width, ' ') + extra);
        if (!signal.low.empty() || !signal.high.empty())
            add(res::IDS_CERT_RANGE, res::format(res::IDS_CERT_RANGE_VALUE, signal.low, signal.high));
    }

    void add_table(Phase phase, const std::vector<Point>& points) {
        add("");
        Certificate::Table table;
        table.header = certificate.lines.size();
        add(phase_text(phase));
        add(res::str(res::IDS_CERT_COLUMNS));
        table.header_lines = 2;
        for (const Point& p : points) add(point_row(p));
        table.end = certificate.lines.size();
        certificate.tables.push_back(table);
    }
};

}  // namespace

Certificate make_certificate(const Recorded_calibration& record, const std::string& company,
                             const std::optional<Date_time>& due) {
    const Calibration& c = record.calibration;
    Certificate_builder b;
    b.certificate.tag_id = c.tag_id;
    b.certificate.calibrated = date_time_text(c.calibrated);
    if (!company.empty()) b.add(company);
    b.add(res::str(res::IDS_CERT_TITLE));
    b.add("");
    b.add(res::IDS_CERT_TAG, c.tag_id);
    b.add(res::IDS_CERT_MANUFACTURER, c.manufacturer);
    b.add(res::IDS_CERT_MODEL, c.model);
    b.add(res::IDS_CERT_SERIAL, c.serial);
    b.add_signal(res::IDS_CERT_INPUT, c.input);
    b.add_signal(res::IDS_CERT_OUTPUT, c.output);
    b.add(res::IDS_CERT_TOLERANCE, c.tolerance_text);
    b.add(res::IDS_CERT_STANDARD, calibrator_model(c));
    b.add(res::IDS_CERT_STANDARD_SERIAL, c.calibrator_serial);
    b.add(res::IDS_CERT_STANDARD_LAST_CAL, date_or_dash(c.calibrator_last_cal));
    b.add(res::IDS_CERT_TECHNICIAN, c.technician);
    b.add(res::IDS_CERT_CALIBRATED, date_time_text(c.calibrated));
    b.add(res::IDS_CERT_TEMPERATURE, c.temperature);
    b.add(res::IDS_CERT_HUMIDITY, c.humidity);
    b.add(res::IDS_CERT_OTHER, c.other_information);
    b.add_table(Phase::as_found, c.as_found);
    b.add_table(Phase::as_left, c.as_left);

    b.add("");
    const std::size_t closing = b.certificate.lines.size();
    b.add(res::IDS_CERT_AS_FOUND_RESULT, verdict_text(c.as_found_verdict()));
    b.add(res::IDS_CERT_AS_LEFT_RESULT, verdict_text(c.as_left_verdict()));
    b.add(res::IDS_CERT_DUE, due ? date_text(*due) : "-");
    b.add("");
    b.add("");
    b.add(res::str(res::IDS_CERT_TECHNICIAN_SIGNATURE));
    b.add("");
    b.add("");
    b.add(res::str(res::IDS_CERT_APPROVAL_SIGNATURE));
    b.add("");
    b.add(res::str(res::IDS_CERT_SHA256));
    b.add("  " + record.sha256);
    b.certificate.closing = {closing, b.certificate.lines.size() - closing};
    return b.certificate;
}

Date_time certificate_due_date(const Calibration& calibration, int interval_days) {
    return add_days(calibration.calibrated, interval_days);
}

namespace {

// How many lines from line i on must share a page: a table's header with
// its first row, the closing block whole, any other line alone.
std::size_t lines_kept_together(const Certificate& c, std::size_t i) {
    if (c.closing.count > 0 && c.closing.index == i) return c.closing.count;
    for (const Certificate::Table& t : c.tables)
        if (t.header == i) return std::min(t.header_lines + 1, t.end - t.header);
    return 1;
}

// The table whose rows continue at line i, when a page breaks before it.
const Certificate::Table* table_continued_at(const Certificate& c, std::size_t i) {
    for (const Certificate::Table& t : c.tables)
        if (i >= t.header + t.header_lines && i < t.end) return &t;
    return nullptr;
}

}  // namespace

bool lay_out_certificate_pages(const Certificate& c, const reports::Page_geometry& g,
                               const reports::Page_sink& sink) {
    ui::Printed_page page;
    int page_number = 1;
    int y = g.margin;
    bool holds_content = false;   // the page holds a line of the certificate itself
    auto add = [&](const std::string& text) {
        page.rows.push_back({y, text});
        y += g.line_height;
    };
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
        const int last_y = y + static_cast<int>(lines_kept_together(c, i) - 1) * g.line_height;
        if (holds_content && last_y >= g.bottom_limit) {
            if (!sink(page)) return false;
            page.rows.clear();
            y = g.margin;
            add(res::format(res::IDS_CERT_PAGE_LABEL, c.tag_id, c.calibrated, ++page_number));
            add("");
            if (const Certificate::Table* table = table_continued_at(c, i))
                for (std::size_t h = table->header; h < table->header + table->header_lines; ++h) add(c.lines[h]);
            holds_content = false;
        }
        // An empty line is not carried to the top of a new page.
        if (!holds_content && c.lines[i].empty() && page_number > 1 && !table_continued_at(c, i)) continue;
        add(c.lines[i]);
        holds_content = true;
    }
    return page.rows.empty() || sink(page);
}

std::optional<Date_time> parse_calibrated(const std::string& text) {
    // Exactly "YYYY-MM-DD HH:MM:SS": digits where the pattern has them.
    static const std::string pattern = "0000-00-00 00:00:00";
    if (text.size() != pattern.size()) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (pattern[i] == '0' ? !digit : text[i] != pattern[i]) return std::nullopt;
    }
    auto number = [&text](std::size_t at, std::size_t length) { return std::stoi(text.substr(at, length)); };
    const Date_time t{number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2)};
    if (!QDate::isValid(t.year, t.month, t.day) || t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
    return t;
}

const Recorded_calibration* find_calibration(const std::vector<Recorded_calibration>& calibrations,
                                             const std::optional<Date_time>& when) {
    const Recorded_calibration* found = nullptr;
    for (const Recorded_calibration& r : calibrations) {
        if (when && r.calibration.calibrated != *when) continue;
        if (!found || found->calibration.calibrated <= r.calibration.calibrated) found = &r;
    }
    return found;
}

bool print_certificate(ui::Ui& ui, const Certificate& certificate, int font_size,
                       const std::function<void()>& refresh_status_line) {
    const std::unique_ptr<ui::Print_job> job = ui.choose_printer();
    if (!job) return false;
    ui.set_status(res::str(res::IDS_CERT_PRINTING));
    ui.set_wait_cursor(true);
    const std::string name = res::str(res::IDS_CERT_TITLE) + " " + certificate.tag_id;
    const auto layout = [&certificate](const reports::Page_geometry& g, const reports::Page_sink& sink) {
        return lay_out_certificate_pages(certificate, g, sink);
    };
    const bool printed =
        reports::print_document(ui, *job, name, std::min(font_size, certificate_max_font_size), layout);
    if (refresh_status_line) refresh_status_line();
    ui.set_wait_cursor(false);
    return printed;
}

}  // namespace records
