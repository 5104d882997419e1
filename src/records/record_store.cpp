#include "records/record_store.h"

namespace records {

struct Record_store::Impl {};

std::string default_database_path() { return {}; }
Record_store::Record_store(std::string path, Store_options options) : path_(std::move(path)), options_(options) {}
Record_store::~Record_store() = default;
bool Record_store::open() { return false; }
bool Record_store::is_open() const { return false; }
std::vector<Tag_summary> Record_store::tag_summaries() { return {}; }
std::vector<Recorded_calibration> Record_store::calibrations_of(const std::string&, Order) { return {}; }
std::vector<std::string> Record_store::report_lines(long long) { return {}; }
long long Record_store::record_count() { return 0; }
Record_counts Record_store::record(const std::vector<Read_report>&, const std::string&) { return {}; }
Record_counts Record_store::record_upload(const reports::Report_lines&, const std::string&) { return {}; }
File_import Record_store::import_file(const std::string& path) { return {path, {}}; }
std::vector<File_import> Record_store::import_files(const std::vector<std::string>&) { return {}; }
Verify_result Record_store::verify() { return {}; }
bool Record_store::export_csv(const std::string&) { return false; }
std::string counts_text(const Record_counts&) { return {}; }
std::string file_import_text(const File_import&) { return {}; }

}  // namespace records
