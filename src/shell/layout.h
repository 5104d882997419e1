// Where the main window's controls go when its client area changes size.
// Pure arithmetic over the measures taken when the window was created, so it
// is tested without widgets.
#pragma once

namespace shell {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

// The client size and the controls as the window was created.
struct Layout_measures {
    int client_width = 0, client_height = 0;
    Rect tag_list, reports_list, status_line;
};

struct Control_layout {
    Rect tag_list, reports_list, status_line;
    bool operator==(const Control_layout&) const = default;
};

// The Tag ID list keeps its position and width and grows in height with the
// client area; the Reports list grows in both directions; the status line
// keeps its size and stays the same distance below the top of the Tag ID list
// plus the change in height.
Control_layout layout_controls(const Layout_measures& start, int client_width, int client_height);

// The window rectangle the settings file gives, fitted into the screen's
// available area: a size larger than the area shrinks to it (never below
// minimum, unless the area itself is smaller), and a position that would put
// any part of the window outside the area moves it just inside.  A rectangle
// that already fits comes back unchanged.  The arithmetic is done in 64 bits,
// so values near the integer limits neither overflow nor survive.
Rect fit_to_screen(const Rect& stored, const Rect& available, int minimum_width, int minimum_height);

// The created layout of the main window in dialog units, converted to pixels
// with the font's base units (average character width, character height):
// x * base_x / 4 and y * base_y / 8, as dialog templates are measured.
struct Dialog_units {
    int base_x = 8, base_y = 16;
    int x(int units) const { return units * base_x / 4; }
    int y(int units) const { return units * base_y / 8; }
};

// The main window's controls as created: labels at 7,7 and 136,7, Tag ID list
// at 7,18 (119 by 215), Reports list at 136,18 (279 by 215), status line at
// 7,236 (408 by 9), client area 422 by 252.
struct Created_layout {
    Layout_measures measures;
    Rect tag_label, reports_label;
};
Created_layout created_layout(const Dialog_units& units);

}  // namespace shell
