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

std::vector<settings::Entry> closeValues(const CloseView& v) {
    using namespace settings;
    // The box text as a whole number, even one past 16 bits; else the value in memory.
    std::string interval = textOf(v.intervalValue);
    if (const auto n = numeric::parse(v.intervalText)) {
        const double r = numeric::roundHalfEven(*n);
        if (std::fabs(r) < 1e9) interval = std::to_string(static_cast<long>(r));
    }
    return {
        entry(kDefPath, v.defPath),
        entry(kMainLeft, v.left),
        entry(kMainTop, v.top),
        entry(kMainWidth, v.width),
        entry(kMainHeight, v.height),
        entry(kWindowState, std::to_string(v.windowState)),
        entry(kViewMode, v.viewMode),
        entry(kPattern, v.pattern),
        {kInterval.name, interval},
        entry(kUnit, v.unit),
        entry(kFileNum, v.fileNum),
        entry(kPageNum, v.pageNum),
        entry(kBar1, v.bar1),
        entry(kBar2, v.bar2),
        entry(kBar3, v.bar3),
        entry(kHead1, v.head1),
        entry(kHead2, v.head2),
        entry(kHead3, v.head3),
        entry(kSortKey, v.sortKey),
        entry(kSortOrder, v.sortOrder),
        entry(kToolBar, v.toolBar),
        entry(kCustomBar, v.customBar),
        entry(kStatusBar, v.statusBar),
        entry(kPreview, v.preview),
    };
}

OpenView readOpenView(const ini::Snapshot& file) {
    using namespace settings;
    OpenView v;
    // A numeric value the element refuses keeps its designed state.
    v.viewMode = value(file, kViewMode);
    v.pattern = value(file, kPattern);
    // Shift-JIS from the Windows release decodes like every other value.
    v.defPath = textcodec::decode(read(file, kDefPath));
    v.left = read(file, kMainLeft);
    v.top = read(file, kMainTop);
    v.width = read(file, kMainWidth);
    v.height = read(file, kMainHeight);
    v.maximised = read(file, kWindowState).starts_with('2');
    v.bar1 = read(file, kBar1);
    v.bar2 = read(file, kBar2);
    v.bar3 = read(file, kBar3);
    v.head1 = read(file, kHead1);
    v.head2 = read(file, kHead2);
    v.head3 = read(file, kHead3);
    v.sortKey = read(file, kSortKey);
    v.sortOrder = read(file, kSortOrder);
    v.toolBar = value(file, kToolBar);
    v.customBar = value(file, kCustomBar);
    v.statusBar = value(file, kStatusBar);
    v.preview = value(file, kPreview);
    return v;
}

}  // namespace editor
