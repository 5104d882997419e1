// Ids of the texts of Records > Database...: the dialog that chooses where
// the calibration records are kept (58450..58499).
#pragma once

namespace res {

enum Database_dialog_string : int {
    ID_RECORDS_DATABASE = 58450,            // Records > Database... (its prompt)
    // The dialog's title, labels and buttons.
    IDS_DB_TITLE = 58451,
    IDS_DB_IN_USE_LABEL = 58452,
    IDS_DB_DEFAULT_RADIO = 58453,
    IDS_DB_FILE_RADIO = 58454,
    IDS_DB_SERVER_RADIO = 58455,
    IDS_DB_BROWSE = 58456,
    IDS_DB_ADDRESS_PLACEHOLDER = 58457,
    IDS_DB_PASSWORD_HINT = 58458,
    IDS_DB_TEST_BUTTON = 58459,
    IDS_DB_CURRENT_DEFAULT = 58460,         // path
    IDS_DB_PICK_TITLE = 58461,
    IDS_DB_PICK_FILTER = 58462,
    IDS_DB_CONNECTING = 58463,              // path or address
    // What a choice that does not check out is refused with.
    IDS_DB_NO_FILE = 58470,
    IDS_DB_NO_ADDRESS = 58471,
    IDS_DB_FILE_NOT_WHOLE_PATH = 58472,     // path
    IDS_DB_FILE_IS_FOLDER = 58473,          // path, path
    IDS_DB_FILE_IS_ADDRESS = 58474,         // text
    IDS_DB_ADDRESS_NO_SCHEME = 58475,       // a reason of IDS_BAD_ADDRESS
    IDS_DB_CONTROL_CHARACTER = 58476,
    // The line Test Connection gives.
    IDS_DB_TEST_CONNECTED = 58477,          // count ("1,234")
    IDS_DB_TEST_CONNECTED_ONE = 58478,
    IDS_DB_TEST_READ_ONLY = 58479,          // path that cannot be written, reason
    IDS_DB_TEST_NEW_FILE = 58480,           // path
    IDS_DB_TEST_CANNOT_MAKE = 58481,        // path, folder, reason
    // Saving the choice.
    IDS_DB_SETTINGS_NOT_WRITTEN = 58482,    // settings file, database in use
    IDS_DB_SAVED = 58483,                   // database now in use
    IDS_DB_NEEDS_DESKTOP = 58484,
};

}  // namespace res
