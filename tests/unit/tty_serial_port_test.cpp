// The real serial port over a pseudo-terminal: line settings, exclusive open,
// CR passing untranslated, purge, arrival order while the event loop runs,
// whole-line delivery, and a hung-up line that must not spin.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "link/clock.h"
#include "link/tty_serial_port.h"
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
        // The desktop program runs the Qt event loop while it waits: so do these tests.
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
    comm::Tty_serial_port port_;
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
    comm::Tty_serial_port second;
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

TEST_F(Pty_test, bytes_come_in_arrival_order_while_the_event_loop_runs) {
    std::string reason;
    ASSERT_EQ(port_.open(device_, reason), comm::Open_failure::none) << reason;
    peer_write("12");
    port_.wait_readable(500);
    unsigned char byte = 0;
    ASSERT_EQ(port_.read_byte(byte), comm::Read_status::byte);
    EXPECT_EQ(byte, '1');
    // Newer bytes arrive while the event loop runs, before "2" has been handed out.
    peer_write("34");
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(port_read(3), "234");
}

TEST_F(Pty_test, whole_lines_are_canonical_with_cr_as_line_end_and_nothing_special) {
    std::string reason;
    ASSERT_EQ(port_.open(device_, reason), comm::Open_failure::none) << reason;
    ASSERT_TRUE(port_.set_whole_lines(true));
    termios t{};
    ASSERT_EQ(::tcgetattr(master_, &t), 0);
    EXPECT_NE(t.c_lflag & ICANON, 0u);
    EXPECT_EQ(t.c_lflag & (ECHO | ECHONL | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | IXON), 0u);
    EXPECT_EQ(t.c_cc[VEOL], '\r');
    for (int c : {VEOF, VERASE, VKILL, VINTR, VQUIT, VSUSP, VEOL2, VWERASE, VLNEXT, VREPRINT})
        EXPECT_EQ(t.c_cc[c], _POSIX_VDISABLE) << "special character " << c;
    EXPECT_EQ(::cfgetispeed(&t), static_cast<speed_t>(B9600));

    // A partial line waits for its end; every byte of it, special or not, comes through.
    peer_write(std::string("a\x03\x04\x7f\x15\x00", 6));
    port_.wait_readable(200);
    EXPECT_EQ(port_.bytes_waiting(), 0u);
    peer_write("b\r");
    EXPECT_EQ(port_read(8), std::string("a\x03\x04\x7f\x15\x00" "b\r", 8));

    // Turning the mode off hands over what was held back.
    peer_write("held");
    port_.wait_readable(100);
    ASSERT_TRUE(port_.set_whole_lines(false));
    EXPECT_EQ(port_.bytes_waiting(), 4u);
    EXPECT_EQ(port_read(4), "held");
    ASSERT_EQ(::tcgetattr(master_, &t), 0);
    EXPECT_EQ(t.c_lflag & ICANON, 0u);
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
    // Reads count lines of one reply, each given back with its CR; stops at
    // the first line that is not whole.
    std::string read_reply_lines(int count) {
        std::string line, got;
        for (int i = 0; i < count; ++i) {
            const comm::Result_code result = link_.receive_line(line, comm::REPLY_CAPACITY, i == 0);
            EXPECT_EQ(result, comm::RESULT_OK) << "line " << i;
            if (result != comm::RESULT_OK) break;
            got += line + "\r";
        }
        return got;
    }

    // A wait that gets nothing ends as no response after about two seconds
    // (no re-send), asleep on the port rather than spinning.
    void expect_no_response_without_spinning() {
        const double cpu0 = cpu_seconds(), wall0 = wall_seconds();
        std::string line;
        EXPECT_EQ(link_.receive_line(line, comm::REPLY_CAPACITY, false), comm::RESULT_NO_RESPONSE);
        const double cpu = cpu_seconds() - cpu0, wall = wall_seconds() - wall0;
        EXPECT_GE(wall, 1.0);
        EXPECT_LE(wall, 3.5);
        EXPECT_LT(cpu, 0.05 * wall + 0.05) << "cpu " << cpu << " s in " << wall << " s";
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

// The peer sends pieces of bytes after pauses, from another thread.
class Peer_script {
public:
    Peer_script(int fd, std::vector<std::pair<int, std::string>> pieces)
        : thread_([fd, pieces] {
              for (const auto& [after_ms, bytes] : pieces) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(after_ms));
                  if (::write(fd, bytes.data(), bytes.size()) < 0) return;
              }
          }) {}
    ~Peer_script() { thread_.join(); }

private:
    std::thread thread_;
};

struct Pty_line_case {
    const char* name;
    std::vector<std::pair<int, std::string>> pieces;
    comm::Result_code expected;
    std::string expected_line;
    double min_s, max_s;  // wall time of the wait
};

class Pty_line_test : public Pty_link_test, public ::testing::WithParamInterface<Pty_line_case> {};

TEST_P(Pty_line_test, gives_the_result_over_the_real_line) {
    const Pty_line_case& c = GetParam();
    ASSERT_TRUE(link_.open_port());
    link_.send_command("CMD");
    EXPECT_EQ(peer_read(), "CMD\r");
    const double wall0 = wall_seconds();
    Peer_script peer(master_, c.pieces);
    std::string line;
    EXPECT_EQ(link_.receive_line(line, comm::REPLY_CAPACITY, false), c.expected);
    EXPECT_EQ(line, c.expected_line);
    const double wall = wall_seconds() - wall0;
    EXPECT_GE(wall, c.min_s);
    EXPECT_LE(wall, c.max_s);
}

const std::string sixty(60, 'x');

INSTANTIATE_TEST_SUITE_P(
    Lines, Pty_line_test,
    ::testing::Values(
        Pty_line_case{"line", {{0, "50 1\r"}}, comm::RESULT_OK, "50 1", 0.0, 0.5},
        Pty_line_case{"partial_then_silence", {{0, "PUMP"}}, comm::RESULT_PARTIAL, "PUMP", 3.0, 4.6},
        Pty_line_case{"gap_of_1500_ms", {{0, "AB"}, {1500, "CD\r"}}, comm::RESULT_OK, "ABCD", 1.4, 2.0},
        Pty_line_case{"nul_mid_line", {{0, std::string("ok\0rest\r", 8)}}, comm::RESULT_BAD_LINE, "ok", 0.0, 0.5},
        Pty_line_case{"control_characters_mid_line", {{0, "ok\x03\x1a\x04rest\r"}}, comm::RESULT_BAD_LINE, "ok",
                      0.0, 0.5},
        Pty_line_case{"over_long_line", {{0, sixty + "\r"}}, comm::RESULT_BAD_LINE, sixty.substr(0, 59), 0.0, 0.5},
        Pty_line_case{"lf", {{0, "abc\n"}}, comm::RESULT_BAD_LINE, "abc", 0.0, 0.5},
        Pty_line_case{"silence", {}, comm::RESULT_NO_RESPONSE, "", 1.0, 3.2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Pty_link_test, burst_of_many_lines_in_one_write_is_read_in_order) {
    ASSERT_TRUE(link_.open_port());
    link_.send_command("TAGS?");
    EXPECT_EQ(peer_read(), "TAGS?\r");
    std::string burst;
    for (int i = 1; i <= 50; ++i) burst += std::to_string(i) + " C TAG-" + std::string(30, char('A' + i % 26)) + "\r";
    burst += "<Complete>\r";
    peer_write(burst);
    EXPECT_EQ(read_reply_lines(51), burst);
}

TEST_F(Pty_link_test, a_modal_loop_during_the_wait_keeps_the_order) {
    ASSERT_TRUE(link_.open_port());
    link_.send_command("TAG_SEND_ALL");
    EXPECT_EQ(peer_read(), "TAG_SEND_ALL\r");
    // The first pump runs a nested event loop, as a modal dialog does, while
    // the rest of the reply arrives in small pieces.
    bool first = true;
    ui_.on_pump = [&] {
        if (first) {
            first = false;
            QEventLoop modal;
            QTimer::singleShot(400, &modal, &QEventLoop::quit);
            modal.exec();
        }
        QCoreApplication::processEvents();
        return false;
    };
    std::vector<std::pair<int, std::string>> pieces;
    std::string expected;
    for (int i = 0; i < 20; ++i) {
        const std::string text = "Tag ID:  PT-" + std::to_string(100 + i) + "\r";
        expected += text;
        pieces.push_back({i % 3 == 0 ? 30 : 0, text.substr(0, 5)});
        pieces.push_back({0, text.substr(5)});
    }
    Peer_script peer(master_, pieces);
    EXPECT_EQ(read_reply_lines(20), expected);
}

TEST_F(Pty_link_test, cancel_during_the_wait) {
    ASSERT_TRUE(link_.open_port());
    link_.send_command("GET_SN");
    int pumps = 0;
    ui_.on_pump = [&] {
        if (++pumps == 10) link_.request_cancel();
        return false;
    };
    std::string line;
    const double wall0 = wall_seconds();
    EXPECT_EQ(link_.receive_line(line, comm::REPLY_CAPACITY, true), comm::RESULT_CANCELLED);
    EXPECT_LT(wall_seconds() - wall0, 1.0);
    EXPECT_FALSE(link_.cancel_requested());
}

TEST_F(Pty_link_test, silent_peer_costs_little_cpu) {
    ASSERT_TRUE(link_.open_port());
    link_.send_command("GET_SN");
    expect_no_response_without_spinning();
}

TEST_F(Pty_link_test, hang_up_does_not_spin) {
    ASSERT_TRUE(link_.open_port());
    link_.send_command("GET_SN");
    EXPECT_EQ(peer_read(), "GET_SN\r");
    ::close(master_);  // the peer goes away
    master_ = -1;

    expect_no_response_without_spinning();
    link_.close_port();
    EXPECT_FALSE(link_.port_open());
}

}  // namespace
