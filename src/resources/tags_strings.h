// Ids of the tags subsystem's texts.
#pragma once

namespace res {

enum Tags_string : int {
    // Labels of the auxiliary choice beside its list.
    IDS_LABEL_COLD_JUNCTION = 57742,   // "CJ:"
    IDS_LABEL_WIRES = 57743,           // "Wires:"
    // Names of the tag configuration fields 1..25 (id = base + field); the
    // download's error messages show them.
    IDS_FIELD_NAME_BASE = 57744,
    // Name of fields 26..46, with the point number 1..21.
    IDS_FIELD_TEST_POINT = 57770,
};

}  // namespace res
