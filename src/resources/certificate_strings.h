// Ids of the calibration certificate's texts (58290..58319).
#pragma once

namespace res {

enum Certificate_string : int {
    IDS_CERT_NO_CALIBRATION_AT = 58290,     // tag, date: --calibrated matches none of the tag's calibrations
    IDS_CERT_BAD_DATE = 58291,              // the text given as a date and time
    IDS_CERT_PRINTING = 58292,              // status while printing
    IDS_RECORDS_CERTIFICATE = 58293,        // the window's button
    IDS_CERT_PAGE_LABEL = 58294,            // tag, date, page: opens every page after the first
    IDS_CERT_TITLE = 58295,
    // The labels of the certificate's lines.
    IDS_CERT_TAG = 58296,
    IDS_CERT_MANUFACTURER = 58297,
    IDS_CERT_MODEL = 58298,
    IDS_CERT_SERIAL = 58299,
    IDS_CERT_INPUT = 58300,
    IDS_CERT_OUTPUT = 58301,
    IDS_CERT_RANGE = 58302,
    IDS_CERT_RANGE_VALUE = 58303,           // low, high
    IDS_CERT_TOLERANCE = 58304,
    IDS_CERT_STANDARD = 58305,
    IDS_CERT_STANDARD_SERIAL = 58306,
    IDS_CERT_STANDARD_LAST_CAL = 58307,
    IDS_CERT_TECHNICIAN = 58308,
    IDS_CERT_CALIBRATED = 58309,
    IDS_CERT_TEMPERATURE = 58310,
    IDS_CERT_HUMIDITY = 58311,
    IDS_CERT_OTHER = 58312,
    IDS_CERT_COLUMNS = 58313,               // the point tables' column headings, aligned with their rows
    IDS_CERT_AS_FOUND_RESULT = 58314,
    IDS_CERT_AS_LEFT_RESULT = 58315,
    IDS_CERT_DUE = 58316,
    IDS_CERT_TECHNICIAN_SIGNATURE = 58317,
    IDS_CERT_APPROVAL_SIGNATURE = 58318,
    IDS_CERT_SHA256 = 58319,
};

}  // namespace res
