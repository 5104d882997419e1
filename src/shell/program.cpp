#include "shell/program.h"

#include "resources/shell_strings.h"
#include "resources/strings.h"

namespace shell {

Program::Program(ui::Ui& ui_, comm::Serial_port& port, comm::Clock& clock,
                 std::function<comm::Port_device()> device_name)
    : ui(ui_), link(port, clock, ui_, std::move(device_name)), session(link, [this] { refresh_status_line(); }),
      reports(ui_) {
    session.empty_tag_list = [this] { clear_tag_list_display(); };
}

void Program::refresh_status_line() {
    const int format_id = settings.format != 0 ? res::IDS_FORMAT_TEXT : res::IDS_FORMAT_CSV;
    ui.set_status(res::format(res::IDS_STATUS_CONFIGURED, res::text(format_id), settings.port));
}

void Program::set_busy(bool on) {
    busy = on;
    ui.set_menus_enabled(!on);
}

bool Program::confirm_discard_reports() {
    if (!reports.reports_unsaved) return true;
    return ui.message(res::str(res::IDS_REPORTS_UNSAVED), ui::Caption::confirmation,
                      ui::Buttons::yes_no_exclamation) == ui::Answer::yes;
}

}  // namespace shell
