#include "resources/due_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> due_strings = {
    {IDS_BAD_INTERVAL, "The calibration interval must be a whole number of days from 1 to 3650, not \"%s\"."},
    {IDS_INTERVAL_SET, "Tag %s: calibration interval %i days, next due %s"},
    {IDS_BAD_DATE, "\"%s\" is not a date: write it as YYYY-MM-DD."},
    {IDS_BAD_WINDOW, "The number of days must be a whole number from 0 to 3650, not \"%s\"."},
    {IDS_ONE_TAG_OVERDUE, "1 tag overdue for calibration"},
    {IDS_TAGS_OVERDUE, "%i tags overdue for calibration"},
    {IDS_DUE_OVERDUE, "Overdue"},
    {IDS_DUE_SOON, "Due soon"},
    {IDS_DUE_OK, "OK"},
    {IDS_COLUMN_DUE, "Due"},
    {IDS_COLUMN_DUE_STATUS, "Due Status"},
    {IDS_COLUMN_INTERVAL, "Interval"},
    {IDS_SET_INTERVAL_BUTTON, "Set &Interval..."},
    {IDS_SET_INTERVAL_TITLE, "Calibration Interval"},
    {IDS_SET_INTERVAL_PROMPT, "Calibration interval of tag %s, in days (1 to 3650; the default is %i):"},
    {IDS_DUE_WINDOW_LABEL, "Due soon within (days):"},
    {IDS_INTERVAL_DAYS, "%i days"},
    {IDS_INTERVAL_DEFAULT_DAYS, "%i days (default)"},
};

}  // namespace res
