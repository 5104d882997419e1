// tq740-cli: the desktop program's calibrator operations from a shell.
#include <QCoreApplication>
#include <cstdlib>
#include <memory>

#include "shell/ini_file.h"
#include "ui/console/cli.h"
#include "ui/print/paged_print_job.h"

namespace {

// The command line's output is its own messages.  The libraries' warnings
// (a database driver that cannot release its statements on a connection
// the server has closed, say) repeat what the message already says; they
// are shown only with TQ740_DEBUG set.
QtMessageHandler library_messages = nullptr;
void quiet_library_messages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) library_messages(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
    shell::ignore_file_size_signal();
    if (!std::getenv("TQ740_DEBUG")) library_messages = qInstallMessageHandler(quiet_library_messages);
    std::vector<std::string> args(argv + 1, argv + argc);
    // Printing into a PDF file needs fonts and painting, which a GUI
    // application on the offscreen platform gives without a display.
    const std::unique_ptr<QCoreApplication> app = ui::console::needs_painting(args)
                                                      ? ui::print::offscreen_application(argc, argv)
                                                      : std::make_unique<QCoreApplication>(argc, argv);
    return ui::console::run_cli(args);
}
