#include "Converter.h"

#include "shared/IniFile.h"
#include "shared/ListStore.h"
#include "shared/mdlPublic.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

namespace converter {
namespace {

constexpr std::string_view kNewSection = liststore::kSection;
constexpr std::string_view kNameKey = liststore::kNameKey;

enum class Presence { Missing, Unreadable, Read };

// The settings file as bytes. Unlike ini::loadFile this tells a file that
// cannot be read from an empty one, so a failed read is never taken for a file
// without lists.
Presence readSettings(const std::string& path, std::string& content) {
    ini::Loaded loaded = ini::load(path);
    switch (loaded.presence) {
    case ini::Presence::Read: content = std::move(loaded.content); return Presence::Read;
    case ini::Presence::Missing: return Presence::Missing;
    case ini::Presence::Unreadable: return Presence::Unreadable;
    case ini::Presence::NotRegular: break;
    }
    // A folder of that name is no settings file, as the existence test of the
    // Windows release would not find one either; a FIFO or a device is one
    // that cannot be read.
    std::error_code ec;
    return std::filesystem::is_directory(path, ec) ? Presence::Missing : Presence::Unreadable;
}

}  // namespace

Paths pathsOf(std::string_view folder) {
    return Paths{mdlPublic::settingsPathOf(folder), mdlPublic::listPrefixOf(folder)};
}

std::string oldSectionOf(int index) { return "FILE" + std::to_string(index); }

std::string listFileOf(std::string_view prefix, int index) {
    return liststore::listFilePath(prefix, index / 10, index % 10);
}

int barWidth(int index, int trackPixels) {
    const long long scaled = static_cast<long long>(trackPixels) * (index + 1);
    long long whole = scaled / 100;
    const long long rest = scaled % 100;
    if (rest > 50 || (rest == 50 && whole % 2 != 0)) ++whole;
    return static_cast<int>(whole);
}

std::string percentText(int index) { return std::to_string(index + 1) + "%"; }

errors::Outcome<Report> ChgINI(const Paths& paths, const ProgressFn& progress) {
    Report report;
    std::string content;
    switch (readSettings(paths.settingsFile, content)) {
    case Presence::Missing: return kSettingsMissing;
    case Presence::Unreadable: return kSettingsUnreadable;
    case Presence::Read: break;
    }
    const ini::Snapshot settings(std::move(content));

    std::vector<ini::Write> writes;
    writes.reserve(kEntryCount + 1);
    for (int i = 0; i < kListCount; ++i) {
        const std::string section = oldSectionOf(i);
        writes.clear();
        for (int j = 0; j < kEntryCount; ++j) {
            const std::string key = liststore::entryKey(j);
            std::string value = settings.read(section, key);
            // The first missing or empty entry ends the list.
            if (value.empty()) break;
            writes.push_back({std::string(kNewSection), key, std::move(value)});
        }
        if (!writes.empty()) {
            writes.push_back({std::string(kNewSection), std::string(kNameKey), settings.read(section, kNameKey)});
            const std::string file = listFileOf(paths.listPrefix, i);
            if (ini::writeProfileBatch(file, writes)) {
                ++report.listsWritten;
            } else {
                report.unwritable.push_back(file);
            }
        }
        if (progress) progress(i);
    }
    return report;
}

errors::Failure unwritableMessage(const std::vector<std::string>& files) {
    std::string text = "次のファイルに書き込めませんでした。";
    for (const std::string& f : files) {
        text += "\r\n";
        text += f;
    }
    return {text, mdlMessage::kCritical};
}

}  // namespace converter
