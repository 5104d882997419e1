#include "faults.h"

#include "link/frame.h"

namespace sim {

bool Fault_injector::drop_this_command() {
    ++commands_;
    return options_.silent || turn(options_.drop_reply_every, commands_);
}

std::string Fault_injector::render(const Reply& reply) {
    if (reply.lines.empty()) return {};
    ++replies_;
    const bool strip_last_cr = turn(options_.no_cr_every, replies_);
    const char ending = options_.lf_instead_of_cr ? '\n' : '\r';
    std::string bytes;
    for (size_t i = 0; i < reply.lines.size(); ++i) {
        std::string line = reply.lines[i];
        if (reply.framed) {
            line = comm::frame_reply(line, reply.field);
            ++framed_replies_;
            // A damaged frame: the last checksum digit is off by one.
            if (turn(options_.corrupt_frame_every, framed_replies_))
                line.back() = line.back() == '9' ? '0' : static_cast<char>(line.back() + 1);
        }
        bytes += line;
        if (i + 1 < reply.lines.size() || !strip_last_cr) bytes += ending;
    }
    return bytes;
}

}  // namespace sim
