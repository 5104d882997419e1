#include "link/tty_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace comm {

namespace {

std::string system_text(int error) { return std::strerror(error); }

int poll_descriptor(int fd, short events, int max_ms, short& revents) {
    pollfd p{fd, events, 0};
    int n = ::poll(&p, 1, max_ms);
    revents = n > 0 ? p.revents : 0;
    return n;
}

void sleep_ms(long ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

Tty_serial_port::~Tty_serial_port() { close(); }

termios Tty_serial_port::byte_settings(const termios& original) {
    termios t = original;
    // Raw bytes in and out: no echo, no signals, no translation of CR or LF,
    // no stripping of bit 7, no XON/XOFF; 9600 baud, 8 data bits, no parity,
    // one stop bit; no RTS/CTS handshake; the modem lines do not stop reading.
    ::cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(IXOFF | IXANY | IMAXBEL);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return t;
}

termios Tty_serial_port::line_settings(const termios& bytes) {
    termios t = bytes;
    // Canonical mode with CR as the extra line end (LF always ends a line).
    // Every other special character is off, so no byte of a reply is taken as
    // erase, kill, end of file or a signal; echo stays off.  Bit 7 is
    // stripped so that a CR with bit 7 set ends the line too: the link clears
    // bit 7 of every byte anyway.
    t.c_lflag |= ICANON;
    t.c_lflag &= ~static_cast<tcflag_t>(ISIG | IEXTEN | ECHO | ECHOE | ECHOK | ECHONL);
    t.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON | IXOFF);
    t.c_iflag |= ISTRIP;
    for (cc_t& c : t.c_cc) c = _POSIX_VDISABLE;
    t.c_cc[VEOL] = '\r';
    return t;
}

Open_failure Tty_serial_port::open(const std::string& device, std::string& reason) {
    close();
    fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        reason = system_text(errno);
        return Open_failure::open;
    }
    // Exclusive: a second opener (another copy of the program) is refused,
    // and so is every other opener without special rights.
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        reason = system_text(errno == EWOULDBLOCK ? EBUSY : errno);
        ::close(fd_);
        fd_ = -1;
        return Open_failure::open;
    }
    ::ioctl(fd_, TIOCEXCL);

    auto fail = [&](Open_failure step) {
        reason = system_text(errno);
        ::close(fd_);
        fd_ = -1;
        return step;
    };
    if (::tcgetattr(fd_, &original_) != 0) return fail(Open_failure::get_state);
    bytes_ = byte_settings(original_);
    lines_ = line_settings(bytes_);
    if (::tcsetattr(fd_, TCSANOW, &bytes_) != 0) return fail(Open_failure::set_state);
    whole_lines_ = false;
    lines_refused_ = false;
    hung_up_ = false;

    // RTS is not raised.  A pseudo-terminal has no modem lines and refuses
    // the call: that is not a failure of the line.
    int rts = TIOCM_RTS;
    ::ioctl(fd_, TIOCMBIC, &rts);
    purge();
    return Open_failure::none;
}

void Tty_serial_port::close() {
    if (fd_ < 0) return;
    ::tcsetattr(fd_, TCSANOW, &original_);
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
    hung_up_ = false;
    in_pos_ = in_len_ = 0;
}

bool Tty_serial_port::fill() {
    in_pos_ = in_len_ = 0;
    if (hung_up_ || !may_have_input_) return false;
    ssize_t n = ::read(fd_, in_.data(), in_.size());
    if (n > 0) {
        in_len_ = static_cast<std::size_t>(n);
        // Byte by byte, a read that did not fill the buffer took everything
        // there was.  Whole lines come one per read: read on until nothing is left.
        may_have_input_ = whole_lines_ || in_len_ == in_.size();
        return true;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        may_have_input_ = false;
        return false;
    }
    // Readable but nothing to read, or the device is gone: the line has hung up.
    short revents = 0;
    if (n < 0 && (errno == EIO || errno == ENXIO || errno == ENODEV)) hung_up_ = true;
    if (n == 0 && poll_descriptor(fd_, POLLIN, 0, revents) > 0 && (revents & (POLLHUP | POLLERR))) hung_up_ = true;
    return false;
}

Read_status Tty_serial_port::read_byte(unsigned char& byte) {
    if (fd_ < 0) return Read_status::error;
    if (in_pos_ >= in_len_ && !fill()) return hung_up_ ? Read_status::error : Read_status::nothing;
    byte = in_[in_pos_++];
    return Read_status::byte;
}

void Tty_serial_port::wait_readable(int max_ms) {
    if (fd_ < 0 || in_pos_ < in_len_) return;
    if (hung_up_) {
        sleep_ms(max_ms);
        return;
    }
    auto started = std::chrono::steady_clock::now();
    short revents = 0;
    int n = poll_descriptor(fd_, POLLIN, max_ms, revents);
    if (n > 0) may_have_input_ = true;
    if (n <= 0 || !(revents & (POLLHUP | POLLERR | POLLNVAL))) return;
    // A hung-up line is always "ready": sleep what is left of the wait so
    // that a caller that polls never spins.
    hung_up_ = true;
    auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    sleep_ms(max_ms - spent.count());
}

bool Tty_serial_port::write(const std::string& data) {
    if (fd_ < 0) return false;
    std::size_t done = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (done < data.size()) {
        ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() > deadline) return false;
        short revents = 0;
        poll_descriptor(fd_, POLLOUT, 20, revents);
    }
    return true;
}

void Tty_serial_port::wait_transmitted(int max_ms) {
    if (fd_ < 0) return;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(max_ms);
    for (;;) {
        int queued = 0;
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) return;
        if (std::chrono::steady_clock::now() >= deadline) return;
        sleep_ms(2);
    }
}

void Tty_serial_port::purge() {
    in_pos_ = in_len_ = 0;
    may_have_input_ = true;
    if (fd_ >= 0) ::tcflush(fd_, TCIOFLUSH);
}

bool Tty_serial_port::set_whole_lines(bool on) {
    if (fd_ < 0) return false;
    if (on == whole_lines_) return true;
    if (on && lines_refused_) return false;
    if (::tcsetattr(fd_, TCSANOW, on ? &lines_ : &bytes_) != 0) {
        if (on) lines_refused_ = true;
        return false;
    }
    whole_lines_ = on;
    // Bytes held back for a line end become readable once the mode is off.
    may_have_input_ = true;
    return true;
}

std::size_t Tty_serial_port::bytes_waiting() {
    if (fd_ < 0) return 0;
    int queued = 0;
    if (::ioctl(fd_, FIONREAD, &queued) != 0 || queued < 0) queued = 0;
    return in_len_ - in_pos_ + static_cast<std::size_t>(queued);
}

}  // namespace comm
