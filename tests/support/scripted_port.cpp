#include "support/scripted_port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace test {

namespace {

// Shows CR and LF in failure messages.
std::string visible(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c < 0x20 || c > 0x7E) {
            static const char* digits = "0123456789ABCDEF";
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        } else out += static_cast<char>(c);
    }
    return out;
}

}  // namespace

Scripted_port::Exchange& Scripted_port::Exchange::reply(std::string bytes, int after_ms) {
    pieces.push_back({std::move(bytes), after_ms});
    return *this;
}

Scripted_port::Scripted_port(Fake_clock& clock) : clock_(clock) {}

Scripted_port::~Scripted_port() { verify(); }

Scripted_port::Exchange& Scripted_port::expect(const std::string& command) { return expect_raw(command + "\r"); }

Scripted_port::Exchange& Scripted_port::expect_raw(const std::string& data) {
    script_.emplace_back();
    script_.back().expected = data;
    return script_.back();
}

void Scripted_port::expect_silence(const std::string& command, int times) {
    for (int i = 0; i < times; ++i) expect(command);
}

void Scripted_port::deliver(const std::string& bytes, int after_ms) {
    schedule(bytes, clock_.now_ms() + after_ms);
}

void Scripted_port::fail_opens(int count, comm::Open_failure failure, std::string reason) {
    opens_to_fail_ = count;
    failure_ = failure;
    failure_reason_ = std::move(reason);
}

int Scripted_port::count_writes(const std::string& command) const {
    return static_cast<int>(std::count(writes_.begin(), writes_.end(), command + "\r"));
}

std::string Scripted_port::unread() const {
    std::string out;
    for (const auto& a : input_)
        if (a.at_ms <= clock_.now_ms()) out += a.bytes;
    return out;
}

void Scripted_port::verify() {
    for (const auto& e : script_)
        ADD_FAILURE() << "Scripted_port: expected write never came: \"" << visible(e.expected) << "\"";
    script_.clear();
}

void Scripted_port::schedule(const std::string& bytes, std::int64_t at_ms) {
    if (bytes.empty()) return;
    // Keep arrivals in time order; equal times keep their order.
    auto it = std::upper_bound(input_.begin(), input_.end(), at_ms,
                               [](std::int64_t t, const Arrival& a) { return t < a.at_ms; });
    input_.insert(it, Arrival{at_ms, bytes});
}

comm::Open_failure Scripted_port::open(const std::string& device, std::string& reason) {
    last_device_ = device;
    input_.clear();
    hung_up_ = false;
    whole_lines_ = false;
    released_ = 0;
    if (opens_to_fail_ > 0) {
        --opens_to_fail_;
        ++failed_opens_;
        open_ = false;
        reason = failure_reason_;
        return failure_;
    }
    ++opens_;
    open_ = true;
    return comm::Open_failure::none;
}

void Scripted_port::close() {
    if (open_) ++closes_;
    open_ = false;
    input_.clear();
}

namespace {

bool is_line_end(char c) { return (c & 0x7F) == '\r' || (c & 0x7F) == '\n'; }

}  // namespace

std::size_t Scripted_port::readable_now() const {
    std::size_t arrived = 0, through_line_end = 0;
    for (const auto& a : input_) {
        if (a.at_ms > clock_.now_ms()) break;
        for (char c : a.bytes) {
            ++arrived;
            if (is_line_end(c)) through_line_end = arrived;
        }
    }
    if (!whole_lines_) return arrived;
    return std::max(through_line_end, std::min(released_, arrived));
}

std::int64_t Scripted_port::next_readable_ms() const {
    if (input_.empty()) return INT64_MAX;
    if (!whole_lines_ || readable_now() > 0) return input_.front().at_ms;
    for (const auto& a : input_)
        if (std::any_of(a.bytes.begin(), a.bytes.end(), is_line_end)) return a.at_ms;
    return INT64_MAX;
}

bool Scripted_port::set_whole_lines(bool on) {
    if (!open_ || (on && lines_refused_)) return false;
    // Whatever has arrived when the mode changes is handed over as it is.
    if (on != whole_lines_) released_ = bytes_waiting();
    whole_lines_ = on;
    return true;
}

std::size_t Scripted_port::bytes_waiting() {
    std::size_t arrived = 0;
    for (const auto& a : input_)
        if (a.at_ms <= clock_.now_ms()) arrived += a.bytes.size();
    return arrived;
}

comm::Read_status Scripted_port::read_byte(unsigned char& byte) {
    if (!open_ || hung_up_) return comm::Read_status::error;
    if (input_.empty() || input_.front().at_ms > clock_.now_ms() || readable_now() == 0)
        return comm::Read_status::nothing;
    if (released_ > 0) --released_;
    Arrival& front = input_.front();
    byte = static_cast<unsigned char>(front.bytes.front());
    front.bytes.erase(0, 1);
    if (front.bytes.empty()) input_.pop_front();
    return comm::Read_status::byte;
}

void Scripted_port::wait_readable(int max_ms) {
    if (!open_ || max_ms <= 0) return;
    ++waits_;
    const std::int64_t now = clock_.now_ms();
    std::int64_t until = now + max_ms;
    if (!hung_up_) until = std::min(until, std::max(now, next_readable_ms()));
    clock_.advance_ms(until - now);
}

bool Scripted_port::write(const std::string& data) {
    if (!open_) return false;
    writes_.push_back(data);
    write_times_ms_.push_back(clock_.now_ms());
    if (fail_writes_ || hung_up_) return false;

    if (script_.empty()) {
        if (responder_) {
            schedule(responder_(data), clock_.now_ms());
            return true;
        }
        ADD_FAILURE() << "Scripted_port: unexpected write \"" << visible(data) << "\"";
        return true;
    }
    Exchange exchange = std::move(script_.front());
    script_.pop_front();
    EXPECT_EQ(visible(exchange.expected), visible(data)) << "Scripted_port: write #" << writes_.size();
    std::int64_t at = clock_.now_ms();
    for (const auto& piece : exchange.pieces) {
        at += piece.after_ms;
        schedule(piece.bytes, at);
    }
    return true;
}

void Scripted_port::wait_transmitted(int) { ++transmit_waits_; }

void Scripted_port::purge() {
    ++purges_;
    released_ = 0;
    const std::int64_t now = clock_.now_ms();
    while (!input_.empty() && input_.front().at_ms <= now) input_.pop_front();
}

}  // namespace test
