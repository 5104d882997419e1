// Report files: File > Open and the three save commands over a scripted ui,
// against real files in a temporary folder.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <QTemporaryDir>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

#include "reports/report_files.h"
#include "resources/report_files_strings.h"
#include "resources/reports_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "support/scripted_ui.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;
using reports::Report_format;

void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::set<std::string> entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

std::tm make_time(int year, int month, int day, int hour, int minute) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    return t;
}

// One TEXT report as the layouts write it (shortened in the middle).
std::vector<std::string> text_report(const std::string& tag, bool separator) {
    std::vector<std::string> lines;
    if (separator) lines.insert(lines.end(), {"------------------------------", ""});
    lines.insert(lines.end(), {"Company Name: ACME Instruments", "", "Tag ID: " + tag,
                               "Calibrated: 2010/05/06 14:30:00", "As Found Data",
                               "Point     DegC         mA  % Error",
                               "  1       0.000      4.000    0.000  Pass", "Comments:",
                               "                     "});
    return lines;
}

std::vector<std::string> csv_report(const std::string& tag, bool separator) {
    std::vector<std::string> lines;
    if (separator) lines.insert(lines.end(), {"------------------------------", ""});
    lines.insert(lines.end(), {"\"Company Name:\",\"ACME\"", "", "\"Tag ID:\",\"" + tag + "\"",
                               "\"Point\",\"DegC\",\"mA\",\"% Error\"", "\"1\",\"0.000\",\"4.000\",\"0.000\",\"Pass\"",
                               "\"                     \""});
    return lines;
}

std::vector<std::string> three_reports(Report_format format, const std::vector<std::string>& tags) {
    std::vector<std::string> all;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        auto one = format == Report_format::csv ? csv_report(tags[i], i > 0) : text_report(tags[i], i > 0);
        all.insert(all.end(), one.begin(), one.end());
    }
    return all;
}

// The bytes of a file holding these lines.
std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

// The report commands over a scripted ui, with a fixed clock and the
// settings writer recorded.
struct Rig {
    QTemporaryDir temp;
    std::string root = temp.path().toStdString();
    test::Scripted_ui ui;
    reports::Report_list list{ui};
    std::string directory = "/start/folder";
    std::vector<std::string> stored;
    int refreshes = 0;
    std::tm time = make_time(2010, 5, 7, 9, 5);
    reports::Report_file_context context{ui,
                                         list,
                                         directory,
                                         [this](const std::string& d) { stored.push_back(d); },
                                         {},
                                         [this] { ++refreshes; },
                                         [this] { return time; },
                                         {}};

    void fill(const std::vector<std::string>& lines, Report_format format, bool unsaved = true) {
        list.add_report_lines(lines);
        list.displayed_format = format;
        list.reports_unsaved = unsaved;
    }
    std::string folder(const std::string& name) {
        const std::string path = root + "/" + name;
        fs::create_directories(path);
        return path;
    }
};

// ---- Names ----

TEST(Report_file_names, time_stamps_extensions_and_folders) {
    const std::tm t = make_time(2010, 5, 7, 9, 5);
    EXPECT_EQ(reports::single_file_name(t, Report_format::csv), "2010_05_07_09_05.csv");
    EXPECT_EQ(reports::single_file_name(t, Report_format::text), "2010_05_07_09_05.txt");
    EXPECT_EQ(reports::separate_file_suffix(t, Report_format::text), "_2010_05_07_09_05.txt");
    EXPECT_EQ(reports::single_file_name(make_time(999, 12, 31, 23, 59), Report_format::text),
              " 999_12_31_23_59.txt");

    struct Case {
        const char* path;
        Report_format format;
        const char* folder;
    };
    const std::vector<Case> cases = {
        {"/home/u/report.csv", Report_format::csv, "/home/u"},
        {"/home/u/report.CSV", Report_format::text, "/home/u"},
        {"/home/u/report.Csv", Report_format::text, "/home/u"},
        {"/home/u/report.txt", Report_format::text, "/home/u"},
        {"/home/u.csv/report", Report_format::text, "/home/u.csv"},
        {"/home/u/archive.csv.txt", Report_format::text, "/home/u"},
        {"/report.csv", Report_format::csv, "/"},
        {"report.csv", Report_format::csv, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(reports::format_from_file_name(c.path), c.format) << c.path;
        EXPECT_EQ(reports::folder_of(c.path), c.folder) << c.path;
    }
}

TEST(Report_file_names, tag_id_lines_and_safe_names) {
    struct Case {
        const char* line;
        std::optional<std::string> tag;
    };
    const std::vector<Case> cases = {
        {"Tag ID: PT-101", "PT-101"},
        {"TAG id: lower case label", "lower case label"},
        {"\"Tag ID:\",\"PT-101\"", "PT-101"},
        {"\"tag ID:\",\"A\"B\"", "A"},
        {"\"Tag ID:\",\"3/4\"\" NPT\"\"\",\"x\"", "3/4\" NPT\""},  // doubled quotes are one quote
        {"\"Tag ID:\",\"A\"\"", "A\""},                        // no closing quote: the rest
        {"Tag ID: has \"quote", "has "},
        {"Tag ID: ", ""},
        {"Tag ID:", ""},
        {"\"Tag ID:\",\"", ""},
        {"\"Tag ID:", ""},
        {" Tag ID: X", std::nullopt},
        {"Tag IDs: X", std::nullopt},
        {"\"\"Tag ID:\",\"X\"", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(reports::report_tag_id(c.line), c.tag) << c.line;

    for (const char* ok : {"PT-101", "a.b", "...", ".hidden", "A B", "back\\slash"})
        EXPECT_TRUE(reports::safe_tag_id(ok)) << ok;
    for (const char* bad : {"", ".", "..", "a/b", "/", "../x"}) EXPECT_FALSE(reports::safe_tag_id(bad)) << bad;

    EXPECT_TRUE(reports::is_report_separator("------------------------------"));
    EXPECT_TRUE(reports::is_report_separator("------"));
    EXPECT_FALSE(reports::is_report_separator("-----"));
    EXPECT_FALSE(reports::is_report_separator(" ------"));
}

// ---- Save Reports as Single File ----

TEST(Save_single, csv_upload_proposes_a_time_stamped_csv_name_and_writes_every_line) {
    Rig rig;
    const auto lines = three_reports(Report_format::csv, {"PT-101", "PT-102"});
    rig.fill(lines, Report_format::csv);
    const std::string path = rig.folder("out") + "/2010_05_07_09_05.csv";
    write_bytes(path, std::string(5000, 'x'));  // an old file is replaced
    rig.ui.expect_file(path, [](const ui::File_request& r) {
        EXPECT_TRUE(r.save);
        EXPECT_EQ(r.title, "Save Reports in Single File");
        EXPECT_EQ(r.filter, "CSV files (*.csv)|*.csv||");
        EXPECT_EQ(r.initial_folder, "/start/folder");
        EXPECT_EQ(r.default_name, "2010_05_07_09_05.csv");
        EXPECT_EQ(r.default_extension, "csv");
        EXPECT_TRUE(r.ask_replace);
        EXPECT_FALSE(r.folder_only);
    });
    reports::save_reports_single(rig.context);

    EXPECT_EQ(test::file_bytes(path), crlf(lines));
    EXPECT_EQ(entries(rig.root + "/out"), std::set<std::string>{"2010_05_07_09_05.csv"});
    EXPECT_EQ(rig.directory, rig.root + "/out");
    EXPECT_EQ(rig.stored, std::vector<std::string>{rig.root + "/out"});
    EXPECT_FALSE(rig.list.reports_unsaved);
    EXPECT_EQ(rig.ui.statuses, std::vector<std::string>{"Writing data to file.  Please wait."});
    EXPECT_EQ(rig.refreshes, 1);
    EXPECT_EQ(rig.ui.wait_cursor_ons, 1);
    EXPECT_FALSE(rig.ui.wait_cursor);
}

TEST(Save_single, empty_list_and_cancel) {
    Rig rig;
    rig.ui.expect_error("There are no reports available");
    reports::save_reports_single(rig.context);
    EXPECT_TRUE(rig.ui.file_requests.empty());

    rig.fill({"Tag ID: A"}, Report_format::text);
    rig.ui.expect_file(std::nullopt);
    reports::save_reports_single(rig.context);
    EXPECT_EQ(rig.directory, "/start/folder");
    EXPECT_TRUE(rig.stored.empty());
    EXPECT_TRUE(rig.list.reports_unsaved);
    EXPECT_TRUE(rig.ui.statuses.empty());
}

TEST(Save_single, a_file_that_cannot_be_created_is_a_file_open_error) {
    Rig rig;
    rig.fill({"Tag ID: A"}, Report_format::text);
    const std::string regular = rig.root + "/regular";
    write_bytes(regular, "x");
    rig.ui.expect_file(regular + "/r.txt");
    rig.ui.expect_error("File Open Error: " + regular + "/r.txt\nNot a directory");
    reports::save_reports_single(rig.context);
    EXPECT_TRUE(rig.list.reports_unsaved);
    EXPECT_EQ(rig.directory, regular);  // the dialog was confirmed
    EXPECT_FALSE(rig.ui.wait_cursor);
}

// ---- Save Reports as Separate Files / in Separate Tag Directories ----

struct Separate_case {
    const char* name;
    Report_format format;
    reports::Separate_layout layout;
};

class Save_separate : public ::testing::TestWithParam<Separate_case> {
protected:
    void run(Rig& rig) {
        if (GetParam().layout == reports::Separate_layout::files)
            reports::save_reports_separate(rig.context);
        else
            reports::save_reports_directories(rig.context);
    }
    // Where a report of this tag goes inside folder d.
    std::string path_of(const std::string& d, const std::string& tag) const {
        const std::string ext = GetParam().format == Report_format::csv ? "csv" : "txt";
        const std::string file = tag + "_2010_05_07_09_05." + ext;
        return GetParam().layout == reports::Separate_layout::files ? d + "/" + file : d + "/" + tag + "/" + file;
    }
    std::vector<std::string> report(const std::string& tag) const {
        return GetParam().format == Report_format::csv ? csv_report(tag, false) : text_report(tag, false);
    }
    std::string ext() const { return GetParam().format == Report_format::csv ? "csv" : "txt"; }
    bool directories() const { return GetParam().layout == reports::Separate_layout::tag_directories; }
};

TEST_P(Save_separate, one_report_per_file_with_its_company_line_and_no_separator) {
    Rig rig;
    const auto format = GetParam().format;
    rig.fill(three_reports(format, {"PT-101", "PT-102", "PT-103"}), format);
    const std::string d = rig.folder("reports");
    if (directories()) {
        // An existing tag folder is used as it is.
        fs::create_directory(d + "/PT-101");
        write_bytes(d + "/PT-101/keep.txt", "keep");
    }
    rig.ui.expect_file(d, [this](const ui::File_request& r) {
        EXPECT_TRUE(r.save);
        EXPECT_EQ(r.title, directories() ? "Save Reports in Separate Directories" : "Save Reports as Separate Files");
        EXPECT_EQ(r.filter, "All files (*.*)|*.*||");
        EXPECT_EQ(r.default_name, "qxqxqxq");
        EXPECT_EQ(r.default_extension, "");
        EXPECT_FALSE(r.ask_replace);
        EXPECT_TRUE(r.folder_only);
        EXPECT_EQ(r.initial_folder, "/start/folder");
    });
    run(rig);

    for (const char* tag : {"PT-101", "PT-102", "PT-103"}) EXPECT_EQ(test::file_bytes(path_of(d, tag)), crlf(report(tag))) << tag;
    if (directories()) {
        EXPECT_EQ(entries(d), (std::set<std::string>{"PT-101", "PT-102", "PT-103"}));
        EXPECT_EQ(test::file_bytes(d + "/PT-101/keep.txt"), "keep");
    } else {
        EXPECT_EQ(entries(d).size(), 3u);
    }
    EXPECT_EQ(rig.directory, d);
    EXPECT_EQ(rig.stored, std::vector<std::string>{d});
    EXPECT_FALSE(rig.list.reports_unsaved);
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_EQ(rig.ui.statuses, std::vector<std::string>{"Writing data to file.  Please wait."});
    EXPECT_EQ(rig.refreshes, 1);
    EXPECT_FALSE(rig.ui.wait_cursor);

    // Saving again in the same minute replaces the files without a question.
    rig.list.reports_unsaved = true;
    write_bytes(path_of(d, "PT-102"), "stale");
    rig.ui.expect_file(d + "/");
    run(rig);
    EXPECT_EQ(test::file_bytes(path_of(d, "PT-102")), crlf(report("PT-102")));
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_FALSE(rig.list.reports_unsaved);
    EXPECT_EQ(rig.directory, d);  // the trailing separator is not kept
}

TEST_P(Save_separate, unsafe_tag_ids_are_refused_and_the_other_reports_written) {
    const std::vector<std::string> unsafe = {"a/b", "..", ".", "", "../../escape"};
    for (const auto& bad : unsafe) {
        SCOPED_TRACE("tag ID \"" + bad + "\"");
        Rig rig;
        const auto format = GetParam().format;
        rig.fill(three_reports(format, {"PT-101", bad, "PT-103"}), format);
        const std::string d = rig.folder("inner/reports");
        rig.ui.expect_file(d);
        rig.ui.expect_error(directories() ? "Create Directory Error: " + bad : "File Open Error: " + bad + "." + ext());
        run(rig);
        EXPECT_EQ(test::file_bytes(path_of(d, "PT-101")), crlf(report("PT-101")));
        EXPECT_EQ(test::file_bytes(path_of(d, "PT-103")), crlf(report("PT-103")));
        EXPECT_EQ(entries(d).size(), 2u);
        // Nothing was written beside or above the chosen folder.
        EXPECT_EQ(entries(rig.root + "/inner"), std::set<std::string>{"reports"});
        EXPECT_EQ(entries(rig.root), std::set<std::string>{"inner"});
        EXPECT_TRUE(rig.list.reports_unsaved);
    }
}

TEST_P(Save_separate, a_folder_that_cannot_hold_files_fails_every_report) {
    Rig rig;
    const auto format = GetParam().format;
    rig.fill(three_reports(format, {"PT-101", "PT-102"}), format);
    // A path under a regular file: nothing can be created there, even by root.
    const std::string regular = rig.root + "/regular";
    write_bytes(regular, "x");
    rig.ui.expect_file(regular);
    for (const char* tag : {"PT-101", "PT-102"})
        rig.ui.expect_error(directories() ? std::string("Create Directory Error: ") + tag
                                          : "File Open Error: " + regular + "/" + tag + "_2010_05_07_09_05." + ext() +
                                                "\nNot a directory");
    run(rig);
    EXPECT_TRUE(rig.list.reports_unsaved);
    EXPECT_EQ(test::file_bytes(regular), "x");
    EXPECT_FALSE(rig.ui.wait_cursor);
}

TEST_P(Save_separate, a_list_without_tag_id_lines_has_no_reports) {
    Rig rig;
    rig.fill({"Company Name: ACME", "", "no tag here"}, GetParam().format);
    rig.ui.expect_error("There are no reports available");
    run(rig);
    EXPECT_TRUE(rig.ui.file_requests.empty());
    EXPECT_TRUE(rig.list.reports_unsaved);

    Rig empty;
    empty.ui.expect_error("There are no reports available");
    run(empty);
}

TEST_P(Save_separate, cancel_writes_nothing) {
    Rig rig;
    rig.fill(three_reports(GetParam().format, {"PT-1"}), GetParam().format);
    rig.ui.expect_file(std::nullopt);
    run(rig);
    EXPECT_TRUE(rig.stored.empty());
    EXPECT_TRUE(rig.list.reports_unsaved);
    EXPECT_EQ(entries(rig.root), std::set<std::string>{});
}

TEST_P(Save_separate, reports_sharing_a_file_name_get_numbered_names_in_one_save) {
    Rig rig;
    const auto format = GetParam().format;
    // A merged file reopened: PT-101 three times.  A mark line after each
    // "Tag ID:" line tells the reports apart.
    std::vector<std::string> lines = three_reports(format, {"PT-101", "PT-102", "PT-101", "PT-101"});
    int report = 0;
    for (auto it = lines.begin(); it != lines.end(); ++it)
        if (reports::report_tag_id(*it)) it = lines.insert(it + 1, "mark " + std::to_string(report++));
    rig.fill(lines, format);
    const std::string d = rig.folder("reports");
    const std::string first = path_of(d, "PT-101");
    const std::string numbered = first.substr(0, first.size() - 4) + "_";
    // Files of an earlier save are replaced as before, numbered or not.
    if (directories()) fs::create_directory(d + "/PT-101");
    write_bytes(first, "earlier");
    write_bytes(numbered + "2." + ext(), "earlier");
    rig.ui.expect_file(d);
    run(rig);

    auto holds = [](const std::string& path, const std::string& mark) {
        return test::file_bytes(path).find("\r\n" + mark + "\r\n") != std::string::npos;
    };
    EXPECT_TRUE(holds(first, "mark 0"));
    EXPECT_TRUE(holds(path_of(d, "PT-102"), "mark 1"));
    EXPECT_TRUE(holds(numbered + "2." + ext(), "mark 2"));
    EXPECT_TRUE(holds(numbered + "3." + ext(), "mark 3"));
    EXPECT_EQ(entries(directories() ? d + "/PT-101" : d).size(), directories() ? 3u : 4u);
    EXPECT_FALSE(rig.list.reports_unsaved);
    rig.ui.verify();
}

INSTANTIATE_TEST_SUITE_P(Layouts, Save_separate,
                         ::testing::Values(Separate_case{"text_files", Report_format::text, reports::Separate_layout::files},
                                           Separate_case{"csv_files", Report_format::csv, reports::Separate_layout::files},
                                           Separate_case{"text_directories", Report_format::text,
                                                         reports::Separate_layout::tag_directories},
                                           Separate_case{"csv_directories", Report_format::csv,
                                                         reports::Separate_layout::tag_directories}),
                         [](const auto& info) { return std::string(info.param.name); });

// Report boundaries as the separate-file save finds them.
TEST(Separate_reports, boundaries) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::vector<std::pair<std::string, std::vector<std::string>>> files;  // tag, its lines
    };
    const std::vector<Case> cases = {
        {"a calibrator's reports: no company line",
         {"Tag ID: A", "a1", "------", "", "Tag ID: B", "b1"},
         {{"A", {"Tag ID: A", "a1"}}, {"B", {"Tag ID: B", "b1"}}}},
        {"a separator is found by its first six characters",
         {"Tag ID: A", "------ end ------", "", "x", "Tag ID: B"},
         {{"A", {"Tag ID: A"}}, {"B", {"x", "Tag ID: B"}}}},
        {"Tag ID line right after a separator still starts the file",
         {"Tag ID: A", "------------------------------", "Tag ID: B", "b1"},
         {{"A", {"Tag ID: A"}}, {"B", {"Tag ID: B", "b1"}}}},
        {"second Tag ID line inside a report is just a line",
         {"Tag ID: A", "Tag ID: B"},
         {{"A", {"Tag ID: A", "Tag ID: B"}}}},
        {"lines before the first Tag ID line belong to the first report",
         {"Company Name: X", "", "junk", "\"Tag ID:\",\"C\"", "c"},
         {{"C", {"Company Name: X", "", "junk", "\"Tag ID:\",\"C\"", "c"}}}},
        {"trailing separator",
         {"Tag ID: A", "a", "------------------------------", ""},
         {{"A", {"Tag ID: A", "a"}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir temp;
        const std::string d = temp.path().toStdString();
        std::vector<std::string> messages;
        auto result = reports::save_separate_reports(c.lines, d, Report_format::text, make_time(2010, 5, 7, 9, 5),
                                                     reports::Separate_layout::files,
                                                     [&](const std::string& m) { messages.push_back(m); });
        EXPECT_TRUE(messages.empty());
        EXPECT_TRUE(result.all_written);
        EXPECT_EQ(result.written.size(), c.files.size());
        EXPECT_EQ(entries(d).size(), c.files.size());
        for (const auto& [tag, lines] : c.files)
            EXPECT_EQ(test::file_bytes(d + "/" + tag + "_2010_05_07_09_05.txt"), crlf(lines)) << tag;
    }
}

TEST(Separate_reports, tag_ids_that_give_one_name_keep_both_reports) {
    // In TEXT a tag ID ends at a double quote, so both give "PT".  In CSV the
    // doubled quote is part of the ID and the names differ.
    struct Case {
        Report_format format;
        std::vector<std::string> lines;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases = {
        {Report_format::text,
         {"Tag ID: PT\"1", "a", "------", "", "Tag ID: PT\"2", "b"},
         {"PT_2010_05_07_09_05.txt", "PT_2010_05_07_09_05_2.txt"}},
        {Report_format::csv,
         {"\"Tag ID:\",\"PT\"\"1\"", "a", "------", "", "\"Tag ID:\",\"PT\"\"2\"", "b"},
         {"PT\"1_2010_05_07_09_05.csv", "PT\"2_2010_05_07_09_05.csv"}},
    };
    for (const auto& c : cases) {
        QTemporaryDir temp;
        const std::string d = temp.path().toStdString();
        auto result = reports::save_separate_reports(c.lines, d, c.format, make_time(2010, 5, 7, 9, 5),
                                                     reports::Separate_layout::files, {});
        EXPECT_TRUE(result.all_written);
        EXPECT_EQ(entries(d), std::set<std::string>(c.names.begin(), c.names.end()));
        EXPECT_EQ(test::file_bytes(d + "/" + c.names[1]), crlf({c.lines[4], "b"}));
    }
}

// ---- Write errors after the file was created ----

// Limits the size of files this process writes, so that a write comes up
// short as on a full disk (works for root too); restores the limit after.
class File_size_limit {
public:
    explicit File_size_limit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        old_handler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~File_size_limit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit old_{};
    sighandler_t old_handler_;
};

TEST(Write_errors, a_short_write_keeps_the_old_file_and_the_reports_unsaved) {
    Rig rig;
    const std::vector<std::string> big(200, std::string(70, 'r'));
    std::vector<std::string> lines = {"Tag ID: BIG"};
    lines.insert(lines.end(), big.begin(), big.end());
    rig.fill(lines, Report_format::text);
    const std::string d = rig.folder("out");
    const std::string single = d + "/single.txt";
    const std::string separate = d + "/BIG_2010_05_07_09_05.txt";
    write_bytes(single, "old single");
    write_bytes(separate, "old separate");
    const std::string too_large = std::generic_category().message(EFBIG);
    rig.ui.expect_error("File Write Error: " + single + "\n" + too_large + "\nThe file was left as it was.");
    rig.ui.expect_error("File Write Error: " + separate + "\n" + too_large + "\nThe file was left as it was.");
    {
        File_size_limit limit(4096);
        rig.ui.expect_file(single);
        reports::save_reports_single(rig.context);
        rig.ui.expect_file(d);
        reports::save_reports_separate(rig.context);
    }
    EXPECT_EQ(test::file_bytes(single), "old single");
    EXPECT_EQ(test::file_bytes(separate), "old separate");
    EXPECT_EQ(entries(d), (std::set<std::string>{"single.txt", "BIG_2010_05_07_09_05.txt"}));  // no temporary left
    EXPECT_TRUE(rig.list.reports_unsaved);
    EXPECT_FALSE(rig.ui.wait_cursor);
    rig.ui.verify();
}

// ---- File > Open ----

TEST(Open_report, reads_lines_by_the_report_rules) {
    Rig rig;
    const std::string d = rig.folder("in");
    const std::string path = d + "/report.txt";
    const std::string long_line(250, 'L');
    write_bytes(path, "Tag ID: PT-101\r\n" + long_line + "\r\n" + "a\tb\x7f" + "c\xe9\xff" + "d\x01\r\n" +
                          "\r\n" + "last line without LF");
    rig.ui.set_tag_list({"PT-101 C", "PT-102 U"});
    rig.list.add_report_lines({"old line"});
    rig.ui.expect_file(path, [](const ui::File_request& r) {
        EXPECT_FALSE(r.save);
        EXPECT_EQ(r.title, "Open Report File");
        EXPECT_EQ(r.filter, "TXT files (*.txt)|*.txt|CSV files (*.csv)|*.csv||");
        EXPECT_EQ(r.initial_folder, "/start/folder");
        EXPECT_TRUE(r.must_exist);
        EXPECT_EQ(r.default_name, "");
        EXPECT_EQ(r.default_extension, "");
    });
    reports::open_report_file(rig.context);

    const std::vector<std::string> expected = {"Tag ID: PT-101", std::string(200, 'L'), "abcd", ""};
    EXPECT_EQ(rig.list.lines(), expected);
    EXPECT_EQ(rig.ui.reports, expected);
    EXPECT_TRUE(rig.ui.tag_list.empty());
    EXPECT_EQ(rig.list.caption(), "Reports - Read from File");
    EXPECT_EQ(rig.list.displayed_format, Report_format::text);
    EXPECT_FALSE(rig.list.reports_unsaved);
    EXPECT_EQ(rig.list.extent(), 266);
    EXPECT_EQ(rig.directory, d);
    EXPECT_EQ(rig.stored, std::vector<std::string>{d});
    EXPECT_EQ(rig.ui.statuses, std::vector<std::string>{"Reading data from file.  Please wait."});
    EXPECT_EQ(rig.refreshes, 1);
    EXPECT_FALSE(rig.ui.wait_cursor);
}

TEST(Open_report, the_extension_decides_the_layout) {
    struct Case {
        const char* name;
        Report_format format;
        const char* proposed;
        const char* filter;
    };
    for (const Case& c : {Case{"report.csv", Report_format::csv, "2010_05_07_09_05.csv", "CSV files (*.csv)|*.csv||"},
                          Case{"report.CSV", Report_format::text, "2010_05_07_09_05.txt", "TXT files (*.txt)|*.txt||"},
                          Case{"report", Report_format::text, "2010_05_07_09_05.txt", "TXT files (*.txt)|*.txt||"}}) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.list.displayed_format = c.format == Report_format::csv ? Report_format::text : Report_format::csv;
        const std::string path = rig.folder("in") + "/" + c.name;
        write_bytes(path, "\"Tag ID:\",\"X\"\n");
        rig.ui.expect_file(path);
        reports::open_report_file(rig.context);
        EXPECT_EQ(rig.list.displayed_format, c.format);
        // A later single-file save proposes the matching name.
        rig.ui.expect_file(std::nullopt, [&](const ui::File_request& r) {
            EXPECT_EQ(r.default_name, c.proposed);
            EXPECT_EQ(r.filter, c.filter);
        });
        reports::save_reports_single(rig.context);
    }
}

TEST(Open_report, unsaved_reports_are_guarded) {
    Rig rig;
    rig.fill({"Tag ID: A"}, Report_format::csv);
    rig.ui.set_tag_list({"A C"});
    rig.ui.expect_question("Report data has NOT been saved and will be lost if you continue.  Continue?",
                           ui::Answer::no);
    reports::open_report_file(rig.context);
    EXPECT_EQ(rig.list.lines(), std::vector<std::string>{"Tag ID: A"});
    EXPECT_EQ(rig.ui.tag_list, std::vector<std::string>{"A C"});
    EXPECT_TRUE(rig.list.reports_unsaved);
    EXPECT_TRUE(rig.ui.file_requests.empty());

    // Yes, then Cancel: both lists are already empty and stay so.
    rig.ui.expect_question("Report data has NOT been saved and will be lost if you continue.  Continue?",
                           ui::Answer::yes);
    rig.ui.expect_file(std::nullopt);
    reports::open_report_file(rig.context);
    EXPECT_TRUE(rig.list.lines().empty());
    EXPECT_TRUE(rig.ui.reports.empty());
    EXPECT_TRUE(rig.ui.tag_list.empty());
    EXPECT_EQ(rig.list.caption(), "Reports");
    EXPECT_FALSE(rig.list.reports_unsaved);
    EXPECT_TRUE(rig.stored.empty());

    // After Open nothing is unsaved: no question the next time.
    rig.ui.expect_file(std::nullopt);
    reports::open_report_file(rig.context);
}

TEST(Open_report, open_and_read_failures) {
    Rig rig;
    const std::string missing = rig.root + "/missing.txt";
    rig.ui.expect_file(missing);
    rig.ui.expect_error("File Open Error");
    reports::open_report_file(rig.context);
    EXPECT_EQ(rig.directory, rig.root);
    EXPECT_EQ(rig.list.caption(), "Reports");
    EXPECT_TRUE(rig.list.lines().empty());
    EXPECT_FALSE(rig.ui.wait_cursor);

    // A file that opens but cannot be read.
    rig.ui.expect_file("/proc/self/mem");
    rig.ui.expect_error("File Read Error: /proc/self/mem\n" + std::generic_category().message(EIO));
    reports::open_report_file(rig.context);
    EXPECT_TRUE(rig.list.lines().empty());
    EXPECT_EQ(rig.list.caption(), "Reports");
}

}  // namespace

// ---- Characters kept by the two reading rules ----

TEST(Read_text_lines, utf8_rule_keeps_complete_sequences_the_ascii_rule_none) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string utf8, ascii;  // the one line read by each rule
    };
    const std::string u_umlaut = "\xc3\xbc";
    const std::vector<Case> cases = {
        {"two bytes", "M\xc3\xbcller\n", "M\xc3\xbcller", "Mller"},
        {"three bytes", "\xe2\x82\xac" "5\n", "\xe2\x82\xac" "5", "5"},
        {"four bytes", "\xf0\x9f\x98\x80x\n", "\xf0\x9f\x98\x80x", "x"},
        {"no-break space is printable", "a\xc2\xa0" "b\n", "a\xc2\xa0" "b", "ab"},
        {"C1 control dropped", "a\xc2\x85" "b\n", "ab", "ab"},
        {"broken by an ASCII byte", "a\xc3" "b\xe2\x82" "c\n", "abc", "abc"},
        {"broken by a new lead byte", "\xc3\xc3\xbc\n", u_umlaut, ""},
        {"stray continuation bytes", "\x80\xbf" "a\n", "a", "a"},
        {"over-long forms", "\xc0\xaf\xc1\xbf\xe0\x80\xaf\xf0\x80\x80\xaf.\n", ".", "."},
        {"surrogate", "\xed\xa0\x80.\n", ".", "."},
        {"past U+10FFFF", "\xf4\x90\x80\x80\xf5\x80\x80\x80.\n", ".", "."},
        {"highest code point", "\xf4\x8f\xbf\xbf\n", "\xf4\x8f\xbf\xbf", ""},
        {"sequence cut by the end of the line", "a\xe2\x82\n", "a", "a"},
        {"a sequence counts as one character", std::string(5, 'x') + "\xc3\xbc\xc3\xbc" "y\n",
         std::string(5, 'x') + u_umlaut, std::string(5, 'x') + "y"},
    };
    QTemporaryDir temp;
    const std::string path = temp.path().toStdString() + "/lines.txt";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write_bytes(path, c.bytes);
        for (auto [rule, expected] : {std::pair{reports::Text_rule::utf8, c.utf8}, std::pair{reports::Text_rule::ascii, c.ascii}}) {
            std::vector<std::string> lines;
            std::string reason;
            ASSERT_EQ(reports::read_text_lines(path, 6, lines, reason, rule), reports::Read_outcome::ok);
            EXPECT_EQ(lines, std::vector<std::string>{expected});
        }
        // The call form without a rule reads by the ASCII rule.
        std::vector<std::string> lines;
        std::string reason;
        reports::read_text_lines(path, 6, lines, reason);
        EXPECT_EQ(lines, std::vector<std::string>{c.ascii});
    }
}

TEST(Open_report, accented_text_survives_a_save_and_reopen) {
    Rig rig;
    const std::vector<std::string> lines = {"Company Name: M\xc3\xbcller \xc3\x86rosp\xc3\xa5" "ce",
                                            "", "Tag ID: \xc3\x98-1", std::string(199, 'x') + "\xc3\xa9" "cut"};
    rig.fill(lines, Report_format::text);
    const std::string path = rig.folder("out") + "/accents.txt";
    rig.ui.expect_file(path);
    reports::save_reports_single(rig.context);
    rig.ui.expect_file(path);
    reports::open_report_file(rig.context);
    std::vector<std::string> expected = lines;
    expected.back() = std::string(199, 'x') + "\xc3\xa9";  // 200 characters a line, whole sequences
    EXPECT_EQ(rig.list.lines(), expected);
    rig.ui.verify();
}

// ---- Large report files ----

TEST(Open_report, files_past_the_line_or_byte_limit_are_refused_and_nothing_is_kept) {
    struct Case {
        const char* name;
        std::size_t lines;  // empty lines (LF only)
        std::size_t bytes;  // the file's size, when larger: zero bytes after the lines
        bool refused;
    };
    const std::size_t max_lines = reports::report_file_max_lines;
    const std::vector<Case> cases = {
        {"empty lines up to the line limit", max_lines, 0, false},
        {"one empty line more", max_lines + 1, 0, true},
        {"a file past the byte limit", 3, reports::report_file_max_bytes + 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        const std::string path = rig.folder("in") + "/big.txt";
        write_bytes(path, std::string(c.lines, '\n'));
        if (c.bytes > c.lines) fs::resize_file(path, c.bytes);  // sparse: no disk space taken
        rig.fill({"old"}, Report_format::text, false);
        rig.ui.expect_file(path);
        if (c.refused)
            rig.ui.expect_error("Report file too large: " + path + "\nA report file may hold at most 1000000 lines " +
                                "and 64 MB.  The file was not opened.");
        reports::open_report_file(rig.context);
        EXPECT_EQ(rig.list.lines().size(), c.refused ? 0u : c.lines);
        EXPECT_EQ(rig.ui.reports.size(), rig.list.lines().size());
        EXPECT_EQ(rig.list.caption(), c.refused ? "Reports" : "Reports - Read from File");
        EXPECT_FALSE(rig.ui.wait_cursor);
        rig.ui.verify();
    }
}

TEST(Open_report, a_long_read_shows_progress_and_can_be_cancelled) {
    // A clock that moves 200 ms per look: the cancel window comes up after the
    // third block of ten (600 ms after the start), then shows the share read.
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "read to the end");
        Rig rig;
        std::int64_t ms = 0;
        rig.context.now_ms = [&ms] { return ms += 200; };
        const std::string path = rig.folder("in") + "/long.txt";
        const std::string line = std::string(63, 'r') + "\n";  // 64 bytes: 1,024 lines a block
        {
            std::ofstream out(path, std::ios::binary);
            for (int i = 0; i < 10 * 1024; ++i) out << line;
        }
        rig.ui.on_pump = [&rig, cancel] {
            if (cancel && rig.ui.progress.size() == 2 && rig.ui.cancel_action) rig.ui.cancel_action();
            return false;
        };
        rig.ui.expect_file(path);
        reports::open_report_file(rig.context);

        EXPECT_EQ(rig.ui.cancel_caption, "Cancel File Open");
        EXPECT_FALSE(rig.ui.cancel_window_open);
        EXPECT_TRUE(rig.ui.menus_enabled);
        using P = test::Scripted_ui::Progress;
        ASSERT_GE(rig.ui.progress.size(), 2u);
        EXPECT_EQ(rig.ui.progress[0], (P{30, 100, "Reading data from file:  30% read."}));
        EXPECT_EQ(rig.ui.progress[1], (P{40, 100, "Reading data from file:  40% read."}));
        if (cancel) {
            EXPECT_EQ(rig.ui.progress.size(), 2u);
            EXPECT_TRUE(rig.list.lines().empty());
            EXPECT_TRUE(rig.ui.reports.empty());
            EXPECT_EQ(rig.list.caption(), "Reports");
        } else {
            EXPECT_EQ(rig.ui.progress.back(), (P{100, 100, "Reading data from file:  100% read."}));
            EXPECT_EQ(rig.list.lines().size(), 10u * 1024);
            EXPECT_EQ(rig.list.caption(), "Reports - Read from File");
        }
        rig.ui.verify();
    }
}

TEST(Report_lines, compact_lines_read_back_as_they_were_added) {
    const std::vector<std::string> lines = {"", "Tag ID: A", "", std::string(300, 'x'), "M\xc3\xbcller"};
    reports::Report_lines compact;
    for (const auto& line : lines) compact.push_back(line);
    EXPECT_EQ(compact, lines);
    EXPECT_EQ(compact.size(), lines.size());
    EXPECT_EQ(compact.text_size(), 9u + 300u + 7u);
    EXPECT_EQ(std::vector<std::string>(compact), lines);
    EXPECT_EQ(compact.end() - compact.begin(), 5);
    EXPECT_EQ(*(compact.begin() + 3), lines[3]);
    EXPECT_NE(compact, (std::vector<std::string>{"", "Tag ID: A", "", "", "x"}));
    compact.clear();
    EXPECT_TRUE(compact.empty());
}
