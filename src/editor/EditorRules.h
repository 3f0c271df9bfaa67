#pragma once
// Rules of the file list editor that need no window: twips, the folder
// listing, the path walk of the tree, the selection summary and the values the
// editor stores on closing. Qt Core at most.

#include "shared/IniFile.h"
#include "shared/Settings.h"

#include <QDateTime>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace editor {

// A remembered window frame that no screen shows enough of to grab (written
// while minimised, or for a display no longer there) is moved onto `primary`,
// shrunk to fit it; any other frame is kept as it is.
QRect bringOntoScreen(const QRect& frame, const std::vector<QRect>& screens, const QRect& primary);
// The pixel width in twips as the layout takes it: the nearest whole number.
double wholePixel(double twipsPerPixel);

// "YY/MM/DD HH:MM" of the file view's date column and the preview.
QString listTime(const QDateTime& time);

// Names as the file system holds them, carried in a QString without loss: a
// byte that is not part of valid UTF-8 stands as the lone code unit
// U+DC80..U+DCFF, so the name reaches the file system again unchanged.
QString fromRawName(const std::string& bytes);
std::string toRawName(const QString& text);
// Whether the text holds such a byte: a name no list file can keep as it is.
bool holdsRawBytes(const QString& text);

// A local file URL of such a path and back, the bytes kept (percent-encoded).
QUrl urlOfPath(const QString& path);
QString pathOfUrl(const QUrl& url);

// Folder scan: whether an entry of a directory listing is offered as a folder.
bool isListedFolderName(const QString& name);
// The tree's order of folder names, as file managers sort them: letters
// without regard to case, runs of digits by their value ("2" before "10");
// names equal that way fall back to their plain order, so the order is total.
bool folderNameLess(const QString& a, const QString& b);

// A row of the file view, when the type filter accepts the file.
struct FileRow {
    QString key;   // folder path + name
    QString name;
    QString type;  // type name, also the icon key
    QString time;  // ListTime of the modification time
};
std::optional<FileRow> makeFileRow(int filterIndex, const QString& folderPath, const QString& name,
                                   const QDateTime& modified);

// The drive of a path: the longest mount root the path starts with (a root
// matches only at a "/" boundary). Empty when none matches.
QString driveOf(const QString& path, const QStringList& roots);

// Folder path of a drive root: the root ending in "/".
QString rootFolderPath(const QString& root);

// Segments the tree walk of tvRefresh follows below the drive root, in order:
// "/home/u/Show/" on drive "/" gives home, u, Show. Empty segments (doubled
// "/") are skipped. A path outside the drive gives none.
QStringList walkSegments(const QString& folderPath, const QString& root);

// Index of the first child whose text equals `segment` exactly (case-sensitive), or -1.
int childIndexOf(const QStringList& childTexts, const QString& segment);

// The preview's summary of several selected items.
QString selectionSummary(const QStringList& names);

// Kind of preview a type name gets.
enum class PreviewKind { Movie, Image, Other };
PreviewKind kindOf(std::string_view typeName);

// "更新日時: " + ListTime.
QString previewTimeText(const QDateTime& time);

// The view as it stands when the editor closes.
struct CloseView {
    std::string defPath;
    double left = 0, top = 0, width = 0, height = 0;  // outer frame, twips
    int windowState = 0;                              // 0 normal, 1 minimised, 2 maximised
    std::int16_t viewMode = settings::kViewMode.fallback;
    std::int16_t pattern = settings::kPattern.fallback;
    std::string intervalText;  // text of txtTime
    // The display time value, used when the box text is not numeric.
    std::int16_t intervalValue = settings::kInterval.fallback;
    std::int16_t unit = settings::kUnit.fallback;
    std::int16_t fileNum = 0, pageNum = 0;
    double bar1 = 0, bar2 = 0, bar3 = 0;
    double head1 = 0, head2 = 0, head3 = 0;
    std::int16_t sortKey = settings::kSortKey.fallback, sortOrder = settings::kSortOrder.fallback;
    bool toolBar = settings::kToolBar.fallback, customBar = settings::kCustomBar.fallback;
    bool statusBar = settings::kStatusBar.fallback, preview = settings::kPreview.fallback;
};
// The keys in the order they are written, with their texts.
std::vector<settings::Entry> closeValues(const CloseView& v);

// The view settings applied on opening; a key missing, not numeric or out of
// range is left unset, or takes its fallback.
struct OpenView {
    std::int16_t viewMode = settings::kViewMode.fallback;
    std::int16_t pattern = settings::kPattern.fallback;
    std::string defPath;
    std::optional<double> left, top, width, height;
    bool maximised = false;
    std::optional<double> bar1, bar2, bar3;
    std::optional<double> head1, head2, head3;
    std::optional<std::int16_t> sortKey, sortOrder;
    bool toolBar = settings::kToolBar.fallback, customBar = settings::kCustomBar.fallback;
    bool statusBar = settings::kStatusBar.fallback, preview = settings::kPreview.fallback;
};
OpenView readOpenView(const ini::Snapshot& file);

}  // namespace editor
