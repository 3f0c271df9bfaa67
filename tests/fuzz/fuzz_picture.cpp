// Feeds arbitrary bytes to the picture header checks and checks what the
// decoders rely on: a picture judged within the budget has a size and costs
// no more than the budget, the check never reads outside the bytes (the
// sanitizers watch), an embedded colour profile stays bounded, and the text-chunk rule keeps every chunk that is no text.

#include "platform/ColourRules.h"
#include "platform/PictureRules.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pictures::MemorySource source(data, size);
    const pictures::Header h = pictures::readHeader(source);
    check(h.valid() == (h.format != pictures::Format::Unknown));
    for (const auto& [w, hh] : {std::pair<std::uint32_t, std::uint32_t>{0, 0}, {1, 1}, {128, 128}, {3840, 2160}}) {
        if (pictures::withinBudget(h, w, hh)) {
            check(h.width > 0 && h.height > 0);
            check(pictures::decodeCost(h, w, hh) <= pictures::kDecodeBudgetBytes);
        }
    }
    if (pictures::mayAnimate(h)) check(std::uint64_t(h.width) * h.height <= pictures::kAnimationPixels);
    // The embedded colour profile is looked for in the same bytes, bounded.
    check(colours::embeddedProfile(source, h.format).bytes.size() <= colours::kMaxProfileBytes + 82);

    if (size >= 4) {
        const std::string_view type(reinterpret_cast<const char*>(data), 4);
        const std::string_view keyword(reinterpret_cast<const char*>(data) + 4, size - 4);
        const bool text = type == "tEXt" || type == "zTXt" || type == "iTXt";
        const bool kept = pictures::keepPngChunk(type, keyword, std::uint32_t(size), true);
        check(text || kept);
        check(!pictures::keepPngChunk(type, keyword, std::uint32_t(size), false) || !text);
    }
    return 0;
}
