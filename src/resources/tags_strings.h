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
};

}  // namespace res
