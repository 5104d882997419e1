#include "link/frame.h"

#include <cstdio>

namespace comm {

namespace {

// Sum of the character codes, optionally counting a..z as A..Z, modulo 1000.
int checksum(std::string_view text, bool fold_case) {
    unsigned sum = 0;
    for (unsigned char c : text) sum += (fold_case && c >= 'a' && c <= 'z') ? c - 32u : c;
    return static_cast<int>(sum % 1000);
}

// The decimal value of the digits text[pos, pos+count), or -1 when any of
// them is not a digit.
int digits_at(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size()) return -1;
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::string three_digits(int value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%03d", value % 1000);
    return buffer;
}

}  // namespace

std::string framed_command_text(std::string_view command) {
    char length[16];
    std::snprintf(length, sizeof length, "[%02d", static_cast<int>(command.size()) + 6);
    std::string framed = std::string(command) + length;
    return framed + three_digits(checksum(framed, true));
}

void frame_command(std::string& command, bool framed) {
    if (framed) command = framed_command_text(command);
}

bool check_response_frame(std::string& reply, int field, bool framed) {
    if (!framed) return true;
    const std::string_view text = reply;
    const std::size_t total = text.size();
    const std::size_t tail = field >= 1 ? 9 : 6;  // "[", length, field number, checksum
    if (total < tail || text[total - tail] != '[') return false;
    for (const char* frame_error : {"<Error 99>", "<Error 98>", "<Error 97>"})
        if (text.substr(0, 10) == frame_error) return false;

    const std::size_t bracket = total - tail;
    const int stated_length = digits_at(text, bracket + 1, 2);
    const int stated_field = field >= 1 ? digits_at(text, bracket + 3, 3) : field;
    const int stated_sum = digits_at(text, total - 3, 3);
    const bool valid = stated_length == static_cast<int>(total) && stated_field == field &&
                       stated_sum == checksum(text.substr(0, total - 3), false);
    reply.resize(bracket);
    return valid;
}

std::string frame_reply(std::string_view value, int field) {
    const std::size_t total = value.size() + (field >= 1 ? 9 : 6);
    char middle[16];
    if (field >= 1)
        std::snprintf(middle, sizeof middle, "[%02d%03d", static_cast<int>(total % 100), field % 1000);
    else
        std::snprintf(middle, sizeof middle, "[%02d", static_cast<int>(total % 100));
    std::string framed = std::string(value) + middle;
    return framed + three_digits(checksum(framed, false));
}

bool check_command_frame(std::string& command) {
    const std::string_view text = command;
    const std::size_t total = text.size();
    if (total < 6 || text[total - 6] != '[') return false;
    const int stated_length = digits_at(text, total - 5, 2);
    const int stated_sum = digits_at(text, total - 3, 3);
    const bool valid = stated_length == static_cast<int>(total) &&
                       stated_sum == checksum(text.substr(0, total - 3), true);
    if (valid) command.resize(total - 6);
    return valid;
}

}  // namespace comm
