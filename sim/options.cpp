#include "options.h"

#include <charconv>

namespace sim {

namespace {

bool to_number(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    const char* begin = text.data();
    if (begin != end && *begin == '+') ++begin;
    auto [ptr, error] = std::from_chars(begin, end, value);
    return begin != end && error == std::errc() && ptr == end;
}

}  // namespace

bool parse_options(const std::vector<std::string>& args, Sim_options& options, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool has_value = false;
        if (size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            has_value = true;
        }
        auto take_value = [&]() -> bool {
            if (has_value) return true;
            if (i + 1 >= args.size()) {
                error = "option " + name + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        auto take_number = [&](long long low, long long high, long long& number) -> bool {
            if (!take_value()) return false;
            if (!to_number(value, number) || number < low || number > high) {
                error = "option " + name + ": expected a whole number from " + std::to_string(low) + " to " +
                        std::to_string(high) + ", got \"" + value + "\"";
                return false;
            }
            return true;
        };
        auto flag = [&](bool& target) {
            if (has_value) {
                error = "option " + name + " takes no value";
                return false;
            }
            target = true;
            return true;
        };
        long long n = 0;
        bool ok = true;
        Fault_options& faults = options.engine.faults;
        if (name == "--identity") ok = take_value() && (options.engine.identity = value, true);
        else if (name == "--serial") ok = take_value() && (options.engine.serial = value, true);
        else if (name == "--clock-offset") ok = take_number(-4'000'000'000LL, 4'000'000'000LL, options.engine.clock_offset);
        else if (name == "--demo") ok = flag(options.demo);
        else if (name == "--full") ok = flag(options.full);
        else if (name == "--calibrate-downloads") ok = flag(options.engine.calibrate_downloads);
        else if (name == "--state") ok = take_value() && (options.state_file = value, true);
        else if (name == "--document-mode") ok = flag(faults.document_mode);
        else if (name == "--silent") ok = flag(faults.silent);
        else if (name == "--drop-reply-every") ok = take_number(1, 1'000'000, n) && (faults.drop_reply_every = int(n), true);
        else if (name == "--corrupt-frame-every") ok = take_number(1, 1'000'000, n) && (faults.corrupt_frame_every = int(n), true);
        else if (name == "--no-cr-every") ok = take_number(1, 1'000'000, n) && (faults.no_cr_every = int(n), true);
        else if (name == "--lf-instead-of-cr") ok = flag(faults.lf_instead_of_cr);
        else if (name == "--reply-delay-ms") ok = take_number(0, 600'000, n) && (options.timing.reply_delay_ms = int(n), true);
        else if (name == "--baud") ok = take_number(50, 4'000'000, n) && (options.timing.baud = int(n), true);
        else if (name == "--log") ok = flag(options.log);
        else if (name == "--port") ok = take_number(1, 8, n) && (options.port = int(n), true);
        else if (name == "--link") ok = take_value() && (options.link = value, true);
        else if (name == "--help" || name == "-h") ok = flag(options.help);
        else if (name == "--error-on-field") {
            // F:CODE, for example 21:11
            if (!take_value()) return false;
            size_t colon = value.find(':');
            long long field = 0, code = 0;
            if (colon == std::string::npos || !to_number(value.substr(0, colon), field) ||
                !to_number(value.substr(colon + 1), code) || field < 1 || field > 129 || code < 0 || code > 999) {
                error = "option --error-on-field: expected FIELD:CODE (field 1..129, code 0..999), got \"" + value + "\"";
                return false;
            }
            faults.error_on_field[int(field)] = int(code);
        } else {
            error = "unknown option \"" + args[i] + "\"";
            return false;
        }
        if (!ok) return false;
    }
    if (options.port != 0 && !options.link.empty()) {
        error = "--port and --link exclude each other";
        return false;
    }
    return true;
}

std::string usage_text() {
    return "usage: tq740-sim [options] [--port N | --link PATH]\n"
           "A calibrator on a pseudo-terminal.  Prints \"device: /dev/pts/K\" first, then\n"
           "serves until interrupted.  See sim/README.md for every option.\n"
           "  --identity TEXT          reply to *IDN? (default NORVA,TQ740,0,3.00)\n"
           "  --serial TEXT            serial number (default 1234567)\n"
           "  --clock-offset SECONDS   calibrator clock minus host clock\n"
           "  --demo                   start with the demonstration tags\n"
           "  --full                   start with 50 calibrated tags of 21 test points\n"
           "  --calibrate-downloads    a downloaded tag is at once calibrated\n"
           "  --state FILE             keep the tags in FILE between runs\n"
           "  --document-mode          answer every command <Exit DOCUMENT mode>\n"
           "  --silent                 answer nothing\n"
           "  --drop-reply-every N     leave every Nth command unanswered\n"
           "  --corrupt-frame-every N  damage the frame of every Nth framed reply\n"
           "  --no-cr-every N          end every Nth reply without CR\n"
           "  --lf-instead-of-cr       end reply lines with LF\n"
           "  --reply-delay-ms MS      wait before each reply\n"
           "  --error-on-field F:CODE  answer field F of TAG_DNLD/TAG_UPLD with <Error CODE>\n"
           "  --baud RATE              pace the line at RATE baud (10 bits per byte)\n"
           "  --log                    print commands and replies to standard error\n"
           "  --port N                 make COMn of the program point at the pty\n"
           "  --link PATH              make PATH point at the pty\n";
}

}  // namespace sim
