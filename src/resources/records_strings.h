// Ids of the calibration records' texts (58200..58319).
#pragma once

namespace res {

enum Records_string : int {
    IDS_RECORDED_COUNTS = 58200,            // "Recorded %i calibrations (%i already recorded)"
    IDS_FILE_IMPORT_COUNTS = 58201,         // "%s: %i recorded, %i already recorded"
    IDS_RECORDS_OPEN_FAILED = 58202,        // "Cannot open the records database %s: %s"
    IDS_RECORDS_NEWER_SCHEMA = 58203,       // file, its version, ours
    IDS_RECORDS_FOLDER_FAILED = 58204,      // folder, reason
    IDS_RECORDS_LOCKED = 58205,             // file, seconds
    IDS_RECORDS_WRITE_FAILED = 58206,       // file, reason
    IDS_RECORDS_READ_FAILED = 58207,        // file, reason
    IDS_RECORD_CONFLICT = 58208,            // tag, date
    IDS_REPORT_FILE_REFUSED = 58209,        // file, line, reason
    IDS_REPORT_FILE_REFUSED_NO_LINE = 58210,// file, reason
    IDS_RECORDING_FAILED = 58211,           // reason: the upload's reports stay unsaved
    IDS_TAG_NOT_RECORDED = 58212,           // tag
    IDS_CHAIN_INTACT = 58213,               // "%i records, chain intact"
    IDS_CHAIN_BROKEN = 58214,               // tag, date
    IDS_EXPORT_FAILED = 58215,              // file, reason
    IDS_RECORDING_UPLOAD = 58216,           // status while recording
    // Reasons a report cannot be read (the line is named by the message around them).
    IDS_REASON_NO_REPORT = 58220,
    IDS_REASON_MISSING_LINE = 58221,        // what is missing
    IDS_REASON_CUT = 58222,
    IDS_REASON_BAD_POINT = 58223,
    IDS_REASON_BINARY = 58224,
    IDS_REASON_TOO_LARGE = 58225,
    IDS_REASON_NOT_REGULAR = 58226,
    IDS_REASON_EMPTY = 58227,
    IDS_REASON_TWICE = 58228,               // tag, date: same calibration twice with different values
    IDS_REASON_BAD_DATE = 58229,
};

}  // namespace res
