#include "resources/download_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> download_strings = {
    {IDS_DOWNLOAD_NOT_AVAILABLE, "Tag download is not available on this calibrator version."},
    {IDS_DOWNLOADING_TAG, "Downloading tag."},
    {IDS_DOWNLOAD_PROGRESS, "Downloading Tags:  %i of %i"},
    {IDS_CANCEL_DOWNLOAD_CAPTION, "Cancel Tag Download"},
    {IDS_USER_CANCELLED_DOWNLOAD, "User cancelled tag download."},
    {IDS_NO_FREE_SPACE, "There is no free space available in the calibrator."},
    {IDS_FIELD_REFUSED, "%s\nTag: %s\nField: %s"},
    {IDS_UNKNOWN_FIELD_NUMBER, "Unknown field number %i."},
    {IDS_SELECT_TAG_TO_DOWNLOAD, "Select the tag to download"},
};

}  // namespace res
