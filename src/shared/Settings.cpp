#include "Settings.h"

#include "Numeric.h"

namespace settings {
namespace {
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

const Key& Row(std::string_view name) {
    // The rows used here are constants of this file; a miss is a typo caught by the tests.
    return *Find(name);
}

template <typename T>
void ApplyWhole(const ini::Snapshot& file, std::string_view name, T& target) {
    if (const auto v = ReadWhole(file, Row(name))) target = static_cast<T>(*v);
}
}  // namespace

const Key* Find(std::string_view name) {
    for (const Key& k : kKeys) {
        if (SameName(k.name, name)) return &k;
    }
    return nullptr;
}

std::optional<std::int64_t> ReadWhole(const ini::Snapshot& file, const Key& key) {
    return numeric::ToWhole(file.Read(kSection, key.name), key.min, key.max);
}

void LoadStartup(mdlPublic::PublicState& state) {
    LoadStartup(state, ini::Snapshot::Load(state.settingsPath));
}

void LoadStartup(mdlPublic::PublicState& s, const ini::Snapshot& file) {
    // A fixed size needs both numbers; half a size is full screen.
    s.fixedWidth = s.fixedHeight = 0;
    if (file.Read(kSection, "SIZE") == "ON") {
        const auto h = ReadWhole(file, Row("HSIZE"));
        const auto w = ReadWhole(file, Row("WSIZE"));
        if (h && w) {
            s.fixedHeight = static_cast<std::int32_t>(*h);
            s.fixedWidth = static_cast<std::int32_t>(*w);
        }
    }
    s.interval = 10;
    ApplyWhole(file, "INTERVAL", s.interval);
    ApplyWhole(file, "FILENUM", s.fileNum);
    ApplyWhole(file, "PAGENUM", s.pageNum);
    s.backColor = 0;
    ApplyWhole(file, "BACKCOLOR", s.backColor);
    s.keys = mdlPublic::KeyTable{};
    ApplyWhole(file, "MyKeyLeft", s.keys.left);
    ApplyWhole(file, "MyKeyRight", s.keys.right);
    ApplyWhole(file, "MyKeyUp", s.keys.up);
    ApplyWhole(file, "MyKeyDown", s.keys.down);
    // The unit selector starts as it was left.
    s.unit = mdlPublic::kUnitSeconds;
    ApplyWhole(file, "UNIT", s.unit);
}

bool Write(const std::string& settingsPath, std::string_view key, std::string_view value) {
    return ini::WriteProfileString(settingsPath, kSection, key, value);
}

bool WriteMany(const std::string& settingsPath,
               std::span<const std::pair<std::string_view, std::string>> values) {
    std::vector<ini::Write> writes;
    writes.reserve(values.size());
    for (const auto& [key, value] : values) {
        writes.push_back({std::string(kSection), std::string(key), value});
    }
    return ini::WriteProfileBatch(settingsPath, writes);
}

}  // namespace settings
