// Rules every dialog of the desktop program follows, kept free of widgets so
// that they are tested alone: the file a save dialog writes for a typed name,
// and the keyboard letters of a row of buttons.
#pragma once

#include <string>
#include <vector>

namespace ui {

// The file a save dialog writes for the name typed into it.  A relative name
// lies in the folder the dialog shows (never in the program's working
// folder), and a name whose last part holds no full stop gets the dialog's
// extension ("gx" in /data with "ugp" is /data/gx.ugp; "gx.txt" stays as
// typed).  An empty name gives "".
std::string typed_save_path(const std::string& shown_folder, const std::string& typed, const std::string& extension);

// The captions of one row of buttons with a keyboard letter each ("&Yes",
// "&No"): a caption that already has one ("&Map") keeps it, and the others
// take the first letter or digit of their text that no button of the row has
// yet, ignoring case.  A caption with no such letter is left as it is.
std::vector<std::string> with_mnemonics(const std::vector<std::string>& captions);

}  // namespace ui
