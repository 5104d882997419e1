// What the fuzz targets share: the input cut into calibrator replies, a user
// interface that answers everything without failing, and a calibrator played
// from the replies over the scripted port and the fake clock of the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/fake_clock.h"
#include "link/serial_port.h"
#include "support/scripted_ui.h"

namespace fuzz {

// The input as text.
inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The pieces of text between LF bytes, in order (an input without LF is one
// piece).  Each piece is what the calibrator sends in answer to one command.
std::vector<std::string> split_replies(std::string_view text);

// Takes the first byte of text as a set of option bits (0 when empty).
std::uint8_t take_options(std::string_view& text);

// With TQ740_FUZZ_TRACE set in the environment, prints a line to standard
// error (to follow what one input does when it is replayed).
void trace(const std::string& text);

// A user interface that accepts every call: questions get `answer`, OK boxes
// get OK, file pickers get `file_answer`, the company name dialog is
// cancelled.  Everything shown is still recorded as Scripted_ui does, and
// traced.
class Lenient_ui : public test::Scripted_ui {
public:
    ui::Answer answer = ui::Answer::no;
    std::optional<std::string> file_answer;

    ui::Answer message(const std::string& text, ui::Caption caption, ui::Buttons buttons) override;
    std::optional<std::string> pick_file(const ui::File_request& request) override;
    std::optional<std::string> ask_company_name(const std::string& current) override;
    void append_report_lines(const std::vector<std::string>& lines) override;
};

// A calibrator played from a list of replies, behind an in-memory port on
// the fake clock.  Each command written (a re-sent one too) gets the next
// reply of the list, which arrives at once; commands with a fixed reply (for
// example "*IDN?" when the target is not about the identity) get that reply
// and use up nothing.  Once the list is used up and every byte read, the
// calibrator is silent, and the first wait on it asks the link to quit
// (ends_wait_after_last_reply), so that a run does not sit out the time-outs
// of every command still to come.  Silence within the list is an empty reply.
class Played_port : public comm::Serial_port {
public:
    Played_port(test::Fake_clock& clock, std::vector<std::string> replies,
                std::map<std::string, std::string> fixed = {});

    // For Scripted_ui::on_pump: true once a wait found nothing after the last reply.
    bool ends_wait_after_last_reply() const { return silent_after_last_reply_; }

    comm::Open_failure open(const std::string& device, std::string& reason) override;
    void close() override;
    bool is_open() const override { return open_; }
    comm::Read_status read_byte(unsigned char& byte) override;
    void wait_readable(int max_ms) override;
    bool write(const std::string& data) override;
    void wait_transmitted(int) override {}
    void purge() override { drop_input(); }
    void clear_error() override {}
    bool set_whole_lines(bool on) override;
    std::size_t bytes_waiting() override { return input_.size() - read_; }

private:
    std::size_t readable_end() const;
    void drop_input();

    test::Fake_clock& clock_;
    std::vector<std::string> replies_;
    std::size_t next_ = 0;
    std::map<std::string, std::string> fixed_;
    bool open_ = false;
    std::string input_;          // bytes arrived since the last purge, close or full read
    std::size_t read_ = 0;       // how many of them were read
    std::size_t line_end_ = 0;   // just after the last CR or LF among them
    bool whole_lines_ = false;
    std::size_t released_ = 0;   // readable without a line end after them (mode switched)
    bool silent_after_last_reply_ = false;
};

// A scratch folder of this process for targets that must read a real file;
// removed at exit.
const std::string& scratch_folder();
// Writes text to a file of the scratch folder and returns its path.
std::string write_scratch_file(const std::string& name, std::string_view text);

}  // namespace fuzz
