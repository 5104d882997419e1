#include "resources/records_window_strings.h"

#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> records_window_strings = {
    {ID_RECORDS_BROWSE, "Show every calibration recorded, tag by tag"},
    {ID_RECORDS_IMPORT, "Record the calibrations of saved report files"},
    {IDS_RECORDS_WINDOW_TITLE, "Calibration Records"},
    {IDS_RECORDS_FILTER_LABEL, "&Filter tag IDs:"},
    {IDS_RECORDS_COLUMN_TAG, "Tag ID"},
    {IDS_RECORDS_COLUMN_LAST_CALIBRATED, "Last Calibrated"},
    {IDS_RECORDS_COLUMN_AS_FOUND, "As Found"},
    {IDS_RECORDS_COLUMN_AS_LEFT, "As Left"},
    {IDS_RECORDS_COLUMN_CALIBRATIONS, "Calibrations"},
    {IDS_RECORDS_COLUMN_CALIBRATED, "Calibrated"},
    {IDS_RECORDS_COLUMN_TECHNICIAN, "Technician"},
    {IDS_RECORDS_COLUMN_CALIBRATOR, "Calibrator"},
    {IDS_RECORDS_COLUMN_SOURCE, "Source"},
    {IDS_RECORDS_COLUMN_POINT, "Point"},
    {IDS_RECORDS_COLUMN_INPUT, "Input"},
    {IDS_RECORDS_COLUMN_READING, "Reading"},
    {IDS_RECORDS_COLUMN_ERROR, "% Error"},
    {IDS_RECORDS_COLUMN_VERDICT, "Verdict"},
    {IDS_RECORDS_TAGS_LABEL, "Tags: %i of %i shown"},
    {IDS_RECORDS_CALIBRATIONS_LABEL, "Calibrations of %s, newest first:"},
    {IDS_RECORDS_NO_TAG_LABEL, "Calibrations: select a tag"},
    {IDS_RECORDS_AS_FOUND_LABEL, "As Found: %s"},
    {IDS_RECORDS_AS_LEFT_LABEL, "As Left: %s"},
    {IDS_RECORDS_DETAIL_INSTRUMENT, "Instrument: %s %s, S/N %s"},
    {IDS_RECORDS_DETAIL_SIGNALS, "Input: %s %s to %s    Output: %s %s to %s"},
    {IDS_RECORDS_DETAIL_TOLERANCE, "Tolerance: %s    Temperature: %s    Humidity: %s"},
    {IDS_RECORDS_DETAIL_CALIBRATOR, "Calibrator: %s, last calibrated %s"},
    {IDS_RECORDS_DETAIL_RECORDED, "Recorded %s from %s"},
    {IDS_RECORDS_DETAIL_HASH, "sha256 %s"},
    {IDS_RECORDS_PRINT, "&Print Report..."},
    {IDS_RECORDS_OPEN_IN_LIST, "&Open in Reports List"},
    {IDS_RECORDS_CLOSE, "Close"},
    {IDS_RECORDS_HELP, "Help"},
    {IDS_IMPORT_TITLE, "Import Reports"},
    {IDS_IMPORT_FILTER, "TXT or CSV files (*.txt;*.csv)|*.txt;*.csv|TXT files (*.txt)|*.txt|CSV files (*.csv)|*.csv||"},
    {IDS_IMPORTING_FILES, "Recording the calibrations of %i report files.  Please wait."},
    {IDS_RECORDS_NO_LINES, "The report lines of tag %s calibrated %s are not in the records database."},
    {IDS_RECORDS_EMPTY, "No calibration is recorded yet.  Upload reports, or use Records > Import Reports..."},
};

}  // namespace res
