#include "RowFilter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "VectorClones.h"

namespace tavelin {
namespace {

enum FilterType : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

// Filtered bytes are read as signed: small residues either way cost little to compress.
// min(x, -x) over bytes is |x| as a signed byte (128 stays 128).
inline unsigned cost(uint8_t value) {
    return std::min<uint8_t>(value, static_cast<uint8_t>(0u - value));
}

VECTOR_CLONES unsigned totalCost(const uint8_t* bytes, size_t count) {
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i) sum += cost(bytes[i]);
    return sum;
}

// The loops below have no branches and no dependencies between iterations, so the compiler
// turns each into vector code; the first pixel, which has no left neighbour, is done apart.
VECTOR_CLONES void filterSub(const uint8_t* row, size_t n, size_t bpp, uint8_t* out) {
    std::memcpy(out, row, bpp);
    for (size_t i = bpp; i < n; ++i) out[i] = static_cast<uint8_t>(row[i] - row[i - bpp]);
}

VECTOR_CLONES void filterUp(const uint8_t* row, const uint8_t* above, size_t n, uint8_t* out) {
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(row[i] - above[i]);
}

VECTOR_CLONES void filterAverage(const uint8_t* row, const uint8_t* above, size_t n, size_t bpp,
                                 uint8_t* out) {
    for (size_t i = 0; i < bpp; ++i) out[i] = static_cast<uint8_t>(row[i] - (above[i] >> 1));
    for (size_t i = bpp; i < n; ++i) {
        out[i] = static_cast<uint8_t>(row[i] - ((row[i - bpp] + above[i]) >> 1));
    }
}

VECTOR_CLONES void filterPaeth(const uint8_t* row, const uint8_t* above, size_t n, size_t bpp,
                               uint8_t* out) {
    for (size_t i = 0; i < bpp; ++i) out[i] = static_cast<uint8_t>(row[i] - above[i]);
    for (size_t i = bpp; i < n; ++i) {
        const int16_t a = row[i - bpp], b = above[i], c = above[i - bpp];
        const int16_t pa = static_cast<int16_t>(std::abs(b - c));
        const int16_t pb = static_cast<int16_t>(std::abs(a - c));
        const int16_t pc = static_cast<int16_t>(std::abs(a + b - 2 * c));
        const int16_t bOrC = pb <= pc ? b : c;
        const int16_t predictor = (pa <= pb && pa <= pc) ? a : bOrC;
        out[i] = static_cast<uint8_t>(row[i] - predictor);
    }
}

}  // namespace

RowFilter::RowFilter(size_t rowBytes, size_t bytesPerPixel)
    : rowBytes_(rowBytes), bytesPerPixel_(bytesPerPixel) {
    for (auto& candidate : candidates_) candidate.resize(rowBytes);
}

void RowFilter::apply(const uint8_t* row, const uint8_t* previous, uint8_t* out) {
    const size_t n = rowBytes_;
    const size_t bpp = std::min(bytesPerPixel_, n);
    filterSub(row, n, bpp, candidates_[kSub - 1].data());
    filterUp(row, previous, n, candidates_[kUp - 1].data());
    filterAverage(row, previous, n, bpp, candidates_[kAverage - 1].data());
    filterPaeth(row, previous, n, bpp, candidates_[kPaeth - 1].data());

    uint8_t best = kNone;
    unsigned bestCost = totalCost(row, n);
    for (uint8_t type = kSub; type <= kPaeth; ++type) {
        const unsigned typeCost = totalCost(candidates_[type - 1].data(), n);
        if (typeCost < bestCost) {
            best = type;
            bestCost = typeCost;
        }
    }
    out[0] = best;
    std::memcpy(out + 1, best == kNone ? row : candidates_[best - 1].data(), n);
}

}  // namespace tavelin
