// Times File > Open of a report file of 100,000 lines in the desktop
// program: from the command until the Reports list has painted its lines.
//
//   tq740-bench-open [LINES]
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <string>

#include "link/clock.h"
#include "link/tty_serial_port.h"
#include "resources/shell_strings.h"
#include "ui/qt/main_window.h"

namespace {

// The desktop window with its file picker answered by the benchmark.
class Bench_window : public ui::qt::Main_window {
public:
    Bench_window(comm::Serial_port& port, comm::Clock& clock, std::string path)
        : Main_window(port, clock), path_(std::move(path)) {}
    std::optional<std::string> pick_file(const ui::File_request&) override { return path_; }

private:
    std::string path_;
};

// A report file of `lines` lines: the same calibration report over and over.
void write_report_file(const std::string& path, long lines) {
    const char* report[] = {"Tag ID: PT-101", "Calibrated: 2025/03/04 9:12:40", "As Found Data",
                            "Point        psi         mA  % Error", "  1       0.0000     3.9521   -0.299  Fail",
                            "  2      25.0000     8.0122    0.076  Pass", "------------------------------", ""};
    std::ofstream out(path, std::ios::binary);
    for (long i = 0; i < lines; ++i) out << report[i % 8] << "\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const long lines = argc > 1 ? std::atol(argv[1]) : 100000;
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    qputenv("HOME", home.path().toUtf8());
    QApplication app(argc, argv);

    const std::string path = home.path().toStdString() + "/reports.txt";
    write_report_file(path, lines);

    comm::Tty_serial_port port;
    comm::System_clock clock;
    Bench_window window(port, clock, path);
    if (!window.start()) return 1;
    window.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    window.dialog().run_command(res::ID_FILE_OPEN);
    window.repaint();
    QApplication::processEvents();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const size_t shown = window.dialog().program().reports.lines().size();
    std::printf("open and show %zu report lines: %.3f s\n", shown, seconds);
    return shown == static_cast<size_t>(lines) ? 0 : 1;
}
