#pragma once
// Telling an append from any other change of a price file since its scan,
// and reading only the lines an append added.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

#include "data/FileLayout.h"
#include "data/Result.h"

// What a scan saw of its file: enough to tell later whether the file is the
// same, grew by an append, or changed in another way.
struct FileIdentity {
    int64_t size = -1;    // -1: nothing scanned
    int64_t modified = 0; // nanoseconds
    uint64_t inode = 0, device = 0;
    // Just after the last line end at or before size, and the bytes before
    // it (the file's first and last block up to there).
    int64_t lineEnd = 0;
    std::string head, tail;
};

// The identity of path as it is now, its bytes taken up to size (the size
// a scan saw; -1 for the whole file, with its time of change). Without
// blocks only the size, time and inode are taken: a cheap look.
[[nodiscard]] Result<FileIdentity> IdentityOf(const QString& path, int64_t size = -1,
                                              int64_t modified = 0, bool blocks = true);

enum class FileChange { Same, Appended, Other };
// Same: nothing changed. Appended: the same file, longer, its old bytes up to
// the old last line end unchanged. Other: anything else, a missing file too.
[[nodiscard]] FileChange ChangeSince(const FileIdentity& scanned, const FileIdentity& now);

// The lines added after an append, read from the old last line end.
struct AppendedLines {
    int64_t lines = 0;              // lines read
    int64_t lastRecord = 0;         // among them, the last that holds a record (1-based; 0: none)
    std::optional<double> lastDate; // its date
    bool inOrder = true;            // every new record's date after the one before
    bool encoded = false;           // the text is not UTF-8: offsets do not hold, scan it whole
    int64_t size = 0, modified = 0;
};
[[nodiscard]] Result<AppendedLines> ReadAppended(const QString& path, const FileLayout& layout,
                                                 int64_t from, std::optional<double> lastDate);
