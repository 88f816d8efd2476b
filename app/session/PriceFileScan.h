#pragma once
// What the last scan found of the price file, which every later load checks
// and an append extends: the lines before its first record, where its lines
// lie, its size, time and identity; the days of its records, read once per
// scan; and what the loads said of the file, said once per scan.

#include <cstdint>
#include <optional>
#include <vector>

#include "data/FileGrowth.h"
#include "data/PriceReader.h"
#include "data/RecordDates.h"

struct PriceFileScan {
    // What a scan found of the file's lines.
    void Take(const FileScan& r)
    {
        skipLines = r.skipLines;
        size = r.size;
        modified = r.modified;
        lineMarks = r.marks;
        lines = r.lines;
    }
    // Lines added to the end, read on their own.
    void TakeAppended(const AppendedLines& a)
    {
        lines += a.lines;
        size = a.size;
        modified = a.modified;
    }
    // Nothing was scanned that a change could be told from.
    [[nodiscard]] bool None() const { return id.size < 0; }
    // A cheap look (size, time and inode) finds the file as it was scanned.
    [[nodiscard]] bool LooksScanned(const FileIdentity& quick) const
    {
        return quick.inode == id.inode && quick.device == id.device && quick.size == id.size &&
               quick.modified == id.modified;
    }
    // An append can be read from the old last line end alone: the file
    // ended on a line end, and its newest day comes last.
    [[nodiscard]] bool AppendReadsAlone(bool newestFirst) const
    {
        return !newestFirst && lines > 0 && id.lineEnd == id.size;
    }

    int64_t skipLines = 0; // lines between the header line and the first record
    int64_t size = -1;     // -1: nothing scanned
    int64_t modified = 0;
    std::vector<LineMark> lineMarks; // to reach a range quickly
    FileIdentity id;                 // to tell an append from another change
    int64_t lines = 0;
    std::optional<RecordDates> recordDates;
    // What the first load meets is said once per scan.
    struct Said {
        bool unreadable = false;
        bool noPrices = false;
        bool order = false;
        bool inconsistent = false;
    } said;
};
