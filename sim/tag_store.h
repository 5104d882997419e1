// The calibrator's memory: 50 tag positions, each a set of numbered fields.
//
// Fields 1 to 46 are the tag's configuration as downloaded, field 68 its state
// (1 not calibrated, 2 calibrated) and, once calibrated, fields 26 to 128 hold
// the readings, the pressure module and the dates, numbered as the field
// upload command reads them.
#pragma once

#include "resources/text_match.h"

#include <array>
#include <string>
#include <string_view>

namespace sim {

constexpr int MAX_TAGS = 50;
constexpr int CONFIG_FIELDS = 46;   // fields a download sends
constexpr int STATE_FIELD = 68;     // 1 not calibrated, 2 calibrated
constexpr int LAST_TAG_FIELD = 128; // highest field a position stores
constexpr int SERIAL_FIELD = 129;   // the calibrator's serial number, any position
constexpr int MAX_POINTS = 21;

struct Tag_record {
    std::array<std::string, LAST_TAG_FIELD + 1> fields;  // [0] unused

    // The text of field n; "" for a field number outside 1..128.
    const std::string& field(int n) const;
    void set(int n, std::string value);
    // Field 68 read as an integer; 0 for a position that holds nothing.
    int state() const;
    bool calibrated() const { return state() >= 2; }
    // Field 25 read as an integer.
    int points() const;
    const std::string& tag_id() const { return fields[1]; }
};

class Tag_store {
public:
    bool valid_position(int position) const { return position >= 1 && position <= MAX_TAGS; }
    bool in_use(int position) const;
    // Position 1..50; any other number gives an empty record.
    const Tag_record& at(int position) const;
    void put(int position, Tag_record record);
    void clear(int position);
    void clear_all();
    int count() const;
    int free_count() const { return MAX_TAGS - count(); }
    // The lowest free position, or -1 when every position is in use.
    int next_free() const;
    // The position holding this tag ID (case ignored), or 0.
    int find(std::string_view tag_id) const;

private:
    std::array<Tag_record, MAX_TAGS + 1> positions_;  // [0] stays empty
};

// The calibrator compares tag IDs and command words without regard to case.
using res::equal_ignoring_case;
using res::starts_with_ignoring_case;
using res::to_upper;

// The decimal integer rule of the field values: leading blanks, optional sign,
// digits up to the first other character; 0 when there are none.
long long leading_int(std::string_view text);

// The state file: one line per stored field, "position field value", after a
// heading line.  parse_state replaces the store's content only when the whole
// text is valid; otherwise error names the first bad line.
std::string serialize_state(const Tag_store& store);
bool parse_state(std::string_view text, Tag_store& store, std::string& error);

}  // namespace sim
