// Misbehaviour on demand: the faults a real line or a busy calibrator shows,
// so that the program's recovery can be tried and tested.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace sim {

struct Fault_options {
    bool document_mode = false;    // every command answered "<Exit DOCUMENT mode>"
    bool silent = false;           // nothing is ever answered
    int drop_reply_every = 0;      // the Nth, 2Nth ... command gets no reply
    int corrupt_frame_every = 0;   // the Nth, 2Nth ... framed reply has a wrong checksum
    int no_cr_every = 0;           // the Nth, 2Nth ... reply ends its last line without CR
    bool lf_instead_of_cr = false; // reply lines end with LF
    std::map<int, int> error_on_field;  // field number -> error code for TAG_DNLD / TAG_UPLD
};

// One reply as the engine composed it: bare values, and whether they go out
// in the frame (single-line replies only).
struct Reply {
    std::vector<std::string> lines;
    bool framed = false;
    int field = -1;  // field number carried in the frame of a TAG_UPLD reply
};

// Applies the counting faults and the line ending to the replies, one
// command at a time.
class Fault_injector {
public:
    explicit Fault_injector(const Fault_options& options) : options_(options) {}

    // True when this command is to go unanswered (silent, or its turn to be
    // dropped).  Called once per command, before the reply is composed.
    bool drop_this_command();
    // The bytes that go out for reply: framing, corruption, line endings.
    std::string render(const Reply& reply);

private:
    static bool turn(int every, long long count) { return every > 0 && count % every == 0; }

    Fault_options options_;
    long long commands_ = 0;
    long long framed_replies_ = 0;
    long long replies_ = 0;
};

}  // namespace sim
