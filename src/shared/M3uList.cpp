#include "M3uList.h"

#include "FileKinds.h"
#include "MediaTypes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <utility>

namespace m3u {
namespace {

using FileId = std::pair<dev_t, ino_t>;

// The first `limit` bytes of a regular file, opened without blocking ("" for
// anything else).
bool readHead(const std::string& path, std::size_t limit, std::string& out, FileId* id = nullptr) {
    out.clear();
    if (!files::isOpenableFile(path)) return false;
    struct stat st {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    if (id) *id = {st.st_dev, st.st_ino};
    out.resize(std::min<std::size_t>(limit, static_cast<std::size_t>(st.st_size)));
    std::size_t filled = 0;
    while (filled < out.size()) {
        const ssize_t n = ::read(fd, out.data() + filled, out.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        filled += static_cast<std::size_t>(n);
    }
    out.resize(filled);
    ::close(fd);
    return true;
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kHeader = "#EXTM3U";

bool startsWithHeader(std::string_view text) {
    if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
    return text.substr(0, kHeader.size()) == kHeader;
}

bool isListName(const std::string& path) {
    const std::string ext = media::extension(path.substr(path.rfind('/') + 1));
    return ext == "M3U" || ext == "M3U8";
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = s[i] >= 'A' && s[i] <= 'Z' ? static_cast<char>(s[i] - 'A' + 'a') : s[i];
        if (c != prefix[i]) return false;
    }
    return true;
}

class Expander {
public:
    std::vector<std::string> entries;

    void expand(const std::string& list, std::vector<FileId>& chain) {
        std::string text;
        FileId id{};
        if (!readHead(list, kMaxListBytes, text, &id)) return;
        if (std::find(chain.begin(), chain.end(), id) != chain.end()) return;
        if (static_cast<int>(chain.size()) >= kMaxDepth) return;
        chain.push_back(id);
        const std::string folder = list.substr(0, list.rfind('/') + 1);
        std::string_view rest(text);
        while (!rest.empty() && entries.size() < kMaxEntries) {
            const std::size_t end = rest.find_first_of("\r\n");
            const std::string_view line = trimmed(rest.substr(0, end));
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
            if (line.empty() || line.front() == '#') continue;
            take(line, folder, chain);
        }
        chain.pop_back();
    }

private:
    void take(std::string_view line, const std::string& folder, std::vector<FileId>& chain) {
        if (startsWithNoCase(line, "http://") || startsWithNoCase(line, "https://")) {
            entries.emplace_back(line);
            return;
        }
        std::string path;
        if (startsWithNoCase(line, "file://")) {
            path = percentDecoded(line.substr(7));
        } else if (line.find("://") != std::string_view::npos) {
            return;  // no other kind of address is played
        } else {
            path = line.front() == '/' ? std::string(line) : folder + std::string(line);
        }
        if (path.empty() || path.front() != '/') return;
        std::string head;
        FileId id{};
        // Missing files, FIFOs, devices and folders cannot play.
        if (!readHead(path, kHeader.size() + kBom.size(), head, &id)) return;
        if (isListName(path) || startsWithHeader(head)) {
            expand(path, chain);
        } else {
            entries.push_back(std::move(path));
        }
    }
};

}  // namespace

bool isList(const std::string& path) {
    std::string head;
    if (!readHead(path, kHeader.size() + kBom.size(), head)) return isListName(path);
    return isListName(path) || startsWithHeader(head);
}

std::vector<std::string> playable(const std::string& path) {
    Expander e;
    std::vector<FileId> chain;
    e.expand(path, chain);
    return std::move(e.entries);
}

}  // namespace m3u
