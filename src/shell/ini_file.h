// The settings file: a plain INI file whose keys live in section "main".
//
// Reading follows the old profile-file conventions the settings rely on: an
// absent key yields the given default, an integer key yields the decimal
// number at the start of its value, a text key yields the whole value.
// Section and key names match regardless of case; spaces around keys and
// values are ignored.  Writing replaces the value in place or adds the key,
// creating file and section when needed, keeps every other line as it was,
// and replaces the file atomically so a crash never leaves it truncated.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace shell {

// The largest settings file read: far more than its eleven keys need.  A
// larger one (or one that is not a regular file) reads as holding no key and
// is never rewritten.
inline constexpr std::size_t max_settings_bytes = 1 << 20;

class Ini_file {
public:
    explicit Ini_file(std::string path = {}, std::string section = "main");

    const std::string& path() const { return path_; }
    void set_path(std::string path) { path_ = std::move(path); }

    int read_int(const std::string& key, int default_value) const;
    std::string read_text(const std::string& key, const std::string& default_value) const;
    // True when section "main" holds the key, whatever its value.
    bool has_key(const std::string& key) const { return find(key).has_value(); }

    // False when the file could not be written (the old file then stays as it was).
    bool write_int(const std::string& key, int value);
    bool write_text(const std::string& key, const std::string& value);

private:
    std::optional<std::string> find(const std::string& key) const;
    // The file's lines; false when it exists but was not read whole (not a
    // regular file, larger than max_settings_bytes, a read error), so that a
    // write never replaces what could not be read.
    bool read_lines(std::vector<std::string>& lines, bool& crlf) const;

    std::string path_;
    std::string section_;
};

// Writes data to path atomically: a temporary file in the same folder,
// every byte checked, then renamed over the old file.  On failure the old
// file is untouched and reason holds the system's text for the error; the
// outcome tells whether the file could not be created or not be written.
enum class Write_outcome { ok, open_failed, write_failed };
Write_outcome write_file_atomically(const std::string& path, const std::string& data, std::string& reason);

// A write beyond the process's file size limit (ulimit -f) raises SIGXFSZ,
// whose default action ends the program with the unsaved reports in memory.
// Every program ignores it at start-up, so such a write fails with EFBIG and
// is reported like any other failed write.
void ignore_file_size_signal();

// Opens path for reading only when it is a regular file.  The open never
// waits (a FIFO without a writer would block it for ever), and a FIFO,
// device, socket or folder is refused with reason "Not a regular file ...",
// since such a "file" may never end (/dev/zero) or never answer.  Returns the
// descriptor, which reads blocking as usual, or -1 with reason set and
// refused, when given, telling whether the file opened but was refused.
int open_regular_file(const std::string& path, std::string& reason, bool* refused = nullptr);

// Reads a whole regular file of at most max_bytes bytes into data.  A larger
// file is refused before it is read (and one that grows past the limit while
// it is read), so memory stays bounded whatever the file holds.
enum class Bounded_read { ok, open_failed, read_failed, too_large };
Bounded_read read_file_bounded(const std::string& path, std::size_t max_bytes, std::string& data,
                               std::string& reason);

}  // namespace shell
