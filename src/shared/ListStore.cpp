#include "ListStore.h"

#include "IniFile.h"
#include "TextCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace liststore {

std::string entryKey(int index) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "LIST%03d", index);
    return buf;
}

std::string listFilePath(std::string_view prefix, int page, int list) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.INI", page * 10 + list);
    return std::string(prefix) + buf;
}

std::string entryValue(const Entry& entry) { return entry.name + "|" + entry.path; }

bool parseEntry(std::string_view value, Entry& entry) {
    const std::size_t bar = value.find('|');
    if (bar == std::string_view::npos || bar == 0) return false;
    entry.name = std::string(value.substr(0, bar));
    entry.path = std::string(value.substr(bar + 1));
    return true;
}

ListFile readListFile(const std::string& path) {
    const ini::Snapshot file = ini::Snapshot::load(path);
    ListFile list;
    list.name = textcodec::decode(file.read(kSection, kNameKey));
    for (int i = 0; i < kMaxEntries; ++i) {
        // Decode before splitting: a Shift-JIS trail byte can equal "|".
        Entry entry;
        if (!parseEntry(textcodec::decode(file.read(kSection, entryKey(i))), entry)) break;
        list.entries.push_back(std::move(entry));
    }
    return list;
}

bool isStorable(const Entry& entry) {
    constexpr std::string_view kBreaks("\r\n\0", 3);
    return !entry.name.empty() && entry.name.find('|') == std::string::npos &&
           entry.name.find_first_of(kBreaks) == std::string::npos &&
           entry.path.find_first_of(kBreaks) == std::string::npos;
}

errors::Outcome<> writeListFile(const std::string& path, std::string_view listName, const std::vector<Entry>& entries) {
    // A list is stored whole or not at all: half a list would read as another list.
    if (listName.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        return errors::systemFailure(EINVAL);
    }
    std::vector<ini::Write> writes;
    writes.reserve(kMaxEntries + 1);
    writes.push_back({std::string(kSection), std::string(kNameKey), std::string(listName)});
    for (int i = 0; i < kMaxEntries; ++i) {
        std::string value(kFiller);
        if (i < static_cast<int>(entries.size())) {
            if (!isStorable(entries[static_cast<std::size_t>(i)])) return errors::systemFailure(EINVAL);
            value = entryValue(entries[static_cast<std::size_t>(i)]);
        }
        writes.push_back({std::string(kSection), entryKey(i), std::move(value)});
    }
    return ini::writeProfileBatch(path, writes);
}

errors::Outcome<> deleteListFile(const std::string& path) {
    if (std::remove(path.c_str()) == 0) return {};
    return errors::systemFailure(errno);
}

std::string DevFName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(0, dot));
}

void loadPlayList(mdlPublic::PublicState& state) {
    const ListFile list = readListFile(listFilePath(state.listPrefix, state.pageNum, state.fileNum));
    auto& pl = state.playList;
    pl.titles.fill({});
    pl.paths.fill({});
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        pl.titles[i] = DevFName(list.entries[i].name);
        pl.paths[i] = list.entries[i].path;
    }
    pl.count = static_cast<std::int16_t>(list.entries.size());
}

void handOver(mdlPublic::PlayList& pl, const std::vector<Entry>& entries) {
    pl.titles.fill({});
    pl.paths.fill({});
    const std::size_t n = std::min<std::size_t>(entries.size(), kMaxEntries);
    for (std::size_t i = 0; i < n; ++i) {
        pl.titles[i] = entries[i].name;
        pl.paths[i] = entries[i].path;
    }
    pl.count = static_cast<std::int16_t>(n);
    pl.position = 0;
}

}  // namespace liststore
