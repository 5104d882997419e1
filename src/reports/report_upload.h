// Upload > All Tag Reports and Upload > Selected Tag Reports: bring the
// reports of calibrated tags from the calibrator into the Reports list.
//
// A basic calibrator (capability level 1) renders its reports itself: the
// upload picks the layout with "REPORT_TXT" / "REPORT_CSV", asks for the
// reports with "TAG_SEND_ALL" or "TAG_SEND id" and collects the lines, putting
// a separator and the company line before each report.  A full calibrator
// (level 2) is read field by field with "TAG_UPLD" and the reports are
// rendered here (field_upload); that way locks the menus and shows the
// "Cancel Tag Upload" window.
//
// Either way a failure leaves the Reports list empty, captioned "Reports" and
// not unsaved; success marks the reports unsaved, captions the list
// "Reports - Uploaded from Calibrator" and beeps.  At level 1 an "<Error n>"
// line closing a reply is such a failure (the calibrator's message for the
// code), and so is a reply stream longer than max_uploaded_report_lines.
#pragma once

#include <string>
#include <string_view>

#include "shell/program.h"

namespace reports {

// The most report lines a level-1 upload takes from the calibrator, all
// replies together.  Fifty tags of 21 points in both directions come to
// about 4,000 lines; a longer stream means a calibrator gone wrong, and
// the upload fails ("Operation not successfully completed.  Try again.")
// rather than fill memory without end.
inline constexpr int max_uploaded_report_lines = 20000;

// Upload > All Tag Reports (command 32780).
void upload_all_reports(shell::Program& program);
// Upload > Selected Tag Reports (command 32781): the selected lines of the
// Tag ID list.
void upload_selected_reports(shell::Program& program);

// The level 2 way, after the identity and clock checks: every calibrated tag
// (all) or the calibrated tags among the selected Tag ID list lines, field by
// field.  Shows every outcome itself; true when the reports were uploaded.
bool field_upload(shell::Program& program, bool all);

// True when a report line opens a report: it begins with "Tag ID:", with or
// without one double quote before it, in any case.
bool is_report_start(std::string_view line);

}  // namespace reports
