#include "Settings.h"

#include "Numeric.h"

namespace settings {
namespace {
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

const Key& rowOf(std::string_view name) {
    // The rows used here are constants of this file; a miss is a typo caught by the tests.
    return *find(name);
}

template <typename T>
void applyWhole(const ini::Snapshot& file, std::string_view name, T& target) {
    if (const auto v = readWhole(file, rowOf(name))) target = static_cast<T>(*v);
}
}  // namespace

const Key* find(std::string_view name) {
    for (const Key& k : kKeys) {
        if (sameName(k.name, name)) return &k;
    }
    return nullptr;
}

std::optional<std::int64_t> readWhole(const ini::Snapshot& file, const Key& key) {
    return numeric::toWhole(file.read(kSection, key.name), key.min, key.max);
}

void loadStartup(mdlPublic::PublicState& state) {
    loadStartup(state, ini::Snapshot::load(state.settingsPath));
}

void loadStartup(mdlPublic::PublicState& s, const ini::Snapshot& file) {
    // A fixed size needs both numbers; half a size is full screen.
    s.fixedWidth = s.fixedHeight = 0;
    if (file.read(kSection, "SIZE") == "ON") {
        const auto h = readWhole(file, rowOf("HSIZE"));
        const auto w = readWhole(file, rowOf("WSIZE"));
        if (h && w) {
            s.fixedHeight = static_cast<std::int32_t>(*h);
            s.fixedWidth = static_cast<std::int32_t>(*w);
        }
    }
    s.interval = 10;
    applyWhole(file, "INTERVAL", s.interval);
    applyWhole(file, "FILENUM", s.fileNum);
    applyWhole(file, "PAGENUM", s.pageNum);
    s.backColor = 0;
    applyWhole(file, "BACKCOLOR", s.backColor);
    s.keys = mdlPublic::KeyTable{};
    applyWhole(file, "MyKeyLeft", s.keys.left);
    applyWhole(file, "MyKeyRight", s.keys.right);
    applyWhole(file, "MyKeyUp", s.keys.up);
    applyWhole(file, "MyKeyDown", s.keys.down);
    // The unit selector starts as it was left.
    s.unit = mdlPublic::kUnitSeconds;
    applyWhole(file, "UNIT", s.unit);
}

bool write(const std::string& settingsPath, std::string_view key, std::string_view value) {
    return ini::writeProfileString(settingsPath, kSection, key, value);
}

bool writeMany(const std::string& settingsPath,
               std::span<const std::pair<std::string_view, std::string>> values) {
    std::vector<ini::Write> writes;
    writes.reserve(values.size());
    for (const auto& [key, value] : values) {
        writes.push_back({std::string(kSection), std::string(key), value});
    }
    return ini::writeProfileBatch(settingsPath, writes);
}

}  // namespace settings
