#include "ui/dialog_rules.h"

#include <cctype>
#include <filesystem>
#include <set>

namespace ui {

std::string typed_save_path(const std::string& shown_folder, const std::string& typed, const std::string& extension) {
    if (typed.empty()) return {};
    std::filesystem::path path(typed);
    if (path.is_relative()) path = std::filesystem::path(shown_folder) / path;
    const std::string name = path.filename().string();
    if (!extension.empty() && !name.empty() && name.find('.') == std::string::npos) path += "." + extension;
    return path.lexically_normal().string();
}

namespace {

// The letter after a single "&" (a doubled "&&" is a plain ampersand), or 0.
char marked_letter(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
        ++i;
    }
    return 0;
}

}  // namespace

std::vector<std::string> with_mnemonics(const std::vector<std::string>& captions) {
    std::set<char> taken;
    for (const std::string& caption : captions)
        if (char letter = marked_letter(caption)) taken.insert(letter);
    std::vector<std::string> out;
    for (const std::string& caption : captions) {
        std::string marked = caption;
        if (caption.find('&') == std::string::npos) {
            for (std::size_t i = 0; i < caption.size(); ++i) {
                const unsigned char c = static_cast<unsigned char>(caption[i]);
                if (!std::isalnum(c) || taken.count(static_cast<char>(std::tolower(c)))) continue;
                taken.insert(static_cast<char>(std::tolower(c)));
                marked.insert(i, 1, '&');
                break;
            }
        }
        out.push_back(marked);
    }
    return out;
}

}  // namespace ui
