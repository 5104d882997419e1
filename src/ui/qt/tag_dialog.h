// The tag editor's windows: the five-page sheet `Tag_dialog`, a thin view
// over tags::Tag_sheet, and the test point page's Point_number_dialog and
// Generate_points_dialog.
#pragma once

#include <QDialog>
#include <map>
#include <optional>

#include "tags/tag_editor.h"
#include "ui/ui.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QWidget;

namespace ui::qt {

class Tag_dialog : public QDialog {
public:
    Tag_dialog(QWidget* parent, Ui& ui, const std::string& title, tags::Tag_sheet& sheet);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* build_identification();
    QWidget* build_side(tags::Direction direction);
    QWidget* build_tolerance();
    QWidget* build_test_points();
    QLineEdit* add_edit(tags::Control control, QWidget* parent);
    QComboBox* add_list(tags::Control control, QWidget* parent);

    // A page's controls from the sheet.  The controls hold nothing of their
    // own: every edit, list and radio button reports each change to the
    // sheet at once (text_changed), so the sheet is all there is to show.
    void load_page(tags::Page page);
    void tab_chosen(int index);
    // Selects a tab without the page change that choosing it starts.
    void show_tab(int index);
    void press_ok();
    void focus_failed();
    void focus_first(tags::Page page);
    void list_edited(tags::Control control, const QString& text);
    void point_button(void (tags::Tag_sheet::*command)());

    Ui& ui_;
    tags::Tag_sheet& sheet_;
    QTabBar* tabs_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    std::map<tags::Control, QLineEdit*> edits_;
    std::map<tags::Control, QComboBox*> lists_;
    std::map<tags::Control, QLabel*> list_labels_;
    std::vector<QWidget*> amplitude_widgets_, pulse_widgets_;
    QRadioButton* counts_ = nullptr;
    QRadioButton* frequency_ = nullptr;
    QRadioButton* enabled_ = nullptr;
    QRadioButton* disabled_ = nullptr;
    bool loading_ = false;
};

// Point_number_dialog: the point number confirmed, or nothing on Cancel.
std::optional<int> ask_point_number(QWidget* parent, Ui& ui, const std::string& prompt);
// Generate_points_dialog: the checked values, or nothing on Cancel.
std::optional<Generate_values> ask_generate_points(QWidget* parent, Ui& ui, const Generate_values& proposal);

}  // namespace ui::qt
