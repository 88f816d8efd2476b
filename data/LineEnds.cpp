#include "data/LineEnds.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <csignal>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
int64_t CountLineEndsPlain(const char* p, size_t n, char end)
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

#if defined(__x86_64__) && defined(__GNUC__)
// The same thirty-two bytes at a time, on processors that can.
__attribute__((target("avx2"))) int64_t CountLineEndsWide(const char* p, size_t n, char end)
{
    int64_t count = 0;
    size_t i = 0;
    const __m256i nl = _mm256_set1_epi8(end);
    const __m256i zero = _mm256_setzero_si256();
    const size_t whole = n & ~size_t(31);
    while (i < whole) {
        __m256i lanes = zero;
        const size_t stop = std::min(whole, i + 32 * 255);
        for (; i < stop; i += 32) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
            lanes = _mm256_sub_epi8(lanes, _mm256_cmpeq_epi8(v, nl));
        }
        const __m256i sums = _mm256_sad_epu8(lanes, zero);
        count += _mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1) +
                 _mm256_extract_epi64(sums, 2) + _mm256_extract_epi64(sums, 3);
    }
    return count + CountLineEndsPlain(p + i, n - i, end);
}
#endif
} // namespace

int64_t CountLineEnds(const char* p, size_t n, char end)
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool wide = __builtin_cpu_supports("avx2");
    if (wide)
        return CountLineEndsWide(p, n, end);
#endif
    return CountLineEndsPlain(p, n, end);
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

LineEndsSeen SeeLineEnds(const char* p, size_t n, char end)
{
    LineEndsSeen s;
    s.count = CountLineEnds(p, n, end);
    if (s.count > 0) {
        const char* l = static_cast<const char*>(memrchr(p, end, n));
        s.last = l - p;
        if (s.count > 1)
            s.before = static_cast<const char*>(memrchr(p, end, size_t(l - p))) - p;
    }
    return s;
}

namespace {
// A mapped file cut short under the reader raises a bus error on the pages
// past its new end; the reader that was looking goes back to say so.
thread_local sigjmp_buf* busJump = nullptr;
struct sigaction beforeUs {};

void OnBusError(int sig, siginfo_t* info, void* context)
{
    if (busJump)
        siglongjmp(*busJump, 1);
    // Not a mapped read of ours: as if we had not been here.
    if (beforeUs.sa_flags & SA_SIGINFO) {
        beforeUs.sa_sigaction(sig, info, context);
        return;
    }
    if (beforeUs.sa_handler != SIG_DFL && beforeUs.sa_handler != SIG_IGN) {
        beforeUs.sa_handler(sig);
        return;
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

bool CatchBusErrors()
{
    static const bool caught = [] {
        struct sigaction sa {};
        sa.sa_sigaction = OnBusError;
        sa.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&sa.sa_mask);
        return sigaction(SIGBUS, &sa, &beforeUs) == 0;
    }();
    return caught;
}
} // namespace

Mapped SeeMappedLineEnds(int fd, int64_t offset, size_t n, char end, LineEndsSeen& seen)
{
    if (n == 0 || !CatchBusErrors())
        return Mapped::Unmappable;
    const int64_t page = sysconf(_SC_PAGESIZE);
    const int64_t base = offset - offset % page;
    const size_t span = size_t(offset - base) + n;
    void* m = mmap(nullptr, span, PROT_READ, MAP_PRIVATE, fd, off_t(base));
    if (m == MAP_FAILED)
        return Mapped::Unmappable;
    Mapped result = Mapped::Done;
    sigjmp_buf jump;
    if (sigsetjmp(jump, 1) == 0) {
        busJump = &jump;
        seen = SeeLineEnds(static_cast<const char*>(m) + (offset - base), n, end);
    } else {
        result = Mapped::CutShort;
    }
    busJump = nullptr;
    munmap(m, span);
    return result;
}
