#include "ColourRules.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace colours {

namespace {
constexpr double kD65X = 0.3127, kD65Y = 0.3290;
constexpr double kIllCX = 0.310, kIllCY = 0.316;

bool primariesOf(int code, Chromaticities* out) {
    switch (code) {
    case 1:  // BT.709, sRGB
    case 2:  // unspecified: taken as sRGB
        *out = {kD65X, kD65Y, 0.640, 0.330, 0.300, 0.600, 0.150, 0.060};
        return true;
    case 4: *out = {kIllCX, kIllCY, 0.67, 0.33, 0.21, 0.71, 0.14, 0.08}; return true;
    case 5: *out = {kD65X, kD65Y, 0.64, 0.33, 0.29, 0.60, 0.15, 0.06}; return true;
    case 6:
    case 7: *out = {kD65X, kD65Y, 0.630, 0.340, 0.310, 0.595, 0.155, 0.070}; return true;
    case 8: *out = {kIllCX, kIllCY, 0.681, 0.319, 0.243, 0.692, 0.145, 0.049}; return true;
    case 9: *out = {kD65X, kD65Y, 0.708, 0.292, 0.170, 0.797, 0.131, 0.046}; return true;
    case 11: *out = {0.314, 0.351, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060}; return true;
    case 12: *out = {kD65X, kD65Y, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060}; return true;
    case 22: *out = {kD65X, kD65Y, 0.630, 0.340, 0.295, 0.605, 0.155, 0.077}; return true;
    default: return false;
    }
}

std::uint32_t bigEndian(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
std::uint32_t littleEndian(const std::uint8_t* p) {
    return (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

bool readExactly(pictures::ByteSource& s, std::uint64_t at, std::uint8_t* into, std::size_t n) {
    return s.readAt(at, into, n) == n;
}

bool readString(pictures::ByteSource& s, std::uint64_t at, std::size_t n, std::string* into) {
    if (n > kMaxProfileBytes - into->size()) return false;
    const std::size_t old = into->size();
    into->resize(old + n);
    return readExactly(s, at, reinterpret_cast<std::uint8_t*>(into->data() + old), n);
}

// APP2 segments "ICC_PROFILE\0", sequence number, count, then the chunk.
EmbeddedProfile fromJpeg(pictures::ByteSource& s) {
    constexpr char kTag[] = "ICC_PROFILE";
    std::vector<std::string> chunks;
    std::uint64_t at = 2;
    std::size_t total = 0;
    for (int segments = 0; segments < 1000; ++segments) {
        std::uint8_t m[4];
        if (!readExactly(s, at, m, 4) || m[0] != 0xFF) break;
        if (m[1] == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (m[1] == 0xDA || m[1] == 0xD9) break;  // the pixels begin: no more profile
        if (m[1] == 0x01 || (m[1] >= 0xD0 && m[1] <= 0xD8)) {  // markers without a length
            at += 2;
            continue;
        }
        const std::uint32_t length = (std::uint32_t(m[2]) << 8) | m[3];
        if (length < 2) break;
        if (m[1] == 0xE2 && length >= 16) {
            std::uint8_t head[14];
            if (readExactly(s, at + 4, head, 14) && std::memcmp(head, kTag, 12) == 0) {
                const int sequence = head[12], count = head[13];
                if (sequence < 1 || count < 1 || sequence > count) return {};
                if (chunks.empty()) chunks.resize(std::size_t(count));
                if (std::size_t(count) != chunks.size() || !chunks[std::size_t(sequence - 1)].empty()) return {};
                const std::size_t n = length - 16;
                if (total + n > kMaxProfileBytes) return {};
                std::string& chunk = chunks[std::size_t(sequence - 1)];
                if (!readString(s, at + 18, n, &chunk)) return {};
                total += n;
            }
        }
        at += 2 + length;
    }
    EmbeddedProfile out;
    for (const std::string& c : chunks) {
        if (c.empty()) return {};
        out.bytes += c;
    }
    return out;
}

// iCCP: a keyword of 1..79 bytes, a zero, the method (0), the deflated profile.
EmbeddedProfile fromPng(pictures::ByteSource& s) {
    std::uint64_t at = 8;
    for (int chunks = 0; chunks < 10000; ++chunks) {
        std::uint8_t h[8];
        if (!readExactly(s, at, h, 8)) break;
        const std::uint32_t length = bigEndian(h);
        const std::string_view type(reinterpret_cast<const char*>(h + 4), 4);
        if (type == "IDAT" || type == "IEND") break;
        if (type == "iCCP") {
            if (length > kMaxProfileBytes + 82) return {};
            std::string data;
            if (!readString(s, at + 8, length, &data)) return {};
            const std::size_t zero = data.find('\0');
            if (zero == std::string::npos || zero == 0 || zero > 79 || zero + 2 > data.size() || data[zero + 1] != 0)
                return {};
            return {data.substr(zero + 2), true};
        }
        at += 12 + std::uint64_t(length);
    }
    return {};
}

// RIFF "WEBP": chunks of a FourCC, a little-endian size and the data, padded
// to even sizes; the ICCP chunk comes before the picture.
EmbeddedProfile fromWebP(pictures::ByteSource& s) {
    std::uint64_t at = 12;
    for (int chunks = 0; chunks < 64; ++chunks) {
        std::uint8_t h[8];
        if (!readExactly(s, at, h, 8)) break;
        const std::string_view type(reinterpret_cast<const char*>(h), 4);
        const std::uint32_t size = littleEndian(h + 4);
        if (type == "ICCP") {
            EmbeddedProfile out;
            if (size > kMaxProfileBytes || !readString(s, at + 8, size, &out.bytes)) return {};
            return out;
        }
        if (type == "VP8 " || type == "VP8L" || type == "ANIM") break;
        at += 8 + std::uint64_t(size) + (size & 1);
    }
    return {};
}
}  // namespace

NclxSpace nclxSpace(int primariesCode, int transferCode) {
    NclxSpace out;
    switch (transferCode) {
    // Stills coded with the video curves are meant to look as on an sRGB screen.
    case 1:
    case 2:
    case 6:
    case 13:
    case 14:
    case 15: out.transfer = Transfer::SRgb; break;
    case 8: out.transfer = Transfer::Linear; break;
    case 4:
        out.transfer = Transfer::Gamma;
        out.gamma = 2.2;
        break;
    case 5:
        out.transfer = Transfer::Gamma;
        out.gamma = 2.8;
        break;
    default: return out;  // HDR curves (PQ, HLG) and unknown codes
    }
    if (!primariesOf(primariesCode, &out.primaries)) return {};
    out.usable = true;
    out.isSRgb = (primariesCode == 1 || primariesCode == 2) && out.transfer == Transfer::SRgb;
    return out;
}

EmbeddedProfile embeddedProfile(pictures::ByteSource& source, pictures::Format format) {
    switch (format) {
    case pictures::Format::Jpeg: return fromJpeg(source);
    case pictures::Format::Png: return fromPng(source);
    case pictures::Format::WebP: return fromWebP(source);
    default: return {};
    }
}

}  // namespace colours
