// Two rules every window and dialog of the desktop program follows, applied
// in one place as each top-level window is shown, so that no dialog can
// forget them:
// - it opens wholly inside the screen's available area: a window larger than
//   the area shrinks to it, and when its content cannot shrink that far the
//   content scrolls while the row of buttons stays in sight;
// - the buttons of its button row (OK, Cancel, Yes, No, ...) have keyboard
//   letters (Alt+O, Alt+C, Alt+Y, Alt+N, ...).
#pragma once

class QWidget;

namespace ui::qt {

// Starts applying the rules to every window shown from now on (once per
// application; later calls do nothing).
void install_window_rules();

// The rules applied to one window now (the event filter calls this when the
// window is about to be shown).
void apply_window_rules(QWidget* window);

}  // namespace ui::qt
