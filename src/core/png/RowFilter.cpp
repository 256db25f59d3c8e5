#include "RowFilter.h"

#include <cstdlib>
#include <cstring>

namespace tavelin {
namespace {

enum FilterType : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

inline uint8_t paethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Filtered bytes are read as signed: small residues either way cost little to compress.
inline unsigned cost(uint8_t value) { return value < 128 ? value : 256u - value; }

}  // namespace

RowFilter::RowFilter(size_t rowBytes, size_t bytesPerPixel)
    : rowBytes_(rowBytes), bytesPerPixel_(bytesPerPixel) {
    for (auto& candidate : candidates_) candidate.resize(rowBytes);
}

void RowFilter::apply(const uint8_t* row, const uint8_t* previous, uint8_t* out) {
    const size_t bpp = bytesPerPixel_;
    uint8_t* sub = candidates_[0].data();
    uint8_t* up = candidates_[1].data();
    uint8_t* average = candidates_[2].data();
    uint8_t* paeth = candidates_[3].data();
    unsigned costs[5] = {0, 0, 0, 0, 0};

    for (size_t i = 0; i < rowBytes_; ++i) {
        const int left = i >= bpp ? row[i - bpp] : 0;
        const int above = previous[i];
        const int aboveLeft = i >= bpp ? previous[i - bpp] : 0;
        const uint8_t value = row[i];
        sub[i] = static_cast<uint8_t>(value - left);
        up[i] = static_cast<uint8_t>(value - above);
        average[i] = static_cast<uint8_t>(value - ((left + above) >> 1));
        paeth[i] = static_cast<uint8_t>(value - paethPredictor(left, above, aboveLeft));
        costs[kNone] += cost(value);
        costs[kSub] += cost(sub[i]);
        costs[kUp] += cost(up[i]);
        costs[kAverage] += cost(average[i]);
        costs[kPaeth] += cost(paeth[i]);
    }

    uint8_t best = kNone;
    for (uint8_t type = kSub; type <= kPaeth; ++type) {
        if (costs[type] < costs[best]) best = type;
    }
    out[0] = best;
    const uint8_t* chosen = best == kNone ? row : candidates_[best - 1].data();
    std::memcpy(out + 1, chosen, rowBytes_);
}

}  // namespace tavelin
