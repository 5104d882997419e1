// Ids of the download subsystem's texts.
#pragma once

namespace res {

enum Download_string : int {
    IDS_DOWNLOAD_NOT_AVAILABLE = 57687,
    IDS_DOWNLOADING_TAG = 57688,
    IDS_DOWNLOAD_PROGRESS = 57689,         // "%i of %i"
    IDS_CANCEL_DOWNLOAD_CAPTION = 57690,
    IDS_USER_CANCELLED_DOWNLOAD = 57691,
    IDS_NO_FREE_SPACE = 57692,
    IDS_FIELD_REFUSED = 57693,             // "%s" error text, "%s" tag file name, "%s" field name
    IDS_UNKNOWN_FIELD_NUMBER = 57694,      // "%i" field number
    IDS_SELECT_TAG_TO_DOWNLOAD = 57695,
};

}  // namespace res
