#pragma once
// Passes over a file's bytes where the page cache holds them, without copying
// them through a buffer.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <sys/types.h>
#include <vector>

// Reads n bytes at offset of fd into to, going on after an interrupted or
// short read; returns how many it got, fewer at the end of the file or on an error.
size_t ReadAt(int fd, char* to, size_t n, off_t offset);

// How many line ends there are in [p, p + n).
[[nodiscard]] int64_t CountLineEnds(const char* p, size_t n);

// Calls visit(bytes, n) for [offset, offset + length) of the open file fd,
// mapped read-only one window at a time, so that no more than a window of
// the file is resident at once; visit returns false to stop early. A file
// cut short meanwhile would make the kernel kill the process (SIGBUS) on the
// vanished pages; that is caught and ends the pass with false. A window that
// cannot be mapped is read instead. visit must not allocate or take locks:
// it may be left half-way. window must be a multiple of the page size.
class MappedVisitor {
public:
    virtual ~MappedVisitor() = default;
    // offset: where bytes starts in the file.
    virtual bool visit(const char* bytes, size_t n, off_t offset) = 0;
};
[[nodiscard]] bool VisitMapped(int fd, off_t offset, off_t length, size_t window,
                               MappedVisitor& visitor);

// The line ends of one stretch of bytes: how many, and where the last two are
// (offsets in the file, -1 for none within the stretch).
struct LineEnds {
    off_t start = 0;
    size_t size = 0;
    int64_t count = 0;
    int64_t last = -1;
    int64_t beforeLast = -1;
};
[[nodiscard]] LineEnds LineEndsOf(const char* bytes, size_t n, off_t start);

// The line ends of [offset, offset + length) of fd, one entry a window, in
// order. A long range is counted on two threads, each with a window mapped
// at a time. Nothing when the file was cut short meanwhile.
[[nodiscard]] std::optional<std::vector<LineEnds>> MappedLineEnds(int fd, off_t offset, off_t length,
                                                                 size_t window);
