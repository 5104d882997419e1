// Download > Group: chosen members of a group into the calibrator, each with
// the single-tag sequence after its own free-space query.
//
// The calibrator is asked once how many free spaces it has, and the port is
// closed again while the user picks a group file and, in `Select_dialog`, at
// most that many of its members.  The chosen members are then sent one after
// the other under the modeless `Status_dialog`, one row per member:
//
//   Pending    TT-101.utg       waiting
//   Loading >  TT-101.utg       being sent
//   Loaded     TT-101.utg       accepted
//   FAILED     TT-101.utg       not accepted
//
// A member that fails (a bad file, a refused field, an unexpected reply)
// does not stop the others; no answer, DOCUMENT mode, Cancel or a port that
// cannot be reopened stop the run, and the members after it stay Pending.
// The rows as they end are shown in `Summary_dialog` after one beep, each
// FAILED row followed by its reason in short (the message shown during the
// run), and `group_members` keeps the rows until the next group command.
#pragma once

#include <string>
#include <vector>

#include "download/tag_download.h"
#include "link/result_code.h"
#include "resources/help_pages.h"
#include "shell/program.h"
#include "ui/ui.h"

namespace download {

// Help contexts of `Select_dialog`, and of `Status_dialog` and `Summary_dialog`.
constexpr int SELECT_DIALOG_HELP = res::HELP_GROUP_SELECT;
constexpr int STATUS_DIALOG_HELP = res::HELP_GROUP_STATUS;
// Where a status row's member name starts.
constexpr int STATUS_NAME_COLUMN = 11;

enum class Member_state { pending, loading, loaded, failed };

// "Pending    TT-101.utg" and the other three rows.
std::string status_row(Member_state state, const std::string& name);

// The rows of the status list that the current row may take before the list
// scrolls: the list's height in whole rows, less one.  With no measure the
// list never scrolls.
int scroll_free_rows(const ui::Ui::List_metrics& metrics);

// How a group download ended, for the command-line program.
struct Group_download_outcome {
    int chosen = 0;   // members chosen for sending (0: nothing was sent)
    int loaded = 0;   // members the calibrator accepted
};

// Download > Group (command 32804).  Shows every outcome itself.
Group_download_outcome download_group_command(shell::Program& program);

// Sends member `name` (row `row` of `count`) from the group directory with
// the port open: its row goes to "Loading >" and ends "Loaded" or "FAILED",
// the list scrolled to keep it in sight.  True when the calibrator accepted
// it; result is the last result code, note the failure shown, in short.
bool download_group_member(shell::Program& program, int row, int count, const std::string& name,
                           comm::Result_code& result, Failure_note& note);

}  // namespace download
