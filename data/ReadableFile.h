#pragma once
// A file opened for reading the one way the program does: without waiting
// on the open, so that a pipe or a device put in a file's place cannot hang
// the reader, and looked at before it is read. Closed with the object.

#include <QString>
#include <sys/stat.h>

class ReadableFile {
public:
    explicit ReadableFile(const QString& path);
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    // Opened, and a regular file.
    [[nodiscard]] bool regular() const { return fd_ >= 0 && S_ISREG(st_.st_mode); }
    // The system's error number when the file could not be opened or looked
    // at; 0 when it opened, whatever it is.
    [[nodiscard]] int error() const { return error_; }
    [[nodiscard]] const struct stat& status() const { return st_; }
    [[nodiscard]] int fd() const { return fd_; }
    // Reads wait for their bytes from here on.
    void block();
    // The descriptor is the caller's to close from now on.
    [[nodiscard]] int release();

private:
    int fd_ = -1;
    int error_ = 0;
    struct stat st_ {};
};
