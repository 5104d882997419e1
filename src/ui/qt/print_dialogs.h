// The desktop program's printing dialogs: the platform's print dialog, the
// "Select Font Size" dialog of File > Print Setup, and `Display_dialog`, the
// window of Configure > Tag/Group > Display/Print.
#pragma once

#include <QFont>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/ui.h"

class QWidget;

namespace ui::qt {

// The platform's print dialog (all pages; no page range, selection or
// current page choice; copies left to the printer).  Its PDF printer stays
// available: it is how a record is filed electronically.  The printer
// chosen, at its own resolution, or nothing on Cancel.
// A printer set to print into a file writes it through the program's checked
// file write; show_error gets the message when that write fails.
std::unique_ptr<Print_job> choose_printer(QWidget* parent, const std::function<void(const std::string&)>& show_error);

// "Select Font Size": 8, 9, 10, 11, 12, 14 or 16 with current preselected;
// F1 opens help context 1.  The size chosen, or nothing on Cancel.
std::optional<int> ask_font_size(QWidget* parent, int current, const std::function<void(int)>& help);

// `Display_dialog`: the lines in a list in list_font, OK and Print; Escape
// closes it as OK does; F1 opens help context 4.  Print runs on_print and
// closes the window when it returns true.
void show_display(QWidget* parent, const std::string& caption, const std::vector<std::string>& lines,
                  const QFont& list_font, const std::function<bool()>& on_print, const std::function<void(int)>& help);

}  // namespace ui::qt
