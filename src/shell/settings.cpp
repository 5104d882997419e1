#include "shell/settings.h"

#include <QDir>
#include <QStandardPaths>

#include <sys/stat.h>

namespace shell {

bool find_data_folders(Data_folders& folders) {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) return false;
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty()) return false;
    folders.documents = (documents + "/" + DATA_SUBFOLDER).toStdString();
    folders.app_data = (config + "/" + DATA_SUBFOLDER).toStdString();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty()) folders.data = (data + "/" + DATA_SUBFOLDER).toStdString();
    return true;
}

void ensure_folder(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return;
    QDir().mkpath(QString::fromStdString(path));
}

std::string ini_path(const Data_folders& folders) { return folders.app_data + "/" + INI_NAME; }

std::string cut_characters(const std::string& text, size_t max_chars) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {  // not a continuation byte
            if (chars == max_chars) return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

Program_settings read_settings(const Ini_file& ini) {
    Program_settings s;
    s.port = ini.read_int("port", 1);
    if (s.port < 1 || s.port > 8) s.port = 1;
    s.company = cut_characters(ini.read_text("company", ""), MAX_COMPANY);
    s.report_directory = cut_characters(ini.read_text("directory", ""), MAX_PATH_TEXT);
    s.tag_config_directory = cut_characters(ini.read_text("tag_config_directory", ""), MAX_PATH_TEXT);
    s.format = ini.read_int("format", 1);
    s.font_size = ini.read_int("font_size", 0);
    if (!valid_font_size(s.font_size)) s.font_size = 9;
    return s;
}

bool valid_font_size(int size) {
    switch (size) {
    case 8: case 9: case 10: case 11: case 12: case 14: case 16: return true;
    default: return false;
    }
}

Program_settings load_settings(Ini_file& ini, const Data_folders& folders, const Window_rect& created) {
    // First run: the file has no port yet.  Write every key in its order.
    // Only an absent key means that: a negative port is a damaged value,
    // corrected below like any other out of range, and the other settings stay.
    if (!ini.has_key("port")) {
        ini.write_int("port", 1);
        ini.write_text("company", "");
        ini.write_text("directory", folders.documents);
        ini.write_text("tag_config_directory", folders.documents);
        ini.write_int("format", 1);
        ini.write_int("window_mode", 0);
        ini.write_int("window_top", created.top);
        ini.write_int("window_left", created.left);
        ini.write_int("window_height", created.height);
        ini.write_int("window_width", created.width);
        ini.write_int("font_size", 9);
    }

    Program_settings s;
    s.port = ini.read_int("port", 1);
    s.company = cut_characters(ini.read_text("company", ""), MAX_COMPANY);
    s.report_directory = cut_characters(ini.read_text("directory", ""), MAX_PATH_TEXT);
    s.tag_config_directory = cut_characters(ini.read_text("tag_config_directory", ""), MAX_PATH_TEXT);
    if (s.port < 1 || s.port > 8) {
        s.port = 1;
        ini.write_int("port", 1);
    }

    s.format = ini.read_int("format", 1);
    s.window_mode = ini.read_int("window_mode", 0);
    s.window.top = ini.read_int("window_top", created.top);
    s.window.left = ini.read_int("window_left", created.left);
    s.window.height = ini.read_int("window_height", created.height);
    s.window.width = ini.read_int("window_width", created.width);

    s.font_size = ini.read_int("font_size", 0);
    if (!valid_font_size(s.font_size)) {
        s.font_size = 9;
        ini.write_int("font_size", 9);
    }
    return s;
}

}  // namespace shell
