#include "IniFile.h"

#include "TextCodec.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <list>
#include <map>
#include <optional>
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

    bool emit(const Put& put) const {
        std::size_t pos = 0;
        auto ins = m_inserts.begin();
        auto edit = m_edits.begin();
        const auto putInserts = [&](std::size_t at) {
            for (; ins != m_inserts.end() && ins->first <= at; ++ins) {
                if (!put(m_content.substr(pos, ins->first - pos))) return false;
                pos = ins->first;
                for (const NewLine& l : ins->second) {
                    if (!put(l.text) || !put(kNewLine)) return false;
                }
            }
            return true;
        };
        for (; edit != m_edits.end(); ++edit) {
            const OrigLine& line = edit->second.line;
            if (!putInserts(line.begin)) return false;
            if (!put(m_content.substr(pos, line.begin - pos))) return false;
            const std::string_view text = edit->second.text ? std::string_view(*edit->second.text)
                                                            : m_content.substr(line.begin, line.end - line.begin);
            if (!put(text)) return false;
            const std::string_view eol = m_content.substr(line.end, line.next - line.end);
            if (!put(eol.empty() && edit->second.terminate ? kNewLine : eol)) return false;
            pos = line.next;
        }
        if (!putInserts(m_content.size())) return false;
        return put(m_content.substr(pos));
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
        plan.emit([&out](std::string_view bytes) {
            out.append(bytes);
            return true;
        });
        content = std::move(out);
    }
    return refused;
}
}  // namespace

bool applyWrites(std::string& content, const std::vector<Write>& writes) {
    return applyStorable(content, writes) == 0;
}

std::size_t refusedWrites(const std::vector<Write>& writes) {
    std::size_t refused = 0;
    storableWrites(writes, refused);
    return refused;
}

bool streamWrites(std::string_view content, const std::vector<Write>& writes, const Put& put) {
    std::size_t refused = 0;
    return EditPlan(content, storableWrites(writes, refused)).emit(put);
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
