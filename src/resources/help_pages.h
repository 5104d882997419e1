// The help pages: which page of the help folder each help context opens.
//
// Every help context the program opens is one of the constants below; code
// that opens help names the constant, never the bare number, so this one list
// says which pages must exist.  Most contexts are 131072 plus the number of
// the dialog's layout; a few small numbers serve the main window and the
// dialogs that share a page.  The pages themselves are HTML files in help/.
#pragma once

#include <span>
#include <string_view>

namespace res {

constexpr int HELP_MAIN_WINDOW = 0;  // the main window, the About box, the cancel window, Help > Help
constexpr int HELP_FONT_SIZE = 1;
constexpr int HELP_IDENTITY = 2;
constexpr int HELP_COMPANY_DISPLAY_EXTRACT = 4;  // company name, configuration display, extraction
constexpr int HELP_SUPPORT = 5;
constexpr int HELP_TAG_IDENTIFICATION = 131179;
constexpr int HELP_TAG_INPUT = 131206;
constexpr int HELP_TAG_OUTPUT = 131207;
constexpr int HELP_TAG_TEST_POINTS = 131208;  // also the two test point dialogs
constexpr int HELP_TAG_TOLERANCE = 131209;
constexpr int HELP_GROUP_EDITOR = 131214;  // the group editor and its keep question
constexpr int HELP_GROUP_SELECT = 131219;
constexpr int HELP_GROUP_STATUS = 131221;  // the download status window and the summary
constexpr int HELP_SERIAL_ADAPTERS = 131272;
// The Calibration Records window (a number of the records' own, clear of the dialog layouts').
constexpr int HELP_RECORDS_WINDOW = 58322;
// The Records Database dialog (the number of its title).
constexpr int HELP_RECORDS_DATABASE = 58451;

struct Help_page {
    int context;
    std::string_view file;  // in the help folder
};

// Every context above with its page.
std::span<const Help_page> help_pages();

// The page a context opens; the contents page for a context not in the list.
std::string_view help_page_file(int context);

// The contents page: every page of the user guide, reached by the help
// window's Contents button.
constexpr std::string_view HELP_CONTENTS_FILE = "index.html";

// The page that lists every message the program can show, with what it
// means and what to do.
constexpr std::string_view HELP_TROUBLESHOOTING_FILE = "troubleshooting.html";

// Texts of the message ranges that are never shown as a message of their
// own (window titles, labels, button texts, field names, file filters, name
// patterns): the troubleshooting page need not list them.  Inclusive ranges.
struct Id_range {
    int first;
    int last;
};
std::span<const Id_range> texts_not_messages();

}  // namespace res
