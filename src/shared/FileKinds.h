#pragma once
// What a path names, judged before anything opens it: opening a FIFO or a
// device blocks the reader for good, so only regular files are ever opened
// as pictures or clips, and only folders are offered as folders. Links are
// followed; a broken or looping link names nothing. Paths and names are the
// raw bytes the file system holds, so names that are not UTF-8 survive.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace files {

// `name` in `folder`, with one slash between them.
std::string joinPath(std::string_view folder, std::string_view name);

// A regular file (after following links) that may be opened and read.
bool isOpenableFile(const std::string& path);

// A folder (after following links).
bool isFolder(const std::string& path);

struct ScannedFile {
    std::string name;                     // raw bytes
    std::optional<std::int64_t> modified; // ms since the epoch; none when it cannot be read
};

// Entries of `folder` that are folders, in the order the listing gives them.
// "." and ".." are never returned.
std::vector<std::string> scanFolders(const std::string& folder);

// Entries of `folder` that are not folders: files, and the odd entries a
// listing of files shows (pipes, devices, broken links). Hidden ones included.
std::vector<ScannedFile> scanFiles(const std::string& folder);


}  // namespace files
