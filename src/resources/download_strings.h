// Ids of the download subsystem's texts.
#pragma once

namespace res {

enum Download_string : int {
    IDS_DOWNLOAD_NOT_AVAILABLE = 57687,
    IDS_DOWNLOADING_TAG = 57688,
    IDS_DOWNLOAD_PROGRESS = 57689,         // "%i of %i"
    IDS_CANCEL_DOWNLOAD_CAPTION = 57690,
    IDS_USER_CANCELLED_DOWNLOAD = 57691,
    IDS_NO_FREE_SPACE = 57692,
    IDS_FIELD_REFUSED = 57693,             // "%s" error text, "%s" tag file name, "%s" field name
    IDS_UNKNOWN_FIELD_NUMBER = 57694,      // "%i" field number
    IDS_SELECT_TAG_TO_DOWNLOAD = 57695,
    // Configuration display and print.
    IDS_TAG_DISPLAY_CAPTION = 57783,       // "%s" tag file name
    IDS_GROUP_DISPLAY_CAPTION = 57784,     // "%s" group file name
    IDS_SELECT_GROUP_TO_DISPLAY = 57785,
    IDS_DISPLAY_PAGE_HEADER = 57786,       // "%-50sPage %i" caption, page number
    IDS_BUTTON_PRINT = 57787,
    // Group files, the group editor and the group download.  The table's
    // numbers from 57601 to 57787 are all taken, so these continue at 57900.
    IDS_GROUP_FILTER = 57900,              // "Group files (*.ugp)|*.ugp||"
    IDS_SAVE_GROUP_TITLE = 57901,
    IDS_INVALID_GROUP_FILE = 57902,
    IDS_SELECT_GROUP_TO_EDIT = 57903,
    IDS_SELECT_GROUP_TO_DOWNLOAD = 57904,
    IDS_EDIT_GROUP_CAPTION = 57905,        // "%s" group file name
    IDS_EDIT_NEW_GROUP = 57906,
    IDS_KEEP_MISSING_MEMBER = 57907,       // "%s" member name
    IDS_GROUP_TOO_LARGE = 57908,           // "%i" most members, "%i" members in the list
    IDS_DOWNLOADING_GROUP = 57909,
    IDS_EMPTY_GROUP = 57910,
    IDS_MEMBERS_MISSING = 57911,
    IDS_SELECT_MEMBERS_CAPTION = 57912,    // "%i" free spaces
    IDS_NONE_SELECTED = 57913,
    IDS_TOO_MANY_SELECTED = 57914,         // "%i" free spaces
    IDS_STATUS_CAPTION = 57915,
    IDS_ROW_PENDING = 57916,               // "%s" member name, from column 12
    IDS_ROW_LOADING = 57917,
    IDS_ROW_LOADED = 57918,
    IDS_ROW_FAILED = 57919,
    IDS_SUMMARY_CAPTION = 57920,
    IDS_SELECT_DIALOG_CAPTION = 57921,
    IDS_AVAILABLE_TAGS = 57922,
    IDS_TAGS_IN_GROUP = 57923,
    IDS_BUTTON_YES_TO_ALL = 57924,
    IDS_BUTTON_NO_TO_ALL = 57925,
    IDS_BUTTON_HELP = 57926,
    IDS_BUTTON_ADD = 57927,                // names of the arrow buttons (tooltips)
    IDS_BUTTON_REMOVE = 57928,
    // Extraction of a tag configuration from a report.
    IDS_SELECT_REPORT_FOR_EXTRACTION = 57940,
    IDS_EXTRACT_DIALOG_CAPTION = 57941,
    IDS_NO_TAG_SELECTED_FOR_EXTRACTION = 57942,
    IDS_EDIT_EXTRACTED_TAG = 57943,
    // Groups and downloads, later additions.
    IDS_NOT_A_GROUP_MEMBER = 58050,        // "%s" tag file name
    IDS_MISSING_MEMBER_ENTRY = 58051,      // "%s" member name: a member whose file is missing
    IDS_SUMMARY_FAILED_ROW = 58052,        // "%s" FAILED row, "%s" the reason in short
    IDS_REFUSED_FIELD_SHORT = 58053,       // "%s" calibrator error, "%s" field name
    IDS_PORT_LOST_SHORT = 58054,
};

}  // namespace res
