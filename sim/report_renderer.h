// How a calibrator of capability level 1 renders a tag's report for
// "TAG_SEND_ALL" / "TAG_SEND id".  The engine asks the renderer for the lines
// of each calibrated tag; the closing line is the engine's own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tag_store.h"

namespace sim {

enum class Report_format { text, csv };

// What a report shows about the calibrator itself.
struct Report_context {
    std::string manufacturer;
    std::string model;
    std::string serial_number;
};

// The longest reply line the program can take: it reads every reply into a
// buffer of 60 characters, so a 60th character ends its upload with an error.
inline constexpr std::size_t MAX_REPLY_CHARS = 59;

class Report_renderer {
public:
    virtual ~Report_renderer() = default;
    // Appends the report lines of one calibrated tag, from its "Tag ID:" line
    // on.  The engine makes every line fit the reply line before it is sent
    // (fit_reply_line).
    virtual void render(const Tag_record& tag, Report_format format, const Report_context& context,
                        std::vector<std::string>& lines) = 0;
};

// The calibrator's own report: the program's TXT and CSV layouts, filled with
// the fields the program would read from the same tag with "TAG_UPLD" (the
// same request plan, "NONE" for every field it does not request), with the
// calibrator's manufacturer, model and serial number.  So a level 1 upload and
// a level 2 upload of the same tag give the same report lines.
class Layout_report_renderer : public Report_renderer {
public:
    void render(const Tag_record& tag, Report_format format, const Report_context& context,
                std::vector<std::string>& lines) override;
};

// Renders nothing: TAG_SEND_ALL and TAG_SEND answer their closing line only.
class No_report_renderer : public Report_renderer {
public:
    void render(const Tag_record&, Report_format, const Report_context&, std::vector<std::string>&) override {}
};

// A report line as the calibrator sends it: characters outside 0x20..0x7E
// become "?" (the line is 7-bit printable text ended by CR), and a line
// longer than MAX_REPLY_CHARS is cut to that length, as a calibrator with a
// 60-character print buffer would cut it.
std::string fit_reply_line(std::string_view line);

}  // namespace sim
