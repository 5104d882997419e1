// Due dates: the last calibration + the interval across month and year ends
// and leap days, the overdue / due / ok boundaries on both sides, and the
// texts a date or a number of days is read from.
#include <gtest/gtest.h>

#include "records/due_dates.h"

namespace {

using records::Due_status;

records::Date_time date(const char* text) {
    const auto parsed = records::parse_date(text);
    EXPECT_TRUE(parsed.has_value()) << text;
    return parsed.value_or(records::Date_time{});
}

TEST(Due_dates, the_due_date_and_status_across_month_ends_and_leap_years) {
    struct Row {
        records::Date_time last;   // the last calibration (its time of day is ignored)
        int interval;
        const char* today;
        int window;
        const char* due;
        Due_status status;
    };
    const Row rows[] = {
        // Month and year ends.
        {{2025, 1, 31, 23, 59, 59}, 30, "2025-01-01", 30, "2025-03-02", Due_status::ok},
        {{2024, 12, 31, 0, 0, 0}, 1, "2024-12-31", 30, "2025-01-01", Due_status::due},
        {{2025, 4, 30, 10, 0, 0}, 1, "2025-05-01", 0, "2025-05-01", Due_status::due},
        // Leap days: 2024 and 2000 have one, 2023 and 1900 do not.
        {{2024, 2, 28, 9, 0, 0}, 1, "2024-01-01", 30, "2024-02-29", Due_status::ok},
        {{2023, 2, 28, 9, 0, 0}, 1, "2023-01-01", 30, "2023-03-01", Due_status::ok},
        {{2000, 2, 28, 9, 0, 0}, 1, "2000-01-01", 30, "2000-02-29", Due_status::ok},
        {{1900, 2, 28, 9, 0, 0}, 1, "1900-01-01", 30, "1900-03-01", Due_status::ok},
        {{2024, 2, 29, 9, 0, 0}, 365, "2025-01-01", 30, "2025-02-28", Due_status::ok},
        {{2023, 3, 1, 9, 0, 0}, 365, "2023-03-01", 30, "2024-02-29", Due_status::ok},
        {{2016, 3, 1, 0, 0, 0}, 3650, "2026-01-28", 30, "2026-02-27", Due_status::due},
        // Overdue only after the due date: on it, it is due.
        {{2025, 3, 7, 9, 20, 44}, 365, "2026-03-07", 30, "2026-03-07", Due_status::due},
        {{2025, 3, 7, 9, 20, 44}, 365, "2026-03-08", 30, "2026-03-07", Due_status::overdue},
        // Due soon from `window` days before the due date, not one day earlier.
        {{2025, 3, 7, 9, 20, 44}, 365, "2026-02-05", 30, "2026-03-07", Due_status::due},
        {{2025, 3, 7, 9, 20, 44}, 365, "2026-02-04", 30, "2026-03-07", Due_status::ok},
        {{2025, 3, 7, 9, 20, 44}, 365, "2026-03-06", 0, "2026-03-07", Due_status::ok},
        {{2025, 3, 7, 9, 20, 44}, 365, "2026-03-07", 0, "2026-03-07", Due_status::due},
        // The window reaches across a leap day: 2028-02-29 counts.
        {{2027, 3, 30, 0, 0, 0}, 365, "2028-02-28", 30, "2028-03-29", Due_status::due},
        {{2027, 3, 30, 0, 0, 0}, 365, "2028-02-27", 30, "2028-03-29", Due_status::ok},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(records::date_time_text(row.last) + " + " + std::to_string(row.interval) + " on " + row.today);
        const records::Due due = records::due_of(row.last, row.interval, date(row.today), row.window);
        EXPECT_EQ(records::date_text(due.date), row.due);
        EXPECT_EQ(records::due_status_text(due.status), records::due_status_text(row.status));
        EXPECT_EQ(due.days_left, records::days_between(date(row.today), due.date));
    }
}

TEST(Due_dates, dates_and_numbers_of_days_are_read_only_when_whole_and_in_range) {
    struct Row {
        const char* text;
        bool date;                // a date (else: an interval of 1..3650 days)
        const char* read;         // the date or the number read back ("": refused)
    };
    const Row rows[] = {
        {"2024-02-29", true, "2024-02-29"}, {"2023-02-29", true, ""},   {"2025-04-31", true, ""},
        {"2025-12-31", true, "2025-12-31"}, {"2025-13-01", true, ""},   {"2025-00-10", true, ""},
        {"2025-1-01", true, ""},            {"2025-01-01 ", true, ""},  {"2025/01/01", true, ""},
        {"0000-01-01", true, ""},           {"", true, ""},
        {"1", false, "1"},                  {"0", false, ""},           {"3650", false, "3650"},
        {"3651", false, ""},                {"12.5", false, ""},        {"+30", false, ""},
        {"-1", false, ""},                  {" 30", false, ""},         {"99999999999", false, ""},
        {"", false, ""},                    {"030", false, "30"},
    };
    for (const Row& row : rows) {
        const auto date = records::parse_date(row.text);
        const auto days = records::parse_days(row.text);
        const std::string read = row.date ? (date ? records::date_text(*date) : "") : (days ? std::to_string(*days) : "");
        EXPECT_EQ(read, row.read) << '"' << row.text << '"';
    }
}

}  // namespace
