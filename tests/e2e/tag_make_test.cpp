// tq740-cli tag make: the worked example file from its entries, byte for
// byte, and a CSV list with a bad row.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "processes.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

const fs::path EXAMPLES = fs::path(__FILE__).parent_path() / "../../examples/tags";

e2e::Run_result cli(const e2e::Temp_dir& home, std::vector<std::string> args) {
    return e2e::run_program(TQ740_CLI, args, home.path);
}

const std::vector<std::string> worked_example_entries = {
    "id=TT-101",       "manufacturer=Maker", "serial=SN1234",   "technician=Tech",    "temperature=21C",
    "humidity=40%",    "model=Model-7",      "input=thermocouple", "input-units=DegC", "input-curve=k",
    "cj=CJC ON",       "output=Milliamp",    "tolerance=0.5",   "input-low=0",        "input-high=100",
    "output-low=4",    "output-high=20",     "points=0,25,50,75,100"};

TEST(Tag_make, writes_the_worked_example_byte_for_byte_and_replaces_only_with_yes) {
    e2e::Temp_dir home;
    const std::string file = home.path + "/TT-101.utg";
    std::vector<std::string> args = {"tag", "make", "-o", file};
    args.insert(args.end(), worked_example_entries.begin(), worked_example_entries.end());
    const auto made = cli(home, args);
    EXPECT_EQ(made.status, 0) << made.errors;
    EXPECT_EQ(made.errors, "");
    EXPECT_EQ(test::file_bytes(file), test::file_bytes(EXAMPLES / "TT-101.utg"));

    // The same entries with generated points, once more: refused without --yes.
    args.back() = "generate=0:100:5:zero-span";
    const auto again = cli(home, args);
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.errors.find("already exists"), std::string::npos) << again.errors;
    args.insert(args.begin(), "--yes");
    const auto replaced = cli(home, args);
    EXPECT_EQ(replaced.status, 0) << replaced.errors;
    EXPECT_EQ(test::file_bytes(file), test::file_bytes(EXAMPLES / "TT-101.utg"));
}

TEST(Tag_make, a_csv_list_gives_one_file_per_good_row_and_names_the_bad_row) {
    e2e::Temp_dir home;
    std::ofstream(home.path + "/list.csv")
        << "id,input,input-units,amplitude,output,output-units,generate\n"
           "FT-1,Frequency,Hz,5,Milliamp,mA,0:10:3:zero-span\n"
           "FT-2,Frequency,Hz,30,Milliamp,mA,0:10:3:zero-span\n"
           "PT-3,Pressure,psi,,Volts,V,\"0:10:4:span-zero-span\"\n";
    const auto made = cli(home, {"tag", "make", "--from-csv", home.path + "/list.csv", "--dir", home.path + "/out"});
    EXPECT_EQ(made.status, 1);
    EXPECT_TRUE(fs::exists(home.path + "/out/FT-1.utg"));
    EXPECT_FALSE(fs::exists(home.path + "/out/FT-2.utg"));
    EXPECT_TRUE(fs::exists(home.path + "/out/PT-3.utg"));
    EXPECT_NE(made.errors.find("row 3: ERROR: Please enter a number between 1 and 20."), std::string::npos)
        << made.errors;
    EXPECT_NE(made.errors.find("row 3: no file written: amplitude= was refused"), std::string::npos);
    // The round trip of 4 points gives 5, falling from the span first.
    const std::string pt3 = test::file_bytes(home.path + "/out/PT-3.utg");
    EXPECT_NE(pt3.find("25 5\r\n26 10.0000\r\n27 5.0000\r\n28 0.0000\r\n29 5.0000\r\n30 10.0000\r\n"),
              std::string::npos)
        << pt3;

    // With --strict a warning is a failure: a Manual type with long units.
    std::ofstream(home.path + "/warn.csv") << "id,input,input-units,output,output-units\nMN-1,Manual,Percent,Volts,V\n";
    const auto strict =
        cli(home, {"tag", "make", "--from-csv", home.path + "/warn.csv", "--dir", home.path + "/w", "--strict"});
    EXPECT_EQ(strict.status, 1);
    EXPECT_FALSE(fs::exists(home.path + "/w/MN-1.utg"));
    const auto lenient = cli(home, {"tag", "make", "--from-csv", home.path + "/warn.csv", "--dir", home.path + "/w"});
    EXPECT_EQ(lenient.status, 0) << lenient.errors;
    EXPECT_NE(lenient.errors.find("row 2: WARNING: Manual type units"), std::string::npos) << lenient.errors;
}

}  // namespace
