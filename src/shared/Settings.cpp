#include "Settings.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace settings {

std::string read(const ini::Snapshot& file, const Key<std::string_view>& key) {
    return file.read(kSection, key.name);
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

void loadStartup(mdlPublic::PublicState& state) {
    loadStartup(state, ini::Snapshot::load(state.settingsPath));
}

void loadStartup(mdlPublic::PublicState& s, const ini::Snapshot& file) {
    // A fixed size needs both numbers; half a size is full screen.
    s.fixedWidth = s.fixedHeight = 0;
    if (read(file, kSize) == "ON") {
        const auto h = read(file, kHSize);
        const auto w = read(file, kWSize);
        if (h && w) {
            s.fixedHeight = *h;
            s.fixedWidth = *w;
        }
    }
    s.interval = value(file, kInterval);
    // The list numbers stay as they are when the file has none.
    s.fileNum = read(file, kFileNum).value_or(s.fileNum);
    s.pageNum = read(file, kPageNum).value_or(s.pageNum);
    s.backColor = value(file, kBackColor);
    s.keys = {value(file, kMyKeyLeft), value(file, kMyKeyRight), value(file, kMyKeyUp), value(file, kMyKeyDown)};
    // The unit selector starts as it was left.
    s.unit = value(file, kUnit);
}

errors::Outcome<> write(const std::string& settingsPath, const Entry& written) {
    return ini::writeProfileString(settingsPath, kSection, written.first, written.second);
}

errors::Outcome<> writeMany(const std::string& settingsPath, std::span<const Entry> values) {
    std::vector<ini::Write> writes;
    writes.reserve(values.size());
    for (const auto& [key, text] : values) {
        writes.push_back({std::string(kSection), std::string(key), text});
    }
    return ini::writeProfileBatch(settingsPath, writes);
}

}  // namespace settings
