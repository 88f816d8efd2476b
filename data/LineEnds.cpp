#include "data/LineEnds.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

int64_t CountLineEnds(const char* p, size_t n, char end)
{
    int64_t count = 0;
    size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: each line end adds one to its lane, and the
    // lanes are summed before any can pass 255.
    const __m128i nl = _mm_set1_epi8(end);
    const __m128i zero = _mm_setzero_si128();
    const size_t whole = n & ~size_t(15);
    while (i < whole) {
        __m128i lanes = zero;
        const size_t stop = std::min(whole, i + 16 * 255);
        for (; i < stop; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(v, nl));
        }
        const __m128i sums = _mm_sad_epu8(lanes, zero);
        count += _mm_cvtsi128_si64(sums) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums));
    }
#endif
    for (; i < n; ++i)
        count += p[i] == end;
    return count;
}

size_t ReadAt(int fd, char* to, size_t n, off_t offset)
{
    size_t got = 0;
    while (got < n) {
        const ssize_t k = pread(fd, to + got, n - got, offset + off_t(got));
        if (k < 0 && errno == EINTR)
            continue;
        if (k <= 0)
            break;
        got += size_t(k);
    }
    return got;
}
