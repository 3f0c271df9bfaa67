#include "PrefetchRules.h"

#include "shared/MediaTypes.h"

#include <algorithm>
#include <filesystem>

namespace player {

std::vector<int> prefetchOrder(int position, int count) {
    std::vector<int> order;
    if (count <= 1 || position < 0 || position >= count) return order;
    const int next = position + 1 < count ? position + 1 : 0;
    const int previous = position > 0 ? position - 1 : count - 1;
    order.push_back(next);
    if (previous != next) order.push_back(previous);
    return order;
}

std::vector<int> keptPositions(int position, int count) {
    std::vector<int> kept;
    if (position < 0 || position >= count) return kept;
    kept.push_back(position);
    for (int p : prefetchOrder(position, count)) kept.push_back(p);
    return kept;
}

bool keepCached(const std::string& path, const std::vector<std::string>& keptPaths) {
    return std::find(keptPaths.begin(), keptPaths.end(), path) != keptPaths.end();
}

bool isPrefetchable(const std::string& path) {
    if (path.empty()) return false;
    const std::string name = std::filesystem::path(path).filename().string();
    return media::isImage(media::extension(name));
}

}  // namespace player
