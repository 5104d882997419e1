#include "support/fuzz_rig.h"

#include <unistd.h>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fuzz {

std::vector<std::string> split_replies(std::string_view text) {
    std::vector<std::string> pieces;
    for (;;) {
        const std::size_t lf = text.find('\n');
        pieces.emplace_back(text.substr(0, lf));
        if (lf == std::string_view::npos) return pieces;
        text.remove_prefix(lf + 1);
    }
}

std::uint8_t take_options(std::string_view& text) {
    if (text.empty()) return 0;
    const auto options = static_cast<std::uint8_t>(text.front());
    text.remove_prefix(1);
    return options;
}

void trace(const std::string& text) {
    static const bool on = std::getenv("TQ740_FUZZ_TRACE") != nullptr;
    if (on) std::fprintf(stderr, "  %s\n", text.c_str());
}

ui::Answer Lenient_ui::message(const std::string& text, ui::Caption caption, ui::Buttons buttons) {
    const bool question = buttons == ui::Buttons::yes_no || buttons == ui::Buttons::yes_no_exclamation ||
                          buttons == ui::Buttons::yes_no_continue;
    const ui::Answer given = question ? answer : ui::Answer::ok;
    trace("message: " + text + (question ? (given == ui::Answer::yes ? " -> Yes" : " -> No") : ""));
    messages.push_back({text, caption, buttons, given});
    return given;
}

std::optional<std::string> Lenient_ui::pick_file(const ui::File_request& request) {
    file_requests.push_back(request);
    return file_answer;
}

void Lenient_ui::append_report_lines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) trace("report line: " + line);
    Scripted_ui::append_report_lines(lines);
}

std::optional<std::string> Lenient_ui::ask_company_name(const std::string&) { return std::nullopt; }

Played_port::Played_port(test::Fake_clock& clock, std::vector<std::string> replies,
                         std::map<std::string, std::string> fixed)
    : clock_(clock), replies_(std::move(replies)), fixed_(std::move(fixed)) {}

comm::Open_failure Played_port::open(const std::string&, std::string&) {
    open_ = true;
    drop_input();
    return comm::Open_failure::none;
}

void Played_port::close() {
    open_ = false;
    drop_input();
}

void Played_port::drop_input() {
    input_.clear();
    read_ = line_end_ = released_ = 0;
}

std::size_t Played_port::readable_end() const {
    return whole_lines_ ? std::max(line_end_, released_) : input_.size();
}

comm::Read_status Played_port::read_byte(unsigned char& byte) {
    if (!open_) return comm::Read_status::error;
    if (read_ >= readable_end()) return comm::Read_status::nothing;
    byte = static_cast<unsigned char>(input_[read_++]);
    if (read_ == input_.size()) drop_input();
    return comm::Read_status::byte;
}

void Played_port::wait_readable(int max_ms) {
    if (!open_ || read_ < readable_end()) return;
    // Every reply arrives as its command is written: nothing comes while waiting.
    silent_after_last_reply_ = next_ >= replies_.size();
    clock_.advance_ms(max_ms);
}

bool Played_port::write(const std::string& data) {
    if (!open_) return false;
    std::string command = data;
    if (!command.empty() && command.back() == '\r') command.pop_back();
    std::string reply;
    if (auto it = fixed_.find(command); it != fixed_.end())
        reply = it->second;
    else if (next_ < replies_.size())
        reply = replies_[next_++];
    trace("command: " + command + "  reply: " + reply);
    silent_after_last_reply_ = false;
    for (char c : reply) {
        input_ += c;
        if ((c & 0x7F) == '\r' || (c & 0x7F) == '\n') line_end_ = input_.size();
    }
    return true;
}

bool Played_port::set_whole_lines(bool on) {
    whole_lines_ = on;
    released_ = input_.size();
    return true;
}

namespace {

struct Scratch_folder {
    std::string path;
    Scratch_folder() {
        // Memory-backed when the system has it: every input is written once.
        const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/tq740-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        path = pattern;
    }
    ~Scratch_folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

const std::string& scratch_folder() {
    static Scratch_folder folder;
    return folder.path;
}

std::string write_scratch_file(const std::string& name, std::string_view text) {
    const std::string path = scratch_folder() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) std::abort();
    return path;
}

}  // namespace fuzz
