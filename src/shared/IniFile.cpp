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
#include <functional>
#include <iterator>
#include <limits>
#include <list>
#include <map>
#include <optional>
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

// Where written bytes go: a string in memory, or a file being written.
class Sink {
public:
    virtual ~Sink() = default;
    virtual bool put(std::string_view bytes) = 0;
};

class StringSink final : public Sink {
public:
    explicit StringSink(std::string& out) : m_out(out) {}
    bool put(std::string_view bytes) override {
        m_out.append(bytes);
        return true;
    }

private:
    std::string& m_out;
};

// The writes applied to a file's bytes without copying them: one pass finds
// the few lines the writes touch, and the output is the untouched bytes
// streamed around the changed and inserted lines. Memory stays that of the
// edits, whatever the size of the file.
class EditPlan {
public:
    EditPlan(std::string_view content, const std::vector<const Write*>& writes) : m_content(content) {
        for (const Write* w : writes) {
            m_sections[lowerName(trim(w->section))].keys.try_emplace(lowerName(trim(w->key)));
        }
        scan();
        for (const Write* w : writes) set(trim(w->section), trim(w->key), w->value);
    }

    bool emit(Sink& sink) const {
        std::size_t pos = 0;
        auto ins = m_inserts.begin();
        auto edit = m_edits.begin();
        const auto putInserts = [&](std::size_t at) {
            for (; ins != m_inserts.end() && ins->first <= at; ++ins) {
                if (!sink.put(m_content.substr(pos, ins->first - pos))) return false;
                pos = ins->first;
                for (const NewLine& l : ins->second) {
                    if (!sink.put(l.text) || !sink.put(kNewLine)) return false;
                }
            }
            return true;
        };
        for (; edit != m_edits.end(); ++edit) {
            const OrigLine& line = edit->second.line;
            if (!putInserts(line.begin)) return false;
            if (!sink.put(m_content.substr(pos, line.begin - pos))) return false;
            const std::string_view text = edit->second.text ? std::string_view(*edit->second.text)
                                                            : m_content.substr(line.begin, line.end - line.begin);
            if (!sink.put(text)) return false;
            const std::string_view eol = m_content.substr(line.end, line.next - line.end);
            if (!sink.put(eol.empty() && edit->second.terminate ? kNewLine : eol)) return false;
            pos = line.next;
        }
        if (!putInserts(m_content.size())) return false;
        return sink.put(m_content.substr(pos));
    }

    std::size_t outputSizeHint() const {
        std::size_t size = m_content.size();
        for (const auto& [at, lines] : m_inserts)
            for (const NewLine& l : lines) size += l.text.size() + kNewLine.size();
        for (const auto& [at, e] : m_edits) size += (e.text ? e.text->size() : 0) + kNewLine.size();
        return size;
    }

private:
    struct OrigLine {
        std::size_t begin;
        std::size_t end;
        std::size_t next;
        std::size_t nameEnd;  // key lines: where the key name ends, from begin
    };
    struct OrigEdit {
        OrigLine line;
        std::optional<std::string> text;  // the new line without its end
        bool terminate = false;           // an unterminated last line gets CR LF
    };
    struct NewLine {
        std::string text;  // always followed by CR LF
        std::size_t nameEnd;
    };
    using NewLines = std::list<NewLine>;
    // A line of the output: one of the file's own, or one inserted at `anchor`
    // (the offset of the original line end it follows).
    struct LineRef {
        bool inserted = false;
        OrigLine orig{};
        std::size_t anchor = 0;
        NewLines::iterator it{};
    };
    struct SectionState {
        bool present = false;
        LineRef lastEntry;  // the header or the last non-comment entry
        std::unordered_map<std::string, std::optional<LineRef>> keys;  // asked for; first occurrence
    };

    void scan() {
        LineReader reader(m_content);
        Line line{};
        SectionState* current = nullptr;
        std::string lowered;
        while (reader.next(line)) {
            const std::string_view raw = m_content.substr(line.begin, line.end - line.begin);
            const Parsed p = classify(raw);
            const OrigLine orig{line.begin, line.end, line.next,
                                p.kind == Kind::Key ? static_cast<std::size_t>(p.name.data() + p.name.size() - raw.data()) : 0};
            m_lastLine = orig;
            m_hasLines = true;
            if (p.kind == Kind::Header) {
                lowered.assign(p.name);
                for (char& c : lowered) c = asciiLower(c);
                // Only the first section of a name is ever written to.
                const auto it = m_sections.find(lowered);
                current = it == m_sections.end() || it->second.present ? nullptr : &it->second;
                if (current) {
                    current->present = true;
                    current->lastEntry = origRef(orig);
                }
            } else if (current && p.kind == Kind::Key) {
                lowered.assign(p.name);
                for (char& c : lowered) c = asciiLower(c);
                const auto k = current->keys.find(lowered);
                if (k != current->keys.end() && !k->second) k->second = origRef(orig);
                current->lastEntry = origRef(orig);
            }
        }
    }

    static LineRef origRef(const OrigLine& l) {
        LineRef r;
        r.orig = l;
        return r;
    }

    OrigEdit& editOf(const OrigLine& l) {
        auto [it, inserted] = m_edits.try_emplace(l.begin);
        if (inserted) it->second.line = l;
        return it->second;
    }

    void terminate(const LineRef& r) {
        // Inserted lines always end in CR LF; only the file's last line may not.
        if (!r.inserted && r.orig.end == r.orig.next) editOf(r.orig).terminate = true;
    }

    LineRef insertAfter(const LineRef& after, NewLine line) {
        LineRef r;
        r.inserted = true;
        r.anchor = after.inserted ? after.anchor : after.orig.next;
        NewLines& lines = m_inserts[r.anchor];
        const auto where = after.inserted ? std::next(after.it) : lines.begin();
        r.it = lines.insert(where, std::move(line));
        return r;
    }

    static NewLine newLine(std::string_view key, std::string_view value) {
        std::string text(key);
        text += '=';
        text.append(value);
        return NewLine{std::move(text), key.size()};
    }

    void set(std::string_view section, std::string_view key, std::string_view value) {
        SectionState& sec = m_sections[lowerName(section)];
        std::optional<LineRef>& slot = sec.keys[lowerName(key)];
        if (sec.present && slot) {
            // Keep the indentation and the key's spelling from the file.
            std::string text;
            if (slot->inserted) {
                NewLine& line = *slot->it;
                line.text.resize(line.nameEnd);
                line.text += '=';
                line.text.append(value);
                return;
            }
            const OrigLine& l = slot->orig;
            text.assign(m_content.substr(l.begin, l.nameEnd));
            text += '=';
            text.append(value);
            OrigEdit& e = editOf(l);
            e.text = std::move(text);
            e.terminate = true;
            return;
        }
        if (sec.present) {
            terminate(sec.lastEntry);
            slot = sec.lastEntry = insertAfter(sec.lastEntry, newLine(key, value));
            return;
        }
        // A new section goes at the end, after the file's last line ends.
        NewLines& tail = m_inserts[m_content.size()];
        if (tail.empty() && m_hasLines) terminate(origRef(m_lastLine));
        std::string header = "[";
        header.append(section);
        header += ']';
        LineRef headerRef;
        headerRef.inserted = true;
        headerRef.anchor = m_content.size();
        headerRef.it = tail.insert(tail.end(), NewLine{std::move(header), 0});
        sec.present = true;
        slot = sec.lastEntry = insertAfter(headerRef, newLine(key, value));
    }

    std::string_view m_content;
    std::unordered_map<std::string, SectionState> m_sections;  // the sections written to
    std::map<std::size_t, OrigEdit> m_edits;                    // by line start
    std::map<std::size_t, NewLines> m_inserts;                  // by anchor
    OrigLine m_lastLine{};
    bool m_hasLines = false;
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
// The writes that can be stored; `refused` counts the others.
std::vector<const Write*> storableWrites(const std::vector<Write>& writes, std::size_t& refused) {
    std::vector<const Write*> storable;
    storable.reserve(writes.size());
    for (const Write& w : writes) {
        if (isWritable(trim(w.section), trim(w.key), w.value)) storable.push_back(&w);
    }
    refused = writes.size() - storable.size();
    return storable;
}

// Applies the writes that can be stored; answers how many were refused.
std::size_t applyStorable(std::string& content, const std::vector<Write>& writes) {
    std::size_t refused = 0;
    const std::vector<const Write*> storable = storableWrites(writes, refused);
    if (!storable.empty()) {
        const EditPlan plan(content, storable);
        std::string out;
        out.reserve(plan.outputSizeHint());
        StringSink sink(out);
        plan.emit(sink);
        content = std::move(out);
    }
    return refused;
}
}  // namespace

bool applyWrites(std::string& content, const std::vector<Write>& writes) {
    return applyStorable(content, writes) == 0;
}

namespace {

// Reads to the end of an open regular file straight into one buffer; false
// when a read fails part-way.
bool readAll(int fd, std::string& out, std::size_t sizeHint) {
    out.clear();
    out.resize(sizeHint);
    std::size_t filled = 0;
    char more[1 << 12];
    for (;;) {
        // Past the size the file had, a small block tells the end from growth,
        // so a full buffer is not reallocated just to find the end.
        const bool full = filled == out.size();
        const ssize_t n = full ? ::read(fd, more, sizeof more) : ::read(fd, out.data() + filled, out.size() - filled);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            out.clear();
            return false;
        }
        if (full) out.append(more, static_cast<std::size_t>(n));
        filled += static_cast<std::size_t>(n);
    }
    out.resize(filled);
    return true;
}

bool isMissingError(int error) { return error == ENOENT || error == ENOTDIR; }

// What following the links of a path found.
enum class Resolved {
    Ok,       // `target` holds the path without links (it may not exist)
    Refused,  // a link another user planted in a shared folder, or a loop
};

// Whether a link may be followed, by the rule the kernel applies with
// protected_symlinks: a link in a sticky folder that everyone may write (like
// /tmp) is followed only when it belongs to the follower or to the folder's
// owner. Applied by hand, as the kernel leaves it switched off on some systems
// and never applies it to links a program reads itself.
bool mayFollow(const std::string& folder, const struct stat& link) {
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0) return false;
    const bool shared = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == dir.st_uid;
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// The path a read or a write lands on, with every link of every component
// followed by hand, so that each hop of a chain is judged by mayFollow; the
// file opened afterwards is reached without following any link.
Resolved resolveTarget(const std::filesystem::path& file, std::filesystem::path& target) {
    std::error_code ec;
    const std::filesystem::path absolute = file.is_absolute() ? file : std::filesystem::current_path(ec) / file;
    if (ec) return Resolved::Refused;
    std::vector<std::string> pending;  // components still to walk, the next one last
    const auto push = [&pending](const std::filesystem::path& p) {
        std::vector<std::string> parts;
        for (const auto& part : p.relative_path()) parts.push_back(part.string());
        pending.insert(pending.end(), parts.rbegin(), parts.rend());
    };
    push(absolute);
    std::string resolved = "/";
    int links = 0;
    while (!pending.empty()) {
        const std::string part = std::move(pending.back());
        pending.pop_back();
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            // `resolved` holds no link, so its parent is the real one.
            resolved = std::filesystem::path(resolved).parent_path().string();
            continue;
        }
        std::string next = joined(resolved, part);
        struct stat st {};
        if (::lstat(next.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            resolved = std::move(next);
            continue;
        }
        if (++links > 40 || !mayFollow(resolved, st)) return Resolved::Refused;
        const std::filesystem::path link = std::filesystem::read_symlink(next, ec);
        if (ec) return Resolved::Refused;
        if (link.is_absolute()) resolved = "/";
        push(link);
    }
    target = resolved;
    return Resolved::Ok;
}

// Opens a regular file without following it into anything else: the path is
// resolved by hand first (a refused link reads as unreadable), lstat before
// opening so a device is never opened, O_NONBLOCK so a FIFO swapped in
// meanwhile cannot block, and fstat to check what was opened.
int openRegular(const std::filesystem::path& file, int flags, Presence& presence, struct stat& st) {
    std::filesystem::path target;
    if (resolveTarget(file, target) != Resolved::Ok) {
        presence = Presence::Unreadable;
        return -1;
    }
    if (::lstat(target.c_str(), &st) != 0) {
        presence = isMissingError(errno) ? Presence::Missing : Presence::Unreadable;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        presence = Presence::NotRegular;
        return -1;
    }
    const int fd = ::open(target.c_str(), flags | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
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

// Writes to a file descriptor through a block buffer, so that the many short
// pieces of an edit cost few system calls; long pieces go straight through.
class FdSink final : public Sink {
public:
    explicit FdSink(int fd) : m_fd(fd) { m_buffer.reserve(kBlock); }
    bool put(std::string_view bytes) override {
        if (!m_ok) return false;
        if (m_buffer.size() + bytes.size() > kBlock) m_ok = flush();
        if (!m_ok) return false;
        if (bytes.size() >= kBlock) return m_ok = writeAll(m_fd, bytes);
        m_buffer.append(bytes);
        return true;
    }
    bool flush() {
        if (m_ok && !m_buffer.empty()) m_ok = writeAll(m_fd, m_buffer);
        m_buffer.clear();
        return m_ok;
    }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    int m_fd;
    std::string m_buffer;
    bool m_ok = true;
};

// Writes the new content through `fill` into a temporary beside `target`,
// then renames it over the target.
bool replaceTarget(const std::filesystem::path& target, const std::function<bool(Sink&)>& fill, const Existing& old) {
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
    if (ok) {
        FdSink sink(fd);
        ok = fill(sink) && sink.flush();
    }
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = std::rename(tmpl.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(tmpl.c_str());
    if (lockFd >= 0) ::close(lockFd);
    if (ok) removeStaleTemps(dir, name);
    return ok;
}

bool replaceTarget(const std::filesystem::path& target, std::string_view content, const Existing& old) {
    return replaceTarget(target, [content](Sink& sink) { return sink.put(content); }, old);
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
    return resolveTarget(file, target) == Resolved::Ok && loadForWriting(target, old, existing) &&
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
    return read && resolveTarget(to, target) == Resolved::Ok && replaceTarget(target, content, mode);
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
    if (resolveTarget(file, target) != Resolved::Ok || !loadForWriting(target, content, existing)) return false;
    std::size_t refused = 0;
    const std::vector<const Write*> storable = storableWrites(writes, refused);
    if (storable.empty() && !writes.empty()) return false;
    // The old bytes are streamed into the new file around the edits: the file
    // is held in memory once, whatever its size.
    const EditPlan plan(content, storable);
    return replaceTarget(target, [&plan](Sink& sink) { return plan.emit(sink); }, existing) && refused == 0;
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
    // The key lines are counted first, so the index is made once at its
    // size: growing it step by step would hold two copies of it at the end.
    std::size_t keyLines = 0;
    LineReader counter(text);
    Line line{};
    while (counter.next(line)) {
        if (classify(text.substr(line.begin, line.end - line.begin)).kind == Kind::Key) ++keyLines;
    }
    m_entries.reserve(keyLines);
    LineReader reader(text);
    while (reader.next(line)) {
        const Parsed p = classify(text.substr(line.begin, line.end - line.begin));
        if (p.kind == Kind::Header) {
            if (!m_sections.empty()) m_sections.back().endEntry = m_entries.size();
            m_sections.push_back({offset(p.name), p.name.size(), m_entries.size(), m_entries.size()});
        } else if (!m_sections.empty() && p.kind == Kind::Key) {
            const std::size_t limit = std::numeric_limits<std::uint32_t>::max();
            m_entries.push_back({offset(p.name), static_cast<std::uint32_t>(std::min(p.name.size(), limit))});
        }
    }
    if (!m_sections.empty()) m_sections.back().endEntry = m_entries.size();
    // Equal names stay in file order, so the first one found wins; sorting by
    // name and then by place does that without a stable sort's buffer.
    const auto byEntryName = [this](const Entry& a, const Entry& b) {
        const int c = compareNames(slice(a.nameBegin, a.nameSize), slice(b.nameBegin, b.nameSize));
        return c != 0 ? c < 0 : a.nameBegin < b.nameBegin;
    };
    for (const Section& s : m_sections) {
        std::sort(m_entries.begin() + static_cast<std::ptrdiff_t>(s.firstEntry),
                  m_entries.begin() + static_cast<std::ptrdiff_t>(s.endEntry), byEntryName);
    }
    std::sort(m_sections.begin(), m_sections.end(), [this](const Section& a, const Section& b) {
        const int c = compareNames(slice(a.nameBegin, a.nameSize), slice(b.nameBegin, b.nameSize));
        return c != 0 ? c < 0 : a.nameBegin < b.nameBegin;
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
    // The value: what follows the first "=" after the name, to the line's end.
    const std::string_view text(m_content);
    const std::size_t after = k->nameBegin + k->nameSize;
    const std::size_t lineEnd = std::min(text.find_first_of("\r\n", after), text.size());
    const std::string_view rest = text.substr(after, lineEnd - after);
    const std::size_t eq = rest.find('=');
    if (eq == std::string_view::npos) return {};
    return finishValue(trim(rest.substr(eq + 1)));
}

}  // namespace ini
