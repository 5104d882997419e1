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

    {IDS_TAG_DISPLAY_CAPTION, "Tag Configuration:  %s"},
    {IDS_GROUP_DISPLAY_CAPTION, "Group Configuration:  %s"},
    {IDS_SELECT_GROUP_TO_DISPLAY, "Select the group to display"},
    {IDS_DISPLAY_PAGE_HEADER, "%-50sPage %i"},
    {IDS_BUTTON_PRINT, "Print"},
    {IDS_GROUP_FILTER, "Group files (*.ugp)|*.ugp||"},
    {IDS_SAVE_GROUP_TITLE, "Save Group File"},
    {IDS_INVALID_GROUP_FILE, "Invalid group configuration file format."},
    {IDS_SELECT_GROUP_TO_EDIT, "Select the group to edit"},
    {IDS_SELECT_GROUP_TO_DOWNLOAD, "Select the group to download"},
    {IDS_EDIT_GROUP_CAPTION, "Edit group:  %s"},
    {IDS_EDIT_NEW_GROUP, "Edit new group"},
    {IDS_KEEP_MISSING_MEMBER, "Tag '%s' is no longer available in the group directory.  KEEP it in the group?"},
    {IDS_GROUP_TOO_LARGE, "A group holds at most %i tags; \"Tags in Group\" lists %i.  Remove some before pressing OK."},
    {IDS_DOWNLOADING_GROUP, "Downloading group."},
    {IDS_EMPTY_GROUP, "There are no tags in the selected group."},
    {IDS_MEMBERS_MISSING,
     "One or more tags in the group are missing from the group directory and will not be displayed for selection.  "
     "Use the group edit function to examine and correct this problem.  Continue?"},
    {IDS_SELECT_MEMBERS_CAPTION, "Select up to %i tags from group for download."},
    {IDS_NONE_SELECTED, "No tags have been selected for download."},
    {IDS_TOO_MANY_SELECTED,
     "Too many tags have been selected for download.  Only %i spaces are available in the calibrator."},
    {IDS_STATUS_CAPTION, "Download status display, press Cancel to stop download"},
    {IDS_ROW_PENDING, "Pending    %s"},
    {IDS_ROW_LOADING, "Loading >  %s"},
    {IDS_ROW_LOADED, "Loaded     %s"},
    {IDS_ROW_FAILED, "FAILED     %s"},
    {IDS_SUMMARY_CAPTION, "Group Download Summary"},
    {IDS_SELECT_DIALOG_CAPTION, "Select tags for download"},
    {IDS_AVAILABLE_TAGS, "Available Tags"},
    {IDS_TAGS_IN_GROUP, "Tags in Group"},
    {IDS_BUTTON_YES_TO_ALL, "Yes to All"},
    {IDS_BUTTON_NO_TO_ALL, "No to All"},
    {IDS_BUTTON_HELP, "Help"},
    {IDS_BUTTON_ADD, "Add"},
    {IDS_BUTTON_REMOVE, "Remove"},
};

}  // namespace res
