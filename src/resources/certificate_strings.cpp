#include "resources/certificate_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> certificate_strings = {
    {IDS_CERT_NO_CALIBRATION_AT, "Tag %s has no calibration recorded on %s."},
    {IDS_CERT_BAD_DATE, "%s is not a date and time of the form YYYY-MM-DD HH:MM:SS."},
    {IDS_CERT_PRINTING, "Printing the calibration certificate..."},
    {IDS_RECORDS_CERTIFICATE, "Cer&tificate..."},
    {IDS_CERT_PAGE_LABEL, "Calibration Certificate, tag %s, calibrated %s: page %i"},
    {IDS_CERT_TITLE, "Calibration Certificate"},
    {IDS_CERT_TAG, "Tag ID:"},
    {IDS_CERT_MANUFACTURER, "Manufacturer:"},
    {IDS_CERT_MODEL, "Model Number:"},
    {IDS_CERT_SERIAL, "Serial Number:"},
    {IDS_CERT_INPUT, "Input:"},
    {IDS_CERT_OUTPUT, "Output:"},
    {IDS_CERT_RANGE, "  Range:"},
    {IDS_CERT_RANGE_VALUE, "%s to %s"},
    {IDS_CERT_TOLERANCE, "Tolerance:"},
    {IDS_CERT_STANDARD, "Reference Standard:"},
    {IDS_CERT_STANDARD_SERIAL, "  Serial Number:"},
    {IDS_CERT_STANDARD_LAST_CAL, "  Last Calibrated:"},
    {IDS_CERT_TECHNICIAN, "Technician:"},
    {IDS_CERT_CALIBRATED, "Calibrated:"},
    {IDS_CERT_TEMPERATURE, "Ambient Temperature:"},
    {IDS_CERT_HUMIDITY, "Ambient Humidity:"},
    {IDS_CERT_OTHER, "Other Information:"},
    {IDS_CERT_COLUMNS, "  Point           Input         Reading    % Error  Verdict"},
    {IDS_CERT_AS_FOUND_RESULT, "As Found Result:"},
    {IDS_CERT_AS_LEFT_RESULT, "As Left Result:"},
    {IDS_CERT_DUE, "Calibration Due:"},
    {IDS_CERT_TECHNICIAN_SIGNATURE, "Technician Signature  ____________________  Date  __________"},
    {IDS_CERT_APPROVAL_SIGNATURE, "Approval Signature    ____________________  Date  __________"},
    {IDS_CERT_SHA256, "Record SHA-256:"},
};

}  // namespace res
