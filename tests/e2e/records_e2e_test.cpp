// The calibration records end to end: tq740-sim --demo, tq740-cli upload
// recording every report, records show --json, the [records] settings,
// --no-records, two imports of the same files at once, verify and export;
// records drift of a tag calibrated twice.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <future>
#include <set>

#include "processes.h"
#include "support/test_files.h"

namespace {

using e2e::Run_result;

TEST(Records_e2e, uploads_are_recorded_once_and_shown_as_json) {
    e2e::Temp_dir home;
    auto cli = [&home](std::vector<std::string> args) { return e2e::run_program(TQ740_CLI, args, home.path); };
    e2e::Sim_process sim({"--demo"});
    ASSERT_FALSE(sim.device().empty());
    const std::vector<std::string> upload = {"--device", sim.device(), "--yes", "--no-clock-check", "upload"};
    auto with = [&upload](std::vector<std::string> more) {
        more.insert(more.begin(), upload.begin(), upload.end());
        return more;
    };

    // The first upload records all eleven calibrated tags, before saving.
    const Run_result first = cli(with({"--csv", "-o", home.path + "/all.csv"}));
    ASSERT_EQ(first.status, 0) << first.errors;
    EXPECT_NE(first.errors.find("Recorded 11 calibrations (0 already recorded)\n"), std::string::npos) << first.errors;
    // --no-records records nothing; the TXT of the same calibrations is no new record.
    const Run_result off = cli(with({"--no-records", "--text", "-o", home.path + "/all.txt"}));
    ASSERT_EQ(off.status, 0) << off.errors;
    EXPECT_EQ(off.errors.find("Recorded"), std::string::npos);
    const Run_result again = cli(with({"--text"}));
    EXPECT_NE(again.errors.find("Recorded 0 calibrations (11 already recorded)\n"), std::string::npos) << again.errors;

    const Run_result show = cli({"records", "show", "PY-560", "--json"});
    ASSERT_EQ(show.status, 0) << show.errors;
    const QJsonArray array = QJsonDocument::fromJson(QByteArray::fromStdString(show.output)).array();
    ASSERT_EQ(array.size(), 1);
    const QJsonObject c = array[0].toObject();
    const QStringList keys = {"as_found", "as_found_verdict", "as_left", "as_left_verdict", "calibrated",
                              "calibrator", "calibrator_last_cal", "input", "manufacturer", "model", "output",
                              "serial", "sha256", "source", "tag", "technician", "tolerance_percent"};
    EXPECT_EQ(c.keys(), keys);
    EXPECT_EQ(c["calibrated"].toString(), "2025-03-12T14:22:51");
    EXPECT_EQ(c["calibrator"].toString(), "NORVA TQ740 S/N 1234567");
    EXPECT_EQ(c["calibrator_last_cal"].toString(), "2024-09-16");
    EXPECT_EQ(c["tolerance_percent"].toDouble(), 0.5);
    EXPECT_EQ(c["output"].toObject(), (QJsonObject{{"type", "Pressure, psi"}, {"low", "3.0000"}, {"high", "15.0000"}}));
    EXPECT_EQ(c["as_found"].toArray()[1].toObject(),
              (QJsonObject{{"point", 2}, {"input", "8.0000"}, {"reading", "5.9154"}, {"error_percent", -0.705},
                           {"verdict", "Fail"}}));
    EXPECT_EQ(c["as_found_verdict"].toString(), "Fail");
    EXPECT_EQ(c["as_left_verdict"].toString(), "Pass");
    EXPECT_EQ(c["source"].toString(), "upload NORVA TQ740 S/N 1234567");
    EXPECT_EQ(c["sha256"].toString().size(), 64);
    // A tag without tolerance testing: nulls.
    const QJsonObject none = QJsonDocument::fromJson(
        QByteArray::fromStdString(cli({"records", "show", "TC-900", "--json"}).output)).array()[0].toObject();
    EXPECT_TRUE(none["tolerance_percent"].isNull());
    EXPECT_TRUE(none["as_left_verdict"].isNull());
    EXPECT_TRUE(none["as_found"].toArray()[0].toObject()["error_percent"].isNull());
    const Run_result unknown = cli({"records", "show", "NO-SUCH"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.errors, "ERROR: Tag NO-SUCH has no calibration recorded.\n");

    // [records] of the settings file names another database; record_uploads=0 turns uploads off.
    const std::string ini = home.path + "/NORVATQ740/NORVATQ740.ini";
    const std::string other = home.path + "/other.sqlite";
    std::filesystem::create_directories(home.path + "/NORVATQ740");
    std::ofstream(ini) << "[records]\ndatabase=" << other << "\nrecord_uploads=0\n";
    EXPECT_EQ(cli(with({"--text"})).errors.find("Recorded"), std::string::npos);
    std::ofstream(ini) << "[records]\ndatabase=" << other << "\n";
    EXPECT_NE(cli(with({"--text"})).errors.find("Recorded 11 calibrations (0 already recorded)"), std::string::npos);
    EXPECT_EQ(test::file_bytes(ini), "[records]\ndatabase=" + other + "\n");  // never written

    // Two imports of the same files at once: each calibration recorded once.
    const std::string shared = home.path + "/shared.sqlite";
    auto import = [&] {
        return cli({"--records", shared, "records", "import", home.path + "/all.csv", home.path + "/all.txt"});
    };
    auto a = std::async(std::launch::async, import);
    auto b = std::async(std::launch::async, import);
    const Run_result ra = a.get(), rb = b.get();
    ASSERT_EQ(ra.status, 0) << ra.errors;
    ASSERT_EQ(rb.status, 0) << rb.errors;
    int recorded = 0;
    for (const std::string& out : {ra.output, rb.output})
        for (std::size_t at = 0; (at = out.find(": ", at)) != std::string::npos; at += 2) recorded += std::stoi(out.substr(at + 2));
    EXPECT_EQ(recorded, 11) << ra.output << rb.output;
    const Run_result list = cli({"--records", shared, "records", "list", "--today", "2025-06-01"});
    EXPECT_EQ(std::count(list.output.begin(), list.output.end(), '\n'), 12);  // the header and eleven tags
    EXPECT_EQ(list.output.substr(0, list.output.find('\n', list.output.find('\n') + 1) + 1),
              "tag\tcalibrated\tas_found\tas_left\tcalibrations\tdue\tstatus\n"
              "FQ-221\t2025-03-07 09:20:44\tPass\tPass\t1\t2026-03-07\tok\n");
    EXPECT_EQ(cli({"--records", shared, "records", "verify"}).output, "11 records, chain intact\n");

    // Due dates: a tag's own interval, the settings' default for the rest,
    // --today and --within; bad input changes nothing.
    auto records = [&](std::vector<std::string> more) {
        more.insert(more.begin(), {"--records", shared, "records"});
        return cli(more);
    };
    struct Refused {
        std::vector<std::string> args;
        int status;
        const char* errors;
    };
    const Refused refused[] = {
        {{"interval", "PY-560", "0"}, 1,
         "ERROR: The calibration interval must be a whole number of days from 1 to 3650, not \"0\".\n"},
        {{"interval", "py-560", "30"}, 1, "ERROR: Tag py-560 has no calibration recorded.\n"},
        {{"interval", "PY-560"}, 64, "tq740-cli: records interval needs a tag ID and a number of days (see tq740-cli --help)\n"},
        {{"due", "--today", "2025-02-29"}, 1, "ERROR: \"2025-02-29\" is not a date: write it as YYYY-MM-DD.\n"},
        {{"list", "--today", "25-03-01"}, 1, "ERROR: \"25-03-01\" is not a date: write it as YYYY-MM-DD.\n"},
        {{"due", "--within", "-1"}, 1, "ERROR: The number of days must be a whole number from 0 to 3650, not \"-1\".\n"},
        {{"due", "--today"}, 64, "tq740-cli: records due --today needs a value (see tq740-cli --help)\n"},
    };
    for (const Refused& row : refused) {
        const Run_result r = records(row.args);
        EXPECT_EQ(r.status, row.status) << row.args.back();
        EXPECT_EQ(r.errors, row.errors);
        EXPECT_EQ(r.output, "");
    }
    EXPECT_EQ(records({"list", "--today", "2025-06-01"}).output, list.output);  // nothing changed

    const Run_result set = records({"interval", "PY-560", "30"});
    ASSERT_EQ(set.status, 0) << set.errors;
    EXPECT_EQ(set.output, "Tag PY-560: calibration interval 30 days, next due 2025-04-11\n");
    std::ofstream(ini) << "[records]\ninterval_days=400\n";
    // With 400 days: due 2026-04-08 (PT-*), 04-09 (LI-450, TT-204), 04-10 (TT-812, TY-415),
    // 04-11 (FQ-*, FT-120), 04-14 (TC-900); PY-560's own 30 days: 2025-04-11.
    const Run_result due = records({"due", "--within", "1", "--today", "2026-04-10"});
    ASSERT_EQ(due.status, 0) << due.errors;
    EXPECT_EQ(due.output,
              "tag\tlast_calibrated\tinterval_days\tdue\tstatus\n"
              "PY-560\t2025-03-12\t30\t2025-04-11\toverdue\n"
              "PT-101\t2025-03-04\t400\t2026-04-08\toverdue\n"
              "PT-330\t2025-03-04\t400\t2026-04-08\toverdue\n"
              "LI-450\t2025-03-05\t400\t2026-04-09\toverdue\n"
              "TT-204\t2025-03-05\t400\t2026-04-09\toverdue\n"
              "TT-812\t2025-03-06\t400\t2026-04-10\tdue\n"
              "TY-415\t2025-03-06\t400\t2026-04-10\tdue\n"
              "FQ-221\t2025-03-07\t400\t2026-04-11\tdue\n"
              "FQ-222\t2025-03-07\t400\t2026-04-11\tdue\n"
              "FT-120\t2025-03-07\t400\t2026-04-11\tdue\n");
    // The default window is 30 days: on 2025-03-12 PY-560 is due, nothing else.
    EXPECT_EQ(records({"due", "--today", "2025-03-12"}).output,
              "tag\tlast_calibrated\tinterval_days\tdue\tstatus\nPY-560\t2025-03-12\t30\t2025-04-11\tdue\n");
    const std::string listed = records({"list", "--today", "2026-04-10", "--within", "3"}).output;
    EXPECT_NE(listed.find("\nPY-560\t2025-03-12 14:22:51\tFail\tPass\t1\t2025-04-11\toverdue\n"), std::string::npos)
        << listed;
    EXPECT_NE(listed.find("\nTC-900\t2025-03-10 15:41:09\t-\t-\t1\t2026-04-14\tok\n"), std::string::npos) << listed;
    EXPECT_EQ(records({"verify"}).output, "11 records, chain intact\n");
    const Run_result exported = cli({"--records", shared, "records", "export", "--csv", home.path + "/out.csv"});
    ASSERT_EQ(exported.status, 0) << exported.errors;
    const std::string csv = test::file_bytes(home.path + "/out.csv");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "tag,calibrated,phase,point,input,reading,error,verdict,manufacturer,model,serial,technician,"
              "temperature,humidity,other_information,tolerance,input_type,input_low,input_high,output_type,"
              "output_low,output_high,calibrator,calibrator_last_cal,source,sha256");
    EXPECT_NE(csv.find("\r\nPY-560,2025-03-12 14:22:51,As Found,2,8.0000,5.9154,-0.705,Fail,Brandt,IP-2,B2-7102,"),
              std::string::npos);

    // TT-101 a year (365 days) later: 50.000 fell by 0.5 and 100.000 by 0.125; 0.000 stayed.
    // From the As Left figures 0.313 and 0.000 (at 09:05:03) towards -0.5%: 0.813 / 0.5 x 365
    // = 593.5 days and 0.5 / 0.125 x 365 = 1460 days.
    std::string worked = test::file_bytes(std::string(TQ740_SOURCE_DIR) + "/tests/unit/golden/worked_example.txt");
    const std::string first_path = home.path + "/worked.txt", later_path = home.path + "/later.txt";
    std::ofstream(first_path, std::ios::binary) << worked;
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"2010/05/07", "2011/05/07"},
                                   {"12.100    0.625  Fail", "12.020    0.125  Pass"},
                                   {"19.990   -0.063  Pass", "19.970   -0.188  Pass"}})
        worked.replace(worked.find(from), from.size(), to);
    std::ofstream(later_path, std::ios::binary) << worked;
    const std::string db = home.path + "/drift.sqlite";
    ASSERT_EQ(cli({"--records", db, "records", "import", first_path, later_path}).status, 0);
    const Run_result drift = cli({"--records", db, "records", "drift", "TT-101"});
    ASSERT_EQ(drift.status, 0) << drift.errors;
    EXPECT_EQ(drift.output,
              "50.000\t2\t-0.500\t0.125\t2012-12-20\n"
              "0.000\t2\t0.000\t0.000\t-\n"
              "100.000\t2\t-0.125\t-0.188\t2015-05-06\n");
    const QJsonArray points = QJsonDocument::fromJson(
        QByteArray::fromStdString(cli({"--records", db, "records", "drift", "TT-101", "--json"}).output)).array();
    ASSERT_EQ(points.size(), 3);
    EXPECT_EQ(points[0].toObject(), (QJsonObject{{"input", "50.000"}, {"calibrations", 2},
                                                 {"drift_percent_per_year", -0.5}, {"last_error_percent", 0.125},
                                                 {"projected_out_of_tolerance", "2012-12-20"}}));
    EXPECT_TRUE(points[1].toObject()["projected_out_of_tolerance"].isNull());
    EXPECT_EQ(points[1].toObject()["drift_percent_per_year"].toDouble(), 0.0);
    const Run_result one = cli({"--records", db, "records", "drift", "TT-101", "--json", "TT-102"});
    EXPECT_EQ(one.status, 64);
    const Run_result missing = cli({"--records", db, "records", "drift", "TT-102"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.errors, "ERROR: Tag TT-102 has no calibration recorded.\n");
    EXPECT_EQ(missing.output, "");
}

}  // namespace
