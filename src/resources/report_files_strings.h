// Ids of the report file commands' own texts beyond the shared report texts
// of reports_strings.h (dialog titles, filters, "File Open Error", ...): the
// time stamps of the proposed file names, the name the folder picker
// proposes, and the messages of a file that opened but could not be read or
// written to its end.
#pragma once

namespace res {

enum Report_files_string : int {
    IDS_SINGLE_FILE_STAMP = 57730,      // "%4i_%02i_%02i_%02i_%02i." year, month, day, hour, minute
    IDS_SEPARATE_FILE_STAMP = 57731,    // "_%4i_%02i_%02i_%02i_%02i."
    IDS_FOLDER_PICKER_NAME = 57732,     // "qxqxqxq"
    IDS_FILE_WRITE_ERROR = 57733,       // "%s" path, "%s" system reason
    IDS_FILE_READ_ERROR = 57734,        // "%s" path, "%s" system reason
    IDS_REPORT_FILE_TOO_LARGE = 57980,  // "%s" path, "%i" line limit, "%i" megabyte limit
    IDS_CANCEL_OPEN_CAPTION = 57981,    // the cancel window of a long File > Open
    IDS_READING_FILE_PROGRESS = 57982,  // "%i" percent read
    IDS_NOT_REGULAR_FILE = 58100,       // why a FIFO, device or folder is not read
    IDS_FILE_TOO_LARGE = 58101,         // "%i" kilobyte limit: why an over-long file is not read
};

}  // namespace res
