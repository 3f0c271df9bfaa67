#include "IniFile.h"

#include "TextCodec.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <list>
#include <system_error>
#include <unordered_map>

namespace ini {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kNewLine = "\r\n";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Bytes >= 0x80 are never folded: Shift-JIS trail bytes must compare exactly.
bool namesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

std::string lowerName(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = asciiLower(c);
    return out;
}

bool hasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// One physical line: content [begin, end), next line starts at `next`. A line
// end is CR LF, LF or CR; runs of them make empty lines, which read as nothing.
struct Line {
    std::size_t begin;
    std::size_t end;
    std::size_t next;
};

enum class Kind { Blank, Comment, Header, Key };

struct Parsed {
    Kind kind;
    std::string_view name;   // section name for a header, key name for a key
    bool hasValue = false;   // key line holds "="
    std::string_view value;  // trimmed raw value
};

class LineReader {
public:
    explicit LineReader(std::string_view content) : m_content(content) {
        if (m_content.substr(0, kBom.size()) == kBom) m_pos = kBom.size();
    }
    bool next(Line& line) {
        if (m_pos >= m_content.size()) return false;
        const std::size_t end = m_content.find_first_of("\r\n", m_pos);
        line.begin = m_pos;
        if (end == std::string_view::npos) {
            line.end = line.next = m_content.size();
        } else {
            line.end = end;
            line.next = end + 1;
            if (m_content[end] == '\r' && end + 1 < m_content.size() && m_content[end + 1] == '\n') {
                line.next = end + 2;
            }
        }
        m_pos = line.next;
        return true;
    }
    // Offset where lines start (after a byte-order mark).
    std::size_t start() const { return m_content.substr(0, kBom.size()) == kBom ? kBom.size() : 0; }

private:
    std::string_view m_content;
    std::size_t m_pos = 0;
};

Parsed classify(std::string_view raw) {
    const std::string_view t = trim(raw);
    if (t.empty()) return {Kind::Blank, {}, false, {}};
    if (t.front() == ';') return {Kind::Comment, {}, false, {}};
    if (t.front() == '[') {
        std::string_view name = t.substr(1);
        const std::size_t close = name.find(']');
        if (close != std::string_view::npos) name = name.substr(0, close);
        return {Kind::Header, trim(name), false, {}};
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return {Kind::Key, t, false, {}};
    return {Kind::Key, trim(t.substr(0, eq)), true, trim(t.substr(eq + 1))};
}

// The value as the reader hands it out: up to the first NUL, one outer pair of
// matching quotes removed, cut to the buffer.
std::string finishValue(std::string_view v) {
    const std::size_t nul = v.find('\0');
    if (nul != std::string_view::npos) v = v.substr(0, nul);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    return detail::cutToBuffer(v);
}

mode_t currentUmask() {
    // Read once; umask() can only be read by setting it.
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

namespace detail {

std::string cutToBuffer(std::string_view value) {
    if (value.size() <= kMaxValueBytes) return std::string(value);
    std::size_t cut = kMaxValueBytes;
    if (textcodec::isValidUtf8(value)) {
        while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
    } else {
        std::size_t i = 0;
        while (i < value.size()) {
            const std::size_t len = textcodec::isSjisLeadByte(static_cast<unsigned char>(value[i])) ? 2 : 1;
            if (i + len > kMaxValueBytes) break;
            i += len;
        }
        cut = i;
    }
    return std::string(value.substr(0, cut));
}

}  // namespace detail

std::string readValue(std::string_view content, std::string_view section, std::string_view key) {
    LineReader reader(content);
    Line line{};
    bool inSection = false;
    while (reader.next(line)) {
        const Parsed p = classify(content.substr(line.begin, line.end - line.begin));
        if (p.kind == Kind::Header) {
            // Only the first section of a name is searched.
            if (inSection) return {};
            inSection = namesEqual(p.name, section);
        } else if (inSection && p.kind == Kind::Key && namesEqual(p.name, key)) {
            return p.hasValue ? finishValue(p.value) : std::string();
        }
    }
    return {};
}

namespace {

// The file as a list of lines for editing: many writes cost one parse and one
// serialisation, and every untouched byte is carried over as it was.
class Document {
public:
    explicit Document(std::string_view content) {
        LineReader reader(content);
        m_prefix = std::string(content.substr(0, reader.start()));
        Line line{};
        SectionIndex* current = nullptr;
        while (reader.next(line)) {
            const std::string_view raw = content.substr(line.begin, line.end - line.begin);
            const Parsed p = classify(raw);
            auto it = m_lines.insert(m_lines.end(),
                                     LineRec{std::string(raw), std::string(content.substr(line.end, line.next - line.end)), 0});
            if (p.kind == Kind::Header) {
                auto [sec, inserted] = m_sections.try_emplace(lowerName(p.name));
                current = inserted ? &sec->second : nullptr;
                if (current) current->lastEntry = it;
            } else if (current && p.kind == Kind::Key) {
                it->nameEnd = static_cast<std::size_t>(p.name.data() + p.name.size() - raw.data());
                current->keys.try_emplace(lowerName(p.name), it);
                current->lastEntry = it;
            }
        }
    }

    void set(std::string_view section, std::string_view key, std::string_view value) {
        const std::string lowerKey = lowerName(key);
        auto sec = m_sections.find(lowerName(section));
        if (sec != m_sections.end()) {
            auto k = sec->second.keys.find(lowerKey);
            if (k != sec->second.keys.end()) {
                // Keep the indentation and the key's spelling from the file.
                LineRec& line = *k->second;
                line.text.resize(line.nameEnd);
                line.text += '=';
                line.text.append(value);
                terminate(line);
                return;
            }
            terminate(*sec->second.lastEntry);
            auto it = m_lines.insert(std::next(sec->second.lastEntry), newLine(key, value));
            sec->second.keys.emplace(lowerKey, it);
            sec->second.lastEntry = it;
            return;
        }
        if (!m_lines.empty()) terminate(m_lines.back());
        std::string header = "[";
        header.append(section);
        header += ']';
        auto headerIt = m_lines.insert(m_lines.end(), LineRec{std::move(header), std::string(kNewLine), 0});
        auto it = m_lines.insert(m_lines.end(), newLine(key, value));
        SectionIndex& index = m_sections[lowerName(section)];
        index.lastEntry = headerIt;
        index.keys.emplace(lowerKey, it);
        index.lastEntry = it;
    }

    std::string serialise() const {
        std::size_t size = m_prefix.size();
        for (const LineRec& l : m_lines) size += l.text.size() + l.eol.size();
        std::string out;
        out.reserve(size);
        out += m_prefix;
        for (const LineRec& l : m_lines) {
            out += l.text;
            out += l.eol;
        }
        return out;
    }

private:
    struct LineRec {
        std::string text;  // without its line end
        std::string eol;   // "" only for an unterminated last line
        std::size_t nameEnd;  // key lines: where the key name ends in text
    };
    using LineIt = std::list<LineRec>::iterator;
    struct SectionIndex {
        std::unordered_map<std::string, LineIt> keys;  // first occurrence of each key
        LineIt lastEntry;                              // the header or the last non-comment entry
    };

    static LineRec newLine(std::string_view key, std::string_view value) {
        std::string text(key);
        text += '=';
        text.append(value);
        return LineRec{std::move(text), std::string(kNewLine), key.size()};
    }
    static void terminate(LineRec& line) {
        if (line.eol.empty()) line.eol = kNewLine;
    }

    std::string m_prefix;  // a byte-order mark, kept as it was
    std::list<LineRec> m_lines;
    std::unordered_map<std::string, SectionIndex> m_sections;  // first section of each name only
};

// Names that would not read back as themselves are refused, so that a file
// always answers what was written into it.
bool isWritable(std::string_view section, std::string_view key, std::string_view value) {
    if (hasLineBreakOrNul(section) || hasLineBreakOrNul(key) || hasLineBreakOrNul(value)) return false;
    if (section.find(']') != std::string_view::npos) return false;
    if (key.find('=') != std::string_view::npos) return false;
    return key.empty() || (key.front() != ';' && key.front() != '[');
}

}  // namespace

bool applyWrite(std::string& content, std::string_view section, std::string_view key,
                std::string_view value) {
    return applyWrites(content, {Write{std::string(section), std::string(key), std::string(value)}});
}

namespace {
// Applies the writes that can be stored; answers how many were refused.
std::size_t applyStorable(std::string& content, const std::vector<Write>& writes) {
    std::vector<const Write*> storable;
    storable.reserve(writes.size());
    for (const Write& w : writes) {
        if (isWritable(trim(w.section), trim(w.key), w.value)) storable.push_back(&w);
    }
    if (!storable.empty()) {
        Document doc(content);
        for (const Write* w : storable) doc.set(trim(w->section), trim(w->key), w->value);
        content = doc.serialise();
    }
    return writes.size() - storable.size();
}
}  // namespace

bool applyWrites(std::string& content, const std::vector<Write>& writes) {
    return applyStorable(content, writes) == 0;
}

namespace {

// Reads to the end of an open regular file; false when a read fails part-way.
bool readAll(int fd, std::string& out, std::size_t sizeHint) {
    out.clear();
    out.reserve(sizeHint);
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
}

bool isMissingError(int error) { return error == ENOENT || error == ENOTDIR; }

// Opens a regular file without following it into anything else: stat first so
// a device is never opened, O_NONBLOCK so a FIFO swapped in meanwhile cannot
// block, and fstat to check what was opened.
int openRegular(const std::filesystem::path& file, int flags, Presence& presence, struct stat& st) {
    if (::stat(file.c_str(), &st) != 0) {
        presence = isMissingError(errno) ? Presence::Missing : Presence::Unreadable;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        presence = Presence::NotRegular;
        return -1;
    }
    const int fd = ::open(file.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        presence = isMissingError(errno) ? Presence::Missing : Presence::Unreadable;
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        presence = Presence::NotRegular;
        return -1;
    }
    presence = Presence::Read;
    return fd;
}

// The file a write lands in: symbolic links followed to the end, also to a
// target that does not exist yet. False for a loop of links.
bool resolveTarget(const std::filesystem::path& file, std::filesystem::path& target) {
    target = file;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::error_code ec;
        const std::filesystem::path link = std::filesystem::read_symlink(target, ec);
        if (ec) return false;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return false;
}

// What the replacement must keep of the file it replaces.
struct Existing {
    bool exists = false;
    mode_t mode = 0;
    uid_t uid = 0;
    gid_t gid = 0;
};

// Loads the file about to be replaced. A missing file is an empty one; one that
// is not a regular file, cannot be read, or may not be written is refused, so
// a write never takes the place of content it could not see or may not change.
bool loadForWriting(const std::filesystem::path& target, std::string& content, Existing& old) {
    Presence presence = Presence::Missing;
    struct stat st {};
    const int fd = openRegular(target, O_RDWR, presence, st);
    content.clear();
    if (fd < 0) return presence == Presence::Missing;
    const bool ok = readAll(fd, content, static_cast<std::size_t>(st.st_size));
    ::close(fd);
    old = {true, static_cast<mode_t>(st.st_mode & 07777), st.st_uid, st.st_gid};
    return ok;
}

// Temporaries are named "." + file name + "." + six letters or digits + ".tmp",
// which no other file's temporary can be.
constexpr std::string_view kTempSuffix = ".tmp";
constexpr int kTempRandom = 6;

bool isTempOf(std::string_view entry, std::string_view name) {
    const std::size_t prefix = 1 + name.size() + 1;
    if (entry.size() != prefix + kTempRandom + kTempSuffix.size()) return false;
    if (entry[0] != '.' || entry.substr(1, name.size()) != name || entry[prefix - 1] != '.') return false;
    if (entry.substr(prefix + kTempRandom) != kTempSuffix) return false;
    const std::string_view random = entry.substr(prefix, kTempRandom);
    return std::all_of(random.begin(), random.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

// Removes temporaries of `name` left by killed writes. A writer holds a lock on
// its temporary until it is renamed, so one being written right now is kept.
void removeStaleTemps(const std::filesystem::path& dir, std::string_view name) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    const int dirFd = ::dirfd(d);
    while (const dirent* e = ::readdir(d)) {
        if (!isTempOf(e->d_name, name)) continue;
        const int fd = ::openat(dirFd, e->d_name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlinkat(dirFd, e->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(d);
}

bool replaceTarget(const std::filesystem::path& target, std::string_view content, const Existing& old) {
    std::filesystem::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    const std::string name = target.filename().string();

    std::string tmpl = (dir / ("." + name + "." + std::string(kTempRandom, 'X') + std::string(kTempSuffix))).string();
    const int fd = ::mkstemps(tmpl.data(), static_cast<int>(kTempSuffix.size()));
    if (fd < 0) return false;
    // The lock lives as long as `lockFd`, past the checked close of `fd`, so no
    // other writer takes this temporary for a stale one before the rename.
    ::flock(fd, LOCK_EX);
    const int lockFd = ::dup(fd);

    const mode_t mode = old.exists ? old.mode : (0666 & ~currentUmask());
    bool ok = ::fchmod(fd, mode) == 0;
    // Keep the owner of a file written by someone allowed to (best effort).
    if (ok && old.exists && (old.uid != ::geteuid() || old.gid != ::getegid())) {
        if (::fchown(fd, old.uid, old.gid) != 0) { /* the file becomes ours */ }
        ok = ::fchmod(fd, mode) == 0;  // chown clears set-id bits
    }
    ok = ok && writeAll(fd, content);
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = std::rename(tmpl.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(tmpl.c_str());
    if (lockFd >= 0) ::close(lockFd);
    if (ok) removeStaleTemps(dir, name);
    return ok;
}

}  // namespace

Loaded load(const std::filesystem::path& file) {
    Loaded loaded;
    struct stat st {};
    const int fd = openRegular(file, O_RDONLY, loaded.presence, st);
    if (fd < 0) return loaded;
    if (!readAll(fd, loaded.content, static_cast<std::size_t>(st.st_size))) {
        loaded.presence = Presence::Unreadable;
        loaded.content.clear();
    }
    ::close(fd);
    return loaded;
}

std::string loadFile(const std::filesystem::path& file) { return load(file).content; }

bool replaceFile(const std::filesystem::path& file, std::string_view content) {
    if (file.empty() || !file.has_filename()) return false;
    std::filesystem::path target;
    std::string old;
    Existing existing;
    return resolveTarget(file, target) && loadForWriting(target, old, existing) &&
           replaceTarget(target, content, existing);
}

bool copyFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (to.empty() || !to.has_filename()) return false;
    Presence presence = Presence::Missing;
    struct stat st {};
    const int fd = openRegular(from, O_RDONLY, presence, st);
    if (fd < 0) return false;
    std::string content;
    const bool read = readAll(fd, content, static_cast<std::size_t>(st.st_size));
    ::close(fd);
    std::filesystem::path target;
    // Ours from now on: the copy takes the source's mode, not the old owner.
    const Existing mode{true, static_cast<mode_t>(st.st_mode & 07777), ::geteuid(), ::getegid()};
    return read && resolveTarget(to, target) && replaceTarget(target, content, mode);
}

std::string readProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key) {
    return readValue(loadFile(file), section, key);
}

bool writeProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value) {
    return writeProfileBatch(file, {Write{std::string(section), std::string(key), std::string(value)}});
}

bool writeProfileBatch(const std::filesystem::path& file, const std::vector<Write>& writes) {
    if (file.empty() || !file.has_filename()) return false;
    std::filesystem::path target;
    std::string content;
    Existing existing;
    if (!resolveTarget(file, target) || !loadForWriting(target, content, existing)) return false;
    const std::size_t refused = applyStorable(content, writes);
    if (refused == writes.size()) return writes.empty() && replaceTarget(target, content, existing);
    return replaceTarget(target, content, existing) && refused == 0;
}

namespace {
// Names ordered by their ASCII-folded bytes, so equal means namesEqual.
int compareNames(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(asciiLower(a[i]));
        const auto y = static_cast<unsigned char>(asciiLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
}  // namespace

Snapshot::Snapshot(std::string content) : m_content(std::move(content)) {
    // One pass over the file and sorted offsets: linear in memory at any size,
    // and each lookup a binary search.
    const std::string_view text(m_content);
    const auto offset = [&](std::string_view part) { return static_cast<std::size_t>(part.data() - text.data()); };
    LineReader reader(text);
    Line line{};
    while (reader.next(line)) {
        const Parsed p = classify(text.substr(line.begin, line.end - line.begin));
        if (p.kind == Kind::Header) {
            if (!m_sections.empty()) m_sections.back().endEntry = m_entries.size();
            m_sections.push_back({offset(p.name), p.name.size(), m_entries.size(), m_entries.size()});
        } else if (!m_sections.empty() && p.kind == Kind::Key) {
            m_entries.push_back({offset(p.name), p.name.size(),
                                 p.hasValue ? offset(p.value) : std::string::npos, p.value.size()});
        }
    }
    if (!m_sections.empty()) m_sections.back().endEntry = m_entries.size();
    // Stable sorts keep equal names in file order: the first one found wins.
    const auto byEntryName = [this](const Entry& a, const Entry& b) {
        return compareNames(slice(a.nameBegin, a.nameSize), slice(b.nameBegin, b.nameSize)) < 0;
    };
    for (const Section& s : m_sections) {
        std::stable_sort(m_entries.begin() + static_cast<std::ptrdiff_t>(s.firstEntry),
                         m_entries.begin() + static_cast<std::ptrdiff_t>(s.endEntry), byEntryName);
    }
    std::stable_sort(m_sections.begin(), m_sections.end(), [this](const Section& a, const Section& b) {
        return compareNames(slice(a.nameBegin, a.nameSize), slice(b.nameBegin, b.nameSize)) < 0;
    });
}

Snapshot Snapshot::load(const std::filesystem::path& file) { return Snapshot(loadFile(file)); }

std::string_view Snapshot::slice(std::size_t begin, std::size_t size) const {
    return std::string_view(m_content).substr(begin, size);
}

std::string Snapshot::read(std::string_view section, std::string_view key) const {
    const auto s = std::lower_bound(m_sections.begin(), m_sections.end(), section,
                                    [this](const Section& a, std::string_view name) {
                                        return compareNames(slice(a.nameBegin, a.nameSize), name) < 0;
                                    });
    if (s == m_sections.end() || compareNames(slice(s->nameBegin, s->nameSize), section) != 0) return {};
    const auto first = m_entries.begin() + static_cast<std::ptrdiff_t>(s->firstEntry);
    const auto last = m_entries.begin() + static_cast<std::ptrdiff_t>(s->endEntry);
    const auto k = std::lower_bound(first, last, key, [this](const Entry& a, std::string_view name) {
        return compareNames(slice(a.nameBegin, a.nameSize), name) < 0;
    });
    if (k == last || compareNames(slice(k->nameBegin, k->nameSize), key) != 0) return {};
    if (k->valueBegin == std::string::npos) return {};
    return finishValue(slice(k->valueBegin, k->valueSize));
}

}  // namespace ini
