#include "YuvScale.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pictures {

namespace {

// Luma weights of red and blue for a matrix coefficients code.
bool lumaWeights(int matrix, float* kr, float* kb) {
    switch (matrix) {
    case 1: *kr = 0.2126f, *kb = 0.0722f; return true;
    case 2:
    case 5:
    case 6: *kr = 0.299f, *kb = 0.114f; return true;
    case 4: *kr = 0.30f, *kb = 0.11f; return true;
    case 7: *kr = 0.212f, *kb = 0.087f; return true;
    case 9: *kr = 0.2627f, *kb = 0.0593f; return true;
    default: return false;
    }
}

int sampleAt(const Plane& p, int x, int y) {
    const std::uint8_t* row = p.data + std::ptrdiff_t(y) * p.stride;
    if (p.bits <= 8) return row[x];
    return reinterpret_cast<const std::uint16_t*>(row)[x];
}

bool covers(const Plane& p, int width, int height) {
    return p.data && p.stride > 0 && p.width >= width && p.height >= height && p.bits >= 1 && p.bits <= 16 &&
           p.stride >= std::ptrdiff_t(p.width) * (p.bits <= 8 ? 1 : 2);
}

// For each target pixel along one axis: the first source pixel it covers and
// the share of each source pixel in it (summing to 1).
struct Spans {
    std::vector<int> first;
    std::vector<int> begin;  // into weights; one more entry than pixels
    std::vector<float> weights;
};

Spans spansFor(int source, int target) {
    Spans s;
    const double scale = double(source) / target;
    s.begin.push_back(0);
    for (int i = 0; i < target; ++i) {
        const double from = i * scale, to = std::min(double(source), (i + 1) * scale);
        const int first = std::min(source - 1, int(std::floor(from)));
        const int last = std::max(first, std::min(source - 1, int(std::ceil(to)) - 1));
        s.first.push_back(first);
        for (int k = first; k <= last; ++k) {
            const double share = std::min(to, k + 1.0) - std::max(from, double(k));
            s.weights.push_back(float(std::max(0.0, share) / (to - from)));
        }
        s.begin.push_back(int(s.weights.size()));
    }
    return s;
}

class RowConverter {
public:
    RowConverter(const YuvPicture& p, float kr, float kb) : m_p(p) {
        const float lumaMax = float((1 << p.luma.bits) - 1);
        const float scale = float(1 << (p.luma.bits - 8));
        if (p.fullRange || !p.cb.data) {
            m_yOffset = 0, m_yScale = 255.0f / lumaMax;
            m_cScale = 255.0f / lumaMax;
        } else {
            m_yOffset = 16 * scale, m_yScale = 255.0f / (219 * scale);
            m_cScale = 255.0f / (224 * scale);
        }
        m_cOffset = float(1 << (p.luma.bits - 1));
        const float kg = 1 - kr - kb;
        m_rCr = 2 * (1 - kr), m_bCb = 2 * (1 - kb);
        m_gCb = kg > 0 ? -2 * kb * (1 - kb) / kg : 0;
        m_gCr = kg > 0 ? -2 * kr * (1 - kr) / kg : 0;
        if (p.cb.data) {
            m_hShift = p.cb.width < p.width ? 1 : 0;
            m_vShift = p.cb.height < p.height ? 1 : 0;
        }
        if (p.alpha.data) m_alphaScale = 255.0f / float((1 << p.alpha.bits) - 1);
    }

    // Source row `y` as premultiplied R, G, B, A in 0..255.
    void convert(int y, float* out) const {
        const Plane& l = m_p.luma;
        const int cy = y >> m_vShift;
        for (int x = 0; x < m_p.width; ++x, out += 4) {
            const float v = (float(sampleAt(l, x, y)) - m_yOffset) * m_yScale;
            float r = v, g = v, b = v;
            if (m_p.cb.data) {
                const int cx = x >> m_hShift;
                const float cb = (float(sampleAt(m_p.cb, cx, cy)) - m_cOffset) * m_cScale;
                const float cr = (float(sampleAt(m_p.cr, cx, cy)) - m_cOffset) * m_cScale;
                if (m_p.matrix == 0) {
                    // Identity: the planes hold G, B and R themselves.
                    r = cr + m_cOffset * m_cScale, b = cb + m_cOffset * m_cScale;
                } else {
                    r = v + m_rCr * cr;
                    g = v + m_gCb * cb + m_gCr * cr;
                    b = v + m_bCb * cb;
                }
            }
            const float a = m_p.alpha.data ? float(sampleAt(m_p.alpha, x, y)) * m_alphaScale : 255.0f;
            const float premultiply = a / 255.0f;
            out[0] = std::clamp(r, 0.0f, 255.0f) * premultiply;
            out[1] = std::clamp(g, 0.0f, 255.0f) * premultiply;
            out[2] = std::clamp(b, 0.0f, 255.0f) * premultiply;
            out[3] = a;
        }
    }

private:
    const YuvPicture& m_p;
    float m_yOffset = 0, m_yScale = 1, m_cOffset = 128, m_cScale = 1, m_alphaScale = 1;
    float m_rCr = 0, m_gCb = 0, m_gCr = 0, m_bCb = 0;
    int m_hShift = 0, m_vShift = 0;
};

}  // namespace

bool knownYuvMatrix(int matrix) {
    float kr = 0, kb = 0;
    return matrix == 0 || lumaWeights(matrix, &kr, &kb);
}

bool yuvToRgba(const YuvPicture& p, int outWidth, int outHeight, std::uint8_t* out, std::ptrdiff_t outStride) {
    if (p.width <= 0 || p.height <= 0 || outWidth <= 0 || outHeight <= 0 || !out ||
        outStride < std::ptrdiff_t(outWidth) * 4 || !covers(p.luma, p.width, p.height) || p.luma.bits < 8)
        return false;
    float kr = 0, kb = 0;
    if (p.cb.data || p.cr.data) {
        if (p.matrix != 0 && !lumaWeights(p.matrix, &kr, &kb)) return false;
        // Full, half or (rounded up) quarter resolution.
        const int cw = p.cb.width, ch = p.cb.height;
        if (cw != p.width && cw != (p.width + 1) / 2) return false;
        if (ch != p.height && ch != (p.height + 1) / 2) return false;
        if (!covers(p.cb, cw, ch) || !covers(p.cr, cw, ch) || p.cb.bits != p.luma.bits || p.cr.bits != p.luma.bits)
            return false;
    }
    if (p.alpha.data && !covers(p.alpha, p.width, p.height)) return false;

    const RowConverter converter(p, kr, kb);
    const Spans across = spansFor(p.width, outWidth);
    const Spans down = spansFor(p.height, outHeight);
    std::vector<float> source(std::size_t(p.width) * 4);
    std::vector<float> sum(std::size_t(outWidth) * 4);
    // The source row last converted and shrunk across: a row straddling two
    // target rows is converted once.
    std::vector<float> shrunk(std::size_t(outWidth) * 4);
    int shrunkRow = -1;
    for (int ty = 0; ty < outHeight; ++ty) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (int k = down.begin[ty]; k < down.begin[ty + 1]; ++k) {
            const int sy = down.first[ty] + (k - down.begin[ty]);
            if (sy != shrunkRow) {
                converter.convert(sy, source.data());
                for (int tx = 0; tx < outWidth; ++tx) {
                    float acc[4] = {0, 0, 0, 0};
                    const float* from = source.data() + std::size_t(across.first[tx]) * 4;
                    for (int j = across.begin[tx]; j < across.begin[tx + 1]; ++j, from += 4) {
                        const float w = across.weights[std::size_t(j)];
                        for (int c = 0; c < 4; ++c) acc[c] += w * from[c];
                    }
                    std::copy(acc, acc + 4, shrunk.begin() + std::ptrdiff_t(tx) * 4);
                }
                shrunkRow = sy;
            }
            const float w = down.weights[std::size_t(k)];
            for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += w * shrunk[i];
        }
        std::uint8_t* row = out + std::ptrdiff_t(ty) * outStride;
        for (std::size_t i = 0; i < sum.size(); ++i) row[i] = std::uint8_t(std::clamp(std::lround(sum[i]), 0L, 255L));
    }
    return true;
}

}  // namespace pictures
