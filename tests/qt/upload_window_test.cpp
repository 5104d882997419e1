// The desktop window uploading reports from the simulator on COM1: message
// boxes answered and the Cancel window pressed as a user would, while the
// window pumps its events during the waits.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

#include "../e2e/processes.h"
#include "link/clock.h"
#include "link/tty_serial_port.h"
#include "ui/qt/main_window.h"
#include "window_helpers.h"

namespace {

using qt_test::answer_message;
using qt_test::find_action;

class Upload_window : public ::testing::Test {
protected:
    void start(const std::vector<std::string>& sim_options) {
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
        qputenv("HOME", home.path().toUtf8());
        std::vector<std::string> args = sim_options;
        args.insert(args.end(), {"--port", "1"});
        sim = std::make_unique<e2e::Sim_process>(args, (home.path() + QStringLiteral("/config")).toStdString());
        ASSERT_FALSE(sim->device().empty());
        window = std::make_unique<ui::qt::Main_window>(port, clock);
        ASSERT_TRUE(window->start());
        window->show();
    }
    // Runs a menu command while a timer plays the user every 20 ms.
    void run(const QString& item, const std::function<void()>& user) {
        qt_test::run_as_user([&] { find_action(window->menuBar(), item)->trigger(); }, user);
    }
    QListView* reports() { return window->findChild<QListView*>(QStringLiteral("reports_list")); }
    QString reports_caption() {
        for (QLabel* label : window->findChildren<QLabel*>())
            if (label->text().startsWith(QStringLiteral("Reports"))) return label->text();
        return {};
    }

    QTemporaryDir home;
    std::unique_ptr<e2e::Sim_process> sim;
    comm::Tty_serial_port port;
    comm::System_clock clock;
    std::unique_ptr<ui::qt::Main_window> window;
    QStringList seen;
};

TEST_F(Upload_window, all_reports_arrive_after_the_not_calibrated_question) {
    start({"--demo"});
    run(QStringLiteral("All Tag Reports"), [&] { answer_message(QStringLiteral("Yes"), seen); });
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0], "Some tags are NOT calibrated and will NOT be uploaded.  Continue?");
    EXPECT_GT(reports()->model()->rowCount(), 500);
    EXPECT_EQ(reports()->model()->index(0, 0).data().toString(), "Tag ID: PT-101");
    EXPECT_EQ(reports_caption(), "Reports - Uploaded from Calibrator");
    EXPECT_TRUE(window->dialog().reports_unsaved());
    for (QAction* top : window->menuBar()->actions()) EXPECT_TRUE(top->isEnabled());
}

TEST_F(Upload_window, cancel_discards_the_upload_and_unlocks_the_menus) {
    start({"--demo", "--reply-delay-ms", "5"});
    bool cancel_pressed = false;
    bool menus_were_locked = false;
    run(QStringLiteral("All Tag Reports"), [&] {
        if (answer_message(QStringLiteral("Yes"), seen) || answer_message(QStringLiteral("OK"), seen)) return;
        for (QDialog* d : window->findChildren<QDialog*>()) {
            if (!cancel_pressed && d->isVisible() && d->windowTitle() == "Cancel Tag Upload" &&
                reports()->model()->rowCount() > 0) {
                menus_were_locked = !window->menuBar()->actions().first()->isEnabled();
                d->findChild<QPushButton*>()->click();
                cancel_pressed = true;
            }
        }
    });
    EXPECT_TRUE(cancel_pressed);
    EXPECT_TRUE(menus_were_locked);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[1], "User cancelled tag upload.");
    EXPECT_EQ(reports()->model()->rowCount(), 0);
    EXPECT_EQ(reports_caption(), "Reports");
    EXPECT_FALSE(window->dialog().reports_unsaved());
    for (QAction* top : window->menuBar()->actions()) EXPECT_TRUE(top->isEnabled());
}

}  // namespace

// A level-1 calibrator sends its report text in one stream.  The window must
// read it in arrival order while it runs its event loop, whether the bytes
// come all at once, paced at 9600 baud, or while a modal dialog is open.
class Level1_upload_window : public Upload_window {
protected:
    QStringList tag_list() {
        QStringList lines;
        auto* list = window->findChild<QListView*>(QStringLiteral("tag_list"));
        for (int i = 0; list && i < list->model()->rowCount(); ++i)
            lines << list->model()->index(i, 0).data().toString();
        return lines;
    }
    // The tag IDs of the reports, in order, and whether each report's header is whole.
    QStringList report_tag_ids() {
        QStringList ids;
        const auto* model = reports()->model();
        for (int i = 0; i < model->rowCount(); ++i) {
            const QString line = model->index(i, 0).data().toString();
            if (!line.startsWith(QStringLiteral("Tag ID: "))) continue;
            ids << line.mid(8);
            EXPECT_TRUE(model->index(i + 1, 0).data().toString().startsWith(QStringLiteral("Calibrated: ")))
                << "line " << i + 1;
        }
        return ids;
    }
    static QStringList ids(const QString& prefix, int count) {
        QStringList out;
        for (int i = 1; i <= count; ++i) out << prefix + QString::asprintf("%02d", i);
        return out;
    }
};

TEST_F(Level1_upload_window, unpaced_stream_arrives_whole_and_in_order) {
    start({"--full", "--identity", "NORVA,TQ740,0,2.10"});
    run(QStringLiteral("Tag ID's"), [&] {});
    EXPECT_EQ(tag_list(), ids(QStringLiteral("PT-B"), 50));
    run(QStringLiteral("All Tag Reports"), [&] {});
    EXPECT_EQ(report_tag_ids(), ids(QStringLiteral("PT-B"), 50));
    EXPECT_EQ(reports_caption(), "Reports - Uploaded from Calibrator");
}

TEST_F(Level1_upload_window, a_modal_dialog_during_the_wait_changes_nothing) {
    start({"--full", "--identity", "NORVA,TQ740,0,2.10"});
    bool opened = false;
    run(QStringLiteral("All Tag Reports"), [&] {
        if (answer_message(QStringLiteral("OK"), seen)) return;
        if (opened || reports()->model()->rowCount() < 100) return;
        opened = true;
        QMessageBox box(QMessageBox::Information, QStringLiteral("INFORMATION"), QStringLiteral("held"),
                        QMessageBox::Ok, window.get());
        QTimer::singleShot(300, &box, &QDialog::accept);
        box.exec();
    });
    EXPECT_TRUE(opened);
    EXPECT_EQ(report_tag_ids(), ids(QStringLiteral("PT-B"), 50));
}

TEST_F(Level1_upload_window, paced_stream_arrives_whole_and_in_order) {
    start({"--demo", "--baud", "9600", "--identity", "NORVA,TQ740,0,2.10"});
    run(QStringLiteral("Tag ID's"), [&] {});
    const QStringList tags = tag_list();
    ASSERT_FALSE(tags.isEmpty());
    run(QStringLiteral("All Tag Reports"), [&] { answer_message(QStringLiteral("Yes"), seen); });
    const QStringList reported = report_tag_ids();
    EXPECT_FALSE(reported.isEmpty());
    for (const QString& id : reported) EXPECT_TRUE(tags.contains(id)) << id.toStdString();
}
