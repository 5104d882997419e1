#include "resources/tags_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> tags_strings = {
    {IDS_SAVE_TAG_TITLE, "Save Tag File"},
    {IDS_TAG_FILTER, "Tag files (*.utg)|*.utg||"},
    {IDS_INVALID_TAG_FILE, "Invalid tag configuration file format."},
    {IDS_SELECT_TAG_TO_EDIT, "Select the tag to edit"},
    {IDS_SELECT_TAG_TO_DISPLAY, "Select the tag to display"},
    {IDS_SELECT_FIRST_GROUP_TAG, "Select the first tag for the group"},
    {IDS_TAG_FILE_CREATE_ERROR, "File Open Error: %s\n%s\nThe file was left as it was."},

    {IDS_LABEL_COLD_JUNCTION, "CJ:"},
    {IDS_LABEL_WIRES, "Wires:"},

    // Field names 1..25 (id = 57744 + field).
    {IDS_FIELD_NAME_BASE + 1, "Tag ID"},
    {IDS_FIELD_NAME_BASE + 2, "Manufacturer"},
    {IDS_FIELD_NAME_BASE + 3, "Instrument Serial Number"},
    {IDS_FIELD_NAME_BASE + 4, "Technician"},
    {IDS_FIELD_NAME_BASE + 5, "Temperature"},
    {IDS_FIELD_NAME_BASE + 6, "Humidity"},
    {IDS_FIELD_NAME_BASE + 7, "Other"},
    {IDS_FIELD_NAME_BASE + 8, "Model"},
    {IDS_FIELD_NAME_BASE + 9, "Instrument Input Type"},
    {IDS_FIELD_NAME_BASE + 10, "Instrument Input Units"},
    {IDS_FIELD_NAME_BASE + 11, "Instrument Input Curve"},
    {IDS_FIELD_NAME_BASE + 12, "Instrument Input Auxiliary Value"},
    {IDS_FIELD_NAME_BASE + 13, "Instrument Input Frequency Amplitude"},
    {IDS_FIELD_NAME_BASE + 14, "Instrument Input Pulse Fixed Type"},
    {IDS_FIELD_NAME_BASE + 15, "Instrument Input Pulse Fixed Value"},
    {IDS_FIELD_NAME_BASE + 16, "Instrument Output Type"},
    {IDS_FIELD_NAME_BASE + 17, "Instrument Output Units"},
    {IDS_FIELD_NAME_BASE + 18, "Instrument Output Curve"},
    {IDS_FIELD_NAME_BASE + 19, "Instrument Output Auxiliary Value"},
    {IDS_FIELD_NAME_BASE + 20, "Tolerance, %span"},
    {IDS_FIELD_NAME_BASE + 21, "Instrument Input Range Low"},
    {IDS_FIELD_NAME_BASE + 22, "Instrument Input Range High"},
    {IDS_FIELD_NAME_BASE + 23, "Instrument Output Range Low"},
    {IDS_FIELD_NAME_BASE + 24, "Instrument Ouput Range High"},  // spelled so
    {IDS_FIELD_NAME_BASE + 25, "Number of Test Points"},
    {IDS_FIELD_TEST_POINT, "Test Point %i"},

    {IDS_ENTER_NUMBER, "Please enter a number."},
    {IDS_ENTER_INTEGER, "Please enter an integer."},
    {IDS_NUMBER_BETWEEN, "Please enter a number between %s and %s."},
    {IDS_INTEGER_BETWEEN, "Please enter an integer between %s and %s."},
    {IDS_TOO_MANY_CHARACTERS, "Please enter no more than %i characters."},
    {IDS_TAG_ID_BLANK_WARNING,
     "Tag ID can not be blank, and must not start with a space, when tag is downloaded.  Continue?"},
    {IDS_NON_STANDARD_WARNING, "Non-standard values (%s) require special calibrator software.  Continue?"},
    {IDS_MV_WARNING,
     "mV units and mV curve should usually be used together, and not with other selections.  Continue?"},
    {IDS_OHMS_WARNING,
     "Ohms units and Ohms curve should usually be used together, and not with other selections.  Continue?"},
    {IDS_MANUAL_UNITS_WARNING,
     "Manual type units should usually not be longer than 5 characters for download.  Continue?"},
    {IDS_INPUT_RANGE_WARNING, "Input range must be at least 0.0001 when tag is downloaded.  Continue?"},
    {IDS_EDIT_NEW_TAG, "Edit new tag"},
    {IDS_EDIT_TAG, "Edit tag:  %s"},
    {IDS_MODIFY_POINTS_TITLE, "Modify Test Points List"},
    {IDS_GENERATE_POINTS_TITLE, "Generate Test Points"},
    {IDS_INSERT_POINT_PROMPT, "Insert Point Before:"},
    {IDS_DELETE_POINT_PROMPT, "Delete Point:"},
};

}  // namespace res
