#include "search/PhraseFinder.h"

#include "search/Masks.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define QUENNET_SSE2 1
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
// 32 bytes per step where the processor has AVX2, chosen at run time.
#define QUENNET_AVX2 1
#include <immintrin.h>
#endif

namespace quennet {

namespace {

// How common a byte is in text and binaries (higher: more common). Rough, but enough to keep
// a phrase such as " the" from stopping at every space.
int Commonness(unsigned char c) {
    static const char kCommon[] = " etaoinsrhldcumfpgwybvk\n\r\t,.0123456789";
    if (c == 0 || c == 0xFF)
        return 60;
    const char* hit = static_cast<const char*>(std::memchr(kCommon, c, sizeof kCommon - 1));
    if (hit)
        return 50 - static_cast<int>(hit - kCommon);
    if (c >= 'A' && c <= 'Z')
        return 15;
    return c < 0x80 ? 5 : 1;
}

inline int LowestBit(unsigned mask) {
#if defined(__GNUC__)
    return __builtin_ctz(mask);
#else
    int i = 0;
    while (!(mask & 1u)) {
        mask >>= 1;
        ++i;
    }
    return i;
#endif
}

#ifdef QUENNET_AVX2
bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

} // namespace

#ifdef QUENNET_AVX2
// Candidates are the starts where both rare bytes match; returns the first verified one, or
// npos with `i` left at the first start not yet looked at. Two 32-byte blocks per round:
// the common case is no candidate at all.
template <bool Fold>
__attribute__((target("avx2"))) std::size_t
PhraseFinder::ScanAvx2(const unsigned char* data, std::size_t size, std::size_t& start) const {
    const std::size_t lastStart = size - phrase_.size();
    const __m256i want1 = _mm256_set1_epi8(phrase_[rare1_]);
    const __m256i want2 = _mm256_set1_epi8(phrase_[rare2_]);
    const __m256i case1 = _mm256_set1_epi8(static_cast<char>(caseBit1_));
    const __m256i case2 = _mm256_set1_epi8(static_cast<char>(caseBit2_));
    const unsigned char* p1 = data + rare1_;
    const unsigned char* p2 = data + rare2_;
    const std::size_t reach = (rare1_ > rare2_ ? rare1_ : rare2_) + 64;
    std::size_t i = start;
    for (; i + reach <= size; i += 64) {
        __m256i a0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p1 + i));
        __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p2 + i));
        __m256i a1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p1 + i + 32));
        __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p2 + i + 32));
        if (Fold) {
            a0 = _mm256_or_si256(a0, case1);
            b0 = _mm256_or_si256(b0, case2);
            a1 = _mm256_or_si256(a1, case1);
            b1 = _mm256_or_si256(b1, case2);
        }
        const __m256i m0 = _mm256_and_si256(_mm256_cmpeq_epi8(a0, want1), _mm256_cmpeq_epi8(b0, want2));
        const __m256i m1 = _mm256_and_si256(_mm256_cmpeq_epi8(a1, want1), _mm256_cmpeq_epi8(b1, want2));
        if (_mm256_testz_si256(_mm256_or_si256(m0, m1), _mm256_or_si256(m0, m1)))
            continue;
        std::uint64_t mask =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(m0)) |
            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(m1))) << 32);
        while (mask) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctzll(mask));
            if (at <= lastStart && MatchesAt(data + at)) {
                start = i;
                return at;
            }
            mask &= mask - 1;
        }
    }
    start = i;
    return npos;
}
#endif

PhraseFinder::PhraseFinder(std::string phrase, bool foldCase) : phrase_(std::move(phrase)), fold_(foldCase) {
    const std::size_t n = phrase_.size();
    if (n == 0)
        return;
    auto rank = [&](std::size_t i) {
        const auto c = static_cast<unsigned char>(phrase_[i]);
        return Commonness(fold_ ? AsciiUpper(c) : c) + (fold_ && c >= 'a' && c <= 'z' ? 10 : 0);
    };
    rare1_ = 0;
    for (std::size_t i = 1; i < n; ++i)
        if (rank(i) < rank(rare1_))
            rare1_ = i;
    rare2_ = rare1_ == 0 ? n - 1 : 0;
    for (std::size_t i = 0; i < n; ++i)
        if (i != rare1_ && rank(i) < rank(rare2_))
            rare2_ = i;
    if (n == 1)
        rare2_ = 0;
    // Folding the two rare bytes of the data: for a letter, setting the case bit turns both
    // cases into the phrase's (folded) letter and nothing else into it; any other byte must
    // match as it is. One instruction per block instead of a full A-Z fold.
    const auto caseBit = [&](std::size_t i) {
        const auto c = static_cast<unsigned char>(phrase_[i]);
        return static_cast<unsigned char>(fold_ && c >= 'a' && c <= 'z' ? 0x20 : 0);
    };
    caseBit1_ = caseBit(rare1_);
    caseBit2_ = caseBit(rare2_);
}

bool PhraseFinder::MatchesAt(const unsigned char* at) const {
    const auto* p = reinterpret_cast<const unsigned char*>(phrase_.data());
    const std::size_t n = phrase_.size();
    if (!fold_)
        return std::memcmp(at, p, n) == 0;
    for (std::size_t i = 0; i < n; ++i)
        if (AsciiLower(at[i]) != p[i])
            return false;
    return true;
}

std::size_t PhraseFinder::FindScalar(const unsigned char* data, std::size_t from,
                                     std::size_t lastStart) const {
    const auto b1 = static_cast<unsigned char>(phrase_[rare1_]);
    for (std::size_t i = from; i <= lastStart; ++i) {
        const unsigned char c = fold_ ? AsciiLower(data[i + rare1_]) : data[i + rare1_];
        if (c == b1 && MatchesAt(data + i))
            return i;
    }
    return npos;
}

std::size_t PhraseFinder::Find(const unsigned char* data, std::size_t size) const {
    const std::size_t n = phrase_.size();
    if (n == 0 || size < n)
        return npos;
    const std::size_t lastStart = size - n;
    std::size_t i = 0;

    if (!fold_ && n == 1) {
        const void* hit = std::memchr(data, phrase_[0], size);
        return hit ? static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - data) : npos;
    }

#ifdef QUENNET_AVX2
    if (HasAvx2()) {
        const std::size_t at = fold_ ? ScanAvx2<true>(data, size, i) : ScanAvx2<false>(data, size, i);
        if (at != npos)
            return at;
    }
#endif
#ifdef QUENNET_SSE2
    const __m128i want1 = _mm_set1_epi8(phrase_[rare1_]);
    const __m128i want2 = _mm_set1_epi8(phrase_[rare2_]);
    const unsigned char* p1 = data + rare1_;
    const unsigned char* p2 = data + rare2_;
    // Candidate starts i..i+15 need bytes up to i+15+max(rare) < size.
    const std::size_t reach = (rare1_ > rare2_ ? rare1_ : rare2_) + 16;
    if (fold_) {
        const __m128i case1 = _mm_set1_epi8(static_cast<char>(caseBit1_));
        const __m128i case2 = _mm_set1_epi8(static_cast<char>(caseBit2_));
        for (; i + reach <= size; i += 16) {
            const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p1 + i)), case1);
            const __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p2 + i)), case2);
            unsigned mask = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, want1), _mm_cmpeq_epi8(b, want2))));
            while (mask) {
                const std::size_t at = i + LowestBit(mask);
                if (at <= lastStart && MatchesAt(data + at))
                    return at;
                mask &= mask - 1;
            }
        }
    } else {
        // Two blocks per round: the common case is no candidate at all.
        for (; i + reach + 16 <= size; i += 32) {
            const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p1 + i));
            const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p2 + i));
            const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p1 + i + 16));
            const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p2 + i + 16));
            const __m128i m0 = _mm_and_si128(_mm_cmpeq_epi8(a0, want1), _mm_cmpeq_epi8(b0, want2));
            const __m128i m1 = _mm_and_si128(_mm_cmpeq_epi8(a1, want1), _mm_cmpeq_epi8(b1, want2));
            unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(m0)) |
                            (static_cast<unsigned>(_mm_movemask_epi8(m1)) << 16);
            while (mask) {
                const std::size_t at = i + LowestBit(mask);
                if (at <= lastStart && MatchesAt(data + at))
                    return at;
                mask &= mask - 1;
            }
        }
    }
#endif
    return i <= lastStart ? FindScalar(data, i, lastStart) : npos;
}

} // namespace quennet
