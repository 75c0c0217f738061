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
#include <vector>

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
// Every call answers later, in this object's thread, and nothing here
// waits for the helper: the window goes on while a file is read, however
// long that takes. The helper does one call at a time. Opening a file comes
// first: an Inspect or Open made while a Render is under way abandons it
// (its answer hears Abandoned, and the helper, which may be stuck inside
// the drawing, is ended), and a Render made while an Inspect or Open is
// under way waits for it. A call is forgotten with Drop(), from its ticket.
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

    // Names a call, for Drop; never 0.
    using Ticket = quint64;
    // `probe.error` says it for the operator when `failure` is not None.
    using Inspected = std::function<void(const DrawingFile::Probe& probe, Failure failure)>;
    // None with `error` set when the page cannot be opened.
    using Opened =
        std::function<void(const std::optional<Page>& page, const QString& error, Failure failure)>;
    using Done = std::function<void(const QImage& image, Failure failure)>;

    // `program`: the helper's path; empty looks for it where the program
    // is installed (or, for a program in the build tree, where it is built).
    explicit DrawingHelper(QString program = QString());
    ~DrawingHelper() override;

    void SetLimits(Limits limits) { limits_ = limits; }
    const Limits& CurrentLimits() const { return limits_; }

    // Starts the helper ahead of a call that is coming (the operator is
    // choosing a file), the PDF reader loaded and made ready in it
    // meanwhile: the first drawing waits for neither. Nothing when the
    // helper runs already; a helper that cannot start is told at the call.
    void Prepare();
    // Each call's answer comes once, later, unless its ticket is dropped
    // first. What is at `path`.
    Ticket Inspect(const QString& path, Inspected done);
    // Page `page` (from 1) of the file at `path`.
    Ticket Open(const QString& path, int page, double untaggedDpi, Opened done);
    // The part `pixels` of `page` drawn at `pixelsPerMm`. The picture
    // `done` gets lies in the tile buffer, not copied: it holds only during
    // the call (copy what is kept).
    Ticket Render(const Page& page, double pixelsPerMm, const QRect& pixels, Done done);
    // The call is forgotten without a word; the helper is ended if it is
    // inside it (it may be stuck there): for a drawing closed, an opening
    // cancelled. A ticket already answered is no call.
    void Drop(Ticket ticket);
    // A call has been sent and not answered yet.
    bool Busy() const { return current_.has_value(); }

    // The helper's process id, 0 when none runs (for tests and the bench).
    qint64 ProcessId() const;

    // What a failure means, for a notice that names the file.
    QString Describe(Failure failure) const;

  private:
    // The helper's answer, none when `failure` says why there is none.
    using Answer =
        std::function<void(const std::optional<HelperWire::Reply>& reply, Failure failure)>;
    struct Call {
        Ticket ticket = 0;
        HelperWire::Request request;
        Answer answer;
    };

    // `prepare`: the helper readies its PDF reader before its first call.
    bool Start(Failure& failure, bool prepare = false);
    // Sends the call, or has it wait, or abandons the one under way for it.
    Ticket Issue(const HelperWire::Request& request, Answer answer);
    void Send(Call call);
    // Tells the call, later, that it was abandoned.
    void Abandon(Call call);
    void OnOutput();
    void OnFinished();
    void OnTimeout();
    // Why the helper ended (crash, memory) from how it ended.
    Failure EndedWith();
    void Stop();
    // Answers the call under way, then sends the one waiting.
    void Finish(const std::optional<HelperWire::Reply>& reply, Failure failure);

    QString program_;
    Limits limits_;
    std::unique_ptr<TileBuffer> buffer_;
    std::unique_ptr<QProcess> process_;
    QByteArray received_;
    QByteArray errors_;
    // Sent, its answer awaited.
    std::optional<Call> current_;
    // A Render waiting for the Inspect or Open under way.
    std::optional<Call> waiting_;
    // Abandoned, not told yet.
    std::vector<Call> abandoned_;
    Ticket lastTicket_ = 0;
    QTimer timer_;
    QString notStarted_;
#ifdef Q_OS_WIN
    void* job_ = nullptr;
#endif
};
