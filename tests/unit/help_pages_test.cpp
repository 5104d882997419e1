// The help pages against the program: every help context the code opens has
// its page, the pages' links lead somewhere, and the troubleshooting page
// lists every message of the string table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "resources/help_pages.h"
#include "resources/strings.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

const fs::path source_dir = TQ740_SOURCE_DIR;
const fs::path help_dir = source_dir / "help";

// Runs of white space become one space, as the help window shows them.
std::string collapse_spaces(const std::string& text) {
    std::string out;
    for (char c : text) {
        const bool space = c == ' ' || c == '\n' || c == '\r' || c == '\t';
        if (space && (out.empty() || out.back() == ' ')) continue;
        out += space ? ' ' : c;
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// A page's text as a reader sees it: without tags, entities resolved.
std::string visible_text(const std::string& html) {
    std::string text = std::regex_replace(html, std::regex("<[^>]*>"), " ");
    const std::pair<const char*, const char*> entities[] = {
        {"&gt;", ">"}, {"&lt;", "<"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&nbsp;", " "}, {"&amp;", "&"}};
    for (const auto& [entity, character] : entities) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::string_view(entity).size(), character);
    }
    return collapse_spaces(text);
}

// A message as the page writes it: its placeholders as they stand, "%%"
// as the "%" the user sees.
std::string message_as_written(std::string text) {
    for (size_t at = text.find("%%"); at != std::string::npos; at = text.find("%%", at + 1)) text.erase(at, 1);
    return collapse_spaces(text);
}

std::vector<fs::path> files_under(const fs::path& folder, std::set<std::string> extensions) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && extensions.count(entry.path().extension().string()))
            files.push_back(entry.path());
    return files;
}

int line_of(const std::string& text, size_t offset) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n'));
}

// The contexts the constants of help_pages.h stand for.
std::map<std::string, int> declared_contexts() {
    std::map<std::string, int> contexts;
    const std::string header = test::file_bytes(source_dir / "src/resources/help_pages.h");
    const std::regex constant(R"(constexpr int (HELP_\w+) = (\d+);)");
    for (std::sregex_iterator it(header.begin(), header.end(), constant), end; it != end; ++it)
        contexts[(*it)[1]] = std::stoi((*it)[2]);
    return contexts;
}

bool has_page(int context) {
    for (const res::Help_page& page : res::help_pages())
        if (page.context == context) return true;
    return false;
}

TEST(Help_pages, every_declared_context_has_its_page) {
    const auto contexts = declared_contexts();
    ASSERT_GE(contexts.size(), 14u);
    for (const auto& [name, context] : contexts) EXPECT_TRUE(has_page(context)) << name << " has no page in the list";
    for (const res::Help_page& page : res::help_pages()) {
        const fs::path file = help_dir / std::string(page.file);
        ASSERT_TRUE(fs::exists(file)) << "context " << page.context << ": no page " << file;
        EXPECT_NE(test::file_bytes(file).find("<title>"), std::string::npos) << file << " has no title for the window";
    }
    for (std::string_view file : {res::HELP_CONTENTS_FILE, res::HELP_TROUBLESHOOTING_FILE})
        EXPECT_TRUE(fs::exists(help_dir / std::string(file))) << file;
}

// The forms of a help context written as a bare number.
const std::vector<std::pair<std::regex, const char*>>& bare_number_forms() {
    static const std::vector<std::pair<std::regex, const char*>> forms = {
        {std::regex(R"(\b131[0-3]\d\d\b)"), "a help context number (131072 + template)"},
        {std::regex(R"(constexpr\s+int\s+\w*HELP\w*\s*=\s*\d)"), "a help context constant of its own"},
        {std::regex(R"(\b(show_help|help_?)\s*\(\s*\d+\s*\))"), "a help call with a bare number"},
        {std::regex(R"(\b(add_f1_help|help_on_f1|dialog_buttons|Help_dialog\s+\w+)\s*\([^;]*,\s*\d+\s*[,)])"),
         "a dialog given a bare help number"},
    };
    return forms;
}

// Every context the code passes is one of the constants above: the sources
// hold no help context written as a bare number.
TEST(Help_pages, the_code_opens_help_only_through_the_declared_contexts) {
    int files = 0;
    for (const fs::path& file : files_under(source_dir / "src", {".h", ".cpp"})) {
        if (file.filename().string().rfind("help_pages.", 0) == 0) continue;
        ++files;
        const std::string text = test::file_bytes(file);
        for (const auto& [pattern, what] : bare_number_forms()) {
            for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
                ADD_FAILURE() << file.lexically_relative(source_dir).string() << ":"
                              << line_of(text, static_cast<size_t>(it->position())) << ": " << what << ": "
                              << it->str() << "\n  name the context with a constant of src/resources/help_pages.h";
        }
    }
    EXPECT_GT(files, 50);
}

// The scan above catches the forms it is meant to catch.
TEST(Help_pages, the_source_scan_sees_bare_numbers) {
    const std::pair<const char*, bool> cases[] = {
        {"ui_.show_help(5);", true},
        {"if (help_) help_(0);", true},
        {"Help_dialog dialog(parent, 4, help);", true},
        {"add_f1_help(&dialog, 1, help);", true},
        {"dialog_buttons(&dialog, true, 4, help);", true},
        {"constexpr int HELP_CONTEXT = 131272;", true},
        {"ui_.show_help(res::HELP_SUPPORT);", false},
        {"add_f1_help(&dialog, res::HELP_FONT_SIZE, help);", false},
        {"dialog_buttons(&dialog, true, download::SELECT_DIALOG_HELP, help);", false},
        {"constexpr int GROUP_DIALOG_HELP = res::HELP_GROUP_EDITOR;", false},
    };
    for (const auto& [line, bare] : cases) {
        const std::string text = line;
        bool seen = false;
        for (const auto& form : bare_number_forms()) seen = seen || std::regex_search(text, form.first);
        EXPECT_EQ(seen, bare) << line;
    }
}

TEST(Help_pages, links_lead_to_pages_and_anchors_that_exist_and_contents_reach_every_page) {
    const std::regex link(R"(href="([^"#]*)(#([^"]*))?")");
    std::set<std::string> linked_from_contents;
    for (const fs::path& page : files_under(help_dir, {".html"})) {
        const std::string html = test::file_bytes(page);
        for (std::sregex_iterator it(html.begin(), html.end(), link), end; it != end; ++it) {
            const std::string target = (*it)[1].str().empty() ? page.filename().string() : (*it)[1].str();
            ASSERT_EQ(target.find(':'), std::string::npos) << page << ": a link out of the help pages: " << target;
            const fs::path file = help_dir / target;
            ASSERT_TRUE(fs::exists(file)) << page.filename() << " links to a missing " << target;
            if (page.filename() == res::HELP_CONTENTS_FILE) linked_from_contents.insert(target);
            const std::string anchor = (*it)[3];
            if (anchor.empty()) continue;
            const std::string target_html = test::file_bytes(file);
            EXPECT_TRUE(target_html.find("name=\"" + anchor + "\"") != std::string::npos ||
                        target_html.find("id=\"" + anchor + "\"") != std::string::npos)
                << page.filename() << " links to " << target << "#" << anchor << ", which has no such anchor";
        }
    }
    for (const fs::path& page : files_under(help_dir, {".html"})) {
        if (page.filename() == res::HELP_CONTENTS_FILE) continue;
        EXPECT_TRUE(linked_from_contents.count(page.filename().string()))
            << "the contents page does not list " << page.filename();
    }
}

bool is_message_id(int id) {
    if (!((id >= 57601 && id <= 57787) || (id >= 57900 && id <= 58499)))
        return false;
    for (const res::Id_range& range : res::texts_not_messages())
        if (id >= range.first && id <= range.last) return false;
    return true;
}

TEST(Troubleshooting_page, lists_every_message_of_the_string_table) {
    const std::string page = visible_text(test::file_bytes(help_dir / std::string(res::HELP_TROUBLESHOOTING_FILE)));
    std::ostringstream missing;
    int messages = 0;
    for (const res::String_entry& entry : res::all_entries()) {
        if (!is_message_id(entry.id)) continue;
        ++messages;
        const std::string text = message_as_written(entry.text);
        if (page.find(text) == std::string::npos) missing << "\n  " << entry.id << " \"" << text << "\"";
    }
    EXPECT_GT(messages, 100);
    EXPECT_TRUE(missing.str().empty())
        << "messages missing from help/troubleshooting.html (add each with what it means and what to do; "
           "a window title, label or button text goes into texts_not_messages() in "
           "src/resources/help_pages.cpp instead):"
        << missing.str();
}

TEST(Troubleshooting_page, matches_messages_as_the_reader_sees_them) {
    const std::pair<const char*, const char*> cases[] = {
        {"<dt>Loading &gt;  %s</dt>", "Loading >  %s"},
        {"<dt>Calibrator failed to respond.\nCheck the cables.</dt>", "Calibrator failed to respond.\nCheck the cables."},
        {"<td>Reading data from file:  %i% read.</td>", "Reading data from file:  %i%% read."},
        {"<p>Tag &#39;%s&#39; not found</p>", "Tag '%s' not found"},
    };
    for (const auto& [html, message] : cases)
        EXPECT_NE(visible_text(html).find(message_as_written(message)), std::string::npos) << html;
    EXPECT_EQ(visible_text("<dt>Cancel<b>led</b>.</dt>").find(message_as_written("Cancelled.")), std::string::npos);
}

}  // namespace
