// The main window's logic: the program's state, the start-up sequence, the
// command table and its dispatch, the status line, check marks, menu lock,
// unsaved-report guard, exit, and the window placement kept in the settings.
//
// It never touches a widget: everything the user sees goes through ui::Ui, so
// the desktop window (ui/qt) and the tests (a scripted ui) drive the same code.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "link/clock.h"
#include "link/serial_port.h"
#include "shell/ini_file.h"
#include "records/records_settings.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "ui/ui.h"

namespace reports {
struct Report_file_context;
}

namespace shell {

enum class Window_state { normal, maximised, minimised };

class Main_dialog {
public:
    Main_dialog(ui::Ui& ui, comm::Serial_port& port, comm::Clock& clock);
    ~Main_dialog();

    // Start-up.  folders is what the platform named (nothing when it could
    // not); created is the window rectangle as created.  Shows the
    // "FATAL ERROR" message and returns false when the folders are unknown;
    // the program must then end without using any setting.
    bool initialize(const std::optional<Data_folders>& folders, const Window_rect& created);
    // The last step of start-up: from now on size and move events are saved.
    void finish_initializing() { initializing_ = false; }

    // Menu commands.
    bool command_available(int command) const;
    void run_command(int command);

    // Menu tracking: an item highlighted (its prompt in the status line), the
    // menu closed (the configured-format text back), a menu opened while the
    // menus are locked (the information message).
    void menu_item_highlighted(int command);
    void menu_closed();
    void menu_opened_while_busy();

    // File > Exit, Escape and the close box.  True when the program ends.
    bool request_exit();
    bool finished() const { return finished_; }

    // Window placement: remembered in the settings on every size and move in
    // normal state once start-up is over.
    void window_sized(Window_state state, const Window_rect& window);
    void window_moved(Window_state state, const Window_rect& window);

    void refresh_status_line() { program_.refresh_status_line(); }
    void update_check_marks();
    void set_busy(bool on) { program_.set_busy(on); }
    // Asks before report data that was never saved is thrown away; false when
    // the user answers No.
    bool confirm_discard_reports() { return program_.confirm_discard_reports(); }

    const Program_settings& settings() const { return program_.settings; }
    const Data_folders& folders() const { return folders_; }
    // Section [records] as read at start-up, and the database it names.
    const records::Records_settings& records_settings() const { return records_settings_; }
    std::string records_database() const { return records::database_path(records_settings_, folders_.data); }
    bool busy() const { return program_.busy; }
    bool operation_running() const { return program_.operation_running; }
    bool calibrator_operation_active() const { return calibrator_active_; }
    bool reports_unsaved() const { return program_.reports.reports_unsaved; }
    void set_reports_unsaved(bool unsaved) { program_.reports.reports_unsaved = unsaved; }
    Program& program() { return program_; }

    // The commands that talk to the calibrator: only one runs at a time.
    static bool is_calibrator_command(int command);
    // The commands that may run while a calibrator command waits.
    static bool runs_during_calibrator_command(int command);

private:
    void run_calibrator_command(int command);
    reports::Report_file_context report_file_context();
    void run_file_command(int command);
    // Records > Calibration Records... and Import Reports....
    void run_records_command(int command);
    // Section [records] of the settings file, and with it whether uploads are recorded.
    void read_records_settings();
    // At start-up: "3 tags overdue for calibration" in the status line when any are.
    void show_overdue_tags();
    void set_format(int format);
    void set_port(int port);
    void set_company_name();
    // File > Print Setup: the "Select Font Size" dialog; the size is written at once.
    void select_font_size();

    ui::Ui& ui_;
    Data_folders folders_;
    Ini_file ini_;
    records::Records_settings records_settings_;
    Program program_;
    Program_settings& settings_ = program_.settings;

    bool initializing_ = true;
    bool calibrator_active_ = false;
    bool finished_ = false;
};

}  // namespace shell
