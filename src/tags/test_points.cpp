#include "tags/test_points.h"

#include <algorithm>

#include "tags/editor_fields.h"

namespace tags {

namespace {

constexpr int last_point = reports::max_points;

bool round_trip(Generate_scheme scheme) {
    return scheme == Generate_scheme::zero_span_zero || scheme == Generate_scheme::span_zero_span;
}

bool starts_at_span(Generate_scheme scheme) {
    return scheme == Generate_scheme::span_to_zero || scheme == Generate_scheme::span_zero_span;
}

// The sum of the previous stored point and a step, formed in double
// precision and stored in single precision.
float next_point(float previous, double step) {
    return static_cast<float>(static_cast<double>(previous) + step);
}

}  // namespace

void insert_point(Tag_editor_values& v, int k) {
    if (k < 1 || k > last_point) return;
    for (int j = last_point; j > k; --j) v.point(j) = v.point(j - 1);
    v.point(k) = 0.0f;
}

void delete_point(Tag_editor_values& v, int k) {
    if (k < 1 || k > last_point) return;
    for (int j = k; j < last_point; ++j) v.point(j) = v.point(j + 1);
    v.point(last_point) = 0.0f;
}

ui::Generate_values generate_proposal(const Tag_editor_values& v) {
    ui::Generate_values proposal;
    proposal.count = v.points_used;
    proposal.scheme = static_cast<int>(Generate_scheme::zero_to_span);
    if (v.tolerance_state == Tolerance_state::enabled) {
        proposal.zero = v.input_low;
        proposal.span = v.input_high;
        return proposal;
    }
    float smallest = 1e10f, largest = -1e10f;
    for (int k = 1; k <= std::min(v.points_used, last_point); ++k) {
        smallest = std::min(smallest, v.point(k));
        largest = std::max(largest, v.point(k));
    }
    proposal.zero = smallest;
    proposal.span = largest;
    return proposal;
}

void generate_points(Tag_editor_values& v, const ui::Generate_values& request) {
    const auto scheme = static_cast<Generate_scheme>(request.scheme);
    int n = std::clamp(request.count, 1, last_point);
    // A round trip needs a middle point: an even count grows by one (20 becomes 21).
    if (round_trip(scheme) && n % 2 == 0) n += 1;
    v.points_used = n;

    double step = n > 1 ? (static_cast<double>(request.span) - static_cast<double>(request.zero)) / (n - 1) : 0.0;
    if (round_trip(scheme)) step *= 2;
    v.point(1) = request.zero;
    if (starts_at_span(scheme)) {
        v.point(1) = request.span;
        step = -step;
    }
    const int turn = round_trip(scheme) ? n / 2 + 1 : n;
    for (int j = 2; j <= turn; ++j) v.point(j) = next_point(v.point(j - 1), step);
    // The way back uses the negated step as a single-precision value.
    const double back = static_cast<double>(static_cast<float>(-step));
    for (int j = turn + 1; j <= n; ++j) v.point(j) = next_point(v.point(j - 1), back);
    for (int j = n + 1; j <= last_point; ++j) v.point(j) = 0.0f;
}

Generate_texts show_generate_values(const ui::Generate_values& values) {
    return {show_integer(values.count), show_number(values.zero), show_number(values.span), values.scheme};
}

std::optional<Generate_failure> read_generate_texts(const Generate_texts& texts, ui::Generate_values& result) {
    if (auto failure = read_number(texts.span, -value_limit, value_limit, result.span))
        return Generate_failure{Generate_field::span, *failure};
    if (auto failure = read_number(texts.zero, -value_limit, value_limit, result.zero))
        return Generate_failure{Generate_field::zero, *failure};
    if (auto failure = read_integer(texts.count, 1, last_point, result.count))
        return Generate_failure{Generate_field::count, *failure};
    // The radio buttons always hold one of the four schemes.
    result.scheme = std::clamp(texts.scheme, 0, 3);
    return std::nullopt;
}

std::optional<std::string> read_point_number(const std::string& text, int& k) {
    return read_integer(text, 1, last_point, k);
}

}  // namespace tags
