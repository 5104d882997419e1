// The hashes that make the records a chain.
//
// The content hash is the SHA-256 of a record's values (not of its layout:
// the TXT and the CSV of one calibration hash alike; not of its source or
// its recording time).  The link hash is the SHA-256 of the previous
// record's link hash followed by this record's content hash, so a record
// changed, removed or inserted anywhere breaks every link after it.
#pragma once

#include <string>

#include "records/calibration_record.h"

namespace records {

// The link hash before the first record: 64 zeros.
extern const std::string chain_start;

// Lower-case hex SHA-256 of the calibration's values.
std::string content_hash(const Calibration& calibration);
// Lower-case hex SHA-256 of previous_link followed by content.
std::string link_hash(const std::string& previous_link, const std::string& content);

}  // namespace records
