#include "records/records_settings.h"

#include "records/record_store.h"

namespace records {

Records_settings read_records_settings(const std::string& ini_path) {
    const shell::Ini_file ini(ini_path, "records");
    Records_settings settings;
    settings.database = ini.read_text("database", "");
    settings.record_uploads = ini.read_int("record_uploads", 1) != 0;
    return settings;
}

std::string database_path(const Records_settings& settings) {
    return settings.database.empty() ? default_database_path() : settings.database;
}

bool record_uploaded_reports(shell::Program&, const std::string&) { return false; }

}  // namespace records
