#include "FileKinds.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>

namespace files {

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/') path += '/';
    path += name;
    return path;
}

namespace {
std::optional<struct stat> statOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return st;
}

std::int64_t millisOf(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

// Calls `each(name, stat or none)` for every entry but "." and "..".
template <typename Each>
void forEachEntry(const std::string& folder, Each each) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return;
    while (const dirent* e = ::readdir(dir.get())) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        each(std::string(e->d_name), statOf(joinPath(folder, e->d_name)));
    }
}
}  // namespace

bool isOpenableFile(const std::string& path) {
    const auto st = statOf(path);
    return st && S_ISREG(st->st_mode);
}

bool isFolder(const std::string& path) {
    const auto st = statOf(path);
    return st && S_ISDIR(st->st_mode);
}

std::vector<std::string> scanFolders(const std::string& folder) {
    std::vector<std::string> out;
    forEachEntry(folder, [&](std::string name, const std::optional<struct stat>& st) {
        if (st && S_ISDIR(st->st_mode)) out.push_back(std::move(name));
    });
    return out;
}

std::vector<ScannedFile> scanFiles(const std::string& folder) {
    std::vector<ScannedFile> out;
    forEachEntry(folder, [&](std::string name, const std::optional<struct stat>& st) {
        if (st && S_ISDIR(st->st_mode)) return;
        out.push_back({std::move(name), st ? std::optional<std::int64_t>(millisOf(*st)) : std::nullopt});
    });
    return out;
}

}  // namespace files
