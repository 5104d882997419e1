// The state every calibrator and report operation works on, and the small
// shell services they call (status line, menu lock, unsaved-report guard).
//
// The desktop program's main window owns one Program; the command-line
// program builds its own over the console ui, so both run the same
// operations.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/checks.h"
#include "link/clock.h"
#include "link/serial_link.h"
#include "link/serial_port.h"
#include "reports/field_table.h"
#include "reports/report_list.h"
#include "shell/settings.h"
#include "ui/ui.h"

namespace shell {

// At most this many entries in the tag list (the calibrator holds 50 tags).
constexpr size_t MAX_TAG_ENTRIES = 200;

class Program {
public:
    // device_name gives the port and device to open for the configured port
    // each time an operation opens it.
    Program(ui::Ui& ui, comm::Serial_port& port, comm::Clock& clock,
            std::function<comm::Port_device()> device_name);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    ui::Ui& ui;
    comm::Serial_link link;
    comm::Calibrator_session session;   // identity, capability, clock check switch
    Program_settings settings;
    std::vector<std::string> tag_list;  // the calibrator's tags as last read, in position order
    reports::Report_list reports;       // the Reports list, its caption and reports_unsaved
    reports::Field_table fields;        // the field value table
    std::string current_tag_file_name;  // name with extension of the tag file last opened
    std::vector<std::string> group_members;  // the group last read or edited (the status rows after a download)
    std::string current_group_file_name;     // name with extension of the group file last opened
    // Writes the tag folder to the settings file when a tag file dialog
    // changes it (the desktop program; unset: the folder is not stored).
    std::function<void(const std::string&)> store_tag_folder;
    // Records the reports of a successful upload (set when recording of
    // uploads is on); called once the upload has ended, before the reports
    // can be saved.
    std::function<void()> record_upload;

    bool busy = false;                  // menus greyed by set_busy
    bool operation_running = false;     // a cancellable operation runs: exit only beeps

    // "Configured to upload reports in TEXT format via port COM1".
    void refresh_status_line();
    // Greys (on) or enables every top-level menu.
    void set_busy(bool on);
    // Asks before report data never saved is thrown away; false on No.
    bool confirm_discard_reports();
    // Empties the Tag ID list on the screen (tag_list itself is kept).
    void clear_tag_list_display() { ui.set_tag_list({}); }
    // The report layout chosen by the format setting.
    reports::Report_format upload_format() const {
        return settings.format != 0 ? reports::Report_format::text : reports::Report_format::csv;
    }
};

}  // namespace shell
