#include "resources/report_files_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> report_files_strings = {
    {IDS_SINGLE_FILE_STAMP, "%4i_%02i_%02i_%02i_%02i."},
    {IDS_SEPARATE_FILE_STAMP, "_%4i_%02i_%02i_%02i_%02i."},
    {IDS_FOLDER_PICKER_NAME, "qxqxqxq"},
    {IDS_FILE_WRITE_ERROR, "File Write Error: %s\n%s\nThe file was left as it was."},
    {IDS_FILE_READ_ERROR, "File Read Error: %s\n%s"},
};

}  // namespace res
