// The tag editor: the five-page sheet `Tag_dialog` as plain logic, the
// editing loop with its save, and the commands Configure > Tag > New and Edit.
//
// The sheet (`Tag_sheet`) holds the editor values of all five pages and the
// contents of the pages' controls (`Sheet_controls`): what each edit and
// drop-down list shows, which lists and labels are visible, the radio
// buttons.  A view (the Qt sheet, a test, the command-line program) puts
// what the user typed into the controls and calls the sheet at each event:
//
//   sheet.open();                                    // page 0 shown
//   sheet.text_changed(Control::tag_id, "TT-101");
//   sheet.change_page(Page::instrument_input);       // checks, warnings
//   sheet.list_text_changed(Control::input_type, "thermocouple", 12);
//   sheet.ok();                                      // true: close the sheet
//
// Leaving a page reads its controls back into the values in the page's
// field order, stopping at the first field that fails (its message is shown
// and the field gets the focus), then shows the page's warnings.  A failed
// check or a No to a warning keeps the page.  Every message goes through the
// ui.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "tags/tag_file.h"
#include "tags/tag_record.h"
#include "tags/vocabulary.h"
#include "ui/ui.h"

namespace tags {

enum class Page : int { identification, instrument_input, instrument_output, tolerance, test_points };
inline constexpr int page_count = 5;

// The help topic of a page.
int help_context(Page page);

// Every control of the sheet that holds a value, page by page, top to bottom.
enum class Control : int {
    none,
    tag_id, manufacturer, model, serial_number, technician, temperature, humidity, other,
    input_type, input_units, input_curve, input_auxiliary, amplitude, fixed_type, fixed_value,
    output_type, output_units, output_curve, output_auxiliary,
    tolerance_state, input_low, input_high, output_low, output_high, tolerance,
    points_used, first_point,
    last_point = first_point + reports::max_points - 1,
    count
};
inline constexpr int control_count = static_cast<int>(Control::count);

// The edit of point k (1..21).
constexpr Control point_control(int k) { return static_cast<Control>(static_cast<int>(Control::first_point) + k - 1); }
// The page a control is on.
Page page_of(Control control);
// True for the eight drop-down lists of the input and output pages.
bool is_list(Control control);

// An editable drop-down list: its entries, the entry selected (-1: none)
// and whether it and its label are shown.  Its text is the control's text.
struct List_state {
    std::vector<std::string> entries;
    int selected = -1;
    bool shown = true;
    std::string label;          // the fourth list's label: "CJ:" or "Wires:"
};

struct Sheet_controls {
    // The text of every edit and drop-down list (radio buttons: "0" or "1").
    std::array<std::string, control_count> texts{};
    std::string& text(Control c) { return texts[static_cast<size_t>(c)]; }
    const std::string& text(Control c) const { return texts[static_cast<size_t>(c)]; }

    // The drop-down lists of the input and output pages.
    std::array<List_state, 8> lists{};
    List_state& list(Control c);
    const List_state& list(Control c) const;

    // Input page: "Amplitude:", its edit and "Vpp"; "Fixed:", the radio
    // buttons, "Fixed Value:" and its edit.
    bool amplitude_shown = false;
    bool pulse_shown = false;

    // Where the caret goes in the list the user last typed in (-1: nowhere).
    Control caret_list = Control::none;
    int caret = -1;
};

class Tag_sheet {
public:
    Tag_sheet(ui::Ui& ui, const Tag_editor_values& values);

    const Tag_editor_values& values() const { return values_; }
    Sheet_controls& controls() { return controls_; }
    const Sheet_controls& controls() const { return controls_; }
    Page active_page() const { return active_; }
    // The control a failed check gave the focus (none after a page passed).
    Control focus() const { return focus_; }

    // A new showing of the sheet: it opens on page 0 and every page's
    // controls are set up again, from the values as they stand.
    void open();
    // Leaves the active page (checks and warnings) and shows `page`.  False
    // when the active page refused: it stays.
    bool change_page(Page page);
    // OK: the active page's checks and warnings.  True when the sheet may close.
    bool ok();

    // The text of an edit or a radio button ("0" or "1") changed; a
    // drop-down list's change goes on to list_text_changed.  The view
    // reports every change at once, so the sheet always holds what the
    // controls show and a refresh of the lists brings back no older text.
    void text_changed(Control control, const std::string& text, int caret = -1);
    // Whether typing may turn the control's text into `text`: printable
    // ASCII only, the identification texts up to 16 characters and every
    // other text up to what a record field holds (typing_accepted).
    bool accepts_typing(Control control, std::string_view text) const;

    // The text of a drop-down list changed, typed (caret: where typing left
    // the caret) or chosen (caret -1).  A type list refreshes its page with
    // the dependent lists reset to their first entries; the others refresh
    // without.
    void list_text_changed(Control list, const std::string& text, int caret = -1);

    // The test point page's buttons.
    void insert_point();
    void delete_point();
    void generate_points();

    // The lists, labels and shown controls of the input or output page from
    // its type, units, curve and fourth texts; with reset_dependents the
    // units, curve and fourth list take their lists' first entries.
    void refresh_selections(Direction direction, bool reset_dependents);

private:
    void show_page(Page page);
    // Reads the page's controls into the values in check order; false at the
    // first field that fails (shown, focused; it and the fields after it
    // keep their values).
    bool read_page(Page page);
    // The page's warnings, every one that applies; false when one was answered No.
    bool page_warnings(Page page);
    bool leave_active_page();
    bool warn(const std::string& text);
    bool fail(Control control, const std::string& message);
    bool read_text(Control control, std::string& value);
    bool read_number_field(Control control, float low, float high, float& value);

    ui::Ui& ui_;
    Tag_editor_values values_;
    Sheet_controls controls_;
    Page active_ = Page::identification;
    std::array<bool, page_count> created_{};
    Control focus_ = Control::none;
};

// Shows the sheet titled `title` over the values; after OK saves them
// (save_tag_file), and shows the sheet again with the values as edited when
// the Save dialog is cancelled.  True when the user confirmed a file name.
bool run_tag_editor(Tag_file_context& context, const std::string& title, const Tag_editor_values& values);

// Configure > Tag > New: "Edit new tag" over new_tag_defaults; the current
// tag file name is cleared.
void new_tag_command(Tag_file_context& context);
// Configure > Tag > Edit: a tag file picked and loaded, then the editor
// titled "Edit tag:  <file name>".
void edit_tag_command(Tag_file_context& context);

}  // namespace tags
