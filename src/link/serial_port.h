// The serial device as the transaction sees it: a small interface so that
// tests can put a scripted port in place of the real one.
#pragma once

#include <cstddef>
#include <string>

namespace comm {

// Which step of opening and configuring the port failed.
enum class Open_failure { none, open, buffers, timeouts, get_state, set_state };

enum class Read_status { byte, nothing, error };

class Serial_port {
public:
    virtual ~Serial_port() = default;

    // Opens the device exclusively, for reading and writing, and configures the
    // line: 9600 baud, 8 data bits, no parity, one stop bit, RTS not raised and
    // not used for flow control; both directions are purged.  On failure the
    // port is closed and reason holds the system's text for the error.
    virtual Open_failure open(const std::string& device, std::string& reason) = 0;
    virtual void close() = 0;
    virtual bool is_open() const = 0;

    // Reads one byte if one has arrived; never blocks.
    virtual Read_status read_byte(unsigned char& byte) = 0;

    // Waits until a byte can be read, for at most max_ms milliseconds.  Returns
    // at once when data arrives; when the line has hung up it still waits the
    // full time, so a caller that polls never spins.
    virtual void wait_readable(int max_ms) = 0;

    // Writes all of data; false when not every byte could be written.
    virtual bool write(const std::string& data) = 0;

    // Waits until everything written has left, for at most max_ms milliseconds.
    virtual void wait_transmitted(int max_ms) = 0;

    // Discards pending input and output.
    virtual void purge() = 0;

    // Whole-line delivery: while on, a wait on the port ends only when a line
    // ended by CR or LF has arrived, so a reply line costs one wake-up instead
    // of one per byte.  Turning it off makes every byte already received
    // readable at once; nothing is lost either way.  Returns false when the
    // device cannot deliver whole lines: reading then goes on byte by byte,
    // which costs processor time but no data.
    virtual bool set_whole_lines(bool on) = 0;

    // Bytes received and not read yet, held back by whole-line delivery or not.
    virtual std::size_t bytes_waiting() = 0;

    // Clears the device's error state after a failed read or write.
    virtual void clear_error() = 0;
};

}  // namespace comm
