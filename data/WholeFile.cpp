#include "data/WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/FileNames.h"

namespace {
// What the signal handler may touch: plain flags and a fixed buffer.
volatile std::sig_atomic_t pendingSignal = 0;
volatile std::sig_atomic_t loopListens = 0;
volatile std::sig_atomic_t temporarySet = 0;
char temporaryName[PATH_MAX + 1];
int signalPipe[2] = {-1, -1};

extern "C" void OnEndingSignal(int sig)
{
    const int saved = errno;
    pendingSignal = sig;
    if (temporarySet)
        ::unlink(temporaryName);
    if (temporarySet || loopListens) {
        // The write stops at its next step; the loop ends the program.
        if (loopListens) {
            const char byte = char(sig);
            [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
        }
        errno = saved;
        return;
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// The ending signals held off for a scope.
class HeldSignals {
public:
    HeldSignals()
    {
        sigset_t ending;
        sigemptyset(&ending);
        for (int sig : {SIGTERM, SIGINT, SIGHUP})
            sigaddset(&ending, sig);
        pthread_sigmask(SIG_BLOCK, &ending, &before_);
    }
    ~HeldSignals() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    sigset_t before_;
};

// The temporary a signal removes while it is being written.
class RegisteredTemporary {
public:
    explicit RegisteredTemporary(const QByteArray& name)
    {
        if (size_t(name.size()) < sizeof temporaryName) {
            std::memcpy(temporaryName, name.constData(), size_t(name.size()) + 1);
            temporarySet = 1;
        }
    }
    ~RegisteredTemporary()
    {
        const HeldSignals held;
        temporarySet = 0;
    }
    RegisteredTemporary(const RegisteredTemporary&) = delete;
    RegisteredTemporary& operator=(const RegisteredTemporary&) = delete;
};

Error Fail(const QString& path, const QString& why)
{
    return Error{Error::Doing::Creating, path, 0, why};
}

QString SystemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

QByteArray FolderOf(const QByteArray& name)
{
    const qsizetype slash = name.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : name.left(slash);
}

// Every byte, or the reason why not: a short write is retried, so that a
// disk that fills part way reports "No space left on device".
int WriteAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        if (pendingSignal)
            return EINTR;
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        p += n;
        left -= n;
    }
    return 0;
}

// What lies at a name, links followed as far as asked.
struct Target {
    QByteArray name; // where the bytes go
    mode_t type = 0; // 0: nothing there yet
    mode_t permissions = 0;
    std::optional<QString> refusal; // why nothing may be written there
};

Target Resolve(const QByteArray& asked, SymLink link)
{
    Target t;
    t.name = asked;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(t.name.constData(), &st) != 0) {
            if (errno != ENOENT)
                t.refusal = SystemError(errno);
            return t;
        }
        if (S_ISLNK(st.st_mode) && link == SymLink::Follow) {
            QByteArray to(PATH_MAX, '\0');
            const ssize_t n = ::readlink(t.name.constData(), to.data(), size_t(to.size()));
            if (n < 0 || n >= to.size()) {
                t.refusal = SystemError(n < 0 ? errno : ENAMETOOLONG);
                return t;
            }
            to.truncate(n);
            t.name = to.startsWith('/') ? to : FolderOf(t.name) + '/' + to;
            continue;
        }
        t.type = st.st_mode & S_IFMT;
        t.permissions = st.st_mode & 07777;
        if (S_ISDIR(st.st_mode))
            t.refusal = QStringLiteral("It is a folder.");
        else if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode) &&
                 !(S_ISFIFO(st.st_mode) && link == SymLink::Follow))
            t.refusal = QStringLiteral("It is not a regular file.");
        return t;
    }
    t.refusal = SystemError(ELOOP);
    return t;
}

// The writer's bytes on a descriptor, gathered into large writes. Every
// failure keeps its reason, so that a disk that fills part way says so.
class Sink : public QIODevice {
public:
    explicit Sink(int fd) : fd_(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    int error = 0;
    bool drain()
    {
        if (!error && !pending_.isEmpty())
            error = WriteAll(fd_, pending_);
        pending_.clear();
        return !error;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 n) override
    {
        if (!error && pendingSignal)
            error = EINTR;
        if (error)
            return -1;
        pending_.append(data, n);
        if (pending_.size() >= (256 << 10) && !drain())
            return -1;
        return n;
    }

private:
    int fd_;
    QByteArray pending_;
};

// Fills the descriptor of the file at path.
Result<void> Fill(const QString& path, int fd, const std::function<bool(QIODevice&)>& write)
{
    Sink sink(fd);
    const bool written = write(sink);
    if (!sink.drain() || !written)
        return Fail(path, sink.error ? SystemError(sink.error)
                                     : QStringLiteral("It could not be written."));
    return {};
}

// A pipe someone reads: the bytes go into it as they come. Nobody reading
// is an error, not a wait; a reader that leaves is an error, not a signal.
Result<void> WriteIntoPipe(const QString& path, const QByteArray& name,
                           const std::function<bool(QIODevice&)>& write)
{
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fail(path, errno == ENXIO ? QStringLiteral("It is a pipe that nobody reads.")
                                         : SystemError(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISFIFO(st.st_mode)) {
        ::close(fd);
        return Fail(path, QStringLiteral("It is not a regular file."));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    sigset_t pipeSignal, before;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
    Result<void> filled = Fill(path, fd, write);
    // A SIGPIPE raised meanwhile is taken here rather than on unblocking.
    const timespec now{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &now) == SIGPIPE) {
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    ::close(fd);
    return filled;
}

mode_t NewFilePermissions()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
} // namespace

Result<void> WriteWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write,
                            SymLink link)
{
    const QByteArray asked = EncodeFileName(path);
    if (asked.isEmpty())
        return Fail(path, QStringLiteral("It has no name."));
    const Target t = Resolve(asked, link);
    if (t.refusal)
        return Fail(path, *t.refusal);
    if (t.type == S_IFIFO) {
        Result<void> written = WriteIntoPipe(path, t.name, write);
        EndIfSignalled();
        return written;
    }

    const QByteArray base = t.name.mid(t.name.lastIndexOf('/') + 1);
    QByteArray temp = FolderOf(t.name) + "/." + base.left(200) + ".XXXXXX";
    std::optional<RegisteredTemporary> registered;
    int fd = -1;
    int made = 0;
    {
        // Made and registered with no signal in between.
        const HeldSignals held;
        fd = ::mkostemp(temp.data(), O_CLOEXEC);
        made = errno;
        if (fd >= 0)
            registered.emplace(temp);
    }
    if (fd < 0)
        return Fail(path, SystemError(made));
    Result<void> filled = Fill(path, fd, write);
    int err = 0;
    // The user's files reach the disk before they replace the old ones; the
    // scratch pictures, rewritten at every plot, need not.
    if (filled && link == SymLink::Follow && ::fsync(fd) != 0)
        err = errno;
    const bool keepMode = t.type == S_IFREG;
    if (filled && !err && ::fchmod(fd, keepMode ? t.permissions : NewFilePermissions()) != 0)
        err = errno;
    if (::close(fd) != 0 && !err)
        err = errno;
    // rename() replaces a link in the way rather than what it points to.
    if (filled && !err && ::rename(temp.constData(), t.name.constData()) != 0)
        err = errno;
    if (filled && err)
        filled = Fail(path, SystemError(err));
    if (!filled) {
        ::unlink(temp.constData());
        registered.reset();
        EndIfSignalled();
        return filled;
    }
    registered.reset();
    EndIfSignalled();
    return {};
}

void CatchEndingSignals(bool eventLoopListens)
{
    if (eventLoopListens && signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        eventLoopListens = false;
    loopListens = eventLoopListens ? 1 : 0;
    struct sigaction sa {};
    sa.sa_handler = OnEndingSignal;
    sigemptyset(&sa.sa_mask);
    // No SA_RESTART: a write waiting on a slow disk returns to see the signal.
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}

int EndingSignalPipe()
{
    return signalPipe[0];
}

void EndIfSignalled()
{
    const int sig = pendingSignal;
    if (!sig)
        return;
    std::signal(sig, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(sig);
    std::_Exit(128 + sig);
}

Result<void> WriteWholeBytes(const QString& path, const QByteArray& bytes, SymLink link)
{
    return WriteWholeFile(
        path, [&bytes](QIODevice& d) { return d.write(bytes) == bytes.size(); }, link);
}

Result<std::unique_ptr<QTemporaryFile>> TemporaryBeside(const QString& path)
{
    const QFileInfo info(path);
    auto f = std::make_unique<QTemporaryFile>(
        info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName().left(200))));
    if (!f->open())
        return Fail(path, f->errorString());
    f->close();
    return f;
}
