// Due dates: when each tag's next calibration is due, and whether it is
// overdue or due soon, from its last calibration date and its interval.
//
// Widget-free and clock-free: "today" is always passed in, so the command
// line's --today and the tests give the date the same way the system does.
#pragma once

#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "records/calibration_record.h"

namespace records {

// The interval when neither the settings nor the tag give one.
inline constexpr int default_interval_days = 365;
// A tag is "due soon" this many days before its due date, unless the window
// or the command asks for another.
inline constexpr int default_due_window_days = 30;
// The intervals a tag may have.
inline constexpr int min_interval_days = 1;
inline constexpr int max_interval_days = 3650;

enum class Due_status { ok, due, overdue };
// "ok", "due" or "overdue": the list's and the due command's form.
std::string due_status_text(Due_status status);

struct Due {
    Date_time date;                 // the due date (time of day 0)
    Due_status status = Due_status::ok;
    long long days_left = 0;        // due date minus today; negative when overdue
};

// The date `days` days after `date` (its time of day dropped), across month
// and year ends by the proleptic Gregorian calendar.
Date_time add_days(const Date_time& date, int days);
// Whole days from `from` to `to` (their dates only); negative when `to` is earlier.
long long days_between(const Date_time& from, const Date_time& to);

// A tag's interval is its own (Record_store::interval_of) or else the
// settings' (Records_settings::interval_days); the due date after a given
// calibration (a certificate's) is add_days(its date, that interval).
//
// The due date = the last calibration's date + the interval.  Overdue when
// today is after the due date; due when the due date is at most
// `window_days` days away (the due date itself included); ok otherwise.
Due due_of(const Date_time& last_calibrated, int interval_days, const Date_time& today, int window_days);

// A calendar date "YYYY-MM-DD" (exactly that form, a real day); nothing for
// any other text.
std::optional<Date_time> parse_date(const std::string& text);
// An interval or a window in days: a whole number from `low` to `high`
// written in plain digits; nothing for any other text.
std::optional<int> parse_days(const std::string& text, int low = min_interval_days, int high = max_interval_days);

// The local date at a moment (seconds since the epoch, as the clocks give it).
Date_time local_date(std::time_t moment);
// The system's date today (local time).
Date_time today_local();

// One tag with its interval and due date.
struct Tag_due {
    Tag_summary tag;
    int interval_days = default_interval_days;
    bool own_interval = false;      // the tag has its own interval (else the default)
    Due due;
};

// Every tag's due date: each tag's own interval from `intervals`, else
// `default_interval`.  In the order of `tags`.
std::vector<Tag_due> due_dates(const std::vector<Tag_summary>& tags, const std::map<std::string, int>& intervals,
                               int default_interval, const Date_time& today, int window_days);
// The tags that are overdue or due, the most overdue (earliest due date) first.
std::vector<Tag_due> due_or_overdue(std::vector<Tag_due> tags);
// How many of the tags are overdue.
int overdue_count(const std::vector<Tag_due>& tags);

}  // namespace records
