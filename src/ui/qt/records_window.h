// The Calibration Records window: the tags recorded, the selected tag's
// calibrations and the selected calibration's point tables, over the
// widget-free records::Records_browser, which decides what is selected and
// what may be pressed; the window mirrors it after every change.
//
// Each table is a model/view pair whose model asks the browser for the cells
// on screen only, so ten thousand tags cost no more than ten.
#pragma once

#include <QDialog>
#include <functional>

#include "records/records_browser.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QVBoxLayout;

namespace ui::qt {

class Browser_table_model;
class Drift_chart;

class Records_window : public QDialog {
public:
    Records_window(QWidget* parent, records::Records_browser& browser, const std::function<void(int)>& help);

private:
    QTableView* table_view(records::Records_browser::Table table, const char* name);
    // Shows what the browser holds now: every table whose content may have
    // changed, the selections, the labels and the buttons.
    void mirror(bool tags_changed, bool calibrations_changed);
    // The due-soon window's days and Set Interval, under the tag list.
    void add_due_controls(QWidget* owner, QVBoxLayout* layout);

    records::Records_browser& browser_;
    bool mirroring_ = false;  // selections set by mirror() are not the user's
    QLineEdit* filter_ = nullptr;
    QLabel* tags_label_ = nullptr;
    QLabel* calibrations_label_ = nullptr;
    QLabel* details_ = nullptr;
    QLabel* as_found_label_ = nullptr;
    QLabel* as_left_label_ = nullptr;
    QTableView* tags_ = nullptr;
    QTableView* calibrations_ = nullptr;
    QTableView* as_found_ = nullptr;
    QTableView* as_left_ = nullptr;
    Browser_table_model* tag_model_ = nullptr;
    Browser_table_model* calibration_model_ = nullptr;
    Browser_table_model* as_found_model_ = nullptr;
    Browser_table_model* as_left_model_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* open_ = nullptr;
    Drift_chart* drift_chart_ = nullptr;  // the selected tag's drift
    QPushButton* certificate_ = nullptr;
    QSpinBox* due_window_ = nullptr;
    QPushButton* set_interval_ = nullptr;
};

}  // namespace ui::qt
