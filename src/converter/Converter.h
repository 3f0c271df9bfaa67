#pragma once
// Copying the file lists of release 1.01, kept inside the settings file as
// sections FILE0 ... FILE99, into the list files FILE00.INI ... FILE99.INI.
//
// Plain code without a display: the window only shows the progress it reports.
// Values are copied as the bytes the INI engine reads (Shift-JIS stays
// Shift-JIS), cut to the reader's 511 bytes.

#include "dialogs/MessageFlags.h"
#include "shared/Outcome.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace converter {

inline constexpr int kListCount = 100;
inline constexpr int kEntryCount = 256;
// The progress track is 4575 twips wide: 305 pixels at 15 twips per pixel.
inline constexpr int kTrackPixels = 305;

struct Paths {
    std::string settingsFile;  // VISTROVA.INI
    std::string listPrefix;    // folder + "/FILE"
};

// The settings file and list prefix of a program folder.
Paths pathsOf(std::string_view folder);

// Old section of list `index`: "FILE" + index without leading zeros.
std::string oldSectionOf(int index);

// New list file of list `index`: prefix + two digits + ".INI".
std::string listFileOf(std::string_view prefix, int index);

// Width of the bar after list `index` (0-based): trackPixels * (index + 1) / 100,
// rounded to the nearest pixel with halves to the even neighbour.
int barWidth(int index, int trackPixels = kTrackPixels);

// "1%" ... "100%" after list `index`.
std::string percentText(int index);

// The two failures before any list is touched, as their boxes show them.
inline const errors::Failure kSettingsMissing{"[Vistrova.INI]が見つかりません。", mdlMessage::kExclamation};
inline const errors::Failure kSettingsUnreadable{"[Vistrova.INI]を読み込めませんでした。", mdlMessage::kCritical};

// A conversion that handled every list (some files may not have been writable).
struct Report {
    int listsWritten = 0;
    std::vector<std::string> unwritable;  // list files that could not be written, in list order
};

// Called once after each list, with its 0-based number, on the caller's thread.
using ProgressFn = std::function<void(int index)>;

// The conversion. The settings file is read once; each list file that gets
// entries is written as one atomic replace, so an interrupted run leaves every
// list file either as it was or fully converted. Keys of an existing list file
// that the old section does not have stay as they were. Fails with
// kSettingsMissing or kSettingsUnreadable, having touched nothing.
errors::Outcome<Report> ChgINI(const Paths& paths, const ProgressFn& progress = {});

// The box telling of list files that could not be written: the message line,
// CR LF, then one file per line.
errors::Failure unwritableMessage(const std::vector<std::string>& files);

}  // namespace converter
