#pragma once
// The two low-level steps of reading a price file: reading at an offset and
// counting line ends in what was read.

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

// Reads n bytes at offset of fd into to, going on after an interrupted or
// short read; returns how many it got, fewer at the end of the file or on an error.
size_t ReadAt(int fd, char* to, size_t n, off_t offset);

// How many bytes equal to end there are in [p, p + n).
[[nodiscard]] int64_t CountLineEnds(const char* p, size_t n, char end = '\n');

// The line ends of a piece of text: how many, and where the last two are
// (offsets in the piece; -1 where there is none).
struct LineEndsSeen {
    int64_t count = 0;
    int64_t last = -1;
    int64_t before = -1;
};
[[nodiscard]] LineEndsSeen SeeLineEnds(const char* p, size_t n, char end);

enum class Mapped { Done, Unmappable, CutShort };
// SeeLineEnds on n bytes at offset of fd, looked at where the system keeps
// the file rather than copied out of it. Unmappable when the system cannot
// map it; CutShort when the file was cut short under it.
[[nodiscard]] Mapped SeeMappedLineEnds(int fd, int64_t offset, size_t n, char end,
                                       LineEndsSeen& seen);
