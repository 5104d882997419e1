// Ids of the due dates' texts (58230..58259).
#pragma once

namespace res {

enum Due_string : int {
    IDS_BAD_INTERVAL = 58230,               // the text given: not a whole number of days 1..3650
    IDS_INTERVAL_SET = 58231,               // tag, days, due date
    IDS_BAD_DATE = 58232,                   // the text given: not a date
    IDS_BAD_WINDOW = 58233,                 // the text given: not a whole number of days 0..3650
    IDS_ONE_TAG_OVERDUE = 58234,            // start-up status line, one tag
    IDS_TAGS_OVERDUE = 58235,               // start-up status line, %i tags
    IDS_DUE_OVERDUE = 58236,                // the window's status text of an overdue tag
    IDS_DUE_SOON = 58237,                   // ... of a tag due within the window
    IDS_DUE_OK = 58238,                     // ... of a tag not yet due
    IDS_COLUMN_DUE = 58239,
    IDS_COLUMN_DUE_STATUS = 58240,
    IDS_COLUMN_INTERVAL = 58241,
    IDS_SET_INTERVAL_BUTTON = 58242,
    IDS_SET_INTERVAL_TITLE = 58243,
    IDS_SET_INTERVAL_PROMPT = 58244,        // tag, default interval
    IDS_DUE_WINDOW_LABEL = 58245,           // the window's "due soon" days field
    IDS_INTERVAL_DAYS = 58246,              // the interval column's text, %i days
    IDS_INTERVAL_DEFAULT_DAYS = 58247,      // ... when the tag takes the default
};

}  // namespace res
