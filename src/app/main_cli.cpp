// tq740-cli: the desktop program's calibrator operations from a shell.
#include <QCoreApplication>

#include "shell/ini_file.h"
#include "ui/console/cli.h"

int main(int argc, char** argv) {
    shell::ignore_file_size_signal();
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    return ui::console::run_cli(args);
}
