#include "data/ReadableFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include "data/FileNames.h"

ReadableFile::ReadableFile(const QString& path)
{
    fd_ = ::open(EncodeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    if (::fstat(fd_, &st_) != 0) {
        error_ = errno;
        ::close(std::exchange(fd_, -1));
    }
}

ReadableFile::~ReadableFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void ReadableFile::block()
{
    if (fd_ >= 0)
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

int ReadableFile::release()
{
    return std::exchange(fd_, -1);
}
