#pragma once
// The profile (INI) engine shared by vistrova and tarnquill.
//
// Reads and writes behave like the Windows profile calls the stored files were
// made with: a read answers at most 511 bytes, a write changes only the line it
// concerns and keeps every other byte. All functions work on bytes; decoding to
// text is TextCodec's job, so a caller that copies values copies them unchanged.
// Every function is reentrant; none holds a file open after it returns.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ini {

// The reader's buffer holds 512 bytes including the terminating NUL.
inline constexpr std::size_t kMaxValueBytes = 511;

struct Write {
    std::string section;
    std::string key;
    std::string value;
};

// Lookup on file contents held in memory. Missing section or key gives "".
std::string ReadValue(std::string_view content, std::string_view section, std::string_view key);

// Applies one write to file contents in memory. Returns false (and leaves
// `content` untouched) when a name or the value holds CR, LF or NUL, or a
// name would not read back as itself (a section with "]", a key with "=" or
// starting with ";" or "[").
bool ApplyWrite(std::string& content, std::string_view section, std::string_view key,
                std::string_view value);

// Several writes in order, with one parse; all refused when one is.
bool ApplyWrites(std::string& content, const std::vector<Write>& writes);

// Reads the whole file; a missing or unreadable file reads as empty.
std::string LoadFile(const std::filesystem::path& file);

// Replaces the file with `content` atomically (temporary file + rename). A
// symbolic link is written through to its target. False on any failure, in
// which case the old file is untouched.
bool ReplaceFile(const std::filesystem::path& file, std::string_view content);

// The two profile calls. ReadProfileString never fails (missing gives "").
std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key);
bool WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value);

// Several writes to one file as a single atomic replace, yielding the bytes the
// single writes in this order would have produced. When any write is refused
// nothing is written and false is returned.
bool WriteProfileBatch(const std::filesystem::path& file, const std::vector<Write>& writes);

// A file parsed once for many lookups with ReadValue's exact answers. Used where
// a caller reads hundreds of keys of one file (a list file holds 257).
class Snapshot {
public:
    Snapshot() = default;
    explicit Snapshot(std::string content);
    static Snapshot Load(const std::filesystem::path& file);

    std::string Read(std::string_view section, std::string_view key) const;

private:
    struct Section {
        // Lower-cased key -> raw value range of its first occurrence; npos start
        // marks a key line without "=".
        std::unordered_map<std::string, std::pair<std::size_t, std::size_t>> keys;
    };
    static constexpr std::size_t kIndexLimit = 16u << 20;
    std::string m_content;
    bool m_indexed = false;
    std::unordered_map<std::string, Section> m_sections;  // first section of each name only
};

namespace detail {
// Exposed for the tests: the value cut to the reader's buffer, never splitting a
// UTF-8 or Shift-JIS character.
std::string CutToBuffer(std::string_view value);
}  // namespace detail

}  // namespace ini
