// The real serial port: QSerialPort opens and configures the device; reads,
// writes and waits go to its descriptor so that each byte is seen the moment
// it arrives and a hung-up line is detected instead of spinning.
#pragma once

#include <array>

#include <QSerialPort>

#include "link/serial_port.h"

namespace comm {

class Qt_serial_port : public Serial_port {
public:
    Open_failure open(const std::string& device, std::string& reason) override;
    void close() override;
    bool is_open() const override;
    Read_status read_byte(unsigned char& byte) override;
    void wait_readable(int max_ms) override;
    bool write(const std::string& data) override;
    void wait_transmitted(int max_ms) override;
    void purge() override;
    void clear_error() override;

private:
    QSerialPort port_;
    // The line hung up (adapter unplugged, peer closed the pseudo-terminal):
    // reads fail and waits last their full time until the port is reopened.
    bool hung_up_ = false;
    // Bytes read from the device and not yet handed out.
    std::array<unsigned char, 256> in_{};
    size_t in_len_ = 0, in_pos_ = 0;
    // False once a read found nothing, until a wait sees the line readable.
    bool may_have_input_ = true;
};

}  // namespace comm
