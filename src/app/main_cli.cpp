// tq740-cli: the desktop program's calibrator operations from a shell.
#include <QCoreApplication>
#include <memory>

#include "shell/ini_file.h"
#include "ui/console/cli.h"
#include "ui/print/paged_print_job.h"

int main(int argc, char** argv) {
    shell::ignore_file_size_signal();
    std::vector<std::string> args(argv + 1, argv + argc);
    // Printing into a PDF file needs fonts and painting, which a GUI
    // application on the offscreen platform gives without a display.
    const std::unique_ptr<QCoreApplication> app = ui::console::needs_painting(args)
                                                      ? ui::print::offscreen_application(argc, argv)
                                                      : std::make_unique<QCoreApplication>(argc, argv);
    return ui::console::run_cli(args);
}
