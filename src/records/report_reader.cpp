#include "records/report_reader.h"

namespace records {

Read_result read_reports(const std::vector<std::string>&) { return {}; }
Read_result read_reports(const reports::Report_lines&) { return {}; }
Read_result read_report_file(const std::string&) { return {}; }

}  // namespace records
