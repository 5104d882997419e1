// The simulated calibrator: one command line in, the reply bytes out.
//
// The engine does no I/O.  It keeps the tags, the clock offset and the state
// of a download in progress, answers every command of the calibrator's
// command set in the forms the program accepts, frames its replies when the
// identity it presents calls for the framed protocol (decided by the same
// rule as the program), and applies the fault options.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "faults.h"
#include "link/capability.h"
#include "report_renderer.h"
#include "tag_store.h"
#include "time_source.h"

namespace sim {

struct Engine_config {
    std::string identity = "NORVA,TQ740,0,3.00";
    std::string serial = "1234567";
    long long clock_offset = 0;         // seconds added to the host clock
    bool calibrate_downloads = false;   // a finished download is at once calibrated
    Fault_options faults;
};

// The reply to a command that is not in the command set.
inline constexpr std::string_view UNKNOWN_COMMAND_REPLY = "<Invalid command>";

class Engine {
public:
    Engine(Engine_config config, Time_source& time);

    // Answers one command line (received without its CR).  Returns the bytes
    // to send back: reply lines each ended by CR (or as the faults shape
    // them); empty when nothing is to be sent.
    std::string handle_line(std::string_view line);
    // A line longer than the calibrator's input buffer: not executed, answered
    // as an unknown command.
    std::string handle_overlong_line();

    Tag_store& tags() { return tags_; }
    const Tag_store& tags() const { return tags_; }
    // Counts changes of the stored tags, so that a host can save them.
    std::uint64_t change_count() const { return changes_; }

    const comm::Capability& capability() const { return capability_; }
    long long clock_offset() const { return config_.clock_offset; }
    Report_format report_format() const { return report_format_; }
    // The position being downloaded, 0 when none.
    int download_position() const { return download_position_; }

    // Replaces how TAG_SEND_ALL and TAG_SEND render a report; the engine
    // starts with (and nullptr restores) the Layout_report_renderer.
    void set_report_renderer(std::unique_ptr<Report_renderer> renderer);

private:
    Reply answer(std::string_view line);
    Reply identity();
    Reply clock();
    Reply set_clock(std::string_view parameters);
    Reply tag_lines();
    Reply clear_all();
    Reply clear_one(std::string_view rest);
    Reply download(std::string_view command);
    Reply upload(std::string_view command);
    Reply send_reports(std::string_view rest, bool all);
    Reply framed_command(std::string_view line, bool upload_command);
    void finish_download();
    void changed() { ++changes_; }

    Engine_config config_;
    Time_source& time_;
    comm::Calibrator_identity identity_;
    comm::Capability capability_;
    Fault_injector faults_;
    Tag_store tags_;
    std::unique_ptr<Report_renderer> renderer_;
    Report_format report_format_ = Report_format::text;
    std::uint64_t changes_ = 0;

    // A download in progress: the position, the next field expected and the
    // fields accepted so far.
    int download_position_ = 0;
    int next_download_field_ = 0;
    Tag_record pending_;
};

// A simple line (one value, no frame).
Reply plain(std::string text);

}  // namespace sim
