// tq740-cli extract: a tag configuration read back from a saved report,
// without the editor window.
//
//   tq740-cli extract REPORT.txt                  the 46 fields as read, "%2i %s"
//   tq740-cli extract REPORT.csv --tag TT-101 -o TT-101.utg
//
// The report is read as Configure > Tag > Extract from Report reads it; the
// record then passes the editor's checks page by page (a failure is named
// by its field and nothing is written) and is saved by the editor's writer,
// so the file is the one the editor's OK and Save write from the same report
// when no page is visited.
#pragma once

#include <string>
#include <vector>

namespace ui::console {

// Runs "extract ARGS..." (args after "extract"); replace: an existing file
// may be replaced (--yes).  Returns the exit status.
int run_tag_extract(const std::vector<std::string>& args, bool replace);

// The usage lines of extract.
std::string tag_extract_usage();

}  // namespace ui::console
