#include "IniFile.h"

#include "TextCodec.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <list>
#include <system_error>

namespace ini {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kNewLine = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Bytes >= 0x80 are never folded: Shift-JIS trail bytes must compare exactly.
bool NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

std::string LowerName(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

bool HasLineBreakOrNul(std::string_view s) {
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
    bool Next(Line& line) {
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
    std::size_t Start() const { return m_content.substr(0, kBom.size()) == kBom ? kBom.size() : 0; }

private:
    std::string_view m_content;
    std::size_t m_pos = 0;
};

Parsed Classify(std::string_view raw) {
    const std::string_view t = Trim(raw);
    if (t.empty()) return {Kind::Blank, {}, false, {}};
    if (t.front() == ';') return {Kind::Comment, {}, false, {}};
    if (t.front() == '[') {
        std::string_view name = t.substr(1);
        const std::size_t close = name.find(']');
        if (close != std::string_view::npos) name = name.substr(0, close);
        return {Kind::Header, Trim(name), false, {}};
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return {Kind::Key, t, false, {}};
    return {Kind::Key, Trim(t.substr(0, eq)), true, Trim(t.substr(eq + 1))};
}

// The value as the reader hands it out: up to the first NUL, one outer pair of
// matching quotes removed, cut to the buffer.
std::string FinishValue(std::string_view v) {
    const std::size_t nul = v.find('\0');
    if (nul != std::string_view::npos) v = v.substr(0, nul);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    return detail::CutToBuffer(v);
}

mode_t CurrentUmask() {
    // Read once; umask() can only be read by setting it.
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

bool WriteAll(int fd, std::string_view data) {
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

std::string CutToBuffer(std::string_view value) {
    if (value.size() <= kMaxValueBytes) return std::string(value);
    std::size_t cut = kMaxValueBytes;
    if (textcodec::IsValidUtf8(value)) {
        while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
    } else {
        std::size_t i = 0;
        while (i < value.size()) {
            const std::size_t len = textcodec::IsSjisLeadByte(static_cast<unsigned char>(value[i])) ? 2 : 1;
            if (i + len > kMaxValueBytes) break;
            i += len;
        }
        cut = i;
    }
    return std::string(value.substr(0, cut));
}

}  // namespace detail

std::string ReadValue(std::string_view content, std::string_view section, std::string_view key) {
    LineReader reader(content);
    Line line{};
    bool inSection = false;
    while (reader.Next(line)) {
        const Parsed p = Classify(content.substr(line.begin, line.end - line.begin));
        if (p.kind == Kind::Header) {
            // Only the first section of a name is searched.
            if (inSection) return {};
            inSection = NamesEqual(p.name, section);
        } else if (inSection && p.kind == Kind::Key && NamesEqual(p.name, key)) {
            return p.hasValue ? FinishValue(p.value) : std::string();
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
        m_prefix = std::string(content.substr(0, reader.Start()));
        Line line{};
        SectionIndex* current = nullptr;
        while (reader.Next(line)) {
            const std::string_view raw = content.substr(line.begin, line.end - line.begin);
            const Parsed p = Classify(raw);
            auto it = m_lines.insert(m_lines.end(),
                                     LineRec{std::string(raw), std::string(content.substr(line.end, line.next - line.end)), 0});
            if (p.kind == Kind::Header) {
                auto [sec, inserted] = m_sections.try_emplace(LowerName(p.name));
                current = inserted ? &sec->second : nullptr;
                if (current) current->lastEntry = it;
            } else if (current && p.kind == Kind::Key) {
                it->nameEnd = static_cast<std::size_t>(p.name.data() + p.name.size() - raw.data());
                current->keys.try_emplace(LowerName(p.name), it);
                current->lastEntry = it;
            }
        }
    }

    void Set(std::string_view section, std::string_view key, std::string_view value) {
        const std::string lowerKey = LowerName(key);
        auto sec = m_sections.find(LowerName(section));
        if (sec != m_sections.end()) {
            auto k = sec->second.keys.find(lowerKey);
            if (k != sec->second.keys.end()) {
                // Keep the indentation and the key's spelling from the file.
                LineRec& line = *k->second;
                line.text.resize(line.nameEnd);
                line.text += '=';
                line.text.append(value);
                Terminate(line);
                return;
            }
            Terminate(*sec->second.lastEntry);
            auto it = m_lines.insert(std::next(sec->second.lastEntry), NewLine(key, value));
            sec->second.keys.emplace(lowerKey, it);
            sec->second.lastEntry = it;
            return;
        }
        if (!m_lines.empty()) Terminate(m_lines.back());
        std::string header = "[";
        header.append(section);
        header += ']';
        auto headerIt = m_lines.insert(m_lines.end(), LineRec{std::move(header), std::string(kNewLine), 0});
        auto it = m_lines.insert(m_lines.end(), NewLine(key, value));
        SectionIndex& index = m_sections[LowerName(section)];
        index.lastEntry = headerIt;
        index.keys.emplace(lowerKey, it);
        index.lastEntry = it;
    }

    std::string Serialise() const {
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

    static LineRec NewLine(std::string_view key, std::string_view value) {
        std::string text(key);
        text += '=';
        text.append(value);
        return LineRec{std::move(text), std::string(kNewLine), key.size()};
    }
    static void Terminate(LineRec& line) {
        if (line.eol.empty()) line.eol = kNewLine;
    }

    std::string m_prefix;  // a byte-order mark, kept as it was
    std::list<LineRec> m_lines;
    std::unordered_map<std::string, SectionIndex> m_sections;  // first section of each name only
};

// Names that would not read back as themselves are refused, so that a file
// always answers what was written into it.
bool IsWritable(std::string_view section, std::string_view key, std::string_view value) {
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value)) return false;
    if (section.find(']') != std::string_view::npos) return false;
    if (key.find('=') != std::string_view::npos) return false;
    return key.empty() || (key.front() != ';' && key.front() != '[');
}

}  // namespace

bool ApplyWrite(std::string& content, std::string_view section, std::string_view key,
                std::string_view value) {
    return ApplyWrites(content, {Write{std::string(section), std::string(key), std::string(value)}});
}

bool ApplyWrites(std::string& content, const std::vector<Write>& writes) {
    for (const Write& w : writes) {
        if (!IsWritable(Trim(w.section), Trim(w.key), w.value)) return false;
    }
    Document doc(content);
    for (const Write& w : writes) doc.Set(Trim(w.section), Trim(w.key), w.value);
    content = doc.Serialise();
    return true;
}

std::string LoadFile(const std::filesystem::path& file) {
    // A folder opens as a stream on Linux and reports an absurd size; it holds no profile.
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) return {};
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::string data;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size > 0) {
        data.resize(static_cast<std::size_t>(size));
        in.seekg(0, std::ios::beg);
        in.read(data.data(), size);
        data.resize(static_cast<std::size_t>(in.gcount()));
    } else {
        // Not seekable (a pipe or a special file): read it as a stream.
        in.clear();
        in.seekg(0, std::ios::beg);
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return data;
}

bool ReplaceFile(const std::filesystem::path& file, std::string_view content) {
    if (file.empty() || !file.has_filename()) return false;
    std::error_code ec;
    std::filesystem::path target = file;
    if (std::filesystem::is_symlink(file, ec)) {
        target = std::filesystem::weakly_canonical(file, ec);
        if (ec) return false;
    }
    std::filesystem::path dir = target.parent_path();
    if (dir.empty()) dir = ".";

    std::string tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return false;

    struct stat st {};
    const mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, content);
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = std::rename(tmpl.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(tmpl.c_str());
    return ok;
}

std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key) {
    return ReadValue(LoadFile(file), section, key);
}

bool WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value) {
    return WriteProfileBatch(file, {Write{std::string(section), std::string(key), std::string(value)}});
}

bool WriteProfileBatch(const std::filesystem::path& file, const std::vector<Write>& writes) {
    if (file.empty() || !file.has_filename()) return false;
    std::string content = LoadFile(file);
    return ApplyWrites(content, writes) && ReplaceFile(file, content);
}

Snapshot::Snapshot(std::string content) : m_content(std::move(content)) {
    // An index of a huge file would cost several times its size; such a file
    // (never one the programs write) is scanned at each lookup instead.
    m_indexed = m_content.size() <= kIndexLimit;
    if (!m_indexed) return;
    LineReader reader(m_content);
    Line line{};
    Section* current = nullptr;
    while (reader.Next(line)) {
        const Parsed p = Classify(std::string_view(m_content).substr(line.begin, line.end - line.begin));
        if (p.kind == Kind::Header) {
            auto [it, inserted] = m_sections.try_emplace(LowerName(p.name));
            current = inserted ? &it->second : nullptr;
        } else if (current && p.kind == Kind::Key) {
            const std::size_t start =
                p.hasValue ? static_cast<std::size_t>(p.value.data() - m_content.data()) : std::string::npos;
            current->keys.try_emplace(LowerName(p.name), start, p.value.size());
        }
    }
}

Snapshot Snapshot::Load(const std::filesystem::path& file) { return Snapshot(LoadFile(file)); }

std::string Snapshot::Read(std::string_view section, std::string_view key) const {
    if (!m_indexed) return ReadValue(m_content, section, key);
    const auto s = m_sections.find(LowerName(section));
    if (s == m_sections.end()) return {};
    const auto k = s->second.keys.find(LowerName(key));
    if (k == s->second.keys.end() || k->second.first == std::string::npos) return {};
    return FinishValue(std::string_view(m_content).substr(k->second.first, k->second.second));
}

}  // namespace ini
