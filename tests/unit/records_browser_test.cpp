// The Records menu through the main window's logic: Import Reports over
// saved report files, and the Calibration Records window's browser (filter,
// selection, point tables, failed marks, Print Report, Open in Reports List).
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "records/records_browser.h"
#include "reports/report_print.h"
#include "resources/records_strings.h"
#include "resources/records_window_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "resources/due_strings.h"
#include "shell/main_dialog.h"
#include "support/fake_clock.h"
#include "support/pg_server.h"
#include "support/scripted_port.h"
#include "support/scripted_ui.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;
using Table = records::Records_browser::Table;

const fs::path golden = fs::path(TQ740_SOURCE_DIR) / "tests";

std::string replaced(std::string text, const std::vector<std::pair<std::string, std::string>>& changes) {
    for (const auto& [from, to] : changes) text.replace(text.find(from), from.size(), to);
    return text;
}

// A main window over a scripted ui; its settings name a records database and
// a report folder in a temporary folder holding these report files:
// - worked.txt, worked.csv: one calibration of TT-101 (As Found Fail) in both layouts;
// - later.txt: TT-101 a month later, As Found Pass and As Left Fail;
// - demo.txt, demo.csv: eleven other tags of the simulator's demonstration;
// - notes.txt: not a report.
struct Rig {
    QTemporaryDir dir;
    test::Fake_clock clock;
    test::Scripted_port port{clock};
    test::Scripted_ui ui;
    shell::Main_dialog dialog{ui, port, clock};
    std::string root = dir.path().toStdString();
    shell::Data_folders folders{root + "/Documents", root + "/config"};
    std::string reports = root + "/reports";
    std::string database = root + "/data/records.sqlite";

    // server_database: the records on a server instead of in a file of the folder.
    explicit Rig(const std::string& server_database = "") {
        if (!server_database.empty()) database = server_database;
        qputenv("XDG_DATA_HOME", (root + "/data-home").c_str());
        fs::create_directories(reports);
        fs::create_directories(folders.app_data);
        std::ofstream(folders.app_data + "/NORVATQ740.ini")
            << "[main]\nport=1\ndirectory=" << reports << "\n[records]\ndatabase=" << database << "\n";
        const std::string worked = test::file_bytes(golden / "unit/golden/worked_example.txt");
        const std::pair<std::string, std::string> files[] = {
            {"worked.txt", worked},
            {"worked.csv", test::file_bytes(golden / "unit/golden/worked_example.csv")},
            {"later.txt", replaced(worked, {{"2010/05/07", "2010/06/07"},
                                            {"12.100    0.625  Fail", "12.020    0.125  Pass"},
                                            {"12.050    0.313  Pass", "12.150    0.625  Fail"}})},
            {"demo.txt", test::file_bytes(golden / "e2e/golden/demo_reports_acme.txt")},
            {"demo.csv", test::file_bytes(golden / "e2e/golden/demo_reports_acme.csv")},
            {"notes.txt", "Shopping list\r\nmilk\r\n"}};
        for (const auto& [name, text] : files) std::ofstream(path(name), std::ios::binary) << text;
        EXPECT_TRUE(dialog.initialize(folders, {50, 60, 700, 400}));
        dialog.finish_initializing();
    }
    std::string path(const std::string& name) const { return reports + "/" + name; }
};

std::vector<std::string> cells(const records::Records_browser& browser, Table table, int row) {
    std::vector<std::string> texts;
    for (int column = 0; column < browser.column_count(table); ++column) texts.push_back(browser.cell(table, row, column));
    return texts;
}

std::string counts(int recorded, int already) { return res::format(res::IDS_RECORDED_COUNTS, recorded, already); }

// The same steps with the records in a file and on a database server.
class Records_menu : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam()) ASSERT_TRUE(server.start() && server.create_database("records")) << server.reason();
    }
    test::Pg_server server;
};

INSTANTIATE_TEST_SUITE_P(Stores, Records_menu, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "postgresql" : "sqlite"; });

TEST_P(Records_menu, import_then_browse_filter_select_print_and_open_in_the_reports_list) {
    Rig rig(GetParam() ? server.url("records") : "");
    // Nothing recorded yet: a message instead of an empty window, and no database made.
    rig.ui.expect_information(res::str(res::IDS_RECORDS_EMPTY));
    rig.dialog.run_command(res::ID_RECORDS_BROWSE);
    rig.ui.verify();
    EXPECT_FALSE(fs::exists(rig.database));

    struct Step {
        std::optional<std::vector<std::string>> files;  // nothing: the dialog is cancelled
        std::string status;                              // the status line after it
        ui::Caption caption;
        std::vector<std::string> lines;                  // the message's lines
    };
    const auto file_counts = [&rig](const char* name, int recorded, int already) {
        return res::format(res::IDS_FILE_IMPORT_COUNTS, rig.path(name), recorded, already);
    };
    const std::string notes_refused =
        res::format(res::IDS_REPORT_FILE_REFUSED_NO_LINE, rig.path("notes.txt"), res::str(res::IDS_REASON_NO_REPORT));
    const Step steps[] = {
        {std::nullopt, "Configured to upload reports in TEXT format via port COM1", ui::Caption::information, {}},
        {std::vector<std::string>{"worked.txt"}, counts(1, 0), ui::Caption::information,
         {file_counts("worked.txt", 1, 0)}},
        // The CSV of the same calibration is the same record.
        {std::vector<std::string>{"worked.csv", "later.txt", "demo.txt"}, counts(12, 1), ui::Caption::information,
         {file_counts("worked.csv", 0, 1), file_counts("later.txt", 1, 0),
          file_counts("demo.txt", 11, 0)}},
        // A refused file records nothing and the files after it go on.
        {std::vector<std::string>{"notes.txt", "demo.csv"}, counts(0, 11), ui::Caption::error,
         {notes_refused, file_counts("demo.csv", 0, 11)}},
    };
    for (const Step& step : steps) {
        std::vector<std::string> paths;
        for (const auto& name : step.files.value_or(std::vector<std::string>{})) paths.push_back(rig.path(name));
        rig.ui.expect_files(step.files ? std::optional(paths) : std::nullopt);
        if (step.files) {
            std::string text;
            for (const auto& line : step.lines) text += (text.empty() ? "" : "\n") + line;
            rig.ui.expect_message(text, step.caption, ui::Buttons::ok);
        }
        rig.dialog.run_command(res::ID_RECORDS_IMPORT);
        rig.ui.verify();
        EXPECT_EQ(rig.ui.status(), step.status);
        const ui::File_request& request = rig.ui.file_requests.back();
        EXPECT_EQ(request.initial_folder, rig.reports);
        EXPECT_EQ(request.filter, res::str(res::IDS_IMPORT_FILTER));
    }
    rig.dialog.set_reports_unsaved(true);

    test::Recording_print_job::Record printed, expected_print;
    rig.ui.expect_records_window([&](records::Records_browser& b) {
        EXPECT_EQ(b.tags_label(), "Tags: 12 of 12 shown");
        struct Filter_step {
            const char* filter;
            const char* select;  // the tag the user then selects ("": none)
            std::vector<std::string> shown;
            const char* selected;  // the tag selected after the filter ("": none)
        };
        const Filter_step steps[] = {
            {"", "PT-330",
             {"FQ-221", "FQ-222", "FT-120", "LI-450", "PT-101", "PT-330", "PY-560", "TC-900", "TT-101", "TT-204",
              "TT-812", "TY-415"},
             "FQ-221"},
            // The selected tag stays selected while it is shown ...
            {"pt", "", {"PT-101", "PT-330"}, "PT-330"},
            // ... otherwise the first tag shown is.
            {"101", "", {"PT-101", "TT-101"}, "PT-101"},
            {"TT-1012", "", {}, ""},
            {"t-1", "TT-101", {"FT-120", "PT-101", "TT-101"}, ""},
        };
        for (const Filter_step& s : steps) {
            b.set_filter(s.filter);
            std::vector<std::string> shown;
            for (int r = 0; r < b.row_count(Table::tags); ++r) shown.push_back(b.cell(Table::tags, r, 0));
            EXPECT_EQ(shown, s.shown) << s.filter;
            const std::string selected = b.selected_tag() >= 0 ? b.cell(Table::tags, b.selected_tag(), 0) : "";
            if (*s.selected) {
                EXPECT_EQ(selected, s.selected) << s.filter;
            }
            EXPECT_EQ(b.can_print(), !s.shown.empty()) << s.filter;
            for (int r = 0; *s.select && r < b.row_count(Table::tags); ++r)
                if (b.cell(Table::tags, r, 0) == s.select) b.select_tag(r);
        }
        ASSERT_EQ(b.cell(Table::tags, b.selected_tag(), 0), "TT-101");
        // The tag's last calibration gives its verdicts; a Fail is marked, a Pass is not.
        EXPECT_EQ(cells(b, Table::tags, b.selected_tag()),
                  (std::vector<std::string>{"TT-101", "2010-06-07 09:05:03", "Pass", "Fail", "2", "2011-06-07",
                                            "Overdue", "365 days (default)", "2010-06-07 at risk"}));
        // Its drift: 50.000 fell 0.5 in 31 days and was left outside (As Left 0.625), so it is
        // out of tolerance from that calibration on, before the tag is next due.
        EXPECT_EQ(records::drift_line(b.drift().points.at(0)), "50.000\t2\t-5.891\t0.125\t2010-06-07");
        EXPECT_EQ(b.cell(Table::tags, 0, 8), "-");  // one calibration: no drift
        EXPECT_FALSE(b.failed(Table::tags, b.selected_tag(), 2));
        EXPECT_TRUE(b.failed(Table::tags, b.selected_tag(), 3));

        // Set Interval: a bad number is refused with its message and changes
        // nothing; a good one is written at once (the clock says 2024-06-15).
        struct Interval_step {
            const char* typed;
            const char* error;       // "": written
            std::vector<std::string> due_cells;
        };
        const Interval_step interval_steps[] = {
            {"0", "0", {"2011-06-07", "Overdue", "365 days (default)"}},
            {"3651", "3651", {"2011-06-07", "Overdue", "365 days (default)"}},
            {"3650", "", {"2020-06-04", "Overdue", "3650 days"}},
        };
        EXPECT_EQ(b.interval_prompt(), "Calibration interval of tag TT-101, in days (1 to 3650; the default is 365):");
        for (const Interval_step& step : interval_steps) {
            if (*step.error)
                rig.ui.expect_message(res::format(res::IDS_BAD_INTERVAL, step.error), ui::Caption::error,
                                      ui::Buttons::ok);
            EXPECT_EQ(b.set_interval(step.typed), !*step.error) << step.typed;
            const auto row = cells(b, Table::tags, b.selected_tag());
            EXPECT_EQ(std::vector<std::string>(row.begin() + 5, row.begin() + 8), step.due_cells) << step.typed;
        }
        EXPECT_EQ(b.interval_text(), "3650");
        // The due-soon days: FQ-221 is due 2026-03-07, 630 days after the clock's date.
        b.set_filter("FQ-221");
        b.set_due_window(629);
        EXPECT_EQ(cells(b, Table::tags, 0)[6], "OK");
        b.set_due_window(630);
        EXPECT_EQ(cells(b, Table::tags, 0)[6], "Due soon");
        EXPECT_EQ(b.due_mark(Table::tags, 0, 5), records::Due_status::due);
        EXPECT_EQ(b.due_mark(Table::tags, 0, 4), records::Due_status::ok);
        b.set_due_window(records::default_due_window_days);
        b.set_filter("t-1");
        b.select_tag(2);
        ASSERT_EQ(b.cell(Table::tags, b.selected_tag(), 0), "TT-101");

        // Its calibrations newest first, the newest selected.
        EXPECT_EQ(b.calibrations_label(), "Calibrations of TT-101, newest first:");
        ASSERT_EQ(b.row_count(Table::calibrations), 2);
        EXPECT_EQ(b.cell(Table::calibrations, 0, 0), "2010-06-07 09:05:03");
        EXPECT_EQ(b.selected_calibration(), 0);
        EXPECT_EQ(b.as_left_label(), "As Left: Fail");

        b.select_calibration(1);
        ASSERT_EQ(b.row_count(Table::as_found), 3);
        EXPECT_EQ(cells(b, Table::as_found, 0), (std::vector<std::string>{"1", "50.000", "12.100", "0.625", "Fail"}));
        EXPECT_TRUE(b.failed(Table::as_found, 0, 4));
        EXPECT_FALSE(b.failed(Table::as_found, 1, 4));

        // Print Report prints the recorded lines as File > Print prints them.
        rig.ui.expect_printer(std::make_unique<test::Recording_print_job>(printed, 600, 6000));
        b.print_report();
        // Open in Reports List asks before the unsaved upload goes, then
        // fills the list as File > Open does.
        rig.ui.expect_question(res::str(res::IDS_REPORTS_UNSAVED), ui::Answer::no);
        EXPECT_FALSE(b.open_in_reports_list());
        rig.ui.expect_question(res::str(res::IDS_REPORTS_UNSAVED), ui::Answer::yes);
        EXPECT_TRUE(b.open_in_reports_list());
    });
    rig.dialog.run_command(res::ID_RECORDS_BROWSE);
    rig.ui.verify();

    // The recorded lines, as the file held them, in the list as File > Open puts them there.
    const std::vector<std::string> file_lines = rig.ui.reports;
    EXPECT_EQ(file_lines.at(2), "Tag ID: TT-101");
    EXPECT_EQ(rig.ui.reports_caption, reports::caption_text(reports::Reports_caption::read_from_file));
    EXPECT_FALSE(rig.dialog.reports_unsaved());
    rig.ui.expect_printer(std::make_unique<test::Recording_print_job>(expected_print, 600, 6000));
    reports::print_reports(rig.ui, reports::Report_lines(file_lines), rig.dialog.settings().font_size, {});
    ASSERT_EQ(printed.pages.size(), expected_print.pages.size());
    for (std::size_t p = 0; p < printed.pages.size(); ++p) EXPECT_EQ(printed.pages[p].rows, expected_print.pages[p].rows);
}

}  // namespace
