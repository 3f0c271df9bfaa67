#pragma once
// M3U play lists as the player hands them on: expanded here, before the
// movie library sees them, so that a list naming itself, two lists naming
// each other, or an entry that is a FIFO can neither loop for good nor block.
// Plain file access, no library.

#include <cstddef>
#include <string>
#include <vector>

namespace m3u {

// Bounds on what one list may expand to.
inline constexpr std::size_t kMaxEntries = 4096;
inline constexpr int kMaxDepth = 16;
inline constexpr std::size_t kMaxListBytes = 1 << 20;  // read of each list

// Whether the movie library would read the file as an M3U list: its
// extension is M3U or M3U8, or its text starts with "#EXTM3U". Only a regular
// file is looked into.
bool isList(const std::string& path);

// What a list plays, in order: nested lists are expanded in place, relative
// entries are taken from the list's folder, "file://" addresses become paths
// and network addresses (http, https) stay. Left out are entries that cannot
// play: missing files, anything that is not a regular file, the list itself
// and any list that leads back to one it is part of, lists nested deeper than
// kMaxDepth, and entries past kMaxEntries. Empty when nothing is left.
std::vector<std::string> playable(const std::string& path);

}  // namespace m3u
