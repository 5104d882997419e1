#include "reports/report_lines.h"

#include <algorithm>

namespace reports {

Report_lines::Report_lines(const std::vector<std::string>& lines) {
    for (const auto& line : lines) push_back(line);
}

Report_lines::Report_lines(std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines) push_back(line);
}

void Report_lines::clear() {
    // Swapping with empty objects frees the blocks; clear() would keep them.
    std::string().swap(text_);
    std::vector<std::size_t>().swap(ends_);
}

bool operator==(const Report_lines& a, const std::vector<std::string>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

}  // namespace reports
