#include "data/MappedScan.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <csignal>
#include <atomic>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

int64_t CountLineEnds(const char* p, size_t n)
{
    int64_t count = 0;
    size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: each line end adds one to its lane, and the
    // lanes are summed before any can pass 255.
    const __m128i nl = _mm_set1_epi8('\n');
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
        count += p[i] == '\n';
    return count;
}

namespace {
struct Guard {
    sigjmp_buf jump;
    const char* from = nullptr;
    const char* to = nullptr;
};
thread_local Guard* tlGuard = nullptr;
struct sigaction previousBus {};

void OnBus(int sig, siginfo_t* info, void* context)
{
    const Guard* g = tlGuard;
    const char* at = static_cast<const char*>(info->si_addr);
    if (g && at >= g->from && at < g->to)
        siglongjmp(tlGuard->jump, 1);
    // Not a page of ours: whoever handled it before does.
    if ((previousBus.sa_flags & SA_SIGINFO) && previousBus.sa_sigaction) {
        previousBus.sa_sigaction(sig, info, context);
        return;
    }
    if (!(previousBus.sa_flags & SA_SIGINFO) && previousBus.sa_handler != SIG_DFL &&
        previousBus.sa_handler != SIG_IGN) {
        previousBus.sa_handler(sig);
        return;
    }
    // The faulting access runs again, now with the default action.
    sigaction(SIGBUS, &previousBus, nullptr);
}

void CatchVanishedPages()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction sa {};
        sa.sa_sigaction = OnBus;
        sa.sa_flags = SA_SIGINFO;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGBUS, &sa, &previousBus);
    });
}

enum class Window { More, Stop, Vanished };

// Kept apart so that nothing of the caller lives across the jump back.
[[gnu::noinline]] Window VisitWindow(const char* from, size_t span, size_t in, off_t at,
                                     MappedVisitor& visitor)
{
    Guard g;
    g.from = from;
    g.to = from + span;
    volatile Window result = Window::Vanished;
    if (sigsetjmp(g.jump, 1) == 0) {
        tlGuard = &g;
        result = visitor.visit(from + in, span - in, at) ? Window::More : Window::Stop;
    }
    tlGuard = nullptr;
    return result;
}

Window ReadWindow(int fd, off_t at, size_t n, MappedVisitor& visitor)
{
    std::vector<char> bytes(n);
    if (ReadAt(fd, bytes.data(), n, at) != n)
        return Window::Vanished;
    return visitor.visit(bytes.data(), n, at) ? Window::More : Window::Stop;
}
} // namespace

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

bool VisitMapped(int fd, off_t offset, off_t length, size_t window, MappedVisitor& visitor)
{
    CatchVanishedPages();
    const off_t page = sysconf(_SC_PAGESIZE);
    const off_t end = offset + length;
    for (off_t pos = offset; pos < end;) {
        const off_t base = pos - pos % page;
        const size_t span = size_t(std::min<off_t>(end - base, off_t(window)));
        void* m = mmap(nullptr, span, PROT_READ, MAP_PRIVATE, fd, base);
        Window w;
        if (m != MAP_FAILED) {
            w = VisitWindow(static_cast<const char*>(m), span, size_t(pos - base), pos, visitor);
            munmap(m, span);
        } else {
            // A file system that cannot map: the window is read instead.
            w = ReadWindow(fd, pos, span - size_t(pos - base), visitor);
        }
        if (w != Window::More)
            return w == Window::Stop;
        pos = base + off_t(span);
    }
    return true;
}

LineEnds LineEndsOf(const char* bytes, size_t n, off_t start)
{
    LineEnds e;
    e.start = start;
    e.size = n;
    e.count = CountLineEnds(bytes, n);
    if (e.count > 0) {
        const char* last = static_cast<const char*>(memrchr(bytes, '\n', n));
        e.last = start + (last - bytes);
        if (e.count > 1)
            e.beforeLast = start + (static_cast<const char*>(memrchr(bytes, '\n', size_t(last - bytes))) - bytes);
    }
    return e;
}

std::optional<std::vector<LineEnds>> MappedLineEnds(int fd, off_t offset, off_t length, size_t window)
{
    // Windows end on multiples of the window, so each is one mapping.
    std::vector<LineEnds> out;
    const off_t end = offset + length;
    for (off_t pos = offset; pos < end;) {
        const off_t stop = std::min(end, (pos / off_t(window) + 1) * off_t(window));
        LineEnds e;
        e.start = pos;
        e.size = size_t(stop - pos);
        out.push_back(e);
        pos = stop;
    }
    std::atomic<bool> cut{false};
    auto count = [&](size_t first, size_t step) {
        struct One : MappedVisitor {
            LineEnds* e = nullptr;
            bool visit(const char* p, size_t n, off_t at) override
            {
                *e = LineEndsOf(p, n, at);
                return true;
            }
        } one;
        for (size_t i = first; i < out.size() && !cut; i += step) {
            one.e = &out[i];
            if (!VisitMapped(fd, out[i].start, off_t(out[i].size), window, one))
                cut = true;
        }
    };
    // Mapping the file's pages costs about as much as counting their line
    // ends; a second thread takes every other window.
    std::thread helper;
    if (out.size() >= 4) {
        try {
            helper = std::thread(count, 1, 2);
        } catch (const std::system_error&) {
        }
    }
    count(0, helper.joinable() ? 2 : 1);
    if (helper.joinable())
        helper.join();
    if (cut)
        return std::nullopt;
    return out;
}
