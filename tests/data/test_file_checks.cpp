// What lies at a name decides whether it is read as a file, or kept and
// replaced: each refusal is an Error opening that name, with a reason a
// person can act on.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "data/FileNames.h"

namespace {
enum class Lying { Nothing, RegularFile, Folder, Pipe };

struct FileCheckCase {
    const char* name;
    Lying lying;
    const char* regularReason; // empty: CheckRegularFile succeeds
    const char* keptReason;    // empty: CheckKeptFile succeeds
};

class FileChecks : public testing::TestWithParam<FileCheckCase> {};

QString Place(const QTemporaryDir& dir, Lying lying)
{
    const QString path = dir.filePath(QStringLiteral("here"));
    switch (lying) {
    case Lying::Nothing: break;
    case Lying::RegularFile: {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        break;
    }
    case Lying::Folder: EXPECT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("here"))); break;
    case Lying::Pipe: EXPECT_EQ(::mkfifo(EncodeFileName(path).constData(), 0600), 0); break;
    }
    return path;
}
} // namespace

TEST_P(FileChecks, SayWhyANameIsRefused)
{
    const FileCheckCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = Place(dir, c.lying);

    const Result<void> regular = CheckRegularFile(path);
    ASSERT_EQ(regular.ok(), *c.regularReason == '\0');
    if (!regular) {
        EXPECT_EQ(regular.error().reason, QString::fromUtf8(c.regularReason));
        EXPECT_EQ(regular.error().file, path);
        EXPECT_EQ(regular.error().message(),
                  QStringLiteral("Cannot open file \"%1\". %2").arg(path, c.regularReason));
    }

    const Result<void> kept = CheckKeptFile(path);
    ASSERT_EQ(kept.ok(), *c.keptReason == '\0');
    if (!kept) {
        EXPECT_EQ(kept.error().reason, QString::fromUtf8(c.keptReason));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileChecks,
    testing::Values(FileCheckCase{"Nothing", Lying::Nothing, "There is no such file.", ""},
                    FileCheckCase{"RegularFile", Lying::RegularFile, "", ""},
                    FileCheckCase{"Folder", Lying::Folder, "It is a folder, not a file.",
                                  "It is a folder, not a file."},
                    FileCheckCase{"Pipe", Lying::Pipe, "It is a pipe, not a regular file.",
                                  "It is a pipe, not a regular file."}),
    [](const testing::TestParamInfo<FileCheckCase>& i) { return std::string(i.param.name); });

TEST(FileChecks, DeviceIsNeitherReadNorKept)
{
    const QString null = QStringLiteral("/dev/null");
    const Result<void> regular = CheckRegularFile(null);
    ASSERT_FALSE(regular.ok());
    EXPECT_EQ(regular.error().reason, QStringLiteral("It is a device, not a regular file."));
    EXPECT_FALSE(CheckKeptFile(null).ok());
}
