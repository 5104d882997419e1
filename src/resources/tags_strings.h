// Ids of the tags subsystem's texts.
#pragma once

namespace res {

enum Tags_string : int {
    // Tag configuration files.
    IDS_SAVE_TAG_TITLE = 57735,            // "Save Tag File"
    IDS_TAG_FILTER = 57736,                // "Tag files (*.utg)|*.utg||"
    IDS_INVALID_TAG_FILE = 57737,
    IDS_SELECT_TAG_TO_EDIT = 57738,
    IDS_SELECT_TAG_TO_DISPLAY = 57739,
    IDS_SELECT_FIRST_GROUP_TAG = 57740,
    IDS_TAG_FILE_CREATE_ERROR = 57741,     // "%s" path, "%s" system reason
    // Labels of the auxiliary choice beside its list.
    IDS_LABEL_COLD_JUNCTION = 57742,   // "CJ:"
    IDS_LABEL_WIRES = 57743,           // "Wires:"
    // Names of the tag configuration fields 1..25 (id = base + field); the
    // download's error messages show them.
    IDS_FIELD_NAME_BASE = 57744,
    // Name of fields 26..46, with the point number 1..21.
    IDS_FIELD_TEST_POINT = 57770,

    // The tag editor's checks of the values typed into its pages and dialogs.
    IDS_ENTER_NUMBER = 57771,
    IDS_ENTER_INTEGER = 57772,
    IDS_NUMBER_BETWEEN = 57773,        // "%s" low bound, "%s" high bound (6 significant digits)
    IDS_INTEGER_BETWEEN = 57774,       // "%s" low bound, "%s" high bound
    IDS_TOO_MANY_CHARACTERS = 57775,   // "%i" the most characters
    // Warnings on leaving an editor page.
    IDS_TAG_ID_BLANK_WARNING = 57776,
    IDS_NON_STANDARD_WARNING = 57777,  // "%s" the words, separated by ", "
    IDS_MV_WARNING = 57778,
    IDS_OHMS_WARNING = 57779,
    IDS_MANUAL_UNITS_WARNING = 57780,
    IDS_INPUT_RANGE_WARNING = 57696,
    // Titles and prompts of the editor and its dialogs.
    IDS_EDIT_NEW_TAG = 57697,
    IDS_EDIT_TAG = 57698,              // "%s" the tag file name
    IDS_MODIFY_POINTS_TITLE = 57699,
    IDS_GENERATE_POINTS_TITLE = 57700,
    IDS_INSERT_POINT_PROMPT = 57728,
    IDS_DELETE_POINT_PROMPT = 57729,
};

}  // namespace res
