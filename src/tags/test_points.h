// The test point list of a tag: inserting, deleting and generating points.
//
// A tag holds 21 points, of which the first `points_used` are tested.
// Insert and Delete shift the whole list of 21 and leave the count alone;
// Generate sets the count and the points from a zero value, a span value
// and one of four schemes.  Generated points are single-precision values,
// each formed from the previous stored point, so rounding accumulates along
// the list exactly as the calibrator's own lists do:
//
//   0, 100, 5, Zero to Span           0, 25, 50, 75, 100
//   0, 100, 4, Zero to Span to Zero   5 points: 0, 50, 100, 50, 0
//   0, 100, 7, Span to Zero to Span   100, 66.6667, 33.3333, -0.0000013, ...
#pragma once

#include <array>
#include <optional>
#include <string>

#include "tags/tag_record.h"
#include "ui/ui.h"

namespace tags {

enum class Generate_scheme : int { zero_to_span = 0, span_to_zero = 1, zero_span_zero = 2, span_zero_span = 3 };

// Points k..20 move to k+1..21 (the old point 21 is dropped), point k becomes 0.
void insert_point(Tag_editor_values& values, int k);
// Points k+1..21 move to k..20 (the old point k is dropped), point 21 becomes 0.
void delete_point(Tag_editor_values& values, int k);

// What Generate_points_dialog proposes: the current count, "Zero to Span",
// and the input range when tolerance is enabled, else the smallest and
// largest point in use (1e10 and -1e10 when none is in use, which the
// dialog refuses until they are changed).
ui::Generate_values generate_proposal(const Tag_editor_values& values);

// Sets the count and the points from the confirmed dialog values; points
// after the last generated one become 0.
void generate_points(Tag_editor_values& values, const ui::Generate_values& request);

// The fields of Generate_points_dialog in the order the dialog checks them.
enum class Generate_field { span, zero, count, scheme };

// The texts of Generate_points_dialog as typed, and the scheme chosen.
struct Generate_texts {
    std::string count, zero, span;
    int scheme = 0;
};
Generate_texts show_generate_values(const ui::Generate_values& values);

struct Generate_failure {
    Generate_field field;
    std::string message;
};
// Reads the dialog back: Span, Zero, the number of points, the scheme.  The
// first field that fails is named with its message; result is complete only
// when nothing fails.
std::optional<Generate_failure> read_generate_texts(const Generate_texts& texts, ui::Generate_values& result);

// Point_number_dialog: a point number 1..21.
std::optional<std::string> read_point_number(const std::string& text, int& k);

}  // namespace tags
