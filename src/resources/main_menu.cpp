#include "resources/main_menu.h"

#include "resources/database_dialog_strings.h"
#include "resources/records_window_strings.h"
#include "resources/shell_strings.h"

namespace res {

namespace {

Menu_entry item(const char* caption, int command) { return {Menu_entry::Kind::item, caption, command, {}}; }
Menu_entry separator() { return {Menu_entry::Kind::separator, "", 0, {}}; }
Menu_entry submenu(const char* caption, std::vector<Menu_entry> entries) {
    return {Menu_entry::Kind::submenu, caption, 0, std::move(entries)};
}

}  // namespace

const std::vector<Menu>& main_menu() {
    static const std::vector<Menu> menus = {
        {"&File",
         {item("&Open...", ID_FILE_OPEN), separator(),
          item("Save Reports as &Single File...", ID_FILE_SAVE_SINGLE),
          item("Save Reports as Separate &Files...", ID_FILE_SAVE_SEPARATE),
          item("Save Reports in Separate Tag &Directories...", ID_FILE_SAVE_DIRECTORIES), separator(),
          item("&Print...", ID_FILE_PRINT), item("Print Set&up...", ID_FILE_PRINT_SETUP), separator(),
          item("E&xit", ID_FILE_EXIT)}},
        {"&Upload",
         {item("&Tag ID's", ID_UPLOAD_TAG_IDS), separator(), item("&All Tag Reports", ID_UPLOAD_ALL_REPORTS),
          item("&Selected Tag Reports", ID_UPLOAD_SELECTED_REPORTS), separator(),
          item("Upload in Te&xt Format", ID_UPLOAD_TEXT_FORMAT),
          item("Upload in &CSV Format", ID_UPLOAD_CSV_FORMAT), separator(),
          item("Calibrator &Identity", ID_UPLOAD_IDENTITY)}},
        {"&Erase", {item("&All Tags", ID_ERASE_ALL), item("&Selected Tags", ID_ERASE_SELECTED)}},
        {"&Download", {item("&Tag...", ID_DOWNLOAD_TAG), item("&Group...", ID_DOWNLOAD_GROUP)}},
        {"&Records",
         {item("&Calibration Records...", ID_RECORDS_BROWSE), item("&Import Reports...", ID_RECORDS_IMPORT),
          item("&Database...", ID_RECORDS_DATABASE)}},
        {"&Configure",
         {submenu("&Tag",
                  {item("&New...", ID_TAG_NEW), item("&Edit...", ID_TAG_EDIT),
                   item("E&xtract from Report...", ID_TAG_EXTRACT), item("&Display/Print...", ID_TAG_DISPLAY)}),
          submenu("&Group",
                  {item("&New...", ID_GROUP_NEW), item("&Edit...", ID_GROUP_EDIT),
                   item("&Display/Print...", ID_GROUP_DISPLAY)}),
          separator(), item("Company &Name...", ID_COMPANY_NAME),
          submenu("COM &Port",
                  {item("Use COM&1", ID_USE_COM1), item("Use COM&2", ID_USE_COM2), item("Use COM&3", ID_USE_COM3),
                   item("Use COM&4", ID_USE_COM4), item("Use COM&5", ID_USE_COM5), item("Use COM&6", ID_USE_COM6),
                   item("Use COM&7", ID_USE_COM7), item("Use COM&8", ID_USE_COM8)}),
          item("Serial &Adapters...", ID_SERIAL_ADAPTERS)}},
        {"&Help",
         {item("TQ740-SW &Help", ID_HELP_TOPICS), item("&Support", ID_HELP_SUPPORT), separator(),
          item("&About TQ740-SW...", ID_HELP_ABOUT)}},
    };
    return menus;
}

}  // namespace res
