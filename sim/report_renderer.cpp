#include "report_renderer.h"

#include "reports/field_table.h"
#include "reports/report_layout.h"

namespace sim {

void Layout_report_renderer::render(const Tag_record& tag, Report_format format, const Report_context& context,
                                    std::vector<std::string>& lines) {
    namespace f = reports::fields;
    reports::Field_table table;
    table.reset_tag_fields();
    // The fields the program itself requests for a tag of this many points;
    // a point count the program would refuse leaves the head fields only.
    for (int field : reports::tag_request_plan(tag.points())) table.store_field(field, tag.field(field));
    table.store_field(f::calibrator_manufacturer, context.manufacturer);
    table.store_field(f::calibrator_model, context.model);
    table.store_field(f::queried_serial, context.serial_number);
    table.complete_tag_fields();

    const auto layout = format == Report_format::csv ? reports::Report_format::csv : reports::Report_format::text;
    for (std::string& line : reports::report_lines(table, layout, "", 0)) lines.push_back(std::move(line));
}

std::string fit_reply_line(std::string_view line) {
    std::string fitted(line.substr(0, MAX_REPLY_CHARS));
    for (char& c : fitted)
        if (c < 0x20 || c > 0x7E) c = '?';
    return fitted;
}

}  // namespace sim
