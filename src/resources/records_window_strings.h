// Ids of the desktop program's records texts: the Records menu, the
// Calibration Records window and Import Reports (58320..58399).
#pragma once

namespace res {

// The Records menu's commands.  As with every menu command, the id is also
// the id of its status-line prompt.
enum Records_command_id : int {
    ID_RECORDS_BROWSE = 58320,   // Records > Calibration Records...
    ID_RECORDS_IMPORT = 58321,   // Records > Import Reports...
};

enum Records_window_string : int {
    IDS_RECORDS_WINDOW_TITLE = 58322,
    IDS_RECORDS_FILTER_LABEL = 58323,
    // The tag list's columns.
    IDS_RECORDS_COLUMN_TAG = 58324,
    IDS_RECORDS_COLUMN_LAST_CALIBRATED = 58325,
    IDS_RECORDS_COLUMN_AS_FOUND = 58326,
    IDS_RECORDS_COLUMN_AS_LEFT = 58327,
    IDS_RECORDS_COLUMN_CALIBRATIONS = 58328,
    // The calibrations' columns (As Found and As Left are the tag list's).
    IDS_RECORDS_COLUMN_CALIBRATED = 58329,
    IDS_RECORDS_COLUMN_TECHNICIAN = 58330,
    IDS_RECORDS_COLUMN_CALIBRATOR = 58331,
    IDS_RECORDS_COLUMN_SOURCE = 58332,
    // The point tables' columns.
    IDS_RECORDS_COLUMN_POINT = 58333,
    IDS_RECORDS_COLUMN_INPUT = 58334,
    IDS_RECORDS_COLUMN_READING = 58335,
    IDS_RECORDS_COLUMN_ERROR = 58336,
    IDS_RECORDS_COLUMN_VERDICT = 58337,
    // Labels above the lists.
    IDS_RECORDS_TAGS_LABEL = 58338,          // "%i of %i tags"
    IDS_RECORDS_CALIBRATIONS_LABEL = 58339,  // "Calibrations of %s, newest first"
    IDS_RECORDS_NO_TAG_LABEL = 58340,
    IDS_RECORDS_AS_FOUND_LABEL = 58341,      // "As Found: %s"
    IDS_RECORDS_AS_LEFT_LABEL = 58342,       // "As Left: %s"
    // The selected calibration's details.
    IDS_RECORDS_DETAIL_INSTRUMENT = 58343,   // manufacturer, model, serial
    IDS_RECORDS_DETAIL_SIGNALS = 58344,      // input type, range, output type, range
    IDS_RECORDS_DETAIL_TOLERANCE = 58345,    // tolerance, temperature, humidity
    IDS_RECORDS_DETAIL_CALIBRATOR = 58346,   // calibrator, its last calibration
    IDS_RECORDS_DETAIL_RECORDED = 58347,     // recorded at, source
    IDS_RECORDS_DETAIL_HASH = 58348,         // sha256
    // Buttons.
    IDS_RECORDS_PRINT = 58349,
    IDS_RECORDS_OPEN_IN_LIST = 58350,
    IDS_RECORDS_CLOSE = 58351,
    IDS_RECORDS_HELP = 58352,
    // Import Reports.
    IDS_IMPORT_TITLE = 58353,
    IDS_IMPORT_FILTER = 58354,
    // Status line and messages.
    IDS_IMPORTING_FILES = 58360,             // "%i" files
    IDS_RECORDS_NO_LINES = 58361,            // "%s" tag, "%s" date
    IDS_RECORDS_EMPTY = 58362,
};

}  // namespace res
