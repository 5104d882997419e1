// The main window's menu bar: menus, sub-menus and items with their command
// ids, in the order they appear.  Item captions carry "&" before the
// mnemonic letter.
#pragma once

#include <vector>

namespace res {

struct Menu_entry {
    enum class Kind { item, separator, submenu };
    Kind kind = Kind::item;
    const char* caption = "";        // "" for a separator
    int command = 0;                 // command id of an item, 0 otherwise
    std::vector<Menu_entry> entries; // a sub-menu's entries
};

struct Menu {
    const char* caption;
    std::vector<Menu_entry> entries;
};

// File, Upload, Erase, Download, Records, Configure, Help.
const std::vector<Menu>& main_menu();

}  // namespace res
