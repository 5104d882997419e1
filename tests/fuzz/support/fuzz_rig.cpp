#include "support/fuzz_rig.h"

#include <unistd.h>

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
    const bool question = buttons == ui::Buttons::yes_no || buttons == ui::Buttons::yes_no_exclamation;
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

Played_calibrator::Played_calibrator(test::Scripted_port& port, std::vector<std::string> replies,
                                     std::map<std::string, std::string> fixed)
    : replies_(std::move(replies)), fixed_(std::move(fixed)) {
    port.set_responder([this](const std::string& written) { return answer(written); });
}

std::string Played_calibrator::answer(const std::string& written) {
    std::string command = written;
    if (!command.empty() && command.back() == '\r') command.pop_back();
    std::string reply;
    if (auto it = fixed_.find(command); it != fixed_.end())
        reply = it->second;
    else if (next_ < replies_.size())
        reply = replies_[next_++];
    trace("command: " + command + "  reply: " + reply);
    return reply;
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
