// The user-interface operations the program's logic calls.
//
// The logic (shell, link, reports, tags, download) never touches a widget: it
// asks for a message box, a status-line text, a file name or a list update
// through this interface.  The desktop program implements it with Qt Widgets
// (ui/qt), the command-line program on the terminal (ui/console), and the
// tests with a scripted implementation that answers from a queue.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// The caption of a message box.
enum class Caption { error, confirmation, information, warning, fatal_error };

// The buttons and icon of a message box.
enum class Buttons {
    ok,                     // errors and information: OK only, no icon
    ok_information_icon,    // port configuration failures: OK with the information icon
    yes_no_exclamation,     // questions ending in "Continue?"
    yes_no,                 // the clock questions: Yes/No without icon
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

    // Opens the help pages at a context (0 = the default topic); closes them all.
    virtual void show_help(int context) = 0;
    virtual void close_help() = 0;
};

}  // namespace ui
