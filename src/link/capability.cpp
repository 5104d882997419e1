#include "link/capability.h"

#include <array>
#include <cctype>

#include "resources/link_strings.h"
#include "resources/strings.h"

namespace comm {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads decimal digits from pos on; value 0 when there are none.
int read_digits(std::string_view s, size_t& pos) {
    long long value = 0;
    while (pos < s.size() && is_digit(s[pos])) {
        if (value < 100000000) value = value * 10 + (s[pos] - '0');
        ++pos;
    }
    return static_cast<int>(value);
}

struct Supported {
    const char* manufacturer;
    std::array<const char*, 2> models;
};

// Calibrators that follow the firmware rule.
constexpr std::array<Supported, 4> FIRMWARE_RULE_MODELS = {{
    {"HALDEN", {"PXT2600", "PXT2600-50"}},
    {"NORVA", {"TQ740", nullptr}},
    {"KIRO", {"615K", "615-50K"}},
    {"FENWORTH", {"VR330LOG", "QK-LOG"}},
}};

}  // namespace

bool parse_identity(std::string_view line, Calibrator_identity& identity) {
    size_t first = line.find(',');
    if (first == std::string_view::npos || first >= 60) return false;
    size_t second = line.find(',', first + 1);
    if (second == std::string_view::npos || second - first - 1 >= 60) return false;
    size_t third = line.find(',', second + 1);
    if (third == std::string_view::npos) return false;

    size_t pos = third + 1;
    int major = read_digits(line, pos);
    if (pos >= line.size() || line[pos] != '.') return false;
    ++pos;
    int minor = read_digits(line, pos);
    if (pos < line.size() && line[pos] != '-') return false;

    identity.manufacturer = std::string(line.substr(0, first));
    identity.model = std::string(line.substr(first + 1, second - first - 1));
    identity.firmware_major = major;
    identity.firmware_minor = minor;
    identity.firmware_suffix = pos < line.size() ? std::string(line.substr(pos)) : std::string();
    return true;
}

bool accept_unterminated_identity(std::string_view text) {
    size_t first = text.find(',');
    if (first == std::string_view::npos) return false;
    size_t second = text.find(',', first + 1);
    if (second == std::string_view::npos) return false;
    if (second + 2 >= text.size() || text[second + 1] != '0' || text[second + 2] != ',') return false;
    size_t dot = text.find('.', second + 1);
    if (dot == std::string_view::npos) return false;
    size_t after = dot + 3;
    return after == text.size() || (after < text.size() && text[after] == '-');
}

Capability classify(const Calibrator_identity& identity) {
    Capability capability;
    if (identity.manufacturer == "TALMONT") {
        capability.level = 2;
        capability.framed = false;
        return capability;
    }
    for (const auto& supported : FIRMWARE_RULE_MODELS) {
        if (identity.manufacturer != supported.manufacturer) continue;
        for (const char* model : supported.models) {
            if (model == nullptr || identity.model != model) continue;
            if (identity.firmware_major >= 3) {
                capability.level = 2;
                capability.framed = true;
            } else if (identity.firmware_major == 2) {
                capability.level = 1;
            }
            return capability;
        }
    }
    return capability;
}

std::string firmware_text(const Calibrator_identity& identity) {
    return res::format(res::IDS_FIRMWARE_FORMAT, identity.firmware_major, identity.firmware_minor,
                       identity.firmware_suffix);
}

}  // namespace comm
