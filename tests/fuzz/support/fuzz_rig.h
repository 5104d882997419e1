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
#include "support/scripted_port.h"
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

// A calibrator that answers each command written to the port with the next
// reply of a list (nothing at all once the list is used up).  Commands with
// a fixed reply (for example "*IDN?" when the target is not about the
// identity) get that reply and use up nothing.
class Played_calibrator {
public:
    Played_calibrator(test::Scripted_port& port, std::vector<std::string> replies,
                      std::map<std::string, std::string> fixed = {});

private:
    std::string answer(const std::string& written);

    std::vector<std::string> replies_;
    std::size_t next_ = 0;
    std::map<std::string, std::string> fixed_;
};

// A scratch folder of this process for targets that must read a real file;
// removed at exit.
const std::string& scratch_folder();
// Writes text to a file of the scratch folder and returns its path.
std::string write_scratch_file(const std::string& name, std::string_view text);

}  // namespace fuzz
