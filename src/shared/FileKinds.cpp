#include "FileKinds.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>

namespace files {

namespace {
std::optional<struct stat> StatOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return st;
}

std::int64_t MillisOf(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

std::string Joined(const std::string& folder, const char* name) {
    if (!folder.empty() && folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

// Calls `each(name, stat or none)` for every entry but "." and "..".
template <typename Each>
void ForEachEntry(const std::string& folder, Each each) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return;
    while (const dirent* e = ::readdir(dir.get())) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        each(std::string(e->d_name), StatOf(Joined(folder, e->d_name)));
    }
}
}  // namespace

bool IsOpenableFile(const std::string& path) {
    const auto st = StatOf(path);
    return st && S_ISREG(st->st_mode);
}

bool IsFolder(const std::string& path) {
    const auto st = StatOf(path);
    return st && S_ISDIR(st->st_mode);
}

std::vector<std::string> ScanFolders(const std::string& folder) {
    std::vector<std::string> out;
    ForEachEntry(folder, [&](std::string name, const std::optional<struct stat>& st) {
        if (st && S_ISDIR(st->st_mode)) out.push_back(std::move(name));
    });
    return out;
}

std::vector<ScannedFile> ScanFiles(const std::string& folder) {
    std::vector<ScannedFile> out;
    ForEachEntry(folder, [&](std::string name, const std::optional<struct stat>& st) {
        if (st && S_ISDIR(st->st_mode)) return;
        out.push_back({std::move(name), st ? std::optional<std::int64_t>(MillisOf(*st)) : std::nullopt});
    });
    return out;
}

}  // namespace files
