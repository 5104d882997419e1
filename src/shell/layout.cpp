#include "shell/layout.h"

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
