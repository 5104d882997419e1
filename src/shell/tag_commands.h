// The calibrator's tag list and the erase commands.
//
// Tag list entries keep the calibrator's order.  At capability level 2 each
// entry is " 3 U PUMP-1": the position right-aligned in two characters, "U"
// (not calibrated) or "C" (calibrated), then the tag ID; at level 1 it is the
// line the calibrator sent for "TAGS?".
#pragma once

#include "link/result_code.h"
#include "shell/program.h"

namespace shell {

// Reads the calibrator's tags into program.tag_list (the port is open).
// Framed protocol: free-space query, then fields 68 and 1 of each position;
// otherwise "TAGS?" with up to three attempts.  Entries read before a
// failure stay in tag_list, except after a "TAGS?" list that went on for
// more than MAX_EXTRA_TAG_LIST_LINES lines past the list's capacity
// (MAX_TAG_ENTRIES): that list is dropped and the result is RESULT_INVALID.
comm::Result_code read_tag_list(Program& program);
inline constexpr int MAX_EXTRA_TAG_LIST_LINES = 1000;

// Upload > Tag ID's.
void upload_tag_ids_command(Program& program);
// Erase > All Tags.
void erase_all_command(Program& program);
// Erase > Selected Tags.
void erase_selected_command(Program& program);

// The tag ID of a tag list entry: without the five-character prefix at
// capability level 2.
std::string tag_id_of_entry(const Program& program, const std::string& entry);

}  // namespace shell
