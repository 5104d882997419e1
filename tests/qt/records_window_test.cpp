// The Calibration Records window over a records database of three
// calibrations of two tags (one As Found failing): the tag list, the filter
// as the user types, a click on a tag and on a calibration, the point tables
// with the failure marked, the buttons' states, F1 and Open in Reports List;
// the drift chart and the projection column following the selected tag.
#include <gtest/gtest.h>

#include <QChart>
#include <QLineEdit>
#include <QLineSeries>
#include <QScatterSeries>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "records/records_browser.h"
#include "resources/help_pages.h"
#include "support/scripted_ui.h"
#include "support/test_files.h"
#include "ui/qt/drift_chart.h"
#include "ui/qt/records_window.h"

namespace {

namespace fs = std::filesystem;

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

QString text_of(QTableView* view, int row, int column) {
    return view->model()->index(row, column).data().toString();
}

void click_row(QTableView* view, int row) {
    const QRect cell = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

TEST(Records_window, lists_filters_selects_marks_failures_and_opens_in_the_reports_list) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const std::string worked =
        test::file_bytes(fs::path(TQ740_SOURCE_DIR) / "tests/unit/golden/worked_example.txt");
    // TT-101 failed As Found on 2010/05/07 and passed on 2010/06/07; TT-202 passed.
    const std::string passed = replaced(worked, "12.100    0.625  Fail", "12.020    0.125  Pass");
    std::ofstream(root + "/failed.txt", std::ios::binary) << worked;
    std::ofstream(root + "/later.txt", std::ios::binary) << replaced(passed, "2010/05/07", "2010/06/07");
    std::ofstream(root + "/other.txt", std::ios::binary) << replaced(passed, "TT-101", "TT-202");
    const std::string database = root + "/records.sqlite";
    records::Record_store store(database);
    ASSERT_TRUE(store.open()) << store.error();
    for (const auto& file : store.import_files({root + "/failed.txt", root + "/later.txt", root + "/other.txt"}))
        ASSERT_TRUE(file.counts.ok) << file.counts.error;

    test::Scripted_ui ui;
    reports::Report_list list(ui);
    std::string report_folder = root;
    reports::Report_file_context files{ui, list, report_folder, {}, {}, {}, {}, {}};
    records::Records_context context{files, database, 9};
    records::Records_browser browser(context, &store);
    browser.load();
    std::vector<int> help;
    ui::qt::Records_window window(nullptr, browser, [&help](int context) { help.push_back(context); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 5000));

    auto* filter = window.findChild<QLineEdit*>(QStringLiteral("filter"));
    auto* tags = window.findChild<QTableView*>(QStringLiteral("tags"));
    auto* calibrations = window.findChild<QTableView*>(QStringLiteral("calibrations"));
    auto* as_found = window.findChild<QTableView*>(QStringLiteral("as_found"));
    auto* print = window.findChild<QPushButton*>(QStringLiteral("print"));
    auto* open = window.findChild<QPushButton*>(QStringLiteral("open_in_list"));
    auto* certificate = window.findChild<QPushButton*>(QStringLiteral("certificate"));
    ASSERT_TRUE(filter && tags && calibrations && as_found && print && open && certificate);

    // Both tags, the first selected with its newest calibration.
    ASSERT_EQ(tags->model()->rowCount(), 2);
    EXPECT_EQ(text_of(tags, 0, 0), QStringLiteral("TT-101"));
    EXPECT_EQ(tags->currentIndex().row(), 0);
    EXPECT_EQ(calibrations->model()->rowCount(), 2);
    EXPECT_TRUE(print->isEnabled() && certificate->isEnabled());

    // TT-101's drift: 50.000 fell 0.5 in 31 days; from its As Left 0.313 it reaches -0.5 after
    // 0.813 / 0.5 x 31 = 50.4 days, before the tag is next due.
    EXPECT_EQ(text_of(tags, 0, 8), QStringLiteral("2010-07-27 at risk"));
    auto* drift = window.findChild<ui::qt::Drift_chart*>(QStringLiteral("drift_chart"));
    auto* save_chart = window.findChild<QPushButton*>(QStringLiteral("save_chart"));
    ASSERT_TRUE(drift && save_chart);
    const auto series = [drift] { return drift->chart()->series(); };
    // The tolerance's two lines, then per point its As Found line, As Left markers and fitted line.
    ASSERT_EQ(series().size(), 2 + 3 * 3);
    EXPECT_EQ(static_cast<QLineSeries*>(series()[1])->points(),
              (QList<QPointF>{{static_cast<QLineSeries*>(series()[1])->at(0).x(), -0.5},
                              {static_cast<QLineSeries*>(series()[1])->at(1).x(), -0.5}}));
    auto* found = static_cast<QLineSeries*>(series()[2]);
    auto* left = qobject_cast<QScatterSeries*>(series()[3]);
    auto* fitted = static_cast<QLineSeries*>(series()[4]);
    ASSERT_TRUE(left);
    EXPECT_EQ(found->name(), QStringLiteral("50.000"));
    EXPECT_EQ(found->at(0).y(), 0.625);
    EXPECT_EQ(found->at(1).y(), 0.125);
    EXPECT_EQ(found->at(1).x() - found->at(0).x(), 31 * 86400000.0);
    EXPECT_EQ(left->brush().style(), Qt::NoBrush);  // hollow
    EXPECT_EQ(left->at(1).y(), 0.313);
    EXPECT_EQ(fitted->pen().style(), Qt::DashLine);
    EXPECT_NEAR(fitted->at(0).y(), 0.625, 1e-9);
    EXPECT_NEAR(fitted->at(1).y(), 0.125, 1e-9);
    EXPECT_TRUE(save_chart->isEnabled());

    // Typing narrows the tags at each key; with none shown nothing can be pressed.
    filter->setFocus();
    QTest::keyClicks(filter, QStringLiteral("20"));
    EXPECT_EQ(tags->model()->rowCount(), 1);
    EXPECT_EQ(text_of(tags, 0, 0), QStringLiteral("TT-202"));
    EXPECT_EQ(text_of(tags, 0, 8), QStringLiteral("-"));
    EXPECT_EQ(series().size(), 2 + 3 * 2);  // one calibration: no fitted lines
    QTest::keyClick(filter, Qt::Key_3);
    EXPECT_EQ(tags->model()->rowCount(), 0);
    EXPECT_FALSE(print->isEnabled() || open->isEnabled() || save_chart->isEnabled() || certificate->isEnabled());
    EXPECT_TRUE(series().isEmpty());
    filter->clear();

    // A click on TT-101's older calibration: its failure written out and coloured, a pass neither.
    click_row(tags, 0);
    ASSERT_EQ(calibrations->model()->rowCount(), 2);
    click_row(calibrations, 1);
    ASSERT_EQ(as_found->model()->rowCount(), 3);
    EXPECT_EQ(text_of(as_found, 0, 2), QStringLiteral("12.100"));
    EXPECT_EQ(text_of(as_found, 0, 4), QStringLiteral("Fail"));
    EXPECT_TRUE(as_found->model()->index(0, 4).data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(text_of(as_found, 1, 4), QStringLiteral("Pass"));
    EXPECT_FALSE(as_found->model()->index(1, 4).data(Qt::ForegroundRole).isValid());

    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_EQ(help, std::vector<int>{res::HELP_RECORDS_WINDOW});

    // Open in Reports List: the failing calibration's lines in the list, the window closed.
    open->click();
    EXPECT_FALSE(window.isVisible());
    ASSERT_FALSE(ui.reports.empty());
    EXPECT_EQ(ui.reports[2], "Tag ID: TT-101");
    EXPECT_EQ(ui.reports[3], "Calibrated: 2010/05/07 9:05:03");
    EXPECT_EQ(list.displayed_format, reports::Report_format::text);
}

}  // namespace
