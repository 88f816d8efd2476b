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
