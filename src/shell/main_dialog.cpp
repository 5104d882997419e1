#include "shell/main_dialog.h"

#include "download/config_display.h"
#include "download/group_download.h"
#include "download/group_editor.h"
#include "download/report_extract.h"
#include "download/tag_download.h"
#include "link/checks.h"
#include "link/port_names.h"
#include "link/serial_adapters.h"
#include "records/database_choice.h"
#include "records/records_browser.h"
#include "records/records_settings.h"
#include "resources/database_dialog_strings.h"
#include "resources/help_pages.h"
#include "resources/records_window_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "reports/report_files.h"
#include "reports/report_print.h"
#include "reports/report_upload.h"
#include "shell/tag_commands.h"
#include "tags/tag_editor.h"

namespace shell {

namespace {

// The port number a "Use COMn" command selects, or 0.
int port_of_command(int command) {
    switch (command) {
    case res::ID_USE_COM1: return 1;
    case res::ID_USE_COM2: return 2;
    case res::ID_USE_COM3: return 3;
    case res::ID_USE_COM4: return 4;
    case res::ID_USE_COM5: return 5;
    case res::ID_USE_COM6: return 6;
    case res::ID_USE_COM7: return 7;
    case res::ID_USE_COM8: return 8;
    default: return 0;
    }
}

}  // namespace

Main_dialog::Main_dialog(ui::Ui& ui, comm::Serial_port& port, comm::Clock& clock)
    : ui_(ui), program_(ui, port, clock, [this] { return comm::port_device(settings_.port, folders_.app_data); }) {}

Main_dialog::~Main_dialog() = default;

bool Main_dialog::initialize(const std::optional<Data_folders>& folders, const Window_rect& created) {
    if (!folders) {
        ui_.message(res::str(res::IDS_FATAL_NO_DATA_FOLDER), ui::Caption::fatal_error, ui::Buttons::ok);
        finished_ = true;
        return false;
    }
    folders_ = *folders;
    ensure_folder(folders_.documents);
    ensure_folder(folders_.app_data);
    ini_.set_path(ini_path(folders_));
    settings_ = load_settings(ini_, folders_, created);
    program_.store_tag_folder = [this](const std::string& folder) { ini_.write_text("tag_config_directory", folder); };
    read_records_settings();

    refresh_status_line();
    show_overdue_tags();
    update_check_marks();
    program_.reports.reports_unsaved = false;
    return true;
}

bool Main_dialog::is_calibrator_command(int command) {
    switch (command) {
    case res::ID_UPLOAD_TAG_IDS:
    case res::ID_UPLOAD_ALL_REPORTS:
    case res::ID_UPLOAD_SELECTED_REPORTS:
    case res::ID_UPLOAD_IDENTITY:
    case res::ID_ERASE_ALL:
    case res::ID_ERASE_SELECTED:
    case res::ID_DOWNLOAD_TAG:
    case res::ID_DOWNLOAD_GROUP:
        return true;
    default:
        return false;
    }
}

bool Main_dialog::runs_during_calibrator_command(int command) {
    return command == res::ID_HELP_TOPICS || command == res::ID_HELP_SUPPORT || command == res::ID_HELP_ABOUT;
}

bool Main_dialog::command_available(int command) const {
    if (port_of_command(command) != 0) return true;
    switch (command) {
    case res::ID_FILE_EXIT:
    case res::ID_UPLOAD_TEXT_FORMAT:
    case res::ID_UPLOAD_CSV_FORMAT:
    case res::ID_COMPANY_NAME:
    case res::ID_SERIAL_ADAPTERS:
    case res::ID_HELP_TOPICS:
    case res::ID_HELP_SUPPORT:
    case res::ID_HELP_ABOUT:
    case res::ID_UPLOAD_TAG_IDS:
    case res::ID_UPLOAD_IDENTITY:
    case res::ID_ERASE_ALL:
    case res::ID_ERASE_SELECTED:
    case res::ID_UPLOAD_ALL_REPORTS:
    case res::ID_UPLOAD_SELECTED_REPORTS:
    case res::ID_FILE_OPEN:
    case res::ID_FILE_SAVE_SINGLE:
    case res::ID_FILE_SAVE_SEPARATE:
    case res::ID_FILE_SAVE_DIRECTORIES:
    case res::ID_DOWNLOAD_TAG:
    case res::ID_FILE_PRINT:
    case res::ID_FILE_PRINT_SETUP:
    case res::ID_TAG_NEW:
    case res::ID_TAG_EDIT:
    case res::ID_TAG_EXTRACT:
    case res::ID_TAG_DISPLAY:
    case res::ID_GROUP_DISPLAY:
    case res::ID_GROUP_NEW:
    case res::ID_GROUP_EDIT:
    case res::ID_DOWNLOAD_GROUP:
    case res::ID_RECORDS_BROWSE:
    case res::ID_RECORDS_IMPORT:
    case res::ID_RECORDS_DATABASE:
        return true;
    default:
        return false;  // the work of this command is not part of the program yet
    }
}

void Main_dialog::run_command(int command) {
    if (!command_available(command)) return;
    // While a calibrator command waits for the calibrator the window stays
    // responsive, but commands never nest: anything that would start another
    // exchange, change the port or format in use, or touch the lists the
    // running command fills is refused with a beep.  Help and About are harmless.
    if (calibrator_active_ && !runs_during_calibrator_command(command)) {
        ui_.beep();
        return;
    }
    if (const int port = port_of_command(command)) {
        set_port(port);
        return;
    }
    if (is_calibrator_command(command)) {
        calibrator_active_ = true;
        run_calibrator_command(command);
        calibrator_active_ = false;
        return;
    }
    switch (command) {
    case res::ID_FILE_EXIT: request_exit(); break;
    case res::ID_UPLOAD_TEXT_FORMAT: set_format(1); break;
    case res::ID_UPLOAD_CSV_FORMAT: set_format(0); break;
    case res::ID_COMPANY_NAME: set_company_name(); break;
    case res::ID_SERIAL_ADAPTERS:
        comm::serial_adapters_command(ui_, folders_.app_data, comm::system_serial_devices);
        break;
    case res::ID_HELP_TOPICS: ui_.show_help(res::HELP_MAIN_WINDOW); break;
    case res::ID_HELP_SUPPORT: ui_.show_help(res::HELP_SUPPORT); break;
    case res::ID_HELP_ABOUT: ui_.show_about(); break;
    case res::ID_FILE_OPEN:
    case res::ID_FILE_SAVE_SINGLE:
    case res::ID_FILE_SAVE_SEPARATE:
    case res::ID_FILE_SAVE_DIRECTORIES: run_file_command(command); break;
    case res::ID_FILE_PRINT:
        reports::print_reports(ui_, program_.reports.lines(), settings_.font_size, [this] { refresh_status_line(); });
        break;
    case res::ID_FILE_PRINT_SETUP: select_font_size(); break;
    case res::ID_TAG_NEW:
    case res::ID_TAG_EDIT: {
        tags::Tag_file_context files = download::tag_file_context(program_);
        if (command == res::ID_TAG_NEW)
            tags::new_tag_command(files);
        else
            tags::edit_tag_command(files);
        break;
    }
    case res::ID_TAG_EXTRACT: {
        download::Extract_context extract{download::tag_file_context(program_), settings_.report_directory,
                                          [this](const std::string& folder) { ini_.write_text("directory", folder); }};
        download::extract_from_report_command(extract);
        break;
    }
    case res::ID_TAG_DISPLAY: download::display_tag_command(program_); break;
    case res::ID_GROUP_NEW: download::new_group_command(program_); break;
    case res::ID_GROUP_EDIT: download::edit_group_command(program_); break;
    case res::ID_GROUP_DISPLAY: download::display_group_command(program_); break;
    case res::ID_RECORDS_BROWSE:
    case res::ID_RECORDS_IMPORT: run_records_command(command); break;
    case res::ID_RECORDS_DATABASE:
        // A database chosen is the one the next recording and the Records window use.
        if (records::database_command(ui_, ini_.path(), folders_.data)) read_records_settings();
        break;
    default: break;
    }
}

// What the report file commands (and the records, which read and fill the
// Reports list as File > Open does) work with.
reports::Report_file_context Main_dialog::report_file_context() {
    return {ui_,
            program_.reports,
            settings_.report_directory,
            [this](const std::string& folder) { ini_.write_text("directory", folder); },
            [this] { return confirm_discard_reports(); },
            [this] { refresh_status_line(); },
            {},
            [this] { program_.clear_tag_list_display(); }};
}

void Main_dialog::run_file_command(int command) {
    reports::Report_file_context context = report_file_context();
    switch (command) {
    case res::ID_FILE_OPEN: reports::open_report_file(context); break;
    case res::ID_FILE_SAVE_SINGLE: reports::save_reports_single(context); break;
    case res::ID_FILE_SAVE_SEPARATE: reports::save_reports_separate(context); break;
    case res::ID_FILE_SAVE_DIRECTORIES: reports::save_reports_directories(context); break;
    default: break;
    }
}

void Main_dialog::show_overdue_tags() {
    const std::string text = records::overdue_status_text(records_database(), records_settings_.interval_days,
                                                          records::local_date(program_.link.clock().now()));
    if (!text.empty()) ui_.set_status(text);
}

void Main_dialog::read_records_settings() {
    records_settings_ = records::read_records_settings(ini_.path());
    // Every successful upload is recorded, unless [records] record_uploads=0
    // or the platform names no data folder and the settings no database.
    if (records_settings_.record_uploads && (!folders_.data.empty() || !records_settings_.database.empty()))
        program_.record_upload = [this] { records::record_uploaded_reports(program_, records_database()); };
    else
        program_.record_upload = nullptr;
}

void Main_dialog::run_records_command(int command) {
    reports::Report_file_context files = report_file_context();
    // The [records] section is read again, so that a database or interval
    // named in the settings file since start-up is the one used.
    read_records_settings();
    records::Records_context context{files, records_database(), settings_.font_size};
    context.company = settings_.company;
    context.interval_days = records_settings_.interval_days;
    context.today = records::local_date(program_.link.clock().now());
    if (command == res::ID_RECORDS_BROWSE)
        records::calibration_records_command(context);
    else
        records::import_reports_command(context);
}

void Main_dialog::run_calibrator_command(int command) {
    switch (command) {
    case res::ID_UPLOAD_TAG_IDS: upload_tag_ids_command(program_); break;
    case res::ID_UPLOAD_IDENTITY: comm::calibrator_identity_command(program_.session); break;
    case res::ID_ERASE_ALL: erase_all_command(program_); break;
    case res::ID_ERASE_SELECTED: erase_selected_command(program_); break;
    case res::ID_UPLOAD_ALL_REPORTS: reports::upload_all_reports(program_); break;
    case res::ID_UPLOAD_SELECTED_REPORTS: reports::upload_selected_reports(program_); break;
    case res::ID_DOWNLOAD_TAG: download::download_tag_command(program_); break;
    case res::ID_DOWNLOAD_GROUP: download::download_group_command(program_); break;
    default: break;
    }
}

void Main_dialog::menu_item_highlighted(int command) {
    if (program_.busy) return;
    if (res::has_text(command)) ui_.set_status(res::str(command));
}

void Main_dialog::menu_closed() {
    if (!program_.busy) refresh_status_line();
}

void Main_dialog::menu_opened_while_busy() {
    if (program_.busy) ui_.message(res::str(res::IDS_MENU_NOT_AVAILABLE), ui::Caption::information, ui::Buttons::ok);
}

bool Main_dialog::request_exit() {
    if (program_.operation_running) {
        ui_.beep();
        return false;
    }
    if (!confirm_discard_reports()) return false;
    ui_.close_help();
    finished_ = true;
    return true;
}

void Main_dialog::window_sized(Window_state state, const Window_rect& window) {
    if (initializing_) return;
    if (state == Window_state::maximised) {
        settings_.window_mode = 1;
        ini_.write_int("window_mode", 1);
        return;
    }
    if (state == Window_state::minimised) return;
    settings_.window_mode = 0;
    ini_.write_int("window_mode", 0);
    settings_.window.height = window.height;
    ini_.write_int("window_height", window.height);
    settings_.window.width = window.width;
    ini_.write_int("window_width", window.width);
}

void Main_dialog::window_moved(Window_state state, const Window_rect& window) {
    if (initializing_ || state != Window_state::normal) return;
    settings_.window.top = window.top;
    ini_.write_int("window_top", window.top);
    settings_.window.left = window.left;
    ini_.write_int("window_left", window.left);
}

void Main_dialog::update_check_marks() { ui_.set_check_marks(settings_.format != 0, settings_.port); }

void Main_dialog::set_format(int format) {
    settings_.format = format;
    ini_.write_int("format", format);
    update_check_marks();
    refresh_status_line();
}

void Main_dialog::set_port(int port) {
    settings_.port = port;
    update_check_marks();
    refresh_status_line();
    ini_.write_int("port", port);
    ui_.set_tag_list({});
}

void Main_dialog::select_font_size() {
    const auto chosen = ui_.ask_font_size(settings_.font_size);
    if (!chosen || !valid_font_size(*chosen)) return;
    settings_.font_size = *chosen;
    ini_.write_int("font_size", *chosen);
}

void Main_dialog::set_company_name() {
    const auto entered = ui_.ask_company_name(settings_.company);
    if (!entered) return;
    settings_.company = cut_characters(*entered, MAX_COMPANY);
    ini_.write_text("company", settings_.company);
}

}  // namespace shell
