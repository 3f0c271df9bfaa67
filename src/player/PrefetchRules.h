#pragma once
// Which entries of the play list are decoded ahead while one is shown, and
// which decoded pictures may be kept. Plain rules, no Qt.

#include <cstddef>
#include <string>
#include <vector>

namespace player {

// At most this many decoded pictures are held: the one shown, the next and
// the previous. A screen-sized picture is about 8 MB, so the cache stays
// well under 50 MB even on a 4K screen.
inline constexpr std::size_t kMaxCachedPictures = 3;

// Positions to decode ahead of `position`, most wanted first: the next one
// (the show steps forward by itself), then the previous one; both wrap
// around the ends of the list. Never `position` itself, never twice, nothing
// for a list of one entry or a position outside the list.
std::vector<int> prefetchOrder(int position, int count);

// Positions whose decoded pictures are worth keeping: `position` followed by
// prefetchOrder. Empty for a position outside the list.
std::vector<int> keptPositions(int position, int count);

// Whether a cached picture of `path` may stay, given the paths of the kept
// positions. The same file may stand at several positions.
bool keepCached(const std::string& path, const std::vector<std::string>& keptPaths);

// Whether an entry is worth decoding ahead: a picture by its file name.
bool isPrefetchable(const std::string& path);

}  // namespace player
