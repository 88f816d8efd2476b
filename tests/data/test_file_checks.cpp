// What lies at a name decides whether it is read as a file, or kept and
// replaced: each refusal is an Error opening that name, with a reason a
// person can act on.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "data/FileNames.h"

TEST(FileChecks, SayWhyANameIsRefused)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("file")),
                  pipe = dir.filePath(QStringLiteral("pipe"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    ASSERT_EQ(::mkfifo(EncodeFileName(pipe).constData(), 0600), 0);
    const struct {
        const char* name;
        QString path;
        const char* regularReason; // empty: CheckRegularFile succeeds
        const char* keptReason;    // empty: CheckKeptFile succeeds
    } rows[] = {
        {"nothing", dir.filePath(QStringLiteral("none")), "There is no such file.", ""},
        {"a regular file", file, "", ""},
        {"a folder", dir.path(), "It is a folder, not a file.", "It is a folder, not a file."},
        {"a pipe", pipe, "It is a pipe, not a regular file.", "It is a pipe, not a regular file."},
        {"a device", QStringLiteral("/dev/null"), "It is a device, not a regular file.",
         "It is a device, not a regular file."},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const Result<void> regular = CheckRegularFile(r.path);
        ASSERT_EQ(regular.ok(), *r.regularReason == '\0');
        if (!regular) {
            EXPECT_EQ(regular.error().file, r.path);
            EXPECT_EQ(regular.error().message(),
                      QStringLiteral("Cannot open file \"%1\". %2").arg(r.path, r.regularReason));
        }
        const Result<void> kept = CheckKeptFile(r.path);
        ASSERT_EQ(kept.ok(), *r.keptReason == '\0');
        if (!kept) {
            EXPECT_EQ(kept.error().reason, QString::fromUtf8(r.keptReason));
        }
    }
}
