#include "files/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <QDir>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

FileReadResult Refused(FileReadResult::Status status, const QString& reason) {
    FileReadResult result;
    result.status = status;
    result.reason = reason;
    return result;
}

QString LinkReason() { return QStringLiteral("シンボリックリンクになっているため使いません"); }
QString NotRegularReason() { return QStringLiteral("通常のファイルではありません"); }
QString TooLargeReason(qint64 maxBytes) {
    return QStringLiteral("ファイルが大きすぎます（%1 MB まで）").arg(maxBytes / (1024 * 1024));
}

}  // namespace

#ifdef Q_OS_WIN

FileKind KindAt(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction()) return FileKind::Link;
    if (!info.exists()) return FileKind::Missing;
    return info.isFile() ? FileKind::Regular : FileKind::Other;
}

FileReadResult ReadRegularFile(const QString& path, qint64 maxBytes, Links links) {
    // No FIFOs to wait on here; devices ("NUL", "CON") are not files.
    const FileKind kind = KindAt(path);
    if (kind == FileKind::Missing) return Refused(FileReadResult::Status::Missing, QStringLiteral("ファイルがありません"));
    if (kind == FileKind::Link && links == Links::Refuse)
        return Refused(FileReadResult::Status::Link, LinkReason());
    const QFileInfo target(kind == FileKind::Link ? QFileInfo(path).symLinkTarget() : path);
    if (!target.isFile()) return Refused(FileReadResult::Status::NotRegular, NotRegularReason());
    if (target.size() > maxBytes)
        return Refused(FileReadResult::Status::TooLarge, TooLargeReason(maxBytes));
    QFile file(target.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return Refused(FileReadResult::Status::Failed, file.errorString());
    FileReadResult result;
    result.bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return Refused(FileReadResult::Status::Failed, file.errorString());
    if (result.bytes.size() > maxBytes)
        return Refused(FileReadResult::Status::TooLarge, TooLargeReason(maxBytes));
    result.status = FileReadResult::Status::Read;
    return result;
}

#else

FileKind KindAt(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileKind::Missing : FileKind::Other;
    if (S_ISLNK(st.st_mode)) return FileKind::Link;
    return S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Other;
}

FileReadResult ReadRegularFile(const QString& path, qint64 maxBytes, Links links) {
    // Non-blocking, so that a FIFO opens at once instead of waiting for a
    // writer; its type is then known from the descriptor, which no rename
    // can change any more.
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
    if (links == Links::Refuse) flags |= O_NOFOLLOW;
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) return Refused(FileReadResult::Status::Missing, QStringLiteral("ファイルがありません"));
        if (error == ELOOP && links == Links::Refuse)
            return Refused(FileReadResult::Status::Link, LinkReason());
        return Refused(FileReadResult::Status::Failed, QString::fromLocal8Bit(std::strerror(error)));
    }
    struct stat st {};
    FileReadResult result;
    if (::fstat(fd, &st) != 0) {
        result = Refused(FileReadResult::Status::Failed, QString::fromLocal8Bit(std::strerror(errno)));
    } else if (!S_ISREG(st.st_mode)) {
        result = Refused(FileReadResult::Status::NotRegular, NotRegularReason());
    } else if (st.st_size > maxBytes) {
        result = Refused(FileReadResult::Status::TooLarge, TooLargeReason(maxBytes));
    } else {
        // Read to its end, not to the size seen: a file that grows while it
        // is read is refused like one that was too large from the start. The
        // bytes go straight into the result, with one byte of room beyond
        // the size seen so that the end shows without growing it.
        QByteArray& bytes = result.bytes;
        bytes.resize(static_cast<qsizetype>(st.st_size) + 1);
        qsizetype size = 0;
        for (;;) {
            if (size == bytes.size())
                bytes.resize(std::min<qsizetype>(size + std::max<qsizetype>(size, 65536), maxBytes + 1));
            const ssize_t n = ::read(fd, bytes.data() + size, static_cast<std::size_t>(bytes.size() - size));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                result = Refused(FileReadResult::Status::Failed,
                                 QString::fromLocal8Bit(std::strerror(errno)));
                break;
            }
            if (n == 0) {
                bytes.truncate(size);
                result.status = FileReadResult::Status::Read;
                break;
            }
            size += n;
            if (size > maxBytes) {
                result = Refused(FileReadResult::Status::TooLarge, TooLargeReason(maxBytes));
                break;
            }
        }
    }
    ::close(fd);
    return result;
}

#endif
