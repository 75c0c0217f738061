#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QProcess>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "drawing/DrawingFile.h"
#include "drawing/HelperWire.h"
#include "drawing/TileBuffer.h"

// Reads drawings in a process of our own, the helper "kalvor-drawing", so
// that a file built to crash, hang or eat the memory of a PDF or image
// library ends the helper and never Kalvor: a PDF library will always have
// another crash in it, and Kalvor holds the operator's table.
//
// The helper runs under a memory limit (its address space on Linux, a job
// object on Windows) and every call under a time budget; past either, or
// when it crashes, it is ended and started afresh at the next call, and the
// call says what happened (Failure). It is started at the first call, not
// with Kalvor. Its drawn parts come back through a shared TileBuffer.
//
// Inspect and Open wait for their answer (at most the budget); Render
// answers later, in this object's thread. One call at a time: a call made
// while a Render is under way abandons it (its `done` hears Abandoned).
class DrawingHelper : public QObject {
    Q_OBJECT
  public:
    enum class Failure { None, Abandoned, NotStarted, Crashed, TimedOut, OutOfMemory };

    // False in a build with AddressSanitizer, whose shadow memory reserves
    // terabytes of address space: there the helper runs without a memory
    // limit (the time budget still holds).
    static const bool kMemoryLimited;

    struct Limits {
        // The helper's address space: the largest image it takes
        // (DrawingFile::kMaxImageBytes, 2 GiB) and Qt, poppler and their
        // libraries (about 0.3 GiB mapped) with room to spare.
        qint64 memoryBytes = qint64(3) * 1024 * 1024 * 1024;
        // One call, milliseconds: an A0 drawing's overview takes about a
        // second; a page that takes many more is not one to measure on.
        int callMs = 20000;
    };

    // An open page, as the helper is asked to draw it again.
    struct Page {
        QString path;
        int page = 1;
        double untaggedDpi = 0;
        QSizeF sizeMm;
        bool partial = false;
    };

    using Done = std::function<void(const QImage& image, Failure failure)>;

    // `program`: the helper's path; empty looks for it where the program
    // is installed (or, for a program in the build tree, where it is built).
    explicit DrawingHelper(QString program = QString());
    ~DrawingHelper() override;

    void SetLimits(Limits limits) { limits_ = limits; }
    const Limits& CurrentLimits() const { return limits_; }

    // What is at `path`; `failure` tells when the helper did not answer
    // (then `error` in the probe says it for the operator).
    DrawingFile::Probe Inspect(const QString& path, Failure& failure);
    // The page of the file last inspected; none with `error` set.
    std::optional<Page> Open(const QString& path, int page, double untaggedDpi, QString& error,
                             Failure& failure);
    // The part `pixels` of `page` drawn at `pixelsPerMm`; `done` is called
    // once, later, unless Drop() comes first.
    void Render(const Page& page, double pixelsPerMm, const QRect& pixels, Done done);
    // A Render under way is forgotten without a word, and the helper ended
    // (it may be stuck in the drawing): for a drawing closed.
    void Drop();
    bool Busy() const { return static_cast<bool>(pending_); }

    // The helper's process id, 0 when none runs (for tests and the bench).
    qint64 ProcessId() const;

    // What a failure means, for a notice that names the file.
    QString Describe(Failure failure) const;

  private:
    bool Start(Failure& failure);
    // Sends `request` and waits for its answer.
    std::optional<HelperWire::Reply> Call(const HelperWire::Request& request, Failure& failure);
    void Send(const HelperWire::Request& request);
    void OnOutput();
    void OnFinished();
    void OnTimeout();
    // Why the helper ended (crash, memory) from how it ended.
    Failure EndedWith();
    void Stop();
    void Finish(const QImage& image, Failure failure);

    QString program_;
    Limits limits_;
    std::unique_ptr<TileBuffer> buffer_;
    std::unique_ptr<QProcess> process_;
    QByteArray received_;
    QByteArray errors_;
    Done pending_;
    QTimer timer_;
    QString notStarted_;
#ifdef Q_OS_WIN
    void* job_ = nullptr;
#endif
};
