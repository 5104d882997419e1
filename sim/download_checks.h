// How the calibrator judges each field of a tag download ("TAG_DNLD f p value").
//
// Fields arrive 1 to 46 in order for one position; each is checked against the
// fields already accepted for that tag, so the cross-field rules (units that
// fit the type, the input range, the test point count) are checked at the
// field that completes them.  The rules are listed in sim/README.md.
#pragma once

#include <string>
#include <string_view>

#include "tag_store.h"

namespace sim {

// Calibrator error codes of a download.
enum Download_error {
    ERROR_FIELD_NUMBER = 1,
    ERROR_SEQUENCE = 2,
    ERROR_POSITION = 3,
    ERROR_POSITION_IN_USE = 4,
    ERROR_POSITION_MISMATCH = 5,
    ERROR_TEXT = 6,
    ERROR_TAG_ID = 7,
    ERROR_INTEGER = 8,
    ERROR_POINT_COUNT = 9,
    ERROR_FLOAT = 10,
    ERROR_RANGE = 11,
    ERROR_CHOICE = 12,
    ERROR_CONFIGURATION = 13,
    ERROR_COMBINATION = 14,
    ERROR_INPUT_SPAN = 17,
};

struct Field_verdict {
    int error = 0;           // 0 accepted, else the calibrator error code
    std::string stored;      // the value as the calibrator keeps it
};

// Checks value for download field 1..46.  record holds the fields accepted so
// far for this tag (1 .. field-1); store is searched for duplicate tag IDs.
Field_verdict check_download_field(int field, std::string_view value, const Tag_record& record,
                                   const Tag_store& store);

// Strict number forms of a downloaded value: the whole text must be the number.
bool parse_strict_int(std::string_view text, long long& value);
bool parse_strict_float(std::string_view text, double& value);

}  // namespace sim
