// Records > Database...: the choice's checks, the saving of the choice where
// the recording reads it (never a password), and Test Connection's line.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "records/database_choice.h"
#include "records/record_store.h"
#include "records/records_settings.h"
#include "support/scripted_ui.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;
using Kind = records::Database_choice::Kind;

// A temporary folder with a settings file in it.
struct Rig {
    QTemporaryDir dir;
    std::string root = dir.path().toStdString();
    std::string ini = root + "/NORVATQ740.ini";
    std::string default_file = "/home/tech/.local/share/NORVATQ740/records.sqlite";
    test::Scripted_ui ui;

    explicit Rig(const std::string& settings = "[main]\nport=1\n") { std::ofstream(ini) << settings; }
    records::Database_choice choice() { return records::Database_choice(ui, ini, default_file); }
};

// What was typed: why it cannot be saved, or saved where the recording reads
// it, the other keys kept.  A password written into the settings by hand is
// never shown nor offered, and a settings file that cannot be written
// changes nothing.
TEST(Database_choice, checks_what_was_typed_and_saves_it_where_the_recording_reads_it) {
    Rig rig("[main]\nport=2\n[records]\ndatabase=postgresql://tq:secret@db/r?sslmode=require\ninterval_days=90\n");
    EXPECT_EQ(rig.choice().current_line(), "postgresql://tq@db/r?sslmode=require");
    EXPECT_EQ(rig.choice().address(), "postgresql://tq@db/r?sslmode=require");
    fs::create_directories(rig.root + "/folder");
    const QByteArray old_home = qgetenv("HOME");
    qputenv("HOME", (rig.root + "/home").c_str());
    const std::tuple<Kind, std::string, std::string> cases[] = {
        {Kind::other_file, "", "Type the path of the records database file, or choose it with Browse..."},
        {Kind::other_file, "  /srv/shared/records.sqlite ", "/srv/shared/records.sqlite"},
        {Kind::other_file, "~/records.sqlite", rig.root + "/home/records.sqlite"},
        {Kind::other_file, "~tech/records.sqlite",
         "~tech/records.sqlite is not a whole path: give the file's path from / (or from ~/)."},
        {Kind::other_file, rig.root + "/folder",
         rig.root + "/folder is a folder: name a file in it, for example " + rig.root + "/folder/records.sqlite."},
        {Kind::other_file, "postgresql://tq:pw@db/records",
         "postgresql://tq@db/records is a server address: choose \"PostgreSQL server\" for it."},
        {Kind::other_file, "/srv/a\nb", "The path or address holds a line break or another control character."},
        {Kind::server, "", "Type the address of the PostgreSQL database: postgresql://USER@HOST[:PORT]/DBNAME."},
        {Kind::server, "db/records", "db/records is not a database address of the form "
                                     "postgresql://USER@HOST[:PORT]/DBNAME: it does not start with postgresql://."},
        {Kind::server, " postgresql://tq@db/records?sslmode=verify-full ", "postgresql://tq@db/records?sslmode=verify-full"},
        {Kind::default_file, "", ""},
    };
    for (const auto& [kind, typed, outcome] : cases) {
        records::Database_choice choice = rig.choice();
        choice.choose(kind);
        (kind == Kind::server ? choice.set_address(typed) : choice.set_file(typed));
        if (!choice.problem().empty()) {
            choice.test_connection();  // a refusal, without connecting
            EXPECT_EQ(choice.result(), outcome) << typed;
            continue;
        }
        ASSERT_TRUE(choice.save()) << typed;
        EXPECT_EQ(records::read_records_settings(rig.ini).database, outcome);
        EXPECT_EQ(records::read_records_settings(rig.ini).interval_days, 90);
    }
    EXPECT_EQ(rig.choice().current_line(), rig.default_file + " (the default file)");
    EXPECT_EQ(rig.ui.wait_cursor_ons, 0);
    qputenv("HOME", old_home);

    std::ofstream(rig.root + "/plain") << "x";  // a plain file where the settings file's folder should be
    records::Database_choice blocked(rig.ui, rig.root + "/plain/NORVATQ740.ini", rig.default_file);
    blocked.choose(Kind::other_file);
    blocked.set_file("/srv/records.sqlite");
    rig.ui.expect_error("The settings file " + rig.root + "/plain/NORVATQ740.ini could not be written.  Nothing was "
                        "changed: the records stay in " + rig.default_file + ".");
    EXPECT_FALSE(blocked.save());
    EXPECT_TRUE(blocked.current_is_default());
}

TEST(Database_choice, test_connection_says_what_it_found_in_one_line) {
    Rig rig;
    records::Record_store one(rig.root + "/one.sqlite"), empty(rig.root + "/empty.sqlite");
    ASSERT_TRUE(one.open() && empty.open());
    ASSERT_TRUE(one.import_file(fs::path(TQ740_SOURCE_DIR) / "tests/unit/golden/worked_example.txt").counts.ok);
    std::ofstream(rig.root + "/notes.sqlite") << "Shopping list\n";
    std::ofstream(rig.root + "/plain") << "x";
    const std::pair<std::string, std::string> cases[] = {
        {rig.root + "/one.sqlite", "Connected: 1 calibration recorded."},
        {rig.root + "/empty.sqlite", "Connected: 0 calibrations recorded."},
        {rig.root + "/new/sub/records.sqlite",
         rig.root + "/new/sub/records.sqlite does not exist yet: it will be made at the first recording."},
        {rig.root + "/plain/records.sqlite",
         rig.root + "/plain/records.sqlite cannot be made in " + rig.root + "/plain: Not a directory."},
        {rig.root + "/notes.sqlite",
         "Cannot open the records database " + rig.root + "/notes.sqlite: file is not a database"},
    };
    for (const auto& [file, line] : cases) {
        records::Database_choice choice = rig.choice();
        choice.choose(Kind::other_file);
        choice.set_file(file);
        std::string while_waiting;
        choice.test_connection([&] { while_waiting = choice.result(); });
        EXPECT_EQ(while_waiting, "Connecting to " + file + "...");
        EXPECT_EQ(choice.result(), line);
        EXPECT_FALSE(rig.ui.wait_cursor);
        choice.set_file(file + "x");  // any change makes the line stale
        EXPECT_EQ(choice.result(), "");
    }
    // The test never makes a file, and never changes one.
    EXPECT_FALSE(fs::exists(rig.root + "/new"));
    EXPECT_EQ(test::file_bytes(rig.root + "/notes.sqlite"), "Shopping list\n");
    EXPECT_EQ(records::grouped_count(999) + " " + records::grouped_count(1000) + " " + records::grouped_count(-1234567),
              "999 1,000 -1,234,567");  // counts of a plant's records are grouped by thousands
}

}  // namespace
