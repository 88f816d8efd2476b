#pragma once
// The price files the benchmarks read, made once per run in a folder that
// goes with the process.
#include <QString>
#include <QTemporaryDir>
#include <cstdint>

QTemporaryDir& Folder();
// A price file of `lines` data lines plus a header (the bench layout:
// mm/dd/yyyy,open,high,low,close); negative: the same lines with the newest
// day first.
QString PriceFile(int64_t signedLines);
