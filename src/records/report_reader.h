// Reading calibration records from report lines: the lines of an upload's
// Reports list, or of a saved report file read with the report files' own
// line reader.  Each value is found with the tag extraction's keyword
// search, so both layouts (TXT and CSV) are read by one set of rules.
//
// Report boundaries are those of the report files: a report holds the lines
// from its "Tag ID:" line (or the company line and empty line before it) up
// to the next separator line or the next report.
#pragma once

#include <string>
#include <vector>

#include "records/calibration_record.h"
#include "reports/report_lines.h"

namespace records {

// One report read.
struct Read_report {
    Calibration calibration;
    std::vector<std::string> lines;   // the report's lines exactly as they were
    std::size_t first_line = 0;       // number of its first line in the file (from 0)
};

// A refusal: what could not be read, and the line (from 1, 0 when none).
struct Read_failure {
    std::string reason;
    std::size_t line = 0;
};

struct Read_result {
    bool ok = false;
    std::vector<Read_report> reports;
    Read_failure failure;             // when not ok
};

// Reads every report of the lines.  Fails (naming the line) when a report
// cannot be read whole: a required line missing, a point table cut short,
// the report cut before its closing "Comments:" line; and when the lines
// hold no report at all.
Read_result read_reports(const std::vector<std::string>& lines);
Read_result read_reports(const reports::Report_lines& lines);

// Reads a report file: a regular file of at most the report file limit,
// not binary, through the report line reader, then read_reports.  The
// failure's reason is the message's text without the file's name.
Read_result read_report_file(const std::string& path);

}  // namespace records
