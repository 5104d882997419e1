#include "records/due_dates.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace records {

namespace {

using std::chrono::day;
using std::chrono::days;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

sys_days day_number(const Date_time& date) {
    return sys_days(year_month_day(year(date.year), month(static_cast<unsigned>(date.month)),
                                   day(static_cast<unsigned>(date.day))));
}

Date_time date_of(sys_days number) {
    const year_month_day ymd(number);
    return Date_time{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                     static_cast<int>(static_cast<unsigned>(ymd.day())), 0, 0, 0};
}

}  // namespace

std::string due_status_text(Due_status status) {
    switch (status) {
    case Due_status::overdue: return "overdue";
    case Due_status::due: return "due";
    case Due_status::ok: break;
    }
    return "ok";
}

Date_time add_days(const Date_time& date, int count) { return date_of(day_number(date) + days(count)); }

long long days_between(const Date_time& from, const Date_time& to) {
    return (day_number(to) - day_number(from)).count();
}

Due due_of(const Date_time& last_calibrated, int interval_days, const Date_time& today, int window_days) {
    Due due;
    due.date = add_days(last_calibrated, interval_days);
    due.days_left = days_between(today, due.date);
    if (due.days_left < 0)
        due.status = Due_status::overdue;
    else if (due.days_left <= window_days)
        due.status = Due_status::due;
    else
        due.status = Due_status::ok;
    return due;
}

std::optional<Date_time> parse_date(const std::string& text) {
    // Exactly YYYY-MM-DD: ten characters, digits around two dashes.
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    const int y = std::stoi(text.substr(0, 4));
    const int m = std::stoi(text.substr(5, 2));
    const int d = std::stoi(text.substr(8, 2));
    const year_month_day ymd(year(y), month(static_cast<unsigned>(m)), day(static_cast<unsigned>(d)));
    if (y < 1 || !ymd.ok()) return std::nullopt;
    return Date_time{y, m, d, 0, 0, 0};
}

std::optional<int> parse_days(const std::string& text, int low, int high) {
    // Plain digits only (no sign, no spaces, no decimals), and not so many
    // that the number could overflow.
    if (text.empty() || text.size() > 9) return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
    const int value = std::stoi(text);
    if (value < low || value > high) return std::nullopt;
    return value;
}

Date_time local_date(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    return Date_time{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, 0, 0, 0};
}

Date_time today_local() { return local_date(std::time(nullptr)); }

std::vector<Tag_due> due_dates(const std::vector<Tag_summary>& tags, const std::map<std::string, int>& intervals,
                               int default_interval, const Date_time& today, int window_days) {
    std::vector<Tag_due> result;
    result.reserve(tags.size());
    for (const Tag_summary& tag : tags) {
        Tag_due t;
        t.tag = tag;
        const auto own = intervals.find(tag.tag_id);
        t.own_interval = own != intervals.end();
        t.interval_days = t.own_interval ? own->second : default_interval;
        t.due = due_of(tag.last_calibrated, t.interval_days, today, window_days);
        result.push_back(std::move(t));
    }
    return result;
}

std::vector<Tag_due> due_or_overdue(std::vector<Tag_due> tags) {
    std::erase_if(tags, [](const Tag_due& t) { return t.due.status == Due_status::ok; });
    // Earliest due date first; ties keep the tag list's order.
    std::stable_sort(tags.begin(), tags.end(),
                     [](const Tag_due& a, const Tag_due& b) { return a.due.days_left < b.due.days_left; });
    return tags;
}

int overdue_count(const std::vector<Tag_due>& tags) {
    return static_cast<int>(std::count_if(
        tags.begin(), tags.end(), [](const Tag_due& t) { return t.due.status == Due_status::overdue; }));
}

}  // namespace records
