#pragma once
// The list files FILE00.INI ... FILE99.INI and the in-memory play list.

#include "Outcome.h"
#include "mdlPublic.h"

#include <string>
#include <string_view>
#include <vector>

namespace liststore {

inline constexpr std::string_view kSection = "FILELIST";
inline constexpr std::string_view kNameKey = "LISTNAME";
inline constexpr int kMaxEntries = 256;
inline constexpr std::string_view kFiller = "|";

struct Entry {
    std::string name;  // display name, as the file view shows it
    std::string path;  // full path
};

struct ListFile {
    std::string name;  // LISTNAME; "" when missing
    std::vector<Entry> entries;
};

// "LIST" + the 0-based index in three digits.
std::string entryKey(int index);

// List file of page `page`, list `list` (each 0..9): prefix + two digits + ".INI".
std::string listFilePath(std::string_view prefix, int page, int list);

// Entry text as stored: display name + "|" + full path.
std::string entryValue(const Entry& entry);

// Splits a stored value at its first "|". False when there is none or it comes
// first: the list ends at such a value.
bool parseEntry(std::string_view value, Entry& entry);

// Reads a list file; missing or unreadable reads as an empty list. Values are
// decoded to UTF-8 (Shift-JIS files of the Windows release included).
ListFile readListFile(const std::string& path);

// Whether an entry can be stored so that it reads back unchanged: no "|" in the
// display name, no line break or NUL anywhere.
bool isStorable(const Entry& entry);

// Stores LISTNAME, the entries from LIST000 on and "|" up to LIST255 as one
// atomic replace. Keys past LIST255 are never read, so entries past the 256th
// are not stored. A failure (the file untouched) when an entry or the name
// cannot be stored, or an existing file cannot be read or may not be written;
// it carries the system's reason (EINVAL's for what cannot be stored).
errors::Outcome<> writeListFile(const std::string& path, std::string_view listName, const std::vector<Entry>& entries);

// Removes the list file; a failure carries the system's reason.
errors::Outcome<> deleteListFile(const std::string& path);

// Name without its extension: the text before the last "." ("" without one).
std::string DevFName(std::string_view name);

// Start-up load of the current list: titles without extension, entry count;
// the position is not changed.
void loadPlayList(mdlPublic::PublicState& state);

// The editor's hand-over: titles as shown, at most 256 entries, position 0.
void handOver(mdlPublic::PlayList& playList, const std::vector<Entry>& entries);


}  // namespace liststore
