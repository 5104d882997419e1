#include "link/qt_serial_port.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace comm {

namespace {

// The system's text for a failure: Qt's text is often generic, errno is precise.
std::string system_reason(const QSerialPort& port, int saved_errno) {
    if (saved_errno != 0) return std::strerror(saved_errno);
    return port.errorString().toStdString();
}

int poll_descriptor(int fd, short events, int max_ms, short& revents) {
    pollfd p{fd, events, 0};
    int n = ::poll(&p, 1, max_ms);
    revents = p.revents;
    return n;
}

}  // namespace

Open_failure Qt_serial_port::open(const std::string& device, std::string& reason) {
    close();
    hung_up_ = false;
    in_pos_ = in_len_ = 0;
    may_have_input_ = true;
    port_.setPortName(QString::fromStdString(device));
    errno = 0;
    if (!port_.open(QIODevice::ReadWrite)) {
        int saved = errno;
        // Qt reports a device that does not exist as "not found"; errno says why.
        reason = port_.error() == QSerialPort::DeviceNotFoundError ? std::strerror(ENOENT)
                                                                  : system_reason(port_, saved);
        return Open_failure::open;
    }
    errno = 0;
    bool configured = port_.setBaudRate(9600) && port_.setDataBits(QSerialPort::Data8) &&
                      port_.setParity(QSerialPort::NoParity) &&
                      port_.setStopBits(QSerialPort::OneStop);
    if (!configured) {
        reason = system_reason(port_, errno);
        port_.close();
        return Open_failure::set_state;
    }
    // RTS is neither raised nor used for flow control.  A pseudo-terminal has
    // no modem lines and refuses the call: that is not a failure of the line.
    port_.setRequestToSend(false);
    port_.clearError();
    port_.clear(QSerialPort::AllDirections);
    return Open_failure::none;
}

void Qt_serial_port::close() {
    if (port_.isOpen()) port_.close();
    hung_up_ = false;
}

bool Qt_serial_port::is_open() const { return port_.isOpen(); }

Read_status Qt_serial_port::read_byte(unsigned char& byte) {
    if (!port_.isOpen()) return Read_status::error;
    // Bytes Qt has already taken in while events were pumped come first.
    if (port_.bytesAvailable() > 0) {
        char c = 0;
        if (port_.getChar(&c)) {
            byte = static_cast<unsigned char>(c);
            return Read_status::byte;
        }
    }
    if (in_pos_ < in_len_) {
        byte = in_[in_pos_++];
        return Read_status::byte;
    }
    if (hung_up_) return Read_status::error;
    // After a read found nothing, the next look at the line is the wait on
    // it: one poll per arrival instead of an extra read that finds nothing.
    if (!may_have_input_) return Read_status::nothing;
    ssize_t n = ::read(port_.handle(), in_.data(), in_.size());
    if (n > 0) {
        in_len_ = static_cast<size_t>(n);
        in_pos_ = 1;
        // A read that did not fill the buffer took everything there was.
        may_have_input_ = in_len_ == in_.size();
        byte = in_[0];
        return Read_status::byte;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        may_have_input_ = false;
        return Read_status::nothing;
    }
    if (n == 0) {
        // Readable but nothing to read: the line has hung up.
        short revents = 0;
        if (poll_descriptor(port_.handle(), POLLIN, 0, revents) > 0 && (revents & (POLLHUP | POLLERR)))
            hung_up_ = true;
        return hung_up_ ? Read_status::error : Read_status::nothing;
    }
    if (errno == EIO || errno == ENXIO || errno == ENODEV) hung_up_ = true;
    return Read_status::error;
}

void Qt_serial_port::wait_readable(int max_ms) {
    if (!port_.isOpen() || port_.bytesAvailable() > 0 || in_pos_ < in_len_) return;
    if (!hung_up_) {
        auto started = std::chrono::steady_clock::now();
        short revents = 0;
        int n = poll_descriptor(port_.handle(), POLLIN, max_ms, revents);
        if (n > 0) may_have_input_ = true;
        if (n <= 0 || !(revents & (POLLHUP | POLLERR | POLLNVAL))) return;
        hung_up_ = true;
        // Sleep what is left of the wait: a hung-up line is always "ready".
        auto spent = std::chrono::steady_clock::now() - started;
        std::this_thread::sleep_for(std::chrono::milliseconds(max_ms) - spent);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(max_ms));
}

bool Qt_serial_port::write(const std::string& data) {
    if (!port_.isOpen()) return false;
    int fd = port_.handle();
    size_t done = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() > deadline) return false;
        short revents = 0;
        poll_descriptor(fd, POLLOUT, 20, revents);
    }
    return true;
}

void Qt_serial_port::wait_transmitted(int max_ms) {
    if (!port_.isOpen()) return;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(max_ms);
    int fd = port_.handle();
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0) return;
        if (std::chrono::steady_clock::now() >= deadline) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void Qt_serial_port::purge() {
    in_pos_ = in_len_ = 0;
    may_have_input_ = true;
    if (port_.isOpen()) port_.clear(QSerialPort::AllDirections);
}

void Qt_serial_port::clear_error() { port_.clearError(); }

}  // namespace comm
