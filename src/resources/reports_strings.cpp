#include "resources/reports_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> reports_strings = {
    {IDS_UPLOADING_ALL_REPORTS, "Uploading reports for all calibrated Tags.  Please wait."},
    {IDS_UPLOADING_SELECTED_REPORTS, "Uploading reports for selected calibrated Tags.  Please wait."},
    {IDS_UPLOAD_PROGRESS_ALL, "Uploading reports for all calibrated Tags:  %i of %i."},
    {IDS_UPLOAD_PROGRESS_SELECTED, "Uploading reports for selected calibrated Tags:  %i of %i."},
    {IDS_NO_CALIBRATED_TAGS, "No calibrated tags are selected or available."},
    {IDS_NOT_CALIBRATED_QUESTION, "Some tags are NOT calibrated and will NOT be uploaded.  Continue?"},
    {IDS_CRITICAL_DATA_INVALID, "Critical uploaded data was invalid.  Try again."},
    {IDS_CANCEL_UPLOAD_CAPTION, "Cancel Tag Upload"},

    {IDS_OPEN_REPORT_TITLE, "Open Report File"},
    {IDS_SAVE_SINGLE_TITLE, "Save Reports in Single File"},
    {IDS_SAVE_SEPARATE_TITLE, "Save Reports as Separate Files"},
    {IDS_SAVE_DIRECTORIES_TITLE, "Save Reports in Separate Directories"},
    {IDS_FILTER_OPEN_REPORTS, "TXT files (*.txt)|*.txt|CSV files (*.csv)|*.csv||"},
    {IDS_FILTER_TXT, "TXT files (*.txt)|*.txt||"},
    {IDS_FILTER_CSV, "CSV files (*.csv)|*.csv||"},
    {IDS_FILTER_ALL, "All files (*.*)|*.*||"},
    {IDS_FILE_OPEN_ERROR, "File Open Error"},
    {IDS_CREATE_DIRECTORY_ERROR, "Create Directory Error"},
    {IDS_NO_REPORTS, "There are no reports available"},
    {IDS_READING_FILE, "Reading data from file.  Please wait."},
    {IDS_WRITING_FILE, "Writing data to file.  Please wait."},

    {IDS_PRINTING_REPORTS, "Printing reports.  Please wait."},
    {IDS_PRINT_FAILED, "Could not generate report"},
    {IDS_PRINT_DOCUMENT_NAME, "TQ740-SW Reports"},
    {IDS_FONT_SIZE_TITLE, "Select Font Size"},
    {IDS_PAGE_LABEL_TEXT, "%50sPage %i"},
    {IDS_PAGE_LABEL_CSV, "\"Page %i\""},
};

}  // namespace res
