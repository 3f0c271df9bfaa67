#include "EditorRules.h"

#include "shared/MediaTypes.h"
#include "shared/Numeric.h"
#include "shared/Settings.h"
#include "shared/TextCodec.h"

#include <cmath>
#include <cstdio>

namespace editor {


QRect bringOntoScreen(const QRect& frame, const std::vector<QRect>& screens, const QRect& primary) {
    // Enough of the window to grab its title bar: 64 x 32 pixels on one screen.
    for (const QRect& screen : screens) {
        const QRect seen = screen.intersected(frame);
        if (seen.width() >= 64 && seen.height() >= 32) return frame;
    }
    const QSize size = frame.size().boundedTo(primary.size()).expandedTo(QSize(1, 1));
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(primary.center());
    return placed;
}

double wholePixel(double twipsPerPixel) {
    const double p = numeric::roundHalfEven(twipsPerPixel);
    return p < 1 ? 1 : p;
}

std::string twipsText(double twips) {
    const float f = static_cast<float>(twips);
    if (!std::isfinite(f)) return "0";
    const double d = static_cast<double>(f);
    if (std::nearbyint(d) == d && std::fabs(d) < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", d);
        return std::string(buf) == "-0" ? "0" : buf;
    }
    // Seven significant digits, the precision of a single-precision number.
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.7g", d);
    return buf;
}

QString listTime(const QDateTime& time) {
    // Built by hand: a format string is parsed anew for every row of a big folder.
    const QDate d = time.date();
    const QTime t = time.time();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d %02d:%02d", ((d.year() % 100) + 100) % 100, d.month(), d.day(),
                  t.hour(), t.minute());
    return QString::fromLatin1(buf);
}

namespace {
// Length of the valid UTF-8 sequence at `i`, or 0 when the byte there starts none.
std::size_t Utf8Length(const std::string& s, std::size_t i) {
    const auto at = [&](std::size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
    const unsigned c = at(i);
    const auto cont = [&](std::size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) {
        return at(k) >= lo && at(k) <= hi;
    };
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return cont(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned lo = c == 0xE0 ? 0xA0 : 0x80;
        const unsigned hi = c == 0xED ? 0x9F : 0xBF;  // no surrogates
        return cont(i + 1, lo, hi) && cont(i + 2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned lo = c == 0xF0 ? 0x90 : 0x80;
        const unsigned hi = c == 0xF4 ? 0x8F : 0xBF;
        return cont(i + 1, lo, hi) && cont(i + 2) && cont(i + 3) ? 4 : 0;
    }
    return 0;
}

bool isRawByteUnit(char16_t u) { return u >= 0xDC80 && u <= 0xDCFF; }
}  // namespace

QString fromRawName(const std::string& bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t run = i;
        while (run < bytes.size()) {
            const std::size_t n = Utf8Length(bytes, run);
            if (n == 0) break;
            run += n;
        }
        out += QString::fromUtf8(bytes.data() + i, static_cast<qsizetype>(run - i));
        if (run < bytes.size()) out += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes[run++])));
        i = run;
    }
    return out;
}

std::string toRawName(const QString& text) {
    std::string out;
    qsizetype start = 0;
    const auto flush = [&](qsizetype end) {
        out += QStringView(text).mid(start, end - start).toUtf8().toStdString();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        // A low surrogate after a high one is half of a real character.
        if (!isRawByteUnit(u) || (i > 0 && text.at(i - 1).isHighSurrogate())) continue;
        flush(i);
        out += static_cast<char>(u - 0xDC00);
        start = i + 1;
    }
    flush(text.size());
    return out;
}

bool holdsRawBytes(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isRawByteUnit(text.at(i).unicode()) && !(i > 0 && text.at(i - 1).isHighSurrogate())) return true;
    }
    return false;
}

QUrl urlOfPath(const QString& path) {
    if (!holdsRawBytes(path)) return QUrl::fromLocalFile(path);
    const QByteArray raw = QByteArray::fromStdString(toRawName(path));
    return QUrl::fromEncoded(QByteArrayLiteral("file://") + raw.toPercentEncoding("/"));
}

QString pathOfUrl(const QUrl& url) {
    if (!url.isLocalFile()) return QString();
    const QByteArray encoded = url.path(QUrl::FullyEncoded).toLatin1();
    return fromRawName(QByteArray::fromPercentEncoding(encoded).toStdString());
}

bool isListedFolderName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           name != QLatin1String("pagefile.sys") && name != QLatin1String("?");
}

namespace {
// -1, 0 or 1: case-insensitive, digit runs by value (leading zeros ignored,
// then the shorter run first, so "01" and "1" differ only at the end).
int naturalCompare(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    int zeroTie = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit()) ++ei;
            while (ej < b.size() && b[ej].isDigit()) ++ej;
            qsizetype si = i, sj = j;
            while (si < ei - 1 && a[si].digitValue() == 0) ++si;
            while (sj < ej - 1 && b[sj].digitValue() == 0) ++sj;
            if (ei - si != ej - sj) return ei - si < ej - sj ? -1 : 1;
            for (qsizetype k = 0; k < ei - si; ++k) {
                const int da = a[si + k].digitValue(), db = b[sj + k].digitValue();
                if (da != db) return da < db ? -1 : 1;
            }
            if (zeroTie == 0 && ei - i != ej - j) zeroTie = ei - i < ej - j ? -1 : 1;
            i = ei;
            j = ej;
            continue;
        }
        const QChar ca = a[i].toCaseFolded(), cb = b[j].toCaseFolded();
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
    return zeroTie;
}
}  // namespace

bool folderNameLess(const QString& a, const QString& b) {
    const int c = naturalCompare(a, b);
    return c != 0 ? c < 0 : a < b;
}

std::optional<FileRow> makeFileRow(int filterIndex, const QString& folderPath, const QString& name,
                                   const QDateTime& modified) {
    const std::string ext = media::extension(name.toStdString());
    const media::TypeCheck check = media::ChkFType(filterIndex, ext);
    if (!check.accepted) return std::nullopt;
    FileRow row;
    row.key = folderPath + name;
    row.name = name;
    row.type = QString::fromStdString(check.typeName);
    row.time = listTime(modified);
    return row;
}

static bool startsAtBoundary(const QString& path, const QString& root) {
    if (root == QLatin1String("/")) return path.startsWith(QLatin1Char('/'));
    if (!path.startsWith(root)) return false;
    return path.size() == root.size() || path.at(root.size()) == QLatin1Char('/') ||
           root.endsWith(QLatin1Char('/'));
}

QString driveOf(const QString& path, const QStringList& roots) {
    QString best;
    for (const QString& root : roots) {
        if (root.isEmpty() || !startsAtBoundary(path, root)) continue;
        if (best.isEmpty() || root.size() > best.size()) best = root;
    }
    return best;
}

QString rootFolderPath(const QString& root) {
    return root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
}

QStringList walkSegments(const QString& folderPath, const QString& root) {
    if (root.isEmpty() || !startsAtBoundary(folderPath, root)) return {};
    const QString rest = folderPath.mid(root.size());
    QStringList out;
    for (const QString& part : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) out << part;
    // A last segment without its closing "/" names no folder to open.
    if (!folderPath.endsWith(QLatin1Char('/')) && !out.isEmpty()) out.removeLast();
    return out;
}

int childIndexOf(const QStringList& childTexts, const QString& segment) {
    for (int i = 0; i < childTexts.size(); ++i)
        if (childTexts.at(i) == segment) return i;
    return -1;
}

QString selectionSummary(const QStringList& names) {
    QString text = QString::number(names.size()) + QStringLiteral(" 個のオブジェクトを選択") + QStringLiteral("\r\n");
    for (const QString& name : names) text += QStringLiteral("\r\n") + name;
    return text;
}

PreviewKind kindOf(std::string_view t) {
    switch (media::kindOfType(t)) {
    case media::TypeKind::Clip:
    case media::TypeKind::Sound: return PreviewKind::Movie;
    case media::TypeKind::Picture: return PreviewKind::Image;
    case media::TypeKind::None: break;
    }
    return PreviewKind::Other;
}

QString previewTimeText(const QDateTime& time) { return QStringLiteral("更新日時: ") + listTime(time); }

static std::string intText(long v) { return std::to_string(v); }

std::vector<std::pair<std::string_view, std::string>> closeValues(const CloseView& v) {
    std::string interval = intText(v.intervalValue);
    if (const auto n = numeric::parse(v.intervalText)) {
        const double r = numeric::roundHalfEven(*n);
        if (std::fabs(r) < 1e9) interval = intText(static_cast<long>(r));
    }
    const auto flag = [](bool shown) { return std::string(shown ? "1" : "0"); };
    const std::string values[] = {
        v.defPath,
        twipsText(v.left),
        twipsText(v.top),
        twipsText(v.width),
        twipsText(v.height),
        intText(v.windowState),
        intText(v.viewMode),
        intText(v.pattern),
        interval,
        intText(v.unit),
        intText(v.fileNum),
        intText(v.pageNum),
        twipsText(v.bar1),
        twipsText(v.bar2),
        twipsText(v.bar3),
        twipsText(v.head1),
        twipsText(v.head2),
        twipsText(v.head3),
        intText(v.sortKey),
        intText(v.sortOrder),
        flag(v.toolBar),
        flag(v.customBar),
        flag(v.statusBar),
        flag(v.preview),
    };
    static_assert(std::size(values) == std::size(settings::kEditorCloseOrder));
    std::vector<std::pair<std::string_view, std::string>> out;
    for (std::size_t i = 0; i < std::size(values); ++i) out.emplace_back(settings::kEditorCloseOrder[i], values[i]);
    return out;
}

static std::optional<std::int64_t> whole(const ini::Snapshot& file, std::string_view name, std::int64_t min,
                                         std::int64_t max) {
    return numeric::toWhole(file.read(settings::kSection, name), min, max);
}

OpenView readOpenView(const ini::Snapshot& file) {
    OpenView v;
    const auto twips = [&](std::string_view name) -> std::optional<double> {
        if (auto w = whole(file, name, settings::kInt32Min, settings::kInt32Max)) return static_cast<double>(*w);
        return std::nullopt;
    };
    // A numeric value the element refuses keeps its designed state.
    if (auto m = whole(file, "ViewMode", 0, 3)) v.viewMode = static_cast<int>(*m);
    if (auto m = whole(file, "PATTERN", 0, 2)) v.pattern = static_cast<int>(*m);
    // Shift-JIS from the Windows release decodes like every other value.
    v.defPath = textcodec::decode(file.read(settings::kSection, "DEFPATH"));
    v.left = twips("MainLeft");
    v.top = twips("MainTop");
    v.width = twips("MainWidth");
    v.height = twips("MainHeight");
    v.maximised = file.read(settings::kSection, "WindowState").starts_with('2');
    v.bar1 = twips("Bar1");
    v.bar2 = twips("Bar2");
    v.bar3 = twips("Bar3");
    v.head1 = twips("Head1");
    v.head2 = twips("Head2");
    v.head3 = twips("Head3");
    if (auto k = whole(file, "SortKey", 0, 2)) v.sortKey = static_cast<int>(*k);
    if (auto o = whole(file, "SortOrder", 0, 1)) v.sortOrder = static_cast<int>(*o);
    const auto hidden = [&](std::string_view name) {
        const auto w = whole(file, name, settings::kInt16Min, settings::kInt16Max);
        return w && *w == 0;
    };
    v.toolBar = !hidden("ToolBar");
    v.customBar = !hidden("CustomBar");
    v.statusBar = !hidden("StatusBar");
    v.preview = !hidden("Preview");
    return v;
}

}  // namespace editor
