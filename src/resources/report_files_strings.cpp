#include "resources/report_files_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> report_files_strings = {
    {IDS_SINGLE_FILE_STAMP, "%4i_%02i_%02i_%02i_%02i."},
    {IDS_SEPARATE_FILE_STAMP, "_%4i_%02i_%02i_%02i_%02i."},
    {IDS_FOLDER_PICKER_NAME, "qxqxqxq"},
    {IDS_FILE_WRITE_ERROR, "File Write Error: %s\n%s\nThe file was left as it was."},
    {IDS_FILE_READ_ERROR, "File Read Error: %s\n%s"},
    {IDS_REPORT_FILE_TOO_LARGE,
     "Report file too large: %s\nA report file may hold at most %i lines and %i MB.  The file was not opened."},
    {IDS_CANCEL_OPEN_CAPTION, "Cancel File Open"},
    {IDS_READING_FILE_PROGRESS, "Reading data from file:  %i%% read."},
    {IDS_NOT_REGULAR_FILE, "Not a regular file (a device, a pipe or a folder): it was not read."},
    {IDS_FILE_TOO_LARGE, "The file is larger than %i KB: it was not read."},
};

}  // namespace res
