#include "shell/ini_file.h"

#include "resources/report_files_strings.h"
#include "resources/strings.h"
#include "resources/text_match.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSaveFile>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <system_error>
#include <vector>

namespace shell {

namespace {

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

bool same_name(const std::string& a, const std::string& b) { return res::equal_ignoring_case(a, b); }

// True when something is at path, even a link to nothing.
bool exists_as_link_or_file(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// "[name]" -> name; nothing when the line is not a section header.
std::optional<std::string> section_name(const std::string& line) {
    std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    size_t close = t.find(']');
    if (close == std::string::npos) return std::nullopt;
    return trim(t.substr(1, close - 1));
}

// "key = value" -> key; nothing for comments and lines without "=".
std::optional<std::string> key_name(const std::string& line) {
    std::string t = trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') return std::nullopt;
    size_t eq = t.find('=');
    if (eq == std::string::npos) return std::nullopt;
    return trim(t.substr(0, eq));
}

}  // namespace

Ini_file::Ini_file(std::string path, std::string section)
    : path_(std::move(path)), section_(std::move(section)) {}

bool Ini_file::read_lines(std::vector<std::string>& lines, bool& crlf) const {
    lines.clear();
    crlf = false;
    std::string data, reason;
    switch (read_file_bounded(path_, max_settings_bytes, data, reason)) {
    case Bounded_read::ok: break;
    case Bounded_read::open_failed:
        // A file that is absent reads as empty and may be created; one that
        // is there but cannot be read is kept.
        return !exists_as_link_or_file(path_);
    case Bounded_read::read_failed:
    case Bounded_read::too_large: return false;
    }
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\n', start);
        if (end == std::string::npos) end = data.size();
        std::string line = data.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            crlf = true;
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

std::optional<std::string> Ini_file::find(const std::string& key) const {
    bool crlf = false;
    bool in_section = false;
    std::vector<std::string> lines;
    read_lines(lines, crlf);
    for (const auto& line : lines) {
        if (auto name = section_name(line)) {
            in_section = same_name(*name, section_);
            continue;
        }
        if (!in_section) continue;
        auto k = key_name(line);
        if (k && same_name(*k, key)) return trim(line.substr(line.find('=') + 1));
    }
    return std::nullopt;
}

int Ini_file::read_int(const std::string& key, int default_value) const {
    auto value = find(key);
    if (!value) return default_value;
    // The decimal number at the start of the value (an optional sign, then
    // digits); no number at all reads as 0.
    const std::string& v = *value;
    size_t i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
    long long n = 0;
    while (i < v.size() && std::isdigit(static_cast<unsigned char>(v[i]))) {
        n = n * 10 + (v[i++] - '0');
        if (n > 2147483648LL) n = 2147483648LL;
    }
    if (negative) n = -n;
    if (n > 2147483647LL) n = 2147483647LL;
    return static_cast<int>(n);
}

std::string Ini_file::read_text(const std::string& key, const std::string& default_value) const {
    auto value = find(key);
    return value ? *value : default_value;
}

bool Ini_file::write_int(const std::string& key, int value) {
    return write_text(key, std::to_string(value));
}

bool Ini_file::write_text(const std::string& key, const std::string& value) {
    bool crlf = false;
    std::vector<std::string> lines;
    if (!read_lines(lines, crlf)) return false;
    std::string entry = key + "=" + value;

    bool in_section = false;
    bool replaced = false;
    long section_end = -1;  // index after the last line of our section
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto name = section_name(lines[i])) {
            in_section = same_name(*name, section_);
            if (in_section) section_end = static_cast<long>(i) + 1;
            continue;
        }
        if (!in_section) continue;
        if (!trim(lines[i]).empty()) section_end = static_cast<long>(i) + 1;
        auto k = key_name(lines[i]);
        if (k && same_name(*k, key)) {
            lines[i] = entry;
            replaced = true;
            break;
        }
    }
    if (!replaced) {
        if (section_end < 0) {
            lines.push_back("[" + section_ + "]");
            lines.push_back(entry);
        } else {
            lines.insert(lines.begin() + section_end, entry);
        }
    }

    std::string data;
    const char* eol = crlf ? "\r\n" : "\n";
    for (const auto& line : lines) data += line + eol;
    std::string error;
    return write_file_atomically(path_, data, error) == Write_outcome::ok;
}

namespace {

// The reason of a failed write.  A write that stops short (file too large,
// disk full) leaves only "Unknown error" in the file's own error text: the
// system's error number of the failed call tells why.
std::string write_failure_reason(const QSaveFile& file, int error) {
    if (error != 0) return std::generic_category().message(error);
    if (file.error() != QFileDevice::NoError) return file.errorString().toStdString();
    return std::generic_category().message(EIO);
}

}  // namespace

void ignore_file_size_signal() { std::signal(SIGXFSZ, SIG_IGN); }

int open_regular_file(const std::string& path, std::string& reason, bool* refused) {
    if (refused) *refused = false;
    // O_NONBLOCK only for the open: a FIFO would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = std::generic_category().message(errno);
        return -1;
    }
    struct stat info {};
    const bool known = ::fstat(fd, &info) == 0;
    if (!known || !S_ISREG(info.st_mode)) {
        reason = known ? res::str(res::IDS_NOT_REGULAR_FILE) : std::generic_category().message(errno);
        if (refused) *refused = known;
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

Bounded_read read_file_bounded(const std::string& path, std::size_t max_bytes, std::string& data,
                               std::string& reason) {
    data.clear();
    const int fd = open_regular_file(path, reason);
    if (fd < 0) return Bounded_read::open_failed;
    struct stat info {};
    Bounded_read outcome = Bounded_read::ok;
    if (::fstat(fd, &info) == 0 && static_cast<std::uint64_t>(info.st_size) > max_bytes) outcome = Bounded_read::too_large;
    char block[65536];
    while (outcome == Bounded_read::ok) {
        const ssize_t got = ::read(fd, block, sizeof block);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            reason = std::generic_category().message(errno);
            outcome = Bounded_read::read_failed;
        } else if (got == 0) {
            break;
        } else if (data.size() + static_cast<std::size_t>(got) > max_bytes) {
            outcome = Bounded_read::too_large;   // grew while it was read
        } else {
            data.append(block, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    if (outcome != Bounded_read::ok) data.clear();
    return outcome;
}

Write_outcome write_file_atomically(const std::string& path, const std::string& data, std::string& reason) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString().toStdString();
        return Write_outcome::open_failed;
    }
    // A short write must never be committed: the old file would be replaced
    // by a truncated one.
    errno = 0;
    const qint64 written = file.write(data.data(), static_cast<qint64>(data.size()));
    if (written != static_cast<qint64>(data.size()) || !file.flush()) {
        reason = write_failure_reason(file, errno);
        file.cancelWriting();
        return Write_outcome::write_failed;
    }
    errno = 0;
    if (!file.commit()) {
        reason = write_failure_reason(file, errno);
        return Write_outcome::write_failed;
    }
    return Write_outcome::ok;
}

}  // namespace shell
