// Fuzz target: the calibrator's replies as the link reads them.
//
// The first input byte holds options, the rest is a list of replies
// separated by LF; each command the program writes gets the next reply (a
// re-sent command too).  After the last reply the first wait ends the run
// (fuzz_rig.h).
//   bits 0-2  the conversation: 0 identity and serial number, 1 identity and
//             clock checks, 2 clock check, 3 free space, 4 tag list,
//             5 one field upload, 6 erase and clock transactions, 7 none;
//   bit 3     framed protocol (a level 2 calibrator of firmware 3 or later);
//   bit 4     questions are answered Yes (else No).
// Every reply also goes through the reply parsers on its own, with checks of
// what they promise: a frame the program builds passes its own check, an
// identity the parser accepts has the bounded fields the dialog shows, a
// clock reply of the accepted shape gives numbers of its digits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "link/capability.h"
#include "link/checks.h"
#include "link/frame.h"
#include "link/transactions.h"
#include "reports/field_table.h"
#include "shell/program.h"
#include "shell/tag_commands.h"
#include "support/fuzz_rig.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// Field numbers the reply frame check meets in practice: the tag list's,
// the serial number's and one reading's.
constexpr int FRAMED_FIELDS[] = {1, 68, 129, 26};

void frame_parsers(const std::string& reply) {
    for (int field : {-1, FRAMED_FIELDS[0], FRAMED_FIELDS[1], FRAMED_FIELDS[2], FRAMED_FIELDS[3]}) {
        std::string value = reply;
        comm::check_response_frame(value, field, true);
        require(value.size() <= reply.size());
        std::string unframed = reply;
        require(comm::check_response_frame(unframed, field, false) && unframed == reply);
    }
    std::string command = reply;
    comm::check_command_frame(command);

    // What the program frames passes its own check and comes back unchanged,
    // while the frame's length still has two digits.
    if (reply.size() + 9 <= 99 && !reply.starts_with("<Error 9")) {
        for (int field : {-1, 68}) {
            std::string framed = comm::frame_reply(reply, field);
            require(comm::check_response_frame(framed, field, true) && framed == reply);
        }
    }
    if (reply.size() + 6 <= 99) {
        std::string framed = comm::framed_command_text(reply);
        require(comm::check_command_frame(framed) && framed == reply);
    }
}

void identity_parsers(const std::string& reply) {
    comm::accept_unterminated_identity(reply);
    comm::Calibrator_identity identity;
    if (!comm::parse_identity(reply, identity)) return;
    require(identity.manufacturer.size() < 60 && identity.model.size() < 60);
    require(identity.firmware_suffix.empty() || identity.firmware_suffix[0] == '-');
    require(identity.firmware_major >= 0 && identity.firmware_minor >= 0);
    comm::classify(identity);
    comm::firmware_text(identity);
}

void clock_parsers(const std::string& reply, std::time_t now) {
    if (!comm::valid_clock_reply(reply)) return;
    const comm::Clock_reading reading = comm::parse_clock_reading(reply);
    for (int value : {reading.year, reading.month, reading.day, reading.hour, reading.minute, reading.second})
        require(value >= 0 && value <= 9999);
    comm::clock_difference(now, reading);
}

void error_parsers(const std::string& reply) {
    if (!comm::is_error_line(reply)) return;
    comm::calibrator_error_message(comm::error_code(reply));
}

// The calibrator the options describe, as an identity check would leave it.
comm::Capability capability_of(std::uint8_t options) {
    comm::Capability capability;
    capability.level = (options & 8) ? 2 : 1;
    capability.framed = (options & 8) != 0;
    return capability;
}

void converse(shell::Program& program, std::uint8_t options) {
    comm::Serial_link& link = program.link;
    comm::Calibrator_session& session = program.session;
    const int conversation = options & 7;
    if (conversation == 1) {
        if (comm::identity_check(session)) comm::clock_check(session);
        return;
    }
    if (conversation == 2) {
        comm::clock_check(session);
        return;
    }
    if (conversation == 7 || !link.open_port()) return;
    session.capability = capability_of(options);
    std::string reply;
    switch (conversation) {
    case 0:
        if (comm::query_identity(link, session.identity) == comm::RESULT_OK) {
            session.capability = comm::classify(session.identity);
            comm::query_serial(link, session.capability, session.identity);
        }
        break;
    case 3: {
        int free_spaces = 0, next_position = 0;
        comm::query_free_space(link, session.capability, free_spaces, next_position);
        require(free_spaces >= 0 && free_spaces <= session.capability.maximum_tags);
        require(next_position == -1 || (next_position >= 1 && next_position <= session.capability.maximum_tags));
        break;
    }
    case 4:
        shell::read_tag_list(program);
        require(program.tag_list.size() <= shell::MAX_TAG_ENTRIES);
        for (const std::string& entry : program.tag_list) {
            shell::tag_id_of_entry(program, entry);
            reports::read_decimal_int(entry);
        }
        break;
    case 5: {
        bool success = true;
        comm::Result_code result = comm::RESULT_OK;
        for (int field : FRAMED_FIELDS)
            comm::upload_field(link, session.capability, success, field, 1, false, result, program.fields);
        break;
    }
    case 6:
        comm::erase_all_tags(link, reply);
        comm::erase_tag(link, "pump1", reply);
        comm::read_serial(link, reply);
        comm::write_clock(link, comm::set_clock_command(2024, 6, 15, 12, 0, 0), reply);
        break;
    }
    link.close_port();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = fuzz::as_text(data, size);
    const std::uint8_t options = fuzz::take_options(text);
    std::vector<std::string> replies = fuzz::split_replies(text);

    test::Fake_clock clock;
    for (const std::string& reply : replies) {
        frame_parsers(reply);
        identity_parsers(reply);
        clock_parsers(reply, clock.now());
        error_parsers(reply);
    }

    fuzz::Played_port port(clock, std::move(replies));
    fuzz::Lenient_ui ui;
    ui.answer = (options & 16) ? ui::Answer::yes : ui::Answer::no;
    ui.on_pump = [&port] { return port.ends_wait_after_last_reply(); };
    shell::Program program(ui, port, clock, [] { return std::string("/dev/fuzz"); });
    converse(program, options);
    return 0;
}
