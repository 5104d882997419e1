// Download > Tag against a small framed calibrator: the attempts, the
// refusal message, DOCUMENT mode, Cancel and the free-space query.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "download/tag_download.h"
#include "link/frame.h"
#include "link/transactions.h"
#include "resources/download_strings.h"
#include "resources/link_strings.h"
#include "resources/strings.h"
#include "support/link_rig.h"

namespace {

const std::string EXAMPLE = (std::filesystem::path(__FILE__).parent_path() / "../../examples/tags/TT-101.utg").string();
const std::string SILENCE = "";

std::string framed(const std::string& value) { return comm::frame_reply(value, -1) + "\r"; }
std::string field_sent(int field, int position, const std::string& value) {
    return comm::framed_command_text("TAG_DNLD " + std::to_string(field) + " " + std::to_string(position) + " " +
                                     value) + "\r";
}

// A calibrator at level 2 with the framed protocol.  query answers each
// "TAG_DNLD 0" (by its count, from 1); field answers each field command (by
// field and attempt, the attempt counted by the sends of field 1).
struct Download_fixture {
    test::Link_rig rig;
    shell::Program program{rig.ui, rig.port, rig.clock, [] { return std::string(test::Link_rig::DEVICE); }};
    std::function<std::string(int query)> query = [](int) { return framed("50 3"); };
    std::function<std::string(int field, int attempt)> field = [](int, int) { return framed("<Complete>"); };
    int queries = 0, attempts = 0;

    Download_fixture(std::string identity = "NORVA,TQ740,0,3.00") {
        program.session.clock_check_enabled = false;
        rig.port.set_responder([this, identity](const std::string& written) -> std::string {
            if (written == "*IDN?\r") return identity + "\r";
            std::string command = written.substr(0, written.size() - 1);
            EXPECT_TRUE(comm::check_command_frame(command)) << written;
            if (command == "TAG_DNLD 0") return query(++queries);
            int f = 0, p = 0;
            EXPECT_EQ(std::sscanf(command.c_str(), "TAG_DNLD %d %d", &f, &p), 2) << command;
            EXPECT_GE(p, 1) << command;
            if (f == 1) ++attempts;
            return field(f, attempts);
        });
    }
    download::Download_outcome run() { return download::download_tag_command(program); }
};

std::string refusal(int code, const std::string& field) {
    return comm::calibrator_error_message(code) + "\nTag: TT-101.utg\nField: " + field;
}

TEST(Tag_download, success_sends_every_field_in_order_and_only_beeps) {
    Download_fixture f;
    f.field = [](int field, int) { return framed(field == 46 ? "<Complete> and more" : "<Complete>"); };
    f.rig.ui.expect_file(EXAMPLE, [](const ui::File_request& r) { EXPECT_EQ(r.title, "Select the tag to download"); });
    const download::Download_outcome outcome = f.run();
    EXPECT_TRUE(outcome.loaded);
    EXPECT_EQ(outcome.position, 3);
    EXPECT_EQ(f.rig.port.writes().at(2), field_sent(1, 3, "TT-101"));
    EXPECT_EQ(f.rig.port.writes().at(8), field_sent(7, 3, ""));  // the blank field keeps its space
    EXPECT_EQ(f.rig.port.writes().back(), field_sent(46, 3, ""));
    EXPECT_EQ(f.rig.ui.beeps, 1);
    EXPECT_TRUE(f.rig.ui.tag_list.empty());
    EXPECT_EQ(f.rig.ui.status(), "Configured to upload reports in TEXT format via port COM1");
    EXPECT_EQ(f.rig.ui.cancel_caption, "Cancel Tag Download");
    EXPECT_FALSE(f.rig.ui.cancel_window_open);
    EXPECT_EQ(f.rig.ui.progress.back(), (test::Scripted_ui::Progress{46, 46, "Downloading Tags:  1 of 1"}));
    EXPECT_EQ(f.rig.ui.menu_changes, (std::vector<bool>{false, true}));
    EXPECT_FALSE(f.program.operation_running);
}

TEST(Tag_download, failures_end_with_one_message_after_the_attempts_they_allow) {
    struct Case {
        const char* name;
        std::function<std::string(int field, int attempt)> field;
        std::string message;
        int attempts;   // sends of field 1
        int queries;    // free-space queries, the first included
        comm::Result_code result;
    };
    const Case cases[] = {
        {"no answer at field 10", [](int f, int) { return f == 10 ? SILENCE : framed("<Complete>"); },
         res::str(res::IDS_NO_RESPONSE), 4, 5, comm::RESULT_NO_RESPONSE},
        {"error 11 at field 21", [](int f, int) { return framed(f == 21 ? "<Error 11>" : "<Complete>"); },
         refusal(11, "Instrument Input Range Low"), 1, 1, comm::RESULT_REFUSED},
        {"error 11 at field 20", [](int f, int) { return framed(f == 20 ? "<Error 11>" : "<Complete>"); },
         "11 - Numeric data value is out of range for this field.\nTag: TT-101.utg\nField: Tolerance, %span", 1, 1,
         comm::RESULT_REFUSED},
        {"error 42", [](int f, int) { return framed(f == 5 ? "<Error 42>" : "<Complete>"); },
         "Unknown error code 42 returned.\nTag: TT-101.utg\nField: Temperature", 1, 1, comm::RESULT_REFUSED},
        {"an error line without its >", [](int f, int) { return framed(f == 3 ? "<Error 11" : "<Complete>"); },
         res::str(res::IDS_OPERATION_FAILED), 4, 5, comm::RESULT_OK},
        {"a damaged frame twice, then accepted", [](int f, int a) {
             return f == 30 && a <= 2 ? comm::frame_reply("<Complete>", -1) + "0\r" : framed("<Complete>"); },
         "", 3, 3, comm::RESULT_OK},
        {"DOCUMENT mode", [](int f, int) { return f == 2 ? "<Exit DOCUMENT mode>\r" : framed("<Complete>"); },
         res::str(res::IDS_EXIT_DOCUMENT_MODE), 1, 2, comm::RESULT_DOCUMENT_MODE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Download_fixture f;
        f.field = c.field;
        f.rig.ui.expect_file(EXAMPLE);
        if (!c.message.empty()) f.rig.ui.expect_error(c.message);
        const download::Download_outcome outcome = f.run();
        EXPECT_EQ(outcome.loaded, c.message.empty());
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(f.attempts, c.attempts);
        EXPECT_EQ(f.queries, c.queries);
        EXPECT_EQ(f.rig.ui.beeps, c.message.empty() ? 1 : 0);
    }
}

TEST(Tag_download, cancel_during_a_field_ends_the_download_after_that_field) {
    Download_fixture f;
    f.field = [](int field, int) { return field == 12 ? SILENCE : framed("<Complete>"); };
    f.rig.ui.on_pump = [&f] {
        if (f.rig.port.writes().back() == field_sent(12, 3, "CJC ON") && f.rig.ui.cancel_action)
            f.rig.ui.cancel_action();
        return false;
    };
    f.rig.ui.expect_file(EXAMPLE);
    f.rig.ui.expect_error("User cancelled tag download.");
    EXPECT_EQ(f.run().result, comm::RESULT_CANCELLED);
    EXPECT_EQ(f.attempts, 1);
    EXPECT_EQ(f.queries, 2);
    EXPECT_FALSE(f.program.link.cancel_requested());
}

TEST(Tag_download, no_room_and_no_level_2_send_no_field_and_show_no_file_dialog) {
    struct Case {
        const char* name;
        std::string identity;
        std::string query;
        std::string message;
        ui::Caption caption;
    };
    const Case cases[] = {
        {"no free space", "NORVA,TQ740,0,3.00", framed("0 -1"), res::str(res::IDS_NO_FREE_SPACE),
         ui::Caption::error},
        {"a position but 0 free", "NORVA,TQ740,0,3.00", framed("0 5"), res::str(res::IDS_NO_FREE_SPACE),
         ui::Caption::error},
        {"level 1", "NORVA,TQ740,0,2.10", "", res::str(res::IDS_DOWNLOAD_NOT_AVAILABLE), ui::Caption::information},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Download_fixture f(c.identity);
        f.query = [&c](int) { return c.query; };
        f.rig.ui.expect_message(c.message, c.caption, ui::Buttons::ok);
        EXPECT_FALSE(f.run().loaded);
        EXPECT_EQ(f.attempts, 0);
    }
}

TEST(Tag_download, a_new_query_without_room_ends_the_attempts_instead_of_sending_to_no_position) {
    Download_fixture f;
    f.query = [](int n) { return framed(n == 1 ? "50 3" : "0 -1"); };
    f.field = [](int field, int) { return framed(field == 10 ? "?" : "<Complete>"); };
    f.rig.ui.expect_file(EXAMPLE);
    f.rig.ui.expect_error(res::str(res::IDS_NO_FREE_SPACE));
    EXPECT_FALSE(f.run().loaded);
    EXPECT_EQ(f.attempts, 1);
    EXPECT_EQ(f.queries, 2);
}

}  // namespace
