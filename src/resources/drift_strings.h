// Ids of the drift texts: the tag list's projection column and the drift
// chart of the Calibration Records window (58260..58289).
#pragma once

namespace res {

enum Drift_string : int {
    IDS_RECORDS_COLUMN_PROJECTED = 58260,   // the tag list's earliest projected out-of-tolerance date
    IDS_PROJECTED_AT_RISK = 58261,          // "%s at risk": the date, before the next due date
    IDS_DRIFT_CHART_TITLE = 58262,          // tag
    IDS_DRIFT_AXIS_DATE = 58263,
    IDS_DRIFT_AXIS_ERROR = 58264,
    IDS_DRIFT_TOLERANCE = 58265,            // "Tolerance ±%s%%": the tolerance lines' name
    IDS_DRIFT_AS_LEFT = 58266,              // input
    IDS_DRIFT_FITTED = 58267,               // input
    IDS_DRIFT_TOOLTIP_FIGURE = 58268,       // input, "As Found"/"As Left", date, error
    IDS_DRIFT_TOOLTIP_FIT = 58269,          // input, drift, projected date
    IDS_DRIFT_SAVE_PNG = 58270,
    IDS_DRIFT_PRINT = 58271,
    IDS_DRIFT_PNG_FILTER = 58272,
    IDS_DRIFT_SAVE_FAILED = 58273,          // file
    IDS_DRIFT_NO_FIGURES = 58274,
};

}  // namespace res
