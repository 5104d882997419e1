// Tags for demonstrations: a realistic calibrator content covering every
// input and output type, and the readings a calibration leaves behind.
#pragma once

#include <ctime>

#include "tag_store.h"

namespace sim {

// Fills the calibration fields of a tag whose configuration (fields 1 to 46)
// is complete: As Found and As Left readings at every test point, the
// pressure module of a pressure signal, the calibration date and time (when)
// and the calibrator's own last calibration date; field 68 becomes 2.  The
// readings are plausible and repeatable: they depend only on the tag.
void calibrate_tag(Tag_record& tag, const std::tm& when);

// Puts the demonstration tags into the store (which is emptied first).
void load_demo_tags(Tag_store& store);

// Fills every position with a calibrated tag of 21 test points (for
// measuring the longest upload).
void load_full_tags(Tag_store& store);

}  // namespace sim
