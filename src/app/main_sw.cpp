// tq740-sw: the desktop program.
#include <QApplication>

#include "link/clock.h"
#include "link/tty_serial_port.h"
#include "shell/ini_file.h"
#include "ui/qt/main_window.h"

int main(int argc, char** argv) {
    shell::ignore_file_size_signal();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TQ740-SW"));

    comm::Tty_serial_port port;
    comm::System_clock clock;
    ui::qt::Main_window window(port, clock);
    if (!window.start()) return 1;
    window.show();
    return QApplication::exec();
}
