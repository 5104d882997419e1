// tq740-cli records: the calibration records from a shell.
//
//   tq740-cli records list                   one tab-separated line per tag
//   tq740-cli records show TAG [--json]      every calibration of the tag, oldest first
//   tq740-cli records import FILE...         record saved report files
//   tq740-cli records verify                 check every hash and the chain
//   tq740-cli records export --csv FILE      one row per point per calibration
//   tq740-cli records certificate TAG [--calibrated "YYYY-MM-DD HH:MM:SS"] --pdf OUT.pdf
//                                            a calibration certificate into a PDF file
//   tq740-cli records due [--within DAYS] [--today YYYY-MM-DD]
//                                            the tags overdue or due, most overdue first
//   tq740-cli records interval TAG DAYS      the tag's own calibration interval
//
// The database is the one --records names, else [records] database, else
// the default.  Nothing here writes the settings file.
#pragma once

#include <string>
#include <vector>

namespace ui::console {

// What the certificate takes from the settings: the company name and the
// printing font size.
struct Records_printing {
    std::string company;
    int font_size = 9;
};

// Runs "records ARGS..." (args after "records") on the database file;
// default_interval is the interval of a tag without its own ([records]
// interval_days); printing, what a certificate takes from the settings.
// Returns the exit status.
int run_records(const std::vector<std::string>& args, const std::string& database, int default_interval = 365,
                const Records_printing& printing = {});

// The usage lines of records.
const char* records_usage();

}  // namespace ui::console
