// tq740-cli tag make: tag files made from the command line or a CSV list,
// through the tag editor's own logic.
//
//   tq740-cli tag make -o TT-101.utg id=TT-101 input=Thermocouple input-curve=K ...
//   tq740-cli tag make --from-csv LIST.csv --dir DIR [--strict]
//
// Each entry is typed into its editor field, page by page, as a technician
// would: the lists follow the type, leaving each page runs its checks and
// warnings, and the tag is saved by the editor's writer, so the file is the
// one the desktop editor saves from the same entries.
#pragma once

#include <string>
#include <vector>

namespace ui::console {

// Runs "tag make ARGS..." (args after "make"); replace: an existing file may
// be replaced (--yes).  Returns the exit status.
int run_tag_make(const std::vector<std::string>& args, bool replace);

// The usage lines of tag make, with the entry names.
std::string tag_make_usage();

}  // namespace ui::console
