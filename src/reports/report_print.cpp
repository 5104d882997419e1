#include "reports/report_print.h"

#include "reports/report_files.h"
#include "resources/reports_strings.h"
#include "resources/strings.h"
#include "resources/text_match.h"

namespace reports {

namespace {

// True when line begins with label, or with a double quote and label (the
// CSV layout quotes its labels), ignoring case.
bool begins_with_label(std::string_view line, std::string_view label) {
    if (!line.empty() && line.front() == '"') line.remove_prefix(1);
    return res::starts_with_ignoring_case(line, label);
}

// Both layouts' pad lines: 21 spaces, bare or in quotes.
bool is_pad_line(std::string_view line) { return line.size() >= 6 && line.substr(1, 5) == "     "; }

bool is_calibrated_line(std::string_view line) { return begins_with_label(line, "Calibrated:"); }

// The report being printed: where its header runs, its page count so far and
// the blocks that must not be split.
struct Report_in_print {
    std::size_t start = 0;        // first header line
    std::size_t header_end = 0;   // its "Calibrated:" line
    int page = 1;                 // number of the next page label
    Block technician, approval, date, comments;
};

// Pages of one layout run: the page being filled and the sink it goes to.
class Page_writer {
public:
    explicit Page_writer(const Page_sink& sink) : sink_(sink) {}

    bool open() const { return open_; }
    void start() {
        page_.rows.clear();
        open_ = true;
    }
    void add(int y, std::string_view text) { page_.rows.push_back({y, std::string(text)}); }
    // Hands the page to the sink; false when it could not be printed.
    bool end() {
        open_ = false;
        return sink_(page_);
    }

private:
    const Page_sink& sink_;
    ui::Printed_page page_;
    bool open_ = false;
};

std::string page_label(const Report_lines& lines, const Report_in_print& report) {
    const std::string_view last = lines[report.header_end];
    if (!last.empty() && last.front() == '"') return res::format(res::IDS_PAGE_LABEL_CSV, report.page);
    return res::format(res::IDS_PAGE_LABEL_TEXT, " ", report.page);
}

// Starts a page of the report with its header and page label; the y of the
// first line after them.
int start_report_page(Page_writer& pages, const Report_lines& lines, Report_in_print& report,
                      const Page_geometry& g) {
    pages.start();
    int y = g.margin;
    for (std::size_t i = report.start; i <= report.header_end; ++i) {
        pages.add(y, lines[i]);
        y += g.line_height;
    }
    pages.add(y, page_label(lines, report));
    ++report.page;
    return y + g.line_height;
}

// True when a block starting at line k would reach the bottom limit.
bool block_breaks(const Block& block, std::size_t k, int next_y, const Page_geometry& g) {
    if (block.count == 0 || block.index != k) return false;
    return next_y + static_cast<int>(block.count - 1) * g.line_height >= g.bottom_limit;
}

bool page_break_after(const Report_lines& lines, std::size_t i, const Report_in_print& report,
                      int next_y, const Page_geometry& g) {
    const std::size_t k = i + 1;
    if (k < lines.size() && !is_report_separator(lines[k]) && next_y >= g.bottom_limit) return true;
    for (const Block* block : {&report.technician, &report.approval, &report.date, &report.comments})
        if (block_breaks(*block, k, next_y, g)) return true;
    return false;
}

}  // namespace

Page_geometry page_geometry(int resolution, int printable_height, int font_size) {
    Page_geometry g;
    g.margin = resolution / 2;
    g.line_height = resolution * font_size / 72;
    g.bottom_limit = printable_height - 3 * g.margin / 2;
    return g;
}

Block find_block(const Report_lines& lines, std::size_t start, std::string_view label, bool forward) {
    std::size_t found = start;
    while (found < lines.size() && !begins_with_label(lines[found], label)) ++found;
    if (found >= lines.size()) return {};
    if (forward) {
        std::size_t g = found + 1;
        while (g < lines.size() && is_pad_line(lines[g])) ++g;
        return {found, g - found};
    }
    // Backward: the pad lines above the label, down to the first line that
    // is not one (or the top of the list).
    std::size_t first = found;
    while (first > 0 && is_pad_line(lines[first - 1])) --first;
    return {first, found - first + 1};
}

bool lay_out_report_pages(const Report_lines& lines, const Page_geometry& g, const Page_sink& sink) {
    Page_writer pages(sink);
    Report_in_print report;
    bool seeking = true;
    int y = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (seeking) {
            if (!is_calibrated_line(line)) continue;
            report.header_end = i;
            report.page = 1;
            seeking = false;
            y = start_report_page(pages, lines, report, g);
            report.technician = find_block(lines, i, "Technician Sig", false);
            report.approval = find_block(lines, report.technician.index, "Approval Sig", false);
            report.date = find_block(lines, report.approval.index, "Date", false);
            report.comments = find_block(lines, report.date.index, "Comments:", true);
            continue;
        }
        if (is_report_separator(line)) {
            if (pages.open() && !pages.end()) return false;
            seeking = true;
            report.start = i + 2;
            continue;
        }
        pages.add(y, line);
        const int next_y = y + g.line_height;
        if (!page_break_after(lines, i, report, next_y, g)) {
            y = next_y;
            continue;
        }
        if (!pages.end()) return false;
        y = start_report_page(pages, lines, report, g);
    }
    return !pages.open() || pages.end();
}

bool print_document(ui::Ui& ui, ui::Print_job& job, const std::string& name, int font_size,
                    const Page_layout& layout) {
    const Page_geometry g = page_geometry(job.resolution(), job.printable_height(), font_size);
    job.set_document(name, g.line_height, g.margin);
    bool not_started = false;
    const bool completed = layout(g, [&](const ui::Printed_page& page) {
        const ui::Page_result result = job.print_page(page);
        not_started = result == ui::Page_result::document_failed;
        return result == ui::Page_result::printed;
    });
    if (not_started) {
        job.finish(true);
        ui.message(res::str(res::IDS_PRINT_FAILED), ui::Caption::error, ui::Buttons::ok);
        return false;
    }
    job.finish(!completed);
    return completed;
}

void print_reports(ui::Ui& ui, const Report_lines& lines, int font_size,
                   const std::function<void()>& refresh_status_line) {
    if (lines.empty()) {
        ui.message(res::str(res::IDS_NO_REPORTS), ui::Caption::error, ui::Buttons::ok);
        return;
    }
    const std::unique_ptr<ui::Print_job> job = ui.choose_printer();
    if (!job) return;
    ui.set_status(res::str(res::IDS_PRINTING_REPORTS));
    ui.set_wait_cursor(true);
    print_document(ui, *job, res::str(res::IDS_PRINT_DOCUMENT_NAME), font_size,
                   [&lines](const Page_geometry& g, const Page_sink& sink) {
                       return lay_out_report_pages(lines, g, sink);
                   });
    if (refresh_status_line) refresh_status_line();
    ui.set_wait_cursor(false);
}

}  // namespace reports
