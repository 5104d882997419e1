// The desktop program's main window: menu bar, Tag ID list, Reports list,
// caption labels and status line.  It implements ui::Ui for the program's
// logic (shell::Main_dialog) and forwards menu commands, menu tracking, key
// presses, size and move events to it.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <chrono>
#include <map>
#include <memory>

#include "shell/layout.h"
#include "shell/main_dialog.h"
#include "ui/ui.h"

class QAction;
class QLabel;
class QListView;
class QListWidget;
class QMenu;

namespace ui::qt {

class Report_lines_model;
class Cancel_window;
class Status_window;
class Help_window;

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*" → "Text Files (*.txt);;All Files (*)".
QString dialog_filter(const std::string& filter);

class Main_window : public QMainWindow, public Ui {
public:
    Main_window(comm::Serial_port& port, comm::Clock& clock);
    ~Main_window() override;

    // Builds the window and runs the start-up sequence.  False when the
    // program must end at once (the data folders are unknown).
    bool start();

    shell::Main_dialog& dialog() { return *dialog_; }

    // ui::Ui
    Answer message(const std::string& text, Caption caption, Buttons buttons) override;
    void set_status(const std::string& text) override;
    void set_wait_cursor(bool on) override;
    void beep() override;
    bool pump_events() override;
    std::optional<std::string> pick_file(const File_request& request) override;
    void set_tag_list(const std::vector<std::string>& lines) override;
    std::vector<int> selected_tags() override;
    std::string tag_line(int index) override;
    void append_report_lines(const std::vector<std::string>& lines) override;
    void clear_reports() override;
    void set_reports_caption(const std::string& caption) override;
    void set_reports_extent(int characters) override;
    void set_menus_enabled(bool enabled) override;
    void set_check_marks(bool text_format, int port) override;
    void show_cancel_window(const std::string& caption, std::function<void()> on_cancel) override;
    void close_cancel_window() override;
    void set_cancel_progress(int done, int total, const std::string& text) override;
    std::optional<std::string> ask_company_name(const std::string& current) override;
    void show_about() override;
    void show_identity(const Identity_values& values) override;
    void show_help(int context) override;
    void close_help() override;
    bool run_tag_sheet(const std::string& title, tags::Tag_sheet& sheet) override;
    std::optional<int> ask_point_number(const std::string& prompt) override;
    std::optional<Generate_values> ask_generate_points(const Generate_values& proposal) override;
    // The group dialogs (main_window_groups.cpp).
    Keep_answer ask_keep(const std::string& caption, const std::string& text) override;
    bool run_group_dialog(download::Group_editor& editor) override;
    std::optional<std::vector<int>> select_download_members(const std::string& caption,
                                                            const std::vector<std::string>& items) override;
    int choose_extract_tag(const std::string& caption, const std::vector<std::string>& ids) override;
    void show_status_window(const std::string& caption, const std::vector<std::string>& rows,
                            std::function<void()> on_cancel) override;
    void set_status_row(int row, const std::string& text) override;
    List_metrics status_list_metrics() override;
    void set_status_top_row(int row) override;
    void close_status_window() override;
    void show_summary(const std::vector<std::string>& lines) override;
    void show_serial_adapters(const Adapters_view& view,
                              const std::function<Adapters_view(int, int)>& on_map) override;
    std::unique_ptr<Print_job> choose_printer() override;
    std::optional<int> ask_font_size(int current) override;
    void show_display(const std::string& caption, const std::vector<std::string>& lines,
                      const std::function<bool()>& on_print) override;
    // The Records menu's windows (main_window_records.cpp).
    std::optional<std::vector<std::string>> pick_files(const File_request& request) override;
    void run_records_window(records::Records_browser& browser) override;
    bool run_database_dialog(records::Database_choice& choice) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_menus();
    void build_controls();
    void run_command(int command);
    void lay_out_controls();
    shell::Window_state window_state() const;
    shell::Window_rect outer_rect() const;
    // The placement of the settings file fitted into the available screen area.
    shell::Rect restored_placement(const shell::Rect& stored) const;
    // The smallest client area at which both lists stay usable.
    QSize minimum_client_size() const;
    QWidget* message_owner();

    std::unique_ptr<shell::Main_dialog> dialog_;
    std::map<int, QAction*> actions_;
    std::vector<QMenu*> top_menus_;
    QWidget* client_ = nullptr;
    QLabel* tag_label_ = nullptr;
    QLabel* reports_label_ = nullptr;
    QListWidget* tag_list_ = nullptr;
    QListView* reports_list_ = nullptr;
    Report_lines_model* reports_model_ = nullptr;
    QLabel* status_line_ = nullptr;
    Cancel_window* cancel_window_ = nullptr;
    Status_window* status_window_ = nullptr;  // the group download's status window while it is up
    QPointer<Help_window> help_window_;        // made at the first F1; gone if a dialog it belonged to was deleted
    shell::Layout_measures measures_;
    bool skip_next_layout_ = true;
    int wait_cursor_depth_ = 0;
    bool quit_requested_ = false;      // a close request came in during a calibrator wait
    std::chrono::steady_clock::time_point last_pump_{};  // the last time pump_events ran the event loop
    bool close_after_operation_ = false;
};

}  // namespace ui::qt
