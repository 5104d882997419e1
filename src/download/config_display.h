// Configure > Tag > Display/Print and Configure > Group > Display/Print: a
// configuration shown as lines of text in `Display_dialog`, whose Print
// button prints them under a page header.
//
// A tag shows as labelled lines, the label padded to 22 characters, a space,
// then the field's text ("%-22s %s"), in the order of the identification
// page (Model after Manufacturer), the input and output under their
// headings, tolerance, ranges and test points; lines that do not apply to
// the tag's types are left out.  A group shows its member file names.
//
// The window holds at most 500 lines of at most 359 characters, and a caption
// of at most 203 characters; longer texts are cut.
#pragma once

#include <string>
#include <vector>

#include "reports/field_table.h"
#include "reports/report_print.h"
#include "shell/program.h"
#include "ui/ui.h"

namespace download {

constexpr std::size_t max_display_lines = 500;
constexpr std::size_t max_display_chars = 359;
constexpr std::size_t max_display_caption = 203;
// The width the labels are padded to.
constexpr int display_label_width = 22;

// The label of field 1..46 on a display line; field 19's depends on the
// output type in field 16 ("    Wires:" for "RTD").  "" for other numbers.
std::string display_label(const reports::Field_table& record, int field);

// Appends the line of one field (and, before fields 9 and 16, the heading
// "Instrument Input:" or "Instrument Output:").  An empty field 20 shows as
// "None".
void add_display_line(const reports::Field_table& record, int field, std::vector<std::string>& lines);

// The display lines of the tag configuration in slots 1..46.
std::vector<std::string> tag_display_lines(const reports::Field_table& record);

// The display lines of a group: its member names in file order, each one
// whose file is not in the group directory marked "(missing)".
std::vector<std::string> group_display_lines(const std::vector<std::string>& members, const std::string& folder);

// Lays display lines out on pages: "%-50sPage %i" with the caption at the
// top margin, the lines from two line heights below it, a page ending once a
// line has moved y to the bottom limit or below.  No lines, no pages.  False
// when the sink stopped it.
bool lay_out_display_pages(const std::string& caption, const std::vector<std::string>& lines,
                           const reports::Page_geometry& geometry, const reports::Page_sink& sink);

// The Print button: the platform's print dialog, then the lines printed in a
// document named by the caption.  True when the dialog was confirmed (the
// display then closes, whether printing worked or not).
bool print_display_lines(ui::Ui& ui, const std::string& caption, const std::vector<std::string>& lines,
                         int font_size);

// Shows caption and lines in `Display_dialog` (cut to its limits), with the
// Print button printing them at font_size.
void show_display(ui::Ui& ui, const std::string& caption, const std::vector<std::string>& lines, int font_size);

// Configure > Tag > Display/Print (command 32809): a tag file picked with the
// title "Select the tag to display", shown under "Tag Configuration:  <file>".
void display_tag_command(shell::Program& program);

// Configure > Group > Display/Print (command 32812): a group file picked
// with the title "Select the group to display", its members shown under
// "Group Configuration:  <file>".
void display_group_command(shell::Program& program);

}  // namespace download
