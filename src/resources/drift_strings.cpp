#include "resources/drift_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> drift_strings = {
    {IDS_RECORDS_COLUMN_PROJECTED, "Out of Tolerance"},
    {IDS_PROJECTED_AT_RISK, "%s at risk"},
    {IDS_DRIFT_CHART_TITLE, "Drift of %s: As Found error of each point"},
    {IDS_DRIFT_AXIS_DATE, "Calibrated"},
    {IDS_DRIFT_AXIS_ERROR, "%% Error"},
    {IDS_DRIFT_TOLERANCE, "Tolerance \u00b1%s%%"},
    {IDS_DRIFT_AS_LEFT, "%s As Left"},
    {IDS_DRIFT_FITTED, "%s fitted"},
    {IDS_DRIFT_TOOLTIP_FIGURE, "Input %s, %s %s: %.3f %% of span"},
    {IDS_DRIFT_TOOLTIP_FIT, "Input %s: drift %s %% of span per year, out of tolerance %s"},
    {IDS_DRIFT_SAVE_PNG, "Save Chart as PNG..."},
    {IDS_DRIFT_PRINT, "Print Chart..."},
    {IDS_DRIFT_PNG_FILTER, "PNG images (*.png)"},
    {IDS_DRIFT_SAVE_FAILED, "Cannot write the image %s."},
    {IDS_DRIFT_NO_FIGURES, "No As Found error figures recorded for this tag."},
};

}  // namespace res
