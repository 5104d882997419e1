// The user-interface operations the program's logic calls.
//
// The logic (shell, link, reports, tags, download) never touches a widget: it
// asks for a message box, a status-line text, a file name or a list update
// through this interface.  The desktop program implements it with Qt Widgets
// (ui/qt), the command-line program on the terminal (ui/console), and the
// tests with a scripted implementation that answers from a queue.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tags {
class Tag_sheet;
}
namespace download {
class Group_editor;
}
namespace records {
class Records_browser;
class Database_choice;
}

namespace ui {

// The caption of a message box.
enum class Caption { error, confirmation, information, warning, fatal_error };

// The buttons and icon of a message box.
enum class Buttons {
    ok,                     // errors and information: OK only, no icon
    ok_information_icon,    // port configuration failures: OK with the information icon
    yes_no_exclamation,     // questions ending in "Continue?"
    yes_no,                 // the clock questions: Yes/No without icon
    yes_no_continue,        // the missing-members "Continue?" question: Yes/No without icon, No the default
};

enum class Answer { ok, yes, no };

// What a file picker is asked to do.
struct File_request {
    bool save = false;                  // save dialog (else open)
    std::string title;                  // dialog title
    std::string filter;                 // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*" form
    std::string initial_folder;         // folder the dialog starts in ("" = platform default)
    std::string default_name;           // file name proposed
    std::string default_extension;      // added when the user types a name without one
    bool must_exist = false;            // open: the file must exist
    bool ask_replace = false;           // save: ask before replacing an existing file
    bool folder_only = false;           // the folder-picking form: the answer is the folder itself
};

// One line of a printed page: its text, drawn at the document's left margin,
// y pixels below the top of the printable area (the top of the text cell).
struct Printed_row {
    int y = 0;
    std::string text;
    bool operator==(const Printed_row&) const = default;
};
struct Printed_page {
    std::vector<Printed_row> rows;
};

// How one page went to the printer.
enum class Page_result {
    printed,
    page_failed,       // the page could not be ended: the document is to be abandoned
    document_failed,   // the document could not be started: "Could not generate report"
};

// A printer the user picked, for one document.  Everything is in the
// printer's pixels.
class Print_job {
public:
    virtual ~Print_job() = default;
    // Vertical resolution (pixels per inch) and the height of the printable area.
    virtual int resolution() const = 0;
    virtual int printable_height() const = 0;
    // Called once before the first page: the document's name for the print
    // queue, the character height of its fixed-pitch font, and the left margin.
    virtual void set_document(const std::string& name, int font_height, int left_margin) = 0;
    // Prints one page.  The document starts with its first page, so a
    // document without pages sends nothing to the printer.
    virtual Page_result print_page(const Printed_page& page) = 0;
    // Ends the document after its last page, or abandons it.
    virtual void finish(bool abandon) = 0;
};

// What Generate_points_dialog proposes and what the user confirmed.
struct Generate_values {
    int count = 1;          // number of points, 1..21
    float zero = 0.0f;
    float span = 0.0f;
    int scheme = 0;         // 0 Zero to Span, 1 Span to Zero, 2 Zero to Span to Zero, 3 Span to Zero to Span
};

// What the Serial Adapters dialog shows: the serial devices, one row each,
// and one line per port saying what it opens ("COM1: /dev/ttyS0 (default)").
struct Adapter_row {
    std::string device;          // /dev/ttyUSB0
    std::string by_id_name;      // usb-..._A1B2C3-if00-port0; "" when none
    std::string maker, product, serial_number;
    std::string ports;           // "COM2" or "COM2, COM5"; "" when no port opens it
    bool no_permission = false;  // this user may not open it
};
struct Adapters_view {
    std::vector<Adapter_row> adapters;
    std::vector<std::string> port_lines;
};

// The main window's two lists, its caption label and status line, and the
// dialogs and windows the logic opens.  Every call happens on the one
// user-interface thread.
class Ui {
public:
    virtual ~Ui() = default;

    // Message box with one of the four captions (or the start-up "FATAL ERROR").
    virtual Answer message(const std::string& text, Caption caption, Buttons buttons) = 0;

    // The one-line status line of the main window.
    virtual void set_status(const std::string& text) = 0;

    // Wait cursor on or off.
    virtual void set_wait_cursor(bool on) = 0;

    // The platform's default beep.
    virtual void beep() = 0;

    // Handles pending window events (repaint, menus, the cancel window) and
    // returns true when a quit request came in while doing so.
    virtual bool pump_events() = 0;

    // File and folder pickers: the chosen path, or nothing when cancelled.
    virtual std::optional<std::string> pick_file(const File_request& request) = 0;
    // The open-file picker that takes several files at once: the chosen
    // paths, or nothing when cancelled.  A ui without it cancels.
    virtual std::optional<std::vector<std::string>> pick_files(const File_request& /*request*/) {
        return std::nullopt;
    }

    // The Tag ID list: replace its lines, empty it, read the selected lines.
    virtual void set_tag_list(const std::vector<std::string>& lines) = 0;
    virtual std::vector<int> selected_tags() = 0;
    virtual std::string tag_line(int index) = 0;

    // The Reports list: append lines, empty it, set its caption label, and
    // the horizontal extent (scroll width in characters) once it is filled.
    virtual void append_report_lines(const std::vector<std::string>& lines) = 0;
    virtual void clear_reports() = 0;
    virtual void set_reports_caption(const std::string& caption) = 0;
    virtual void set_reports_extent(int characters) = 0;

    // Menu lock: every top-level menu greyed while on.
    virtual void set_menus_enabled(bool enabled) = 0;
    // Check marks of the format and port items.
    virtual void set_check_marks(bool text_format, int port) = 0;

    // The modeless cancel window of a long operation.  on_cancel runs when
    // its Cancel button is pressed (the window then hides itself).
    virtual void show_cancel_window(const std::string& caption, std::function<void()> on_cancel) = 0;
    virtual void close_cancel_window() = 0;
    // Progress of the operation in the open cancel window: done of total on
    // its progress bar (total 0 = no measure yet) and text beside it, e.g.
    // "Uploading report 3 of 50.".  Does nothing when no cancel window is open.
    virtual void set_cancel_progress(int done, int total, const std::string& text) = 0;

    // Dialogs of the shell and the link.
    // Company name: the text entered, or nothing on Cancel.
    virtual std::optional<std::string> ask_company_name(const std::string& current) = 0;
    virtual void show_about() = 0;
    struct Identity_values {
        std::string manufacturer, model, serial_number, firmware;
    };
    virtual void show_identity(const Identity_values& values) = 0;

    // The tag editor.  A ui without it answers as a cancelled dialog.
    // The modal sheet `title` over the sheet's logic, which it calls back for
    // every page change, list change and button: true when it closed with OK
    // (its active page then passed its checks), false on Cancel or close.
    virtual bool run_tag_sheet(const std::string& /*title*/, tags::Tag_sheet& /*sheet*/) { return false; }
    // Point_number_dialog with its prompt: the point number 1..21 confirmed.
    virtual std::optional<int> ask_point_number(const std::string& /*prompt*/) { return std::nullopt; }
    // Generate_points_dialog starting from the proposals: the checked values.
    virtual std::optional<Generate_values> ask_generate_points(const Generate_values& /*proposal*/) {
        return std::nullopt;
    }

    // Opens the help pages at a context (0 = the default topic); closes them all.
    virtual void show_help(int context) = 0;
    virtual void close_help() = 0;

    // Printing.  A ui that cannot print answers as a cancelled dialog.
    // The platform's print dialog: the printer chosen, or nothing on Cancel.
    virtual std::unique_ptr<Print_job> choose_printer() { return nullptr; }
    // The "Select Font Size" dialog with current preselected: the size
    // chosen (one of 8, 9, 10, 11, 12, 14, 16), or nothing on Cancel.
    virtual std::optional<int> ask_font_size(int /*current*/) { return std::nullopt; }
    // `Display_dialog`: caption and lines in a list, OK and Print.  on_print
    // runs when Print is pressed and returns true when the window is to close.
    virtual void show_display(const std::string& /*caption*/, const std::vector<std::string>& /*lines*/,
                              const std::function<bool()>& /*on_print*/) {}

    // The Serial Adapters dialog, modal, with Close and Help.  Its Map button
    // calls on_map with the port (1..8) and the row chosen; on_map maps the
    // port (asking when it must) and returns what to show from then on.
    virtual void show_serial_adapters(const Adapters_view& /*view*/,
                                      const std::function<Adapters_view(int port, int row)>& /*on_map*/) {}

    // Groups.  A ui without them answers as a cancelled dialog.
    // `Keep_dialog`: caption, text and the buttons Yes, No, Yes to All and No
    // to All; it beeps when shown.  Escape counts as No.
    enum class Keep_answer { no = 0, no_to_all = 1, yes = 2, yes_to_all = 3 };
    virtual Keep_answer ask_keep(const std::string& /*caption*/, const std::string& /*text*/) {
        return Keep_answer::no;
    }
    // `Group_dialog`, modal over the editor's logic, which fills its two lists
    // (display) and moves entries between them: true when it closed with OK.
    virtual bool run_group_dialog(download::Group_editor& /*editor*/) { return false; }
    // `Select_dialog`: caption and items, several selectable; the selected
    // items' indices in list order, or nothing on Cancel.
    virtual std::optional<std::vector<int>> select_download_members(const std::string& /*caption*/,
                                                                    const std::vector<std::string>& /*items*/) {
        return std::nullopt;
    }
    // `Status_dialog`: the modeless window of the group download, its rows and
    // a Cancel button that runs on_cancel and hides the window.
    virtual void show_status_window(const std::string& /*caption*/, const std::vector<std::string>& /*rows*/,
                                    std::function<void()> /*on_cancel*/) {}
    virtual void set_status_row(int /*row*/, const std::string& /*text*/) {}
    // The height of the status list's window and of one of its rows, in
    // pixels (0 when unknown), and the row shown at its top.
    struct List_metrics {
        int list_height = 0;
        int row_height = 0;
    };
    virtual List_metrics status_list_metrics() { return {}; }
    virtual void set_status_top_row(int /*row*/) {}
    virtual void close_status_window() {}
    // `Summary_dialog`: the final rows, modal.
    virtual void show_summary(const std::vector<std::string>& /*lines*/) {}

    // `Extract_dialog`: caption and the tag IDs of a report file, one
    // selectable (a double click is OK): the index of the ID chosen with OK,
    // or -1 on Cancel or OK without a selection.  A ui without it cancels.
    virtual int choose_extract_tag(const std::string& /*caption*/, const std::vector<std::string>& /*ids*/) {
        return -1;
    }

    // The Calibration Records window, modal, over the browser's logic: it
    // shows what the browser holds and tells it every filter text, selection
    // and button; it closes when Close is pressed or a button's action says
    // so.  A ui without it shows nothing.
    virtual void run_records_window(records::Records_browser& /*browser*/) {}
    // The Records Database dialog, modal, over the choice's logic: it shows
    // the choice and tells it every radio button, edit and button; OK saves
    // the choice (the dialog stays open when the choice refuses).  True when
    // it closed with the choice saved.  A ui without it cancels.
    virtual bool run_database_dialog(records::Database_choice& /*choice*/) { return false; }
};

}  // namespace ui
