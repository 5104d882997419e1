// An in-memory serial port for tests, driven by a script of exchanges.
//
// Each exchange expects one write (a command line; the CR is added by
// expect()) and lists the bytes that come back, each piece after a pause.
// Time is the Fake_clock's: waiting on the port advances it to the moment
// the next byte arrives (or by the whole wait when nothing is coming), so a
// silent calibrator costs no real time.
//
//   test::Fake_clock clock;
//   test::Scripted_port port(clock);
//   port.expect("GET_CLOCK").reply("2024/06/15 12:00:00\r");
//   port.expect("TAG_CLEAR_ALL");                               // silence
//   port.expect("*IDN?").reply("NORVA,TQ").reply("740,0,3.00\r", 1500);
//
// A write that does not match the next exchange, a write with no exchange
// left (and no responder), and exchanges never used by the end of the test
// fail the running test.  Closing the port drops every byte still to come;
// purging drops the bytes that have already arrived.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "support/fake_clock.h"

namespace test {

class Scripted_port : public comm::Serial_port {
public:
    class Exchange {
    public:
        // Bytes that arrive after_ms milliseconds after the previous piece
        // (the first piece: after the write).
        Exchange& reply(std::string bytes, int after_ms = 0);

    private:
        friend class Scripted_port;
        struct Piece {
            std::string bytes;
            int after_ms;
        };
        std::string expected;
        std::vector<Piece> pieces;
    };

    explicit Scripted_port(Fake_clock& clock);
    // Fails the running test when exchanges are left unused.
    ~Scripted_port() override;

    // Expects the next write to be command + CR.  The returned reference stays
    // valid until the exchange is used.
    Exchange& expect(const std::string& command);
    // Expects the next write to be exactly data (no CR added).
    Exchange& expect_raw(const std::string& data);
    // The same command written `times` times, with no reply at all.
    void expect_silence(const std::string& command, int times);

    // Bytes that arrive after_ms from now without any command (line noise,
    // the rest of an earlier reply).  The port must be open.
    void deliver(const std::string& bytes, int after_ms = 0);

    // Answers writes that no exchange is left for: returns the bytes that
    // arrive at once in reply.  Without a responder such writes fail the test.
    void set_responder(std::function<std::string(const std::string& written)> responder) {
        responder_ = std::move(responder);
    }

    // The next `count` opens fail at the given step with the given reason.
    void fail_opens(int count, comm::Open_failure failure = comm::Open_failure::open,
                    std::string reason = "Permission denied");
    // Writes fail (return false, nothing is sent) while on.  Failed writes are
    // recorded in writes() but use up no exchange.
    void fail_writes(bool on) { fail_writes_ = on; }
    // The line hangs up: reads fail from now on and waits last their full
    // time, until the port is opened again.
    void hang_up() { hung_up_ = true; }

    // What happened.
    int opens() const { return opens_; }              // successful opens
    int failed_opens() const { return failed_opens_; }
    int closes() const { return closes_; }            // closes of an open port
    int purges() const { return purges_; }
    int error_clears() const { return error_clears_; }
    int transmit_waits() const { return transmit_waits_; }
    int waits() const { return waits_; }              // calls of wait_readable
    const std::string& last_device() const { return last_device_; }
    // Every write, in order, as written (with its CR).
    const std::vector<std::string>& writes() const { return writes_; }
    // The clock's time (ms since the epoch) of each write in writes().
    const std::vector<std::int64_t>& write_times_ms() const { return write_times_ms_; }
    // How many writes were exactly command + CR.
    int count_writes(const std::string& command) const;
    // Bytes that arrived but were never read (dropped ones excluded).
    std::string unread() const;
    // Exchanges not used yet.
    std::size_t pending_exchanges() const { return script_.size(); }
    // Fails the running test now when exchanges are left unused, and drops them.
    void verify();

    // comm::Serial_port
    comm::Open_failure open(const std::string& device, std::string& reason) override;
    void close() override;
    bool is_open() const override { return open_; }
    comm::Read_status read_byte(unsigned char& byte) override;
    void wait_readable(int max_ms) override;
    bool write(const std::string& data) override;
    void wait_transmitted(int max_ms) override;
    void purge() override;
    void clear_error() override { ++error_clears_; }
    // Whole-line delivery as a terminal does it: bytes become readable only
    // when a line end (CR or LF, bit 7 ignored) has arrived after them, and
    // all at once when the mode is turned off or on.
    bool set_whole_lines(bool on) override;
    std::size_t bytes_waiting() override;

    // Makes set_whole_lines refuse, as a device without the mode does.
    void refuse_whole_lines() { lines_refused_ = true; }
    bool whole_lines() const { return whole_lines_; }

private:
    struct Arrival {
        std::int64_t at_ms;
        std::string bytes;
    };
    void schedule(const std::string& bytes, std::int64_t at_ms);
    // The arrived bytes readable now, and the time the next readable one arrives.
    std::size_t readable_now() const;
    std::int64_t next_readable_ms() const;

    Fake_clock& clock_;
    std::deque<Exchange> script_;
    std::deque<Arrival> input_;
    std::function<std::string(const std::string&)> responder_;

    bool open_ = false;
    bool hung_up_ = false;
    bool fail_writes_ = false;
    bool whole_lines_ = false;
    bool lines_refused_ = false;
    std::size_t released_ = 0;  // arrived bytes readable without a line end after them
    int opens_to_fail_ = 0;
    comm::Open_failure failure_ = comm::Open_failure::open;
    std::string failure_reason_;

    int opens_ = 0, failed_opens_ = 0, closes_ = 0, purges_ = 0, error_clears_ = 0, transmit_waits_ = 0, waits_ = 0;
    std::string last_device_;
    std::vector<std::string> writes_;
    std::vector<std::int64_t> write_times_ms_;
};

}  // namespace test
