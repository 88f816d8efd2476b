#pragma once
// Passes over a file's bytes where the page cache holds them, without copying
// them through a buffer.

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

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
