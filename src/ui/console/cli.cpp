#include "ui/console/cli.h"

#include <signal.h>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "download/group_download.h"
#include "download/group_file.h"
#include "download/config_display.h"
#include "download/tag_download.h"
#include "link/checks.h"
#include "link/clock.h"
#include "link/port_names.h"
#include "link/tty_serial_port.h"
#include "link/serial_link.h"
#include "reports/report_files.h"
#include "reports/report_layout.h"
#include "reports/report_print.h"
#include "resources/reports_strings.h"
#include "resources/text_match.h"
#include "reports/report_upload.h"
#include "records/records_settings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "shell/ini_file.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "shell/tag_commands.h"
#include "ui/console/console_ui.h"
#include "ui/console/ports.h"
#include "ui/console/records_command.h"
#include "ui/console/tag_extract.h"
#include "ui/console/tag_make.h"
#include "ui/print/paged_print_job.h"

namespace ui::console {

namespace {

// The options every command accepts, wherever they stand.
struct Common_options {
    std::optional<int> port;
    std::string device;
    bool yes = false;
    bool no_clock_check = false;
    bool help = false;
    std::string records;      // --records DATABASE: the records database of this run
    bool no_records = false;  // --no-records: uploads are not recorded
};

// Everything a command works with: the options, the console ui and the
// program state the desktop program's operations run on.
struct Cli {
    Common_options options;
    shell::Data_folders folders;
    Console_ui ui;
    comm::Tty_serial_port port;
    comm::System_clock clock;
    shell::Program program;
    comm::Serial_link& link = program.link;
    records::Records_settings records_settings;   // section [records], as read

    Cli(const Common_options& o, const shell::Data_folders& f, const shell::Program_settings& s)
        : options(o), folders(f), ui(o.yes), program(ui, port, clock, [this] { return device(); }) {
        program.settings = s;
        if (options.port) program.settings.port = *options.port;
        program.session.clock_check_enabled = !options.no_clock_check;
    }

    comm::Port_device device() const {
        if (!options.device.empty()) return comm::Port_device(options.device);
        return comm::port_device(program.settings.port, folders.app_data);
    }
    // The records database: --records, else [records] database, else the default.
    std::string records_database() const {
        return options.records.empty() ? records::database_path(records_settings, folders.data) : options.records;
    }
    bool record_uploads() const { return !options.no_records && records_settings.record_uploads; }
    // Exit status of a command that reports its failures as messages: a No
    // to a "Continue?" question ends the command, and says so.
    int status() const {
        if (ui.error_count() > 0) return 1;
        return ui.continue_declined() > 0 ? EXIT_DECLINED : 0;
    }
};

int usage_error(const std::string& text);

// Commands without arguments of their own.
bool no_arguments(const std::vector<std::string>& args, const char* command) {
    if (args.empty()) return true;
    usage_error(std::string(command) + " takes no arguments");
    return false;
}

void print_lines(const std::vector<std::string>& lines) {
    for (const auto& line : lines) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

using Handler = std::function<int(Cli&, const std::vector<std::string>&)>;

struct Command {
    const char* name;
    const char* usage;
    Handler run;
};

std::optional<int> parse_int(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int usage_error(const std::string& text) {
    std::fprintf(stderr, "tq740-cli: %s (see tq740-cli --help)\n", text.c_str());
    return EXIT_USAGE;
}

// send [--lines K] TEXT: one command and up to K reply lines, each printed as
// "code<TAB>text"; the exit status is the last result code.
int run_send(Cli& cli, const std::vector<std::string>& args) {
    int lines = 1;
    std::string text;
    bool have_text = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lines" && i + 1 < args.size()) {
            const auto k = parse_int(args[++i]);
            if (!k || *k < 1) return usage_error("--lines needs a number of at least 1");
            lines = *k;
        } else if (!have_text) {
            text = args[i];
            have_text = true;
        } else {
            return usage_error("send takes one command text; quote it");
        }
    }
    if (!have_text) return usage_error("send needs the command text");

    if (!cli.link.open_port()) return static_cast<int>(comm::RESULT_PORT_CLOSED);
    cli.link.send_command(text);
    comm::Result_code result = comm::RESULT_OK;
    for (int n = 0; n < lines; ++n) {
        std::string reply;
        result = cli.link.receive_line(reply, comm::REPLY_CAPACITY, n == 0);
        std::printf("%d\t%s\n", static_cast<int>(result), reply.c_str());
        std::fflush(stdout);
        if (result != comm::RESULT_OK) break;
    }
    cli.link.close_port();
    return static_cast<int>(result);
}

// identify: the identity check, then identity and serial number.
int run_identify(Cli& cli, const std::vector<std::string>& args) {
    if (!no_arguments(args, "identify")) return EXIT_USAGE;
    if (!comm::calibrator_identity_command(cli.program.session)) return cli.status() ? cli.status() : 1;
    const auto& shown = cli.ui.identity();
    const auto& capability = cli.program.session.capability;
    std::printf("Manufacturer: %s\nModel: %s\nSerial Number: %s\nFirmware Version: %s\n", shown.manufacturer.c_str(),
                shown.model.c_str(), shown.serial_number.c_str(), shown.firmware.c_str());
    std::printf("Capability: %d\nFramed: %s\n", capability.level, capability.framed ? "yes" : "no");
    return 0;
}

std::string reading_text(const comm::Clock_reading& r) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", r.year, r.month, r.day, r.hour, r.minute,
                  r.second);
    return text;
}

// clock: the clock check alone (with --yes it sets the calibrator's clock).
int run_clock(Cli& cli, const std::vector<std::string>& args) {
    if (!no_arguments(args, "clock")) return EXIT_USAGE;
    cli.program.session.clock_check_enabled = true;  // this command is the check itself
    const bool passed = comm::clock_check(cli.program.session);
    const auto& compared = cli.program.session.last_clock;
    if (compared.valid) {
        std::printf("Calibrator time: %s\nPC time: %s\nDifference: %lld s\n", reading_text(compared.calibrator).c_str(),
                    reading_text(compared.pc).c_str(), compared.difference);
        std::fflush(stdout);
    }
    if (!passed) return 1;
    // The clock was off and the question to set it answered No: not set.
    return cli.ui.questions_declined() > 0 ? EXIT_DECLINED : 0;
}

// tags: the tag list as the Tag ID list shows it.
int run_tags(Cli& cli, const std::vector<std::string>& args) {
    if (!no_arguments(args, "tags")) return EXIT_USAGE;
    shell::upload_tag_ids_command(cli.program);
    print_lines(cli.ui.tag_lines());
    return cli.status();
}

// erase --all | erase ENTRY...: the erase commands; the questions follow --yes.
int run_erase(Cli& cli, const std::vector<std::string>& args) {
    if (args.size() == 1 && args[0] == "--all") {
        shell::erase_all_command(cli.program);
        return cli.status();
    }
    if (args.empty()) return usage_error("erase needs --all or the entries to erase, as tags prints them");
    // The entries stand in the Tag ID list, all selected, as a user would pick them.
    cli.ui.set_tag_list(args);
    std::vector<int> rows;
    for (size_t i = 0; i < args.size(); ++i) rows.push_back(static_cast<int>(i));
    cli.ui.select_tags(rows);
    // The entries' form (with or without the position prefix) depends on the
    // calibrator's level, which the identity check inside the command sets.
    shell::erase_selected_command(cli.program);
    return cli.status();
}

// upload [--text | --csv] [--company NAME] [--select ENTRY...] [-o FILE | --separate DIR | --directories DIR]
int run_upload(Cli& cli, const std::vector<std::string>& args) {
    enum class Output { print, single, separate, directories } output = Output::print;
    std::string target;
    std::vector<std::string> selected;
    bool select = false;
    auto& settings = cli.program.settings;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--text") {
            settings.format = 1;
        } else if (a == "--csv") {
            settings.format = 0;
        } else if (a == "--company" && has_value) {
            settings.company = shell::cut_characters(args[++i], shell::MAX_COMPANY);
        } else if ((a == "-o" || a == "--separate" || a == "--directories") && has_value) {
            if (output != Output::print) return usage_error("upload takes one of -o, --separate, --directories");
            output = a == "-o" ? Output::single : a == "--separate" ? Output::separate : Output::directories;
            target = args[++i];
        } else if (a == "--select") {
            select = true;
        } else if (select && !a.empty() && a[0] != '-') {
            selected.push_back(a);
        } else {
            return usage_error("upload does not understand '" + a + "'");
        }
    }
    if (select && selected.empty()) return usage_error("--select needs the entries, as tags prints them");
    // The desktop program's save dialog asks before it replaces a file; asked
    // here before the upload, a No costs no time with the calibrator.
    if (output == Output::single && std::filesystem::exists(target) &&
        cli.ui.message(res::format(res::IDS_REPLACE_FILE_QUESTION, target), ui::Caption::confirmation,
                       ui::Buttons::yes_no_exclamation) != ui::Answer::yes)
        return cli.status();

    if (select) {
        // The entries stand in the Tag ID list, all selected, as a user would pick them.
        cli.ui.set_tag_list(selected);
        std::vector<int> rows;
        for (size_t i = 0; i < selected.size(); ++i) rows.push_back(static_cast<int>(i));
        cli.ui.select_tags(rows);
        reports::upload_selected_reports(cli.program);
    } else {
        reports::upload_all_reports(cli.program);
    }
    const auto& lines = cli.program.reports.lines();
    if (cli.status() != 0 || lines.empty()) return cli.status() != 0 ? cli.status() : 1;
    // The reports are recorded before they are printed or saved.  When
    // recording fails they are still printed or saved (nothing is lost),
    // and the exit status says it failed.
    const bool recorded = !cli.record_uploads() || records::record_uploaded_reports(cli.program, cli.records_database());
    const int done = recorded ? 0 : 1;

    const auto format = cli.program.reports.displayed_format;
    auto show_error = [&cli](const std::string& text) {
        cli.ui.message(text, ui::Caption::error, ui::Buttons::ok);
    };
    switch (output) {
    case Output::print:
        print_lines(lines);
        return done;
    case Output::single: {
        std::string reason;
        const auto outcome = reports::write_report_file(target, reports::report_file_text(lines, 0, lines.size()), reason);
        if (outcome != reports::Write_outcome::ok) {
            show_error(reports::save_failure_text(outcome, target, reason));
            return 1;
        }
        return done;
    }
    case Output::separate:
    case Output::directories: {
        const auto layout = output == Output::separate ? reports::Separate_layout::files
                                                       : reports::Separate_layout::tag_directories;
        const auto saved =
            reports::save_separate_reports(lines, target, format, reports::local_time_now(), layout, show_error);
        for (const auto& path : saved.written) std::printf("%s\n", path.c_str());
        return saved.all_written ? done : 1;
    }
    }
    return 0;
}

// download FILE.utg...: Download > Tag for each file in turn, the file given
// instead of picked.  One line per file tried; a calibrator that is not
// there, busy documenting, or a Cancel stops the run.
int run_group_download(Cli& cli, const std::vector<std::string>& args);

int run_download(Cli& cli, const std::vector<std::string>& files) {
    if (!files.empty() && files[0] == "--group") return run_group_download(cli, files);
    if (files.empty()) return usage_error("download needs the tag files to send");
    bool all_loaded = true;
    for (const std::string& file : files) {
        cli.ui.answer_file_pickers_with({file});
        const download::Download_outcome outcome = download::download_tag_command(cli.program);
        if (outcome.loaded)
            std::printf("Loaded %s at position %d\n", file.c_str(), outcome.position);
        else
            std::printf("FAILED %s\n", file.c_str());
        std::fflush(stdout);
        all_loaded = all_loaded && outcome.loaded;
        const comm::Result_code r = outcome.result;
        if (!outcome.started || r == comm::RESULT_NO_RESPONSE || r == comm::RESULT_DOCUMENT_MODE ||
            r == comm::RESULT_CANCELLED || r == comm::RESULT_PORT_CLOSED)
            return 1;
    }
    return all_loaded ? 0 : 1;
}

// download --group FILE.ugp [--select NAME...]: Download > Group, the group
// file given instead of picked and the named members (all when none are
// named) instead of the selection.  The status rows go to standard error as
// they change, the summary to standard output.  0 only when every chosen
// member was loaded.
int run_group_download(Cli& cli, const std::vector<std::string>& args) {
    if (args.size() < 2 || args[0] != "--group") return usage_error("download --group needs the group file");
    std::vector<std::string> names(args.begin() + 2, args.end());
    if (!names.empty()) {
        if (names[0] != "--select" || names.size() < 2)
            return usage_error("download --group takes --select and the member names, as the group lists them");
        names.erase(names.begin());
    }
    cli.ui.answer_file_pickers_with({args[1]});
    cli.ui.choose_members(names);
    const download::Group_download_outcome outcome = download::download_group_command(cli.program);
    if (outcome.chosen > 0 && outcome.loaded == outcome.chosen) return 0;
    return cli.ui.questions_declined() > 0 ? EXIT_DECLINED : 1;
}

// group make FILE.ugp TAG.utg...: a group file of the tag files, which share
// one folder with it (a group finds its members in its own folder); the
// members sorted as the group editor sorts them.
int run_group(Cli& cli, const std::vector<std::string>& args) {
    namespace fs = std::filesystem;
    if (args.size() < 3 || args[0] != "make") return usage_error("group make needs the group file and its tag files");
    const fs::path group = fs::absolute(args[1]);
    std::vector<std::string> members;
    for (size_t i = 2; i < args.size(); ++i) {
        const fs::path tag = fs::absolute(args[i]);
        std::error_code error;
        if (!fs::is_regular_file(tag, error)) return usage_error("no tag file " + args[i]);
        if (fs::weakly_canonical(tag.parent_path(), error) != fs::weakly_canonical(group.parent_path(), error))
            return usage_error("the tag files and the group file must share one folder: " + args[i]);
        const auto name = download::member_name_of_file(tag.filename().string());
        if (!name) return usage_error(args[i] + " cannot be a group member (a name of printable ASCII ending in .utg)");
        if (std::find(members.begin(), members.end(), *name) == members.end()) members.push_back(*name);
    }
    if (members.size() > download::max_group_members)
        return usage_error("a group holds at most " + std::to_string(download::max_group_members) + " tags");
    std::sort(members.begin(), members.end(), download::member_order);
    if (fs::exists(group) &&
        cli.ui.message(res::format(res::IDS_REPLACE_FILE_QUESTION, group.string()), ui::Caption::confirmation,
                       ui::Buttons::yes_no_exclamation) != ui::Answer::yes)
        return cli.status();
    cli.ui.answer_file_pickers_with({group.string()});
    download::Group_file_context files = download::group_file_context(cli.program);
    download::save_group_file(files, members);
    return cli.status();
}

// The options of the printing commands: --pdf OUT.pdf and --font-size N
// (the font_size setting when not given); the rest are the files.
struct Print_options {
    std::vector<std::string> files;
    std::string pdf;
    int font_size = 0;
};

std::optional<Print_options> print_options(const std::vector<std::string>& args, int font_size,
                                           const char* command) {
    Print_options o;
    o.font_size = font_size;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--pdf" && i + 1 < args.size()) {
            o.pdf = args[++i];
        } else if (args[i] == "--font-size" && i + 1 < args.size()) {
            const auto n = parse_int(args[++i]);
            if (!n || !shell::valid_font_size(*n)) {
                usage_error("--font-size takes 8, 9, 10, 11, 12, 14 or 16");
                return std::nullopt;
            }
            o.font_size = *n;
        } else if (!args[i].empty() && args[i][0] == '-') {
            usage_error(std::string(command) + " does not understand '" + args[i] + "'");
            return std::nullopt;
        } else {
            o.files.push_back(args[i]);
        }
    }
    return o;
}

// The print dialog of the command line: the PDF file named by --pdf.  What
// became of the document is in result once the command has printed.
void print_into_pdf(Cli& cli, const std::string& pdf, ui::print::Pdf_result& result) {
    cli.ui.print_with([pdf, &result]() -> std::unique_ptr<ui::Print_job> {
        return std::make_unique<ui::print::Pdf_print_job>(pdf, &result);
    });
}

// Exit status of a printing command: a PDF that was asked for and not
// written is a failure, with the message the desktop program would show.
int pdf_status(Cli& cli, const ui::print::Pdf_result& result) {
    if (cli.status() != 0) return cli.status();
    if (result.written) return 0;
    // A file that could not be written says which and why; else nothing
    // was printed, or the printing itself failed.
    const std::string text = !result.error.empty() ? result.error
                             : res::str(result.pages > 0 ? res::IDS_PRINT_FAILED : res::IDS_NO_REPORTS);
    cli.ui.message(text, ui::Caption::error, ui::Buttons::ok);
    return 1;
}

// print REPORT-FILE... --pdf OUT.pdf [--font-size N]: File > Open of each
// file (several files follow each other as reports of one upload do, a
// separator between them), then File > Print into the PDF file.  A list
// without any report to print (no "Calibrated:" line) writes no file.
int run_print(Cli& cli, const std::vector<std::string>& args) {
    const auto options = print_options(args, cli.program.settings.font_size, "print");
    if (!options) return EXIT_USAGE;
    if (options->files.empty() || options->pdf.empty()) return usage_error("print needs report files and --pdf OUT.pdf");
    reports::Report_lines lines;
    for (const std::string& file : options->files) {
        cli.ui.answer_file_pickers_with({file});
        reports::Report_file_context files{cli.ui, cli.program.reports, cli.program.settings.report_directory,
                                           {}, {}, {}, {}, {}};
        reports::open_report_file(files);
        if (cli.status() != 0) return cli.status();
        const auto& read = cli.program.reports.lines();
        if (!lines.empty() && !read.empty()) {
            lines.push_back(reports::report_separator);
            lines.push_back("");
        }
        for (const std::string_view line : read) lines.push_back(line);
    }
    ui::print::Pdf_result result;
    print_into_pdf(cli, options->pdf, result);
    reports::print_reports(cli.ui, lines, options->font_size, {});
    const int status = pdf_status(cli, result);
    if (status == 0) std::printf("%s: %d pages\n", options->pdf.c_str(), result.pages);
    return status;
}

// show FILE.utg | FILE.ugp [--pdf OUT.pdf] [--font-size N]: Configure > Tag
// (or Group) > Display/Print with the file given; the display lines go to
// standard output, and with --pdf the Print button prints them into the PDF
// file.
int run_show(Cli& cli, const std::vector<std::string>& args) {
    const auto options = print_options(args, cli.program.settings.font_size, "show");
    if (!options) return EXIT_USAGE;
    if (options->files.size() != 1) return usage_error("show needs one tag or group file");
    const std::string& file = options->files.front();
    const bool group = file.size() >= 4 && res::equal_ignoring_case(file.substr(file.size() - 4), ".ugp");
    cli.program.settings.font_size = options->font_size;
    cli.ui.answer_file_pickers_with({file});
    ui::print::Pdf_result result;
    if (!options->pdf.empty()) print_into_pdf(cli, options->pdf, result);
    if (group)
        download::display_group_command(cli.program);
    else
        download::display_tag_command(cli.program);
    if (options->pdf.empty()) return cli.status();
    return pdf_status(cli, result);
}

// ports [map N DEVICE]: Configure > Serial Adapters.
int run_ports_command(Cli& cli, const std::vector<std::string>& args) {
    return run_ports(args, cli.folders.app_data, cli.ui);
}

// tag make ...: tag files from entries, without the calibrator.
int run_tag(Cli& cli, const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "make") return usage_error("tag takes the sub-command make");
    return run_tag_make(std::vector<std::string>(args.begin() + 1, args.end()), cli.options.yes);
}

// extract REPORT [--tag ID] [-o FILE.utg]: a tag configuration from a saved report.
int run_extract(Cli& cli, const std::vector<std::string>& args) { return run_tag_extract(args, cli.options.yes); }

// records ...: the calibration records.
int run_records_command(Cli& cli, const std::vector<std::string>& args) {
    return run_records(args, cli.records_database(), cli.records_settings.interval_days,
                       {cli.program.settings.company, cli.program.settings.font_size});
}

const std::vector<Command>& commands() {
    static const std::string tag_usage = tag_make_usage();
    static const std::string extract_usage = tag_extract_usage();
    static const std::vector<Command> table = {
        {"send", "send [--lines K] TEXT      send one command line, print each reply as CODE<TAB>TEXT", run_send},
        {"identify", "identify                   show the calibrator's identity, capability and framing",
         run_identify},
        {"clock", "clock                      compare the calibrator's clock with the PC's (--yes sets it)",
         run_clock},
        {"tags", "tags                       list the calibrator's tags as the Tag ID list shows them", run_tags},
        {"erase", "erase --all | ENTRY...     erase all tags, or the entries given as tags prints them (--yes)",
         run_erase},
        {"upload",
         "upload [--text|--csv] [--company NAME] [--select ENTRY...] [-o FILE | --separate DIR | --directories DIR]\n"
         "                             upload the calibration reports; print them or save them",
         run_upload},
        {"download",
         "download FILE.utg...       send each tag file to a free position of the calibrator\n"
         "  download --group FILE.ugp [--select NAME...]\n"
         "                             send the group's members (or the named ones); print their status",
         run_download},
        {"group", "group make FILE.ugp TAG.utg...  write a group file of tag files in its own folder", run_group},
        {"print", "print REPORT-FILE... --pdf OUT.pdf [--font-size N]\n"
                  "                             print report files into a PDF file as File > Print does",
         run_print},
        {"show", "show FILE.utg|FILE.ugp [--pdf OUT.pdf] [--font-size N]\n"
                 "                             list a tag or group configuration as Display/Print does;\n"
                 "                             --pdf prints it",
         run_show},
        {"tag", tag_usage.c_str(), run_tag},
        {"ports", ports_usage(), run_ports_command},
        {"extract", extract_usage.c_str(), run_extract},
        {"records", records_usage(), run_records_command},
    };
    return table;
}

void print_help() {
    std::printf(
        "usage: tq740-cli [--port N | --device PATH] [--yes] [--no-clock-check] [--records DATABASE | --no-records]\n"
        "                 COMMAND [ARGS...]\n"
        "\n"
        "  --port N          use COMN (1..8) instead of the port in the settings\n"
        "  --device PATH     open this serial device directly\n"
        "  --yes             answer Yes to every question (default: No)\n"
        "  --no-clock-check  skip the calibrator clock check for this run\n"
        "  --records DATABASE  the calibration records database of this run: a file, or\n"
        "                    a server, postgresql://USER@HOST[:PORT]/DBNAME (password from\n"
        "                    ~/.pgpass or PGPASSWORD)\n"
        "  --no-records      do not record the reports of an upload\n"
        "\n"
        "commands:\n");
    for (const auto& c : commands()) std::printf("  %s\n", c.usage);
    std::printf(
        "\n"
        "Ctrl+C while the calibrator is awaited cancels the operation; a second Ctrl+C ends at once.\n"
        "\n"
        "exit status: 0 done; 1 failed (the message is on standard error); %d declined: a question\n"
        "was answered No, so nothing more was done (--yes answers Yes); %d wrong command line.\n"
        "send exits with the result code of its last line.\n",
        EXIT_DECLINED, EXIT_USAGE);
}

// Ctrl+C during a wait for the calibrator cancels the operation, which then
// ends with its own message.  The handler only sets the flag, and is reset to
// the default by the first Ctrl+C, so that a second one ends the program.
void on_interrupt(int) { Console_ui::interrupted = true; }

void cancel_on_interrupt() {
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace

bool needs_painting(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), "--pdf") != args.end();
}

int run_cli(const std::vector<std::string>& args) {
    Common_options options;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--port") {
            if (i + 1 >= args.size()) return usage_error("--port needs a number");
            const auto n = parse_int(args[++i]);
            if (!n || *n < 1 || *n > 8) return usage_error("--port takes 1 to 8");
            options.port = *n;
        } else if (a == "--device") {
            if (i + 1 >= args.size()) return usage_error("--device needs a path");
            options.device = args[++i];
        } else if (a == "--yes") {
            options.yes = true;
        } else if (a == "--no-clock-check") {
            options.no_clock_check = true;
        } else if (a == "--records") {
            if (i + 1 >= args.size()) return usage_error("--records needs a file or a server address");
            options.records = args[++i];
        } else if (a == "--no-records") {
            options.no_records = true;
        } else if (a == "--help" || a == "-h") {
            options.help = true;
        } else {
            rest.push_back(a);
        }
    }
    if (options.help || rest.empty()) {
        print_help();
        return rest.empty() && !options.help ? EXIT_USAGE : 0;
    }

    const Command* command = nullptr;
    for (const auto& c : commands())
        if (rest.front() == c.name) command = &c;
    if (!command) return usage_error("unknown command '" + rest.front() + "'");

    shell::Data_folders folders;
    shell::find_data_folders(folders);
    const shell::Ini_file ini(folders.app_data.empty() ? std::string() : shell::ini_path(folders));
    Cli cli(options, folders, shell::read_settings(ini));
    if (!ini.path().empty()) cli.records_settings = records::read_records_settings(ini.path());

    cancel_on_interrupt();
    return command->run(cli, std::vector<std::string>(rest.begin() + 1, rest.end()));
}

}  // namespace ui::console
