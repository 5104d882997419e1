#include "tag_store.h"

#include <charconv>

namespace sim {

namespace {

const std::string EMPTY;
const Tag_record EMPTY_RECORD;
constexpr std::string_view STATE_HEADING = "TQ740-SIM-STATE 1";

bool parse_int(std::string_view text, int& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

const std::string& Tag_record::field(int n) const {
    return (n >= 1 && n <= LAST_TAG_FIELD) ? fields[n] : EMPTY;
}

void Tag_record::set(int n, std::string value) {
    if (n >= 1 && n <= LAST_TAG_FIELD) fields[n] = std::move(value);
}

int Tag_record::state() const {
    long long value = leading_int(fields[STATE_FIELD]);
    return value < 0 ? 0 : static_cast<int>(value > 9 ? 9 : value);
}

int Tag_record::points() const {
    long long value = leading_int(fields[25]);
    return value < 0 ? 0 : static_cast<int>(value > 99 ? 99 : value);
}

bool Tag_store::in_use(int position) const {
    return valid_position(position) && positions_[position].state() >= 1;
}

const Tag_record& Tag_store::at(int position) const {
    return valid_position(position) ? positions_[position] : EMPTY_RECORD;
}

void Tag_store::put(int position, Tag_record record) {
    if (valid_position(position)) positions_[position] = std::move(record);
}

void Tag_store::clear(int position) {
    if (valid_position(position)) positions_[position] = Tag_record();
}

void Tag_store::clear_all() {
    for (auto& record : positions_) record = Tag_record();
}

int Tag_store::count() const {
    int used = 0;
    for (int p = 1; p <= MAX_TAGS; ++p) used += in_use(p) ? 1 : 0;
    return used;
}

int Tag_store::next_free() const {
    for (int p = 1; p <= MAX_TAGS; ++p)
        if (!in_use(p)) return p;
    return -1;
}

int Tag_store::find(std::string_view tag_id) const {
    for (int p = 1; p <= MAX_TAGS; ++p)
        if (in_use(p) && equal_ignoring_case(positions_[p].tag_id(), tag_id)) return p;
    return 0;
}

long long leading_int(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (value < 1'000'000'000'000LL) value = value * 10 + (text[i] - '0');
        ++i;
    }
    return negative ? -value : value;
}

std::string serialize_state(const Tag_store& store) {
    std::string text(STATE_HEADING);
    text += '\n';
    for (int p = 1; p <= MAX_TAGS; ++p) {
        if (!store.in_use(p)) continue;
        const Tag_record& record = store.at(p);
        for (int f = 1; f <= LAST_TAG_FIELD; ++f) {
            if (record.fields[f].empty()) continue;
            text += std::to_string(p) + ' ' + std::to_string(f) + ' ';
            // Stored values are printable ASCII; anything else would break the
            // line structure, so it is written as "?".
            for (char c : record.fields[f]) text += (c >= 0x20 && c <= 0x7e) ? c : '?';
            text += '\n';
        }
    }
    return text;
}

bool parse_state(std::string_view text, Tag_store& store, std::string& error) {
    Tag_store loaded;
    int line_number = 0;
    size_t pos = 0;
    bool heading_seen = false;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++line_number;
        if (!heading_seen) {
            if (line != STATE_HEADING) {
                error = "line 1: not a simulator state file";
                return false;
            }
            heading_seen = true;
            continue;
        }
        if (line.empty()) continue;
        size_t first = line.find(' ');
        size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
        int position = 0, field = 0;
        if (second == std::string_view::npos || !parse_int(line.substr(0, first), position) ||
            !parse_int(line.substr(first + 1, second - first - 1), field) || !loaded.valid_position(position) ||
            field < 1 || field > LAST_TAG_FIELD) {
            error = "line " + std::to_string(line_number) + ": expected \"position field value\"";
            return false;
        }
        Tag_record record = loaded.at(position);
        record.set(field, std::string(line.substr(second + 1)));
        loaded.put(position, std::move(record));
    }
    if (!heading_seen) {
        error = "the file is empty";
        return false;
    }
    store = loaded;
    return true;
}

}  // namespace sim
