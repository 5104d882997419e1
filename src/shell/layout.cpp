#include "shell/layout.h"

#include <algorithm>
#include <cstdint>

namespace shell {

Control_layout layout_controls(const Layout_measures& start, int client_width, int client_height) {
    const int dh = client_height - start.client_height;
    const int dw = client_width - start.client_width;
    Control_layout out;
    out.tag_list = start.tag_list;
    out.tag_list.height = start.tag_list.height + dh;
    out.reports_list = start.reports_list;
    out.reports_list.width = start.reports_list.width + dw;
    out.reports_list.height = start.reports_list.height + dh;
    out.status_line = start.status_line;
    out.status_line.x = start.tag_list.x;
    out.status_line.y = start.tag_list.y + (start.status_line.y - start.tag_list.y) + dh;
    return out;
}

namespace {

// One axis of fit_to_screen: the extent clamped between the minimum and the
// area, then the start clamped so that start + extent stays inside the area.
void fit_axis(int& start, int& extent, int area_start, int area_extent, int minimum) {
    const std::int64_t area = std::max(area_extent, 1);
    const std::int64_t low = std::min<std::int64_t>(std::max(minimum, 1), area);
    const std::int64_t size = std::clamp<std::int64_t>(extent, low, area);
    const std::int64_t first = area_start;
    const std::int64_t last = first + area - size;
    extent = static_cast<int>(size);
    start = static_cast<int>(std::clamp<std::int64_t>(start, first, last));
}

}  // namespace

Rect fit_to_screen(const Rect& stored, const Rect& available, int minimum_width, int minimum_height) {
    Rect out = stored;
    fit_axis(out.x, out.width, available.x, available.width, minimum_width);
    fit_axis(out.y, out.height, available.y, available.height, minimum_height);
    return out;
}

Created_layout created_layout(const Dialog_units& u) {
    auto rect = [&](int x, int y, int w, int h) { return Rect{u.x(x), u.y(y), u.x(w), u.y(h)}; };
    Created_layout c;
    c.measures.client_width = u.x(422);
    c.measures.client_height = u.y(252);
    c.measures.tag_list = rect(7, 18, 119, 215);
    c.measures.reports_list = rect(136, 18, 279, 215);
    c.measures.status_line = rect(7, 236, 408, 9);
    c.tag_label = rect(7, 7, 119, 9);
    c.reports_label = rect(136, 7, 279, 9);
    return c;
}

}  // namespace shell
