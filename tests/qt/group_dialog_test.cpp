// The group editor and the member selection as the user meets them: Add and
// Remove carry their names and sit in Tab order between the two lists, a
// kept member whose file is missing is marked, the editor fits the screen,
// and the selection says what to choose inside the dialog as well as in its
// title.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <filesystem>
#include <fstream>

#include "download/group_editor.h"
#include "support/scripted_ui.h"
#include "ui/qt/group_dialogs.h"

namespace {

// Runs a modal dialog while look(dialog) is called on it once it is up;
// look returns true to accept it, false to reject it.  Gives up after a few
// seconds.
template <typename Run>
void with_dialog(Run run, const std::function<bool(QDialog*)>& look) {
    QTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            timer.stop();
            if (look(dialog))
                dialog->accept();
            else
                dialog->reject();
        } else if (++ticks > 150) {
            ADD_FAILURE() << "the dialog did not appear";
            timer.stop();
        }
    });
    timer.start(20);
    run();
}

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int row = 0; row < list->count(); ++row) out << list->item(row)->text();
    return out;
}

TEST(Group_dialogs, the_editor_reads_in_tab_order_and_marks_missing_members_and_the_selection_says_what_to_choose) {
    QTemporaryDir folder;
    for (const char* name : {"FT-610.utg", "TT-101.utg"})
        std::ofstream(std::filesystem::path(folder.path().toStdString()) / name) << "x";
    test::Scripted_ui ui;
    ui.expect_keep(ui::Ui::Keep_answer::yes);
    download::Group_editor editor("Edit group:  g.ugp", folder.path().toStdString());
    editor.members = {"M1.utg", "TT-101.utg"};

    QStringList focus_order, in_group;
    QString add_text, remove_text;
    bool fits = false;
    with_dialog([&] { ui::qt::run_group_dialog(nullptr, editor, ui, {}); }, [&](QDialog* dialog) {
        auto* available = dialog->findChild<QListWidget*>(QStringLiteral("available_tags"));
        in_group = texts(dialog->findChild<QListWidget*>(QStringLiteral("tags_in_group")));
        add_text = dialog->findChild<QPushButton*>(QStringLiteral("add"))->text();
        remove_text = dialog->findChild<QPushButton*>(QStringLiteral("remove"))->text();
        // The widgets Tab visits after "Available Tags".
        for (QWidget* w = available; focus_order.size() < 4; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus) focus_order << w->objectName();
        fits = dialog->screen()->availableGeometry().contains(dialog->frameGeometry());
        return false;
    });
    EXPECT_EQ(add_text, "Add");
    EXPECT_EQ(remove_text, "Remove");
    EXPECT_EQ(focus_order, (QStringList{"available_tags", "add", "remove", "tags_in_group"}));
    EXPECT_EQ(in_group, (QStringList{"M1.utg  (missing)", "TT-101.utg"}));
    EXPECT_TRUE(fits);

    const std::string caption = "Select up to 3 tags from group for download.";
    QString title, instruction;
    with_dialog([&] { ui::qt::select_download_members(nullptr, caption, {"FT-610.utg"}, {}); },
                [&](QDialog* dialog) {
                    title = dialog->windowTitle();
                    instruction = dialog->findChild<QLabel*>(QStringLiteral("instruction"))->text();
                    return true;
                });
    EXPECT_EQ(title.toStdString(), caption);
    EXPECT_EQ(instruction.toStdString(), caption);
}

}  // namespace
