// The real serial port over a pseudo-terminal: line settings, exclusive open,
// CR passing untranslated, purge, and a hung-up line that must not spin.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>

#include <chrono>
#include <memory>
#include <string>

#include "link/clock.h"
#include "link/qt_serial_port.h"
#include "link/serial_link.h"
#include "support/scripted_ui.h"

namespace {

// CPU time (user + system) of this process, in seconds.
double cpu_seconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double wall_seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

class Pty_test : public ::testing::Test {
protected:
    void SetUp() override {
        // QSerialPort watches its descriptor through the event loop, as in the program.
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "tq740_unit_tests";
            static char* argv[] = {name, nullptr};
            app_ = std::make_unique<QCoreApplication>(argc, argv);
        }
        char name[256] = {};
        ASSERT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
        device_ = name;
        // Keep the slave side open only through the port under test.
        ::close(slave_);
        slave_ = -1;
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    void TearDown() override {
        port_.close();
        if (master_ >= 0) ::close(master_);
    }

    // The bytes the peer (master side) receives within max_ms.
    std::string peer_read(int max_ms = 500) {
        std::string got;
        auto deadline = wall_seconds() + max_ms / 1000.0;
        while (wall_seconds() < deadline) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            char buffer[256];
            ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) got.append(buffer, static_cast<size_t>(n));
            if (!got.empty() && got.back() == '\r') break;
        }
        return got;
    }

    void peer_write(const std::string& data) {
        ASSERT_EQ(::write(master_, data.data(), data.size()), static_cast<ssize_t>(data.size()));
    }

    // Reads what the port receives within max_ms.
    std::string port_read(size_t count, int max_ms = 1000) {
        std::string got;
        auto deadline = wall_seconds() + max_ms / 1000.0;
        while (got.size() < count && wall_seconds() < deadline) {
            unsigned char byte = 0;
            if (port_.read_byte(byte) == comm::Read_status::byte)
                got += static_cast<char>(byte);
            else
                port_.wait_readable(20);
        }
        return got;
    }

    std::unique_ptr<QCoreApplication> app_;
    int master_ = -1;
    int slave_ = -1;
    std::string device_;
    comm::Qt_serial_port port_;
};

TEST_F(Pty_test, opens_with_the_line_settings_raw_and_untranslated) {
    std::string reason;
    ASSERT_EQ(port_.open(device_, reason), comm::Open_failure::none) << reason;
    ASSERT_TRUE(port_.is_open());

    termios t{};
    ASSERT_EQ(::tcgetattr(master_, &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(::cfgetispeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & PARENB, 0u);
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
}

TEST_F(Pty_test, cr_goes_out_and_comes_in_untranslated) {
    std::string reason;
    ASSERT_EQ(port_.open(device_, reason), comm::Open_failure::none) << reason;
    ASSERT_TRUE(port_.write("*IDN?\r"));
    port_.wait_transmitted(1000);
    EXPECT_EQ(peer_read(), "*IDN?\r");

    peer_write("A\rB\r\n\xC1");
    EXPECT_EQ(port_read(6), "A\rB\r\n\xC1");
}

TEST_F(Pty_test, open_is_exclusive) {
    std::string reason;
    ASSERT_EQ(port_.open(device_, reason), comm::Open_failure::none) << reason;
    comm::Qt_serial_port second;
    std::string second_reason;
    EXPECT_EQ(second.open(device_, second_reason), comm::Open_failure::open);
    EXPECT_FALSE(second.is_open());
    EXPECT_FALSE(second_reason.empty());
    // Once the first is closed the device can be opened again.
    port_.close();
    EXPECT_EQ(second.open(device_, second_reason), comm::Open_failure::none) << second_reason;
    second.close();
}

TEST_F(Pty_test, missing_device_reports_the_system_reason) {
    std::string reason;
    EXPECT_EQ(port_.open("/dev/tq740-no-such-device", reason), comm::Open_failure::open);
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_FALSE(port_.is_open());
}

TEST_F(Pty_test, purge_drops_what_has_arrived) {
    std::string reason;
    ASSERT_EQ(port_.open(device_, reason), comm::Open_failure::none) << reason;
    peer_write("stale reply\r");
    port_.wait_readable(500);
    // Let Qt take the bytes in too, as it does while events are pumped.
    QCoreApplication::processEvents();
    port_.purge();
    unsigned char byte = 0;
    EXPECT_EQ(port_.read_byte(byte), comm::Read_status::nothing);
    peer_write("new\r");
    EXPECT_EQ(port_read(4), "new\r");
}

TEST_F(Pty_test, bytes_taken_in_by_the_event_loop_are_read_first) {
    std::string reason;
    ASSERT_EQ(port_.open(device_, reason), comm::Open_failure::none) << reason;
    peer_write("12");
    port_.wait_readable(500);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    peer_write("34");
    EXPECT_EQ(port_read(4), "1234");
}

TEST_F(Pty_test, hung_up_line_fails_reads_and_waits_its_full_time) {
    std::string reason;
    ASSERT_EQ(port_.open(device_, reason), comm::Open_failure::none) << reason;
    ::close(master_);
    master_ = -1;
    const double wall0 = wall_seconds();
    unsigned char byte = 0;
    EXPECT_EQ(port_.read_byte(byte), comm::Read_status::error);
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        port_.wait_readable(40);
        EXPECT_EQ(port_.read_byte(byte), comm::Read_status::error);
    }
    EXPECT_GE(wall_seconds() - wall0, 0.19);
    EXPECT_FALSE(port_.write("X\r"));
    // Closing and opening again needs a device: the peer is gone for good.
    port_.close();
    EXPECT_FALSE(port_.is_open());
}

// A transaction over the pseudo-terminal with the real clock: the wait for
// a silent or hung-up line must sleep, not spin.
class Pty_link_test : public Pty_test {
protected:
    void SetUp() override {
        Pty_test::SetUp();
        ui_.on_pump = [] {
            QCoreApplication::processEvents();
            return false;
        };
    }
    comm::System_clock clock_;
    test::Scripted_ui ui_;
    comm::Serial_link link_{port_, clock_, ui_, [this] { return device_; }};
};

TEST_F(Pty_link_test, reply_line_over_the_pty) {
    ASSERT_TRUE(link_.open_port());
    link_.send_command("GET_SN");
    EXPECT_EQ(peer_read(), "GET_SN\r");
    peer_write("SN-4711\r");
    std::string line;
    EXPECT_EQ(link_.receive_line(line, comm::REPLY_CAPACITY, true), comm::RESULT_OK);
    EXPECT_EQ(line, "SN-4711");
}

TEST_F(Pty_link_test, silent_peer_costs_little_cpu) {
    ASSERT_TRUE(link_.open_port());
    link_.send_command("GET_SN");
    const double cpu0 = cpu_seconds(), wall0 = wall_seconds();
    std::string line;
    EXPECT_EQ(link_.receive_line(line, comm::REPLY_CAPACITY, false), comm::RESULT_NO_RESPONSE);
    const double cpu = cpu_seconds() - cpu0, wall = wall_seconds() - wall0;
    EXPECT_GE(wall, 1.0);
    EXPECT_LE(wall, 3.5);
    EXPECT_LT(cpu, 0.05 * wall + 0.05) << "cpu " << cpu << " s in " << wall << " s";
}

TEST_F(Pty_link_test, hang_up_does_not_spin) {
    ASSERT_TRUE(link_.open_port());
    link_.send_command("GET_SN");
    EXPECT_EQ(peer_read(), "GET_SN\r");
    ::close(master_);  // the peer goes away
    master_ = -1;

    const double cpu0 = cpu_seconds(), wall0 = wall_seconds();
    std::string line;
    EXPECT_EQ(link_.receive_line(line, comm::REPLY_CAPACITY, false), comm::RESULT_NO_RESPONSE);
    const double cpu = cpu_seconds() - cpu0, wall = wall_seconds() - wall0;
    EXPECT_GE(wall, 1.0);
    EXPECT_LE(wall, 3.5);
    EXPECT_LT(cpu, 0.05 * wall + 0.05) << "cpu " << cpu << " s in " << wall << " s";
    link_.close_port();
    EXPECT_FALSE(link_.port_open());
}

}  // namespace
