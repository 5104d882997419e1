// Fuzz target: the report upload of a basic (level 1) calibrator, which
// renders its reports itself and streams them line by line.
//
// The calibrator identifies as a level 1 TQ740 and the clock check is off;
// every other command gets the next reply of the input (see replies_fuzz.cpp
// for the form: an option byte, then replies separated by LF, each holding
// any number of CR-ended lines).
//   bit 0  Upload > Selected Tag Reports (else All Tag Reports);
//   bit 1  CSV layout (else TEXT);
//   bit 2  a company name is set;
//   bit 3  questions are answered Yes (else No);
//   bits 4-5  how many Tag ID list lines are selected, less one.
// Whatever comes, the upload ends either with reports kept and marked
// unsaved or with an empty list, and every kept line is one the calibrator
// sent whole or one the program adds itself.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "link/serial_link.h"
#include "reports/report_layout.h"
#include "reports/report_upload.h"
#include "shell/program.h"
#include "support/fuzz_rig.h"

namespace {

const char* const TAG_ID_LINES[] = {"PT-101", "TT-204", "pump1", "FT \"7\""};

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = fuzz::as_text(data, size);
    const std::uint8_t options = fuzz::take_options(text);

    test::Fake_clock clock;
    fuzz::Played_port port(clock, fuzz::split_replies(text), {{"*IDN?", "NORVA,TQ740,0,2.10\r"}});
    fuzz::Lenient_ui ui;
    ui.answer = (options & 8) ? ui::Answer::yes : ui::Answer::no;
    ui.on_pump = [&port] { return port.ends_wait_after_last_reply(); };
    shell::Program program(ui, port, clock, [] { return std::string("/dev/fuzz"); });
    program.session.clock_check_enabled = false;
    program.settings.format = (options & 2) ? 0 : 1;
    if (options & 4) program.settings.company = "ACME";

    if (options & 1) {
        const int selected = 1 + ((options >> 4) & 3);
        ui.tag_list.assign(std::begin(TAG_ID_LINES), std::end(TAG_ID_LINES));
        for (int row = 0; row < selected; ++row) ui.selection.push_back(row);
        reports::upload_selected_reports(program);
    } else {
        reports::upload_all_reports(program);
    }

    require(program.reports.reports_unsaved == !program.reports.empty());
    const std::string company = reports::company_line(program.settings.company, program.upload_format());
    for (std::string_view line : program.reports.lines())
        require(line.size() < static_cast<std::size_t>(comm::REPLY_CAPACITY) || line == company);
    return 0;
}
