#include "resources/records_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> records_strings = {
    {IDS_RECORDED_COUNTS, "Recorded %i calibrations (%i already recorded)"},
    {IDS_FILE_IMPORT_COUNTS, "%s: %i recorded, %i already recorded"},
    {IDS_RECORDS_OPEN_FAILED, "Cannot open the records database %s: %s"},
    {IDS_RECORDS_NEWER_SCHEMA,
     "The records database %s was written by a newer version of the program (schema %i; this program reads up to "
     "%i).  Nothing was changed."},
    {IDS_RECORDS_FOLDER_FAILED, "Cannot create the records folder %s: %s"},
    {IDS_RECORDS_LOCKED,
     "The records database %s is locked by another program; it stayed locked for %.1f s.  Try again later."},
    {IDS_RECORDS_WRITE_FAILED, "Cannot write to the records database %s: %s\nNothing was recorded."},
    {IDS_RECORDS_READ_FAILED, "Cannot read the records database %s: %s"},
    {IDS_RECORD_CONFLICT, "tag %s calibrated %s is already recorded with different values"},
    {IDS_REPORT_FILE_REFUSED, "%s: line %i: %s; nothing of this file was recorded"},
    {IDS_REPORT_FILE_REFUSED_NO_LINE, "%s: %s; nothing of this file was recorded"},
    {IDS_RECORDING_FAILED, "The uploaded reports were not recorded.\n%s\nThey stay in the Reports list, unsaved."},
    {IDS_TAG_NOT_RECORDED, "Tag %s has no calibration recorded."},
    {IDS_CHAIN_INTACT, "%i records, chain intact"},
    {IDS_CHAIN_BROKEN, "The record of tag %s calibrated %s does not match its hash or its link: the records were changed."},
    {IDS_EXPORT_FAILED, "Cannot write the export file %s: %s"},
    {IDS_RECORDING_UPLOAD, "Recording the calibrations.  Please wait."},
    {IDS_REASON_NO_REPORT, "not a report file (no \"Tag ID:\" line)"},
    {IDS_REASON_MISSING_LINE, "the report has no \"%s\" line"},
    {IDS_REASON_CUT, "the report is cut short"},
    {IDS_REASON_BAD_POINT, "a point row cannot be read"},
    {IDS_REASON_BINARY, "not a report file (binary data)"},
    {IDS_REASON_TOO_LARGE, "larger than a report file may be (%i MB)"},
    {IDS_REASON_NOT_REGULAR, "not a regular file"},
    {IDS_REASON_EMPTY, "the file is empty"},
    {IDS_REASON_TWICE, "tag %s calibrated %s appears twice with different values"},
    {IDS_REASON_BAD_DATE, "the calibration date cannot be read"},
};

}  // namespace res
