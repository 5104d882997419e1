#include "reports/field_table.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace reports {

namespace {

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

size_t skip_space(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && is_space(text[i])) ++i;
    return i;
}

// The decimal exponent of the leading non-zero digit of a mantissa
// "ddd.ddd", plus the explicit exponent: positive means the value is large.
long magnitude(std::string_view mantissa, long exponent) {
    size_t point = mantissa.find('.');
    size_t int_len = point == std::string_view::npos ? mantissa.size() : point;
    for (size_t i = 0; i < mantissa.size(); ++i) {
        if (mantissa[i] == '.' || mantissa[i] == '0') continue;
        long lead = i < int_len ? static_cast<long>(int_len - 1 - i) : -static_cast<long>(i - int_len);
        return lead + exponent;
    }
    return 0;
}

}  // namespace

int read_decimal_int(std::string_view text) {
    size_t i = skip_space(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && is_digit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

namespace {

// The leading decimal number of text (after white space); length is how many
// characters it took, 0 when there is none (the value is then 0.0).
double read_leading_decimal(std::string_view text, size_t& length) {
    length = 0;
    size_t i = skip_space(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t start = i;
    size_t digits = 0;
    while (i < text.size() && is_digit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && is_digit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    const size_t mantissa_end = i;
    length = i;
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool exp_negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exp_negative = text[j++] == '-';
        if (j < text.size() && is_digit(text[j])) {
            for (; j < text.size() && is_digit(text[j]); ++j)
                if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
            if (exp_negative) exponent = -exponent;
            i = j;
            length = i;
        }
    }
    double value = 0.0;
    auto [end, ec] = std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
    (void)end;
    if (ec == std::errc::result_out_of_range)
        value = magnitude(text.substr(start, mantissa_end - start), exponent) > 0 ? HUGE_VAL : 0.0;
    else if (ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

}  // namespace

double read_decimal_real(std::string_view text) {
    size_t length = 0;
    return read_leading_decimal(text, length);
}

std::optional<double> read_finite_decimal(std::string_view text) {
    size_t length = 0;
    const double value = read_leading_decimal(text, length);
    if (length == 0 || !std::isfinite(value)) return std::nullopt;
    for (char c : text.substr(length))
        if (!is_space(c)) return std::nullopt;
    return value;
}

void Field_table::reset_tag_fields() {
    for (int f = 1; f <= fields::last_reset; ++f) slots_[static_cast<size_t>(f)] = none_marker;
}

void Field_table::store_field(int field, std::string_view text) {
    if (field < 1 || field >= fields::slot_count) return;
    text = text.substr(0, text.find('\0'));
    slots_[static_cast<size_t>(field)] = text.substr(0, max_field_chars);
}

const std::string& Field_table::field_text(int field) const {
    static const std::string empty;
    if (field < 0 || field >= fields::slot_count) return empty;
    return slots_[static_cast<size_t>(field)];
}

void Field_table::complete_tag_fields() {
    slots_[fields::report_serial] = slots_[fields::queried_serial];
}

bool valid_point_count(int n) { return n >= 1 && n <= max_points; }

std::vector<int> tag_request_head() {
    std::vector<int> plan;
    for (int f = 1; f <= fields::point_count; ++f) plan.push_back(f);
    return plan;
}

std::vector<int> tag_request_tail(int n) {
    std::vector<int> plan;
    if (!valid_point_count(n)) return plan;
    auto range = [&plan](int first, int last) {
        for (int f = first; f <= last; ++f) plan.push_back(f);
    };
    range(fields::found_input_base + 1, fields::found_input_base + n);
    range(fields::found_output_base + 1, fields::found_output_base + n);
    range(fields::tag_state, 76);
    range(fields::left_input_base + 1, fields::left_input_base + n);
    range(fields::left_output_base + 1, fields::left_output_base + n);
    range(fields::calibrated_year, 128);
    return plan;
}

std::vector<int> tag_request_plan(int n) {
    std::vector<int> plan = tag_request_head();
    std::vector<int> tail = tag_request_tail(n);
    plan.insert(plan.end(), tail.begin(), tail.end());
    return plan;
}

}  // namespace reports
