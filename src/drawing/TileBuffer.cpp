#include "drawing/TileBuffer.h"

#ifdef Q_OS_WIN
#include <QCoreApplication>
#include <QUuid>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#ifdef Q_OS_WIN

TileBuffer::~TileBuffer() {
    if (memory_.isAttached()) memory_.detach();
}

bool TileBuffer::Create(QString& why) {
    memory_.setNativeKey(QStringLiteral("KalvorTiles-%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QUuid::createUuid().toString(QUuid::Id128)));
    if (!memory_.create(static_cast<qsizetype>(kBytes))) {
        why = memory_.errorString();
        return false;
    }
    data_ = static_cast<uchar*>(memory_.data());
    return true;
}

bool TileBuffer::Attach(const QString& handle, QString& why) {
    memory_.setNativeKey(handle);
    if (!memory_.attach() || memory_.size() < kBytes) {
        why = memory_.errorString();
        return false;
    }
    data_ = static_cast<uchar*>(memory_.data());
    return true;
}

QString TileBuffer::Handle() const { return memory_.nativeKey(); }

#else

TileBuffer::~TileBuffer() {
    if (data_ != nullptr) ::munmap(data_, static_cast<size_t>(kBytes));
    if (fd_ >= 0) ::close(fd_);
}

namespace {

uchar* Map(int fd) {
    void* data = ::mmap(nullptr, static_cast<size_t>(TileBuffer::kBytes), PROT_READ | PROT_WRITE,
                        MAP_SHARED, fd, 0);
    return data == MAP_FAILED ? nullptr : static_cast<uchar*>(data);
}

}  // namespace

bool TileBuffer::Create(QString& why) {
    fd_ = ::memfd_create("kalvor-tiles", MFD_CLOEXEC);
    if (fd_ < 0 || ::ftruncate(fd_, kBytes) != 0 || (data_ = Map(fd_)) == nullptr) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

bool TileBuffer::Attach(const QString& handle, QString& why) {
    bool ok = false;
    fd_ = handle.toInt(&ok);
    struct stat st {};
    if (!ok || fd_ < 0 || ::fstat(fd_, &st) != 0 || st.st_size < kBytes ||
        (data_ = Map(fd_)) == nullptr) {
        why = QStringLiteral("共有メモリーがありません");
        return false;
    }
    return true;
}

QString TileBuffer::Handle() const { return QString::number(fd_); }

#endif
