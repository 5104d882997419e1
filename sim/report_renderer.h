// How a calibrator of capability level 1 renders a tag's report for
// "TAG_SEND_ALL" / "TAG_SEND id".  The engine asks the renderer for the lines
// of each calibrated tag; the closing line is the engine's own.
#pragma once

#include <string>
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

class Report_renderer {
public:
    virtual ~Report_renderer() = default;
    // Appends the report lines of one calibrated tag (each at most 59
    // characters, none beginning with "<").
    virtual void render(const Tag_record& tag, Report_format format, const Report_context& context,
                        std::vector<std::string>& lines) = 0;
};

// Renders nothing: the reports of level-1 calibrators are not simulated yet,
// so TAG_SEND_ALL and TAG_SEND answer their closing line only.
class No_report_renderer : public Report_renderer {
public:
    void render(const Tag_record&, Report_format, const Report_context&, std::vector<std::string>&) override {}
};

}  // namespace sim
