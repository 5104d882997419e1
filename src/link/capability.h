// What the calibrator on the port is and what it can do, decided from its
// reply to "*IDN?".
#pragma once

#include <string>
#include <string_view>

namespace comm {

struct Calibrator_identity {
    std::string manufacturer;   // fewer than 60 characters
    std::string model;          // fewer than 60 characters
    int firmware_major = 0;
    int firmware_minor = 0;
    std::string firmware_suffix;  // "" or beginning with "-"
    std::string serial_number;    // filled by the serial number query
};

struct Capability {
    int level = 0;          // 0 not supported, 1 basic (calibrator renders reports), 2 full
    int maximum_tags = 50;
    bool framed = false;    // commands and replies carry the checksum frame
};

// Parses "manufacturer,model,serial,major.minor[-suffix]" into identity.
// False when the line is not an identity string.
bool parse_identity(std::string_view line, Calibrator_identity& identity);

// A reply that fell silent without CR is still taken as an identity when it
// has the shape "x,y,0,n.mm" or "x,y,0,n.mm-...".
bool accept_unterminated_identity(std::string_view text);

// The supported-calibrator table and the firmware rule.
Capability classify(const Calibrator_identity& identity);

// The firmware version as the identification dialog shows it: "3.05-B".
std::string firmware_text(const Calibrator_identity& identity);

}  // namespace comm
