#include "resources/help_pages.h"

namespace res {

namespace {

constexpr Help_page pages[] = {
    {HELP_MAIN_WINDOW, "main-window.html"},
    {HELP_FONT_SIZE, "font-size.html"},
    {HELP_IDENTITY, "identity.html"},
    {HELP_COMPANY_DISPLAY_EXTRACT, "company-display-extract.html"},
    {HELP_SUPPORT, "support.html"},
    {HELP_TAG_IDENTIFICATION, "tag-identification.html"},
    {HELP_TAG_INPUT, "tag-input.html"},
    {HELP_TAG_OUTPUT, "tag-output.html"},
    {HELP_TAG_TEST_POINTS, "tag-test-points.html"},
    {HELP_TAG_TOLERANCE, "tag-tolerance.html"},
    {HELP_GROUP_EDITOR, "group-editor.html"},
    {HELP_GROUP_SELECT, "group-select.html"},
    {HELP_GROUP_STATUS, "group-status.html"},
    {HELP_SERIAL_ADAPTERS, "serial-adapters.html"},
    {HELP_RECORDS_WINDOW, "records-window.html"},
    {HELP_RECORDS_DATABASE, "records-database.html"},
};

// Titles and labels of the windows, button texts, field names, file
// filters, the date patterns of file names, page footers.
constexpr Id_range not_messages[] = {
    {57601, 57601},  // File > Open's prompt, shown while the menu item is highlighted
    {57602, 57602},  // OK
    {57604, 57606},  // Cancel, Yes, No
    {57612, 57616},  // message captions
    {57618, 57619},  // TEXT, CSV
    {57622, 57633},  // the company name and About dialogs, the main window's labels
    {57681, 57686},  // the calibrator identification dialog
    {57690, 57690},  // the download's cancel window title
    {57695, 57695},  // file dialog title
    {57697, 57700},  // tag editor and test point dialog titles
    {57708, 57716},  // the upload's cancel window title, file dialog titles and filters
    {57724, 57727},  // print document name, font size title, page footers
    {57728, 57732},  // test point dialog labels, the date patterns of report file names
    {57735, 57736},  // tag file dialog
    {57738, 57740},  // tag file dialog titles
    {57742, 57743},  // tag editor labels
    {57745, 57770},  // field names
    {57783, 57787},  // configuration display titles, page footer, Print
    {57900, 57901},  // group file dialog
    {57903, 57906},  // group file dialog titles and group editor titles
    {57912, 57912},  // the select dialog's caption
    {57915, 57915},  // the status window's caption
    {57920, 57928},  // summary and select titles, group editor labels, buttons
    {57930, 57939},  // the help window
    {57940, 57941},  // extraction: file dialog title, the selection dialog's caption
    {57943, 57943},  // the tag editor's title for an extracted tag
    {57961, 57969},  // the Serial Adapters dialog: caption, column headings, "no permission"
    {57971, 57974},  // its port lines
    {57977, 57979},  // its label and buttons
    {57981, 57981},  // the file open's cancel window title
    {58051, 58054},  // group list entries and the parts of a download summary row
    {58320, 58321},  // the Records menu's prompts, shown while an item is highlighted
    {58322, 58354},  // the Calibration Records window and the Import Reports dialog
    {58236, 58247},  // the window's due statuses, columns, Set Interval dialog and labels
    {58292, 58319},  // the certificate: its status text, button, page label and line labels
    {58450, 58463},  // Records > Database...: its prompt, the dialog's title, labels, buttons and file picker
};

}  // namespace

std::span<const Help_page> help_pages() { return pages; }

std::string_view help_page_file(int context) {
    for (const Help_page& page : pages)
        if (page.context == context) return page.file;
    return HELP_CONTENTS_FILE;
}

std::span<const Id_range> texts_not_messages() { return not_messages; }

}  // namespace res
