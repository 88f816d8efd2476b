#pragma once
// Rendering studies without a window: --study FILE --image OUT, and many
// studies at once with --image-dir DIR.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "data/Result.h"

struct CommandLine;
class QGuiApplication;

// Writes the image; the error names what failed.
[[nodiscard]] Result<void> RenderStudy(const CommandLine& cl);

// An error saying why writing out would write over one of inputs (the same
// file, by device and inode, whatever the names).
[[nodiscard]] Result<void> CheckNotInput(const QString& out, const QStringList& inputs);

// The studies of cl.studies and cl.studyList, read, with the files their
// charts go to; an error when the list cannot be read, names nothing, or
// two studies would write the same file.
struct StudyJob {
    QString study, image;
};
[[nodiscard]] Result<std::vector<StudyJob>> ListStudies(const CommandLine& cl);

// Renders every study of the list on cl.jobs worker processes, each made by
// fork() from this process, which must not have started Qt's application or
// any thread. startWorker makes a worker's application. Failures are one
// line each on standard error; returns the exit status.
[[nodiscard]] int
RenderStudies(const CommandLine& cl, const std::vector<StudyJob>& jobs,
              const std::function<std::unique_ptr<QGuiApplication>()>& startWorker);
