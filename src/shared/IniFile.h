#pragma once
// The profile (INI) engine shared by vistrova and tarnquill.
//
// Reads and writes behave like the Windows profile calls the stored files were
// made with: a read answers at most 511 bytes, a write changes only the line it
// concerns and keeps every other byte. All functions work on bytes; decoding to
// text is TextCodec's job, so a caller that copies values copies them unchanged.
// Every function is reentrant; none holds a file open after it returns. The
// text rules are IniFile.cpp's; reading and replacing files, and the profile
// calls that do, are IniFileIo.cpp's.

#include "IniFileIo.h"
#include "Outcome.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
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
std::string readValue(std::string_view content, std::string_view section, std::string_view key);

// Applies one write to file contents in memory. Returns false (and leaves
// `content` untouched) when a name or the value holds CR, LF or NUL, or a
// name would not read back as itself (a section with "]", a key with "=" or
// starting with ";" or "[").
bool applyWrite(std::string& content, std::string_view section, std::string_view key,
                std::string_view value);

// Several writes in order, with one parse. A refused write fails alone: the
// others are applied, and false tells that one or more were refused.
bool applyWrites(std::string& content, const std::vector<Write>& writes);

// For writing a file: how many of `writes` applyWrites would refuse, and
// `content` with the others applied, streamed through `put` without copying
// the old bytes (memory stays that of the edits). False when `put` refused.
std::size_t refusedWrites(const std::vector<Write>& writes);
bool streamWrites(std::string_view content, const std::vector<Write>& writes, const Put& put);

// The two profile calls. readProfileString never fails (missing gives "").
std::string readProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key);
// A write that fails answers the system's reason (EINVAL's for a value the
// file cannot hold).
errors::Outcome<> writeProfileString(const std::filesystem::path& file, std::string_view section,
                                     std::string_view key, std::string_view value);

// Several writes to one file as a single atomic replace, yielding the bytes the
// single writes in this order would have produced. A refused write fails alone
// (the others are stored and false is returned). An existing file that cannot
// be read, or may not be written, is never replaced: the batch fails.
errors::Outcome<> writeProfileBatch(const std::filesystem::path& file, const std::vector<Write>& writes);

// A file parsed once for many lookups with readValue's exact answers. Used where
// a caller reads hundreds of keys of one file (a list file holds 257).
class Snapshot {
public:
    Snapshot() = default;
    explicit Snapshot(std::string content);
    static Snapshot load(const std::filesystem::path& file);

    std::string read(std::string_view section, std::string_view key) const;

private:
    // Offsets into m_content, so a copied or moved snapshot stays valid. An
    // entry keeps only where its name is; the value is found again on lookup,
    // so the index costs 16 bytes a key line however long the file.
    struct Entry {
        std::size_t nameBegin;
        std::uint32_t nameSize;  // longer names are cut: no lookup asks for one
    };
    struct Section {
        std::size_t nameBegin;
        std::size_t nameSize;
        std::size_t firstEntry;  // range in m_entries, sorted by folded name,
        std::size_t endEntry;    // equal names in file order
    };
    std::string_view slice(std::size_t begin, std::size_t size) const;

    std::string m_content;
    std::vector<Entry> m_entries;
    std::vector<Section> m_sections;  // sorted by folded name, equal names in file order
};

namespace detail {
// Exposed for the tests: the value cut to the reader's buffer, never splitting a
// UTF-8 or Shift-JIS character.
std::string cutToBuffer(std::string_view value);
}  // namespace detail


}  // namespace ini
