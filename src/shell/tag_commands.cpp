#include "shell/tag_commands.h"

#include <algorithm>

#include "link/transactions.h"
#include "reports/field_table.h"
#include "resources/link_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "resources/text_match.h"

namespace shell {

namespace {

using comm::Result_code;
using res::starts_with;

constexpr int FIELD_TAG_ID = 1;
constexpr int FIELD_STATE = 68;
constexpr int TAGS_ATTEMPTS = 3;

// " 3 U PUMP-1": the position right-aligned in two characters, the state, the ID.
std::string entry_text(int position, bool calibrated, const std::string& tag_id) {
    std::string pos = std::to_string(position);
    if (pos.size() < 2) pos.insert(0, 2 - pos.size(), ' ');
    return pos + (calibrated ? " C " : " U ") + tag_id;
}

// Framed protocol: the number of tags from the free-space query, then the
// state and ID of each position until that many tags are found.
Result_code read_tag_list_framed(Program& program) {
    const auto& capability = program.session.capability;
    int free_spaces = 0, next_position = -1;
    const Result_code query = comm::query_free_space(program.link, capability, free_spaces, next_position);
    if (query != comm::RESULT_OK) return query;
    const int in_use = capability.maximum_tags - free_spaces;

    bool success = true;
    Result_code result = comm::RESULT_OK;
    for (int p = 1; static_cast<int>(program.tag_list.size()) < in_use && p <= capability.maximum_tags; ++p) {
        if (!comm::upload_field(program.link, capability, success, FIELD_STATE, p, true, result, program.fields))
            return result;
        const int state = program.fields.field_int(FIELD_STATE);
        if (state <= 0) continue;
        if (!comm::upload_field(program.link, capability, success, FIELD_TAG_ID, p, true, result, program.fields))
            return result;
        if (program.tag_list.size() < MAX_TAG_ENTRIES)
            program.tag_list.push_back(entry_text(p, state >= 2, program.fields.field_text(FIELD_TAG_ID)));
    }
    return result;
}

// Lets two seconds of the clock pass without handling window events.
void pause_two_seconds(comm::Clock& clock) {
    const std::time_t start = clock.now();
    while (clock.now() - start < 2) clock.sleep_ms(100);
}

// "TAGS?": one line per tag, then a closing line beginning with "<".  A line
// cut off without CR is tried again after a pause, three attempts in all.
Result_code read_tag_list_unframed(Program& program) {
    for (int attempt = 1; attempt <= TAGS_ATTEMPTS; ++attempt) {
        program.link.send_command("TAGS?");
        Result_code result = comm::RESULT_OK;
        int extra_lines = 0;
        for (bool first = true;; first = false) {
            std::string line;
            result = program.link.receive_line(line, comm::REPLY_CAPACITY, first);
            if (result != comm::RESULT_OK) break;
            if (starts_with(line, "<")) return comm::RESULT_OK;
            // The calibrator holds at most 50 tags; lines beyond the list's
            // capacity are read and dropped, but only so many: a list that
            // does not end is a calibrator gone wrong, and none of it is kept.
            if (program.tag_list.size() < MAX_TAG_ENTRIES) {
                program.tag_list.push_back(line);
            } else if (++extra_lines > MAX_EXTRA_TAG_LIST_LINES) {
                program.tag_list.clear();
                return comm::RESULT_INVALID;
            }
        }
        if (result != comm::RESULT_PARTIAL) return result;
        program.link.close_port();
        pause_two_seconds(program.link.clock());
        program.link.open_port();
        program.tag_list.clear();
    }
    return comm::RESULT_INVALID;
}

// The identity and clock checks that open every calibrator command.
bool checks_pass(Program& program) {
    if (comm::identity_check(program.session) && comm::clock_check(program.session)) return true;
    program.refresh_status_line();
    return false;
}

// Empties the Reports list before a command that changes the calibrator's tags.
void discard_reports(Program& program) {
    program.reports.clear();
    program.reports.set_reports_caption(reports::Reports_caption::plain);
    program.reports.reports_unsaved = false;
}

bool ask(Program& program, int question_id) {
    return program.ui.message(res::str(question_id), ui::Caption::confirmation, ui::Buttons::yes_no_exclamation) ==
           ui::Answer::yes;
}

}  // namespace

Result_code read_tag_list(Program& program) {
    program.tag_list.clear();
    return program.session.capability.framed ? read_tag_list_framed(program) : read_tag_list_unframed(program);
}

std::string tag_id_of_entry(const Program& program, const std::string& entry) {
    if (program.session.capability.level == 2) return entry.size() > 5 ? entry.substr(5) : std::string();
    return entry;
}

void upload_tag_ids_command(Program& program) {
    if (!program.confirm_discard_reports()) return;
    program.clear_tag_list_display();
    discard_reports(program);
    if (!checks_pass(program)) return;
    if (!program.link.open_port()) return;

    program.ui.set_status(res::str(res::IDS_UPLOADING_TAG_IDS));
    program.ui.set_wait_cursor(true);
    const Result_code result = read_tag_list(program);
    if (result == comm::RESULT_OK) program.ui.set_tag_list(program.tag_list);
    program.link.close_port();
    program.ui.set_wait_cursor(false);

    if (result != comm::RESULT_OK) {
        program.link.show_result_message(result);
        program.clear_tag_list_display();
    } else if (!program.tag_list.empty()) {
        program.ui.beep();
    } else {
        program.ui.message(res::str(res::IDS_NO_TAGS_AVAILABLE), ui::Caption::information, ui::Buttons::ok);
    }
    program.refresh_status_line();
}

void erase_all_command(Program& program) {
    if (!ask(program, res::IDS_ERASE_ALL_QUESTION)) return;
    if (!program.confirm_discard_reports()) return;
    discard_reports(program);
    if (!checks_pass(program)) return;
    if (!program.link.open_port()) return;

    program.ui.set_status(res::str(res::IDS_ERASING_ALL));
    program.ui.set_wait_cursor(true);
    std::string reply;
    const Result_code result = comm::erase_all_tags(program.link, reply);
    program.link.close_port();
    program.ui.set_wait_cursor(false);

    if (result != comm::RESULT_OK)
        program.link.show_result_message(result);
    else
        program.ui.beep();
    program.clear_tag_list_display();
    program.refresh_status_line();
}

void erase_selected_command(Program& program) {
    std::vector<int> rows = program.ui.selected_tags();
    std::sort(rows.begin(), rows.end());
    if (rows.size() > MAX_TAG_ENTRIES) rows.resize(MAX_TAG_ENTRIES);
    if (rows.empty()) {
        program.ui.message(res::str(res::IDS_NO_TAGS_SELECTED), ui::Caption::error, ui::Buttons::ok);
        return;
    }
    if (!ask(program, res::IDS_ERASE_SELECTED_QUESTION)) return;
    if (!program.confirm_discard_reports()) return;
    discard_reports(program);
    std::vector<std::string> entries;
    for (int row : rows) entries.push_back(program.ui.tag_line(row));
    if (!checks_pass(program)) return;
    if (!program.link.open_port()) return;

    program.ui.set_status(res::str(res::IDS_ERASING_SELECTED));
    program.ui.set_wait_cursor(true);
    Result_code result = comm::RESULT_OK;
    std::string failing_id;
    for (const auto& entry : entries) {
        const std::string tag_id = tag_id_of_entry(program, entry);
        std::string reply;
        result = comm::erase_tag(program.link, tag_id, reply);
        if (result == comm::RESULT_OK) {
            if (starts_with(reply, "<Tag [")) {
                result = comm::RESULT_REFUSED;
                failing_id = tag_id;
            } else if (starts_with(reply, "<No space")) {
                result = comm::RESULT_INVALID;
            }
        }
        if (result != comm::RESULT_OK) break;
    }
    program.link.close_port();
    program.ui.set_wait_cursor(false);
    program.clear_tag_list_display();

    if (result == comm::RESULT_REFUSED)
        program.ui.message(res::format(res::IDS_TAG_NOT_FOUND, failing_id), ui::Caption::error, ui::Buttons::ok);
    else if (result != comm::RESULT_OK)
        program.link.show_result_message(result);
    else
        upload_tag_ids_command(program);
    program.refresh_status_line();
}

}  // namespace shell
