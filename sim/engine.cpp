#include "engine.h"

#include <cstdio>
#include <ctime>

#include "demo_tags.h"
#include "download_checks.h"
#include "link/frame.h"

namespace sim {

namespace {

constexpr std::string_view COMPLETE = "<Complete>";
constexpr std::string_view NO_TAGS = "<No tags available>";
constexpr std::string_view NO_SPACE = "<No space between command and parameter>";
constexpr std::string_view DOCUMENT_MODE = "<Exit DOCUMENT mode>";
constexpr std::string_view DATE_INVALID = "<Date or time invalid>";
constexpr std::string_view FRAME_ERROR = "<Error 99>";

std::string error_line(int code) { return "<Error " + std::to_string(code) + ">"; }

// A long unknown ID would make the line too long for the program to read; the
// cut line still begins with "<Tag [", which is what the program looks at.
std::string not_found(std::string_view tag_id) {
    return fit_reply_line("<Tag [" + to_upper(tag_id) + "] not found>");
}

// Splits "a b c" at single spaces into at most max_parts parts; the last part
// keeps the rest of the text.
std::vector<std::string_view> split(std::string_view text, size_t max_parts) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < max_parts) {
        size_t space = text.find(' ');
        if (space == std::string_view::npos) break;
        parts.push_back(text.substr(0, space));
        text.remove_prefix(space + 1);
    }
    parts.push_back(text);
    return parts;
}

bool leap_year(long long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(long long year, long long month) {
    static constexpr int DAYS[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leap_year(year) ? 29 : DAYS[month - 1];
}

}  // namespace

Reply plain(std::string text) {
    Reply reply;
    reply.lines.push_back(std::move(text));
    return reply;
}

Engine::Engine(Engine_config config, Time_source& time)
    : config_(std::move(config)), time_(time), faults_(config_.faults),
      renderer_(std::make_unique<Layout_report_renderer>()) {
    // The calibrator frames its replies exactly when the program would frame
    // its commands for the identity it presents.
    if (comm::parse_identity(config_.identity, identity_)) capability_ = comm::classify(identity_);
}

void Engine::set_report_renderer(std::unique_ptr<Report_renderer> renderer) {
    renderer_ = renderer ? std::move(renderer) : std::make_unique<Layout_report_renderer>();
}

std::string Engine::handle_line(std::string_view line) {
    if (faults_.drop_this_command()) return {};
    return faults_.render(answer(line));
}

std::string Engine::handle_overlong_line() {
    if (faults_.drop_this_command()) return {};
    return faults_.render(plain(std::string(UNKNOWN_COMMAND_REPLY)));
}

Reply Engine::answer(std::string_view line) {
    if (config_.faults.document_mode) return plain(std::string(DOCUMENT_MODE));
    const std::string command = to_upper(line);
    auto starts = [&](std::string_view word) { return command.rfind(word, 0) == 0; };

    if (command == "*IDN?") return plain(config_.identity);
    if (command == "GET_SN") return plain(config_.serial);
    if (command == "GET_CLOCK") return clock();
    if (starts("SET_CLOCK")) return set_clock(line.substr(9));
    if (command == "TAGS?") return tag_lines();
    if (command == "TAG_CLEAR_ALL") return clear_all();
    if (starts("TAG_CLEAR")) return clear_one(line.substr(9));
    if (starts("TAG_DNLD")) return capability_.framed ? framed_command(line, false) : download(line);
    if (starts("TAG_UPLD")) return capability_.framed ? framed_command(line, true) : upload(line);
    if (command == "REPORT_TXT" || command == "REPORT_CSV") {
        report_format_ = command == "REPORT_TXT" ? Report_format::text : Report_format::csv;
        return plain(std::string(COMPLETE));
    }
    if (command == "TAG_SEND_ALL") return send_reports({}, true);
    if (starts("TAG_SEND")) return send_reports(line.substr(8), false);
    return plain(std::string(UNKNOWN_COMMAND_REPLY));
}

Reply Engine::clock() {
    std::time_t now = time_.wall_now() + static_cast<std::time_t>(config_.clock_offset);
    std::tm local {};
    localtime_r(&now, &local);
    char text[40];
    // The calibrator prints the hour in two columns, a space for its first digit.
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %2d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return plain(text);
}

Reply Engine::set_clock(std::string_view parameters) {
    // " y m d h mi s", each a whole number.
    if (parameters.empty() || parameters.front() != ' ') return plain(std::string(DATE_INVALID));
    std::vector<std::string_view> parts = split(parameters.substr(1), 7);
    long long v[6] = {};
    if (parts.size() != 6) return plain(std::string(DATE_INVALID));
    for (int i = 0; i < 6; ++i)
        if (!parse_strict_int(parts[i], v[i])) return plain(std::string(DATE_INVALID));
    const bool valid = v[0] >= 2000 && v[0] <= 2099 && v[1] >= 1 && v[1] <= 12 && v[2] >= 1 &&
                       v[2] <= days_in_month(v[0], v[1]) && v[3] >= 0 && v[3] <= 23 && v[4] >= 0 &&
                       v[4] <= 59 && v[5] >= 0 && v[5] <= 59;
    if (!valid) return plain(std::string(DATE_INVALID));
    std::tm local {};
    local.tm_year = static_cast<int>(v[0] - 1900);
    local.tm_mon = static_cast<int>(v[1] - 1);
    local.tm_mday = static_cast<int>(v[2]);
    local.tm_hour = static_cast<int>(v[3]);
    local.tm_min = static_cast<int>(v[4]);
    local.tm_sec = static_cast<int>(v[5]);
    local.tm_isdst = -1;
    std::time_t set = std::mktime(&local);
    if (set == static_cast<std::time_t>(-1)) return plain(std::string(DATE_INVALID));
    config_.clock_offset = static_cast<long long>(set - time_.wall_now());
    return plain(std::string(COMPLETE));
}

Reply Engine::tag_lines() {
    Reply reply;
    for (int p = 1; p <= MAX_TAGS; ++p) {
        if (!tags_.in_use(p)) continue;
        const Tag_record& tag = tags_.at(p);
        if (capability_.level == 2) {
            // " 3 U PUMP-1": position in two columns, U or C, the tag ID.
            std::string position = std::to_string(p);
            if (position.size() < 2) position.insert(0, 1, ' ');
            reply.lines.push_back(position + (tag.calibrated() ? " C " : " U ") + tag.tag_id());
        } else {
            reply.lines.push_back(tag.tag_id());
        }
    }
    reply.lines.emplace_back(reply.lines.empty() ? NO_TAGS : COMPLETE);
    return reply;
}

Reply Engine::clear_all() {
    download_position_ = 0;
    if (tags_.count() == 0) return plain(std::string(NO_TAGS));
    tags_.clear_all();
    changed();
    return plain(std::string(COMPLETE));
}

Reply Engine::clear_one(std::string_view rest) {
    if (rest.empty() || rest.front() != ' ') return plain(std::string(NO_SPACE));
    std::string_view tag_id = rest.substr(1);
    int position = tags_.find(tag_id);
    if (position == 0) return plain(not_found(tag_id));
    tags_.clear(position);
    changed();
    return plain(std::string(COMPLETE));
}

Reply Engine::framed_command(std::string_view line, bool upload_command) {
    std::string command(line);
    if (!comm::check_command_frame(command)) {
        Reply reply = plain(std::string(FRAME_ERROR));
        reply.framed = true;
        return reply;
    }
    return upload_command ? upload(command) : download(command);
}

Reply Engine::download(std::string_view command) {
    auto reply = [this](std::string text) {
        Reply r = plain(std::move(text));
        r.framed = capability_.framed;
        return r;
    };
    auto refuse = [&](int code) { return reply(error_line(code)); };

    // "TAG_DNLD 0" or "TAG_DNLD f p value" (value may be empty or hold spaces).
    std::string_view rest = command.substr(8);
    if (rest.empty() || rest.front() != ' ') return refuse(ERROR_FIELD_NUMBER);
    std::vector<std::string_view> parts = split(rest.substr(1), 3);
    long long field = 0, position = 0;
    if (!parse_strict_int(parts[0], field)) return refuse(ERROR_FIELD_NUMBER);
    if (field == 0 && parts.size() == 1)
        return reply(std::to_string(tags_.free_count()) + " " + std::to_string(tags_.next_free()));
    if (field < 1 || field > CONFIG_FIELDS) return refuse(ERROR_FIELD_NUMBER);
    if (parts.size() < 2 || !parse_strict_int(parts[1], position) || !tags_.valid_position(static_cast<int>(position)))
        return refuse(ERROR_POSITION);
    const std::string_view value = parts.size() == 3 ? parts[2] : std::string_view();
    const int f = static_cast<int>(field);
    const int p = static_cast<int>(position);

    if (auto forced = config_.faults.error_on_field.find(f); forced != config_.faults.error_on_field.end())
        return refuse(forced->second);

    if (f == 1) {
        // Field 1 starts a tag; an earlier unfinished one is abandoned.
        download_position_ = 0;
        if (tags_.in_use(p)) return refuse(ERROR_POSITION_IN_USE);
        pending_ = Tag_record();
    } else {
        if (download_position_ == 0) return refuse(ERROR_SEQUENCE);
        if (p != download_position_) return refuse(ERROR_POSITION_MISMATCH);
        if (f != next_download_field_) return refuse(ERROR_SEQUENCE);
    }
    Field_verdict verdict = check_download_field(f, value, pending_, tags_);
    if (verdict.error) return refuse(verdict.error);
    pending_.set(f, std::move(verdict.stored));
    download_position_ = p;
    next_download_field_ = f + 1;
    if (f == CONFIG_FIELDS) finish_download();
    return reply(std::string(COMPLETE));
}

void Engine::finish_download() {
    pending_.set(STATE_FIELD, "1");
    if (config_.calibrate_downloads) {
        std::time_t now = time_.wall_now() + static_cast<std::time_t>(config_.clock_offset);
        std::tm local {};
        localtime_r(&now, &local);
        calibrate_tag(pending_, local);
    }
    tags_.put(download_position_, std::move(pending_));
    pending_ = Tag_record();
    download_position_ = 0;
    next_download_field_ = 0;
    changed();
}

Reply Engine::upload(std::string_view command) {
    // "TAG_UPLD f p"
    long long field = 0, position = 0;
    std::string_view rest = command.substr(8);
    std::vector<std::string_view> parts;
    if (!rest.empty() && rest.front() == ' ') parts = split(rest.substr(1), 3);
    const bool field_ok = !parts.empty() && parse_strict_int(parts[0], field) && field >= 1 && field <= SERIAL_FIELD;

    Reply reply;
    reply.framed = capability_.framed;
    reply.field = field_ok ? static_cast<int>(field) : -1;
    auto answer_with = [&](std::string text) {
        reply.lines.push_back(std::move(text));
        return reply;
    };
    if (!field_ok) return answer_with(error_line(15));
    const int f = static_cast<int>(field);
    if (parts.size() != 2 || !parse_strict_int(parts[1], position) || !tags_.valid_position(static_cast<int>(position)))
        return answer_with(error_line(16));
    const int p = static_cast<int>(position);
    if (auto forced = config_.faults.error_on_field.find(f); forced != config_.faults.error_on_field.end())
        return answer_with(error_line(forced->second));
    // The serial number is the calibrator's, whatever the position holds.
    if (f == SERIAL_FIELD) return answer_with(config_.serial);
    if (!tags_.in_use(p)) return answer_with(f == STATE_FIELD ? "0" : error_line(16));
    return answer_with(tags_.at(p).field(f));
}

Reply Engine::send_reports(std::string_view rest, bool all) {
    Report_context context {identity_.manufacturer, identity_.model, config_.serial};
    // The report lines of one calibrated tag, each made to fit a reply line.
    auto send_report = [&](const Tag_record& tag, std::vector<std::string>& lines) {
        std::vector<std::string> report;
        renderer_->render(tag, report_format_, context, report);
        for (const std::string& line : report) lines.push_back(fit_reply_line(line));
    };
    Reply reply;
    if (all) {
        bool any = false;
        for (int p = 1; p <= MAX_TAGS; ++p) {
            if (!tags_.in_use(p) || !tags_.at(p).calibrated()) continue;
            send_report(tags_.at(p), reply.lines);
            any = true;
        }
        reply.lines.emplace_back(any ? COMPLETE : NO_TAGS);
        return reply;
    }
    if (rest.empty() || rest.front() != ' ') return plain(std::string(NO_SPACE));
    std::string_view tag_id = rest.substr(1);
    int position = tags_.find(tag_id);
    if (position == 0) return plain(not_found(tag_id));
    if (tags_.at(position).calibrated()) send_report(tags_.at(position), reply.lines);
    reply.lines.emplace_back(COMPLETE);
    return reply;
}

}  // namespace sim
