// Ids of the reports subsystem's texts: upload progress and questions, report
// file dialogs and messages, printing.  The report lines themselves are the
// report file format and live with the layouts (reports/report_layout.cpp).
#pragma once

namespace res {

enum Reports_string : int {
    // Report upload.
    IDS_UPLOADING_ALL_REPORTS = 57701,
    IDS_UPLOADING_SELECTED_REPORTS = 57702,
    IDS_UPLOAD_PROGRESS_ALL = 57703,        // "%i of %i"
    IDS_UPLOAD_PROGRESS_SELECTED = 57704,   // "%i of %i"
    IDS_NO_CALIBRATED_TAGS = 57705,
    IDS_NOT_CALIBRATED_QUESTION = 57706,
    IDS_CRITICAL_DATA_INVALID = 57707,
    IDS_CANCEL_UPLOAD_CAPTION = 57708,
    // Report files.
    IDS_OPEN_REPORT_TITLE = 57709,
    IDS_SAVE_SINGLE_TITLE = 57710,
    IDS_SAVE_SEPARATE_TITLE = 57711,
    IDS_SAVE_DIRECTORIES_TITLE = 57712,
    IDS_FILTER_OPEN_REPORTS = 57713,
    IDS_FILTER_TXT = 57714,
    IDS_FILTER_CSV = 57715,
    IDS_FILTER_ALL = 57716,
    IDS_FILE_OPEN_ERROR = 57717,
    IDS_CREATE_DIRECTORY_ERROR = 57718,
    IDS_NO_REPORTS = 57719,
    IDS_READING_FILE = 57720,
    IDS_WRITING_FILE = 57721,
    // Printing.
    IDS_PRINTING_REPORTS = 57722,
    IDS_PRINT_FAILED = 57723,
    IDS_PRINT_DOCUMENT_NAME = 57724,
    IDS_FONT_SIZE_TITLE = 57725,
    IDS_PAGE_LABEL_TEXT = 57726,            // "%50sPage %i" with " "
    IDS_PAGE_LABEL_CSV = 57727,             // "\"Page %i\""
};

}  // namespace res
