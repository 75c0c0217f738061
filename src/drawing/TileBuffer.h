#pragma once

#include <QString>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QSharedMemory>
#endif

// The memory a drawn part of a page crosses from the drawing helper to
// Kalvor in: one buffer shared by the two processes, made by Kalvor, found
// by the helper through Handle() on its command line. On Linux an anonymous
// memory file the helper inherits (nothing is left behind when either ends,
// however it ends); on Windows a named mapping, gone with its last handle.
class TileBuffer {
  public:
    // The most one call draws: 8 × 8 tiles of 256 × 256 pixels, 32 bits
    // each.
    static constexpr qint64 kBytes = qint64(2048) * 2048 * 4;

    TileBuffer() = default;
    ~TileBuffer();
    TileBuffer(const TileBuffer&) = delete;
    TileBuffer& operator=(const TileBuffer&) = delete;

    // Kalvor's side: a new buffer; false with `why` when none can be made.
    bool Create(QString& why);
    // The helper's side: the buffer Kalvor made.
    bool Attach(const QString& handle, QString& why);
    // What the helper is given to find the buffer.
    QString Handle() const;
#ifndef Q_OS_WIN
    // The file the helper must inherit (closed on exec otherwise).
    int Descriptor() const { return fd_; }
#endif

    uchar* Data() const { return data_; }

  private:
    uchar* data_ = nullptr;
#ifdef Q_OS_WIN
    QSharedMemory memory_;
#else
    int fd_ = -1;
#endif
};
