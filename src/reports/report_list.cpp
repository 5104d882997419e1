#include "reports/report_list.h"

#include <climits>

#include "resources/shell_strings.h"
#include "resources/strings.h"

namespace reports {

std::string caption_text(Reports_caption caption) {
    switch (caption) {
    case Reports_caption::uploaded: return res::str(res::IDS_LABEL_REPORTS_UPLOADED);
    case Reports_caption::read_from_file: return res::str(res::IDS_LABEL_REPORTS_FROM_FILE);
    case Reports_caption::plain: break;
    }
    return res::str(res::IDS_LABEL_REPORTS);
}

void Report_list::add_report_line(std::string_view text) {
    if (text.size() > max_width_) max_width_ = text.size();
    lines_.push_back(text);
    ui_.append_report_lines({std::string(text)});
}

void Report_list::add_report_lines(std::vector<std::string> lines) {
    if (lines.empty()) return;
    for (const auto& line : lines)
        if (line.size() > max_width_) max_width_ = line.size();
    for (const auto& line : lines) lines_.push_back(line);
    ui_.append_report_lines(lines);
}

void Report_list::finish_report_fill() {
    // Computed in 64 bits: a width near INT_MAX must not overflow the product.
    unsigned long long extent = static_cast<unsigned long long>(max_width_) * 4 / 3;
    extent_ = extent > INT_MAX ? INT_MAX : static_cast<int>(extent);
    ui_.set_reports_extent(extent_);
}

void Report_list::clear() {
    lines_.clear();
    max_width_ = 0;
    ui_.clear_reports();
}

void Report_list::set_reports_caption(std::string_view text) {
    caption_ = text;
    ui_.set_reports_caption(caption_);
}

}  // namespace reports
