// The real serial port: a terminal device driven through termios.
//
// Every byte comes through one path, the port's own buffer filled by read(2),
// so bytes are handed out in the order they arrived whatever else the program
// does while it waits (the desktop window runs its event loop in between).
// While a reply is awaited the terminal can deliver whole lines (canonical
// mode with CR as a line end and every other special character switched off):
// the program then wakes once per reply line instead of once per byte.
#pragma once

#include <termios.h>

#include <array>

#include "link/serial_port.h"

namespace comm {

class Tty_serial_port : public Serial_port {
public:
    ~Tty_serial_port() override;

    Open_failure open(const std::string& device, std::string& reason) override;
    void close() override;
    bool is_open() const override { return fd_ >= 0; }
    Read_status read_byte(unsigned char& byte) override;
    void wait_readable(int max_ms) override;
    bool write(const std::string& data) override;
    void wait_transmitted(int max_ms) override;
    void purge() override;
    void clear_error() override {}
    bool set_whole_lines(bool on) override;
    std::size_t bytes_waiting() override;

    // The settings of the two reading modes, as they are put on the device.
    static termios byte_settings(const termios& original);
    static termios line_settings(const termios& bytes);

private:
    // Reads what has arrived into the buffer; false when nothing could be read.
    bool fill();

    int fd_ = -1;
    termios original_{};     // the device's settings before open, put back at close
    termios bytes_{};        // byte by byte: 9600 8N1, raw
    termios lines_{};        // whole lines ended by CR or LF
    bool whole_lines_ = false;
    bool lines_refused_ = false;  // the device would not take whole-line delivery
    // The line hung up (adapter unplugged, peer closed the pseudo-terminal):
    // reads fail and waits last their full time until the port is reopened.
    bool hung_up_ = false;
    // Bytes read from the device and not yet handed out, in arrival order.
    std::array<unsigned char, 512> in_{};
    std::size_t in_len_ = 0, in_pos_ = 0;
    // False once a read found nothing, until a wait sees the line readable:
    // one poll per arrival instead of an extra read that finds nothing.
    bool may_have_input_ = true;
};

}  // namespace comm
