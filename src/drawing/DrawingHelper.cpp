#include "drawing/DrawingHelper.h"

#include <QElapsedTimer>
#include <cstring>

#include "files/ProgramModule.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#endif

namespace {

// What the helper writes to its error output when an allocation fails:
// poppler's own words before it aborts, and the helper's.
bool SaysOutOfMemory(const QByteArray& errors) {
    return errors.contains("Out of memory") || errors.contains("kalvor-drawing: out of memory");
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
const bool DrawingHelper::kMemoryLimited = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
const bool DrawingHelper::kMemoryLimited = false;
#else
const bool DrawingHelper::kMemoryLimited = true;
#endif
#else
const bool DrawingHelper::kMemoryLimited = true;
#endif

DrawingHelper::DrawingHelper(QString program) : program_(std::move(program)) {
    if (program_.isEmpty()) {
        QString why;
        program_ = KALVOR_PROGRAM_MODULE(KALVOR_DRAWING_HELPER).Locate(why);
        if (program_.isEmpty()) notStarted_ = why;
    }
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { OnTimeout(); });
}

DrawingHelper::~DrawingHelper() {
    pending_ = nullptr;
    Stop();
#ifdef Q_OS_WIN
    if (job_ != nullptr) CloseHandle(job_);
#endif
}

qint64 DrawingHelper::ProcessId() const { return process_ ? process_->processId() : 0; }

bool DrawingHelper::Start(Failure& failure) {
    if (process_ && process_->state() == QProcess::Running) return true;
    Stop();
    failure = Failure::NotStarted;
    if (program_.isEmpty()) return false;
    if (!buffer_) {
        auto buffer = std::make_unique<TileBuffer>();
        if (!buffer->Create(notStarted_)) return false;
        buffer_ = std::move(buffer);
    }
    process_.reset(new QProcess(this));
    process_->setProgram(program_);
    process_->setArguments({QStringLiteral("--tiles"), buffer_->Handle()});
#ifndef Q_OS_WIN
    // In the child between fork and exec: only calls safe there.
    const rlim_t memory = kMemoryLimited ? static_cast<rlim_t>(limits_.memoryBytes) : RLIM_INFINITY;
    const int tiles = buffer_->Descriptor();
    process_->setChildProcessModifier([memory, tiles] {
        const rlimit space{memory, memory};
        ::setrlimit(RLIMIT_AS, &space);
        // A crash leaves no core file: it is the drawing's, not ours.
        const rlimit core{0, 0};
        ::setrlimit(RLIMIT_CORE, &core);
        // The helper goes with Kalvor, however Kalvor ends.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::fcntl(tiles, F_SETFD, 0);
    });
#endif
    connect(process_.get(), &QProcess::readyReadStandardOutput, this, [this] { OnOutput(); });
    connect(process_.get(), &QProcess::readyReadStandardError, this,
            [this] { errors_ += process_->readAllStandardError().right(4096); });
    connect(process_.get(), &QProcess::finished, this, [this] { OnFinished(); });
    process_->start(QIODevice::ReadWrite);
    if (!process_->waitForStarted(limits_.callMs)) {
        notStarted_ = process_->errorString();
        Stop();
        return false;
    }
#ifdef Q_OS_WIN
    // The helper reads nothing before its first message, sent after this:
    // it is inside the job before it can allocate for a drawing.
    if (job_ == nullptr) {
        job_ = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
        info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY |
                                                JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE |
                                                JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
        info.ProcessMemoryLimit = static_cast<SIZE_T>(limits_.memoryBytes);
        if (job_ != nullptr)
            SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &info, sizeof info);
    }
    if (job_ != nullptr) {
        HANDLE child = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE,
                                   static_cast<DWORD>(process_->processId()));
        if (child != nullptr) {
            AssignProcessToJobObject(job_, child);
            CloseHandle(child);
        }
    }
#endif
    failure = Failure::None;
    return true;
}

void DrawingHelper::Stop() {
    timer_.stop();
    received_.clear();
    if (!process_) return;
    // Let go later: this may run inside the process's own signal.
    QProcess* process = process_.release();
    process->disconnect(this);
    // Killed, not asked: it may be stuck inside a drawing. The end of a
    // killed process is seen at once.
    process->kill();
    process->waitForFinished(1000);
    process->deleteLater();
}

void DrawingHelper::Send(const HelperWire::Request& request) {
    errors_.clear();
    received_.clear();
    process_->write(HelperWire::Frame(HelperWire::Encode(request)));
}

std::optional<HelperWire::Reply> DrawingHelper::Call(const HelperWire::Request& request,
                                                     Failure& failure) {
    // A drawing under way may never end: the helper is ended with it.
    if (pending_) Finish(QImage(), Failure::Abandoned);
    if (!Start(failure)) return std::nullopt;
    Send(request);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        bool broken = false;
        if (const std::optional<QByteArray> message = HelperWire::TakeFrame(received_, broken)) {
            const std::optional<HelperWire::Reply> reply = HelperWire::DecodeReply(*message);
            if (reply && !reply->outOfMemory) return reply;
            failure = reply ? Failure::OutOfMemory : Failure::Crashed;
            Stop();
            return std::nullopt;
        }
        const qint64 left = limits_.callMs - clock.elapsed();
        if (broken || left <= 0) {
            failure = broken ? Failure::Crashed : Failure::TimedOut;
            Stop();
            return std::nullopt;
        }
        if (!process_ || process_->state() != QProcess::Running) {
            failure = EndedWith();
            Stop();
            return std::nullopt;
        }
        // readyRead, as it is emitted inside, adds to `received_`.
        process_->waitForReadyRead(static_cast<int>(std::min<qint64>(left, 100)));
    }
}

DrawingFile::Probe DrawingHelper::Inspect(const QString& path, Failure& failure) {
    HelperWire::Request request;
    request.call = HelperWire::Call::Inspect;
    request.path = path;
    DrawingFile::Probe probe;
    const std::optional<HelperWire::Reply> reply = Call(request, failure);
    if (!reply) {
        probe.error = Describe(failure);
        return probe;
    }
    probe.kind = reply->pdf ? DrawingFile::Kind::Pdf : DrawingFile::Kind::Image;
    probe.pages = reply->pages;
    probe.dpi = reply->dpi;
    probe.error = reply->error;
    if (probe.error.isEmpty() && probe.pages < 1) probe.error = Describe(Failure::Crashed);
    return probe;
}

std::optional<DrawingHelper::Page> DrawingHelper::Open(const QString& path, int page,
                                                       double untaggedDpi, QString& error,
                                                       Failure& failure) {
    HelperWire::Request request;
    request.call = HelperWire::Call::Open;
    request.path = path;
    request.page = page;
    request.untaggedDpi = untaggedDpi;
    const std::optional<HelperWire::Reply> reply = Call(request, failure);
    if (!reply) {
        error = Describe(failure);
        return std::nullopt;
    }
    if (!reply->error.isEmpty()) {
        error = reply->error;
        return std::nullopt;
    }
    // A page of no size, or of one no number holds, is not drawn.
    const QSizeF size = reply->sizeMm;
    if (!(size.width() > 0 && size.height() > 0 && size.width() < 1e12 && size.height() < 1e12)) {
        error = QStringLiteral("%1 ページ目が壊れていて読めません。").arg(page);
        return std::nullopt;
    }
    return Page{path, page, untaggedDpi, size, reply->partial};
}

void DrawingHelper::Render(const Page& page, double pixelsPerMm, const QRect& pixels, Done done) {
    if (pending_) Finish(QImage(), Failure::Abandoned);
    Failure failure = Failure::None;
    if (!Start(failure)) {
        // Answered later, as a drawing is.
        QTimer::singleShot(0, this, [done = std::move(done), failure] { done(QImage(), failure); });
        return;
    }
    HelperWire::Request request;
    request.call = HelperWire::Call::Render;
    request.path = page.path;
    request.page = page.page;
    request.untaggedDpi = page.untaggedDpi;
    request.pixelsPerMm = pixelsPerMm;
    request.pixels = pixels;
    pending_ = std::move(done);
    Send(request);
    timer_.start(limits_.callMs);
}

void DrawingHelper::Drop() {
    if (!pending_) return;
    pending_ = nullptr;
    Stop();
}

void DrawingHelper::Finish(const QImage& image, Failure failure) {
    timer_.stop();
    const Done done = std::move(pending_);
    pending_ = nullptr;
    if (failure != Failure::None) Stop();
    if (done) done(image, failure);
}

void DrawingHelper::OnOutput() {
    if (!process_) return;
    received_ += process_->readAllStandardOutput();
    if (!pending_) return;
    bool broken = false;
    const std::optional<QByteArray> message = HelperWire::TakeFrame(received_, broken);
    if (broken) return Finish(QImage(), Failure::Crashed);
    if (!message) return;
    const std::optional<HelperWire::Reply> reply = HelperWire::DecodeReply(*message);
    if (!reply) return Finish(QImage(), Failure::Crashed);
    if (reply->outOfMemory) return Finish(QImage(), Failure::OutOfMemory);
    const QSize size = reply->image;
    // The picture is where the helper says; believed only inside the
    // buffer.
    if (size.isEmpty() || size.width() > 4096 || reply->bytesPerLine < size.width() * 4 ||
        qint64(reply->bytesPerLine) * size.height() > TileBuffer::kBytes)
        return Finish(QImage(), Failure::None);
    const QImage shared(buffer_->Data(), size.width(), size.height(), reply->bytesPerLine,
                        QImage::Format_RGB32);
    Finish(shared.copy(), Failure::None);
}

void DrawingHelper::OnTimeout() {
    if (pending_) Finish(QImage(), Failure::TimedOut);
}

void DrawingHelper::OnFinished() {
    if (!process_) return;
    errors_ += process_->readAllStandardError();
    if (pending_) Finish(QImage(), EndedWith());
}

DrawingHelper::Failure DrawingHelper::EndedWith() {
    if (process_) errors_ += process_->readAllStandardError();
    if (SaysOutOfMemory(errors_)) return Failure::OutOfMemory;
    return Failure::Crashed;
}

QString DrawingHelper::Describe(Failure failure) const {
    switch (failure) {
        case Failure::None:
        case Failure::Abandoned:
            return {};
        case Failure::NotStarted:
            return QStringLiteral(
                       "図面を読む補助プログラム（kalvor-drawing）を起動できません（%1）。")
                .arg(notStarted_);
        case Failure::Crashed:
            return QStringLiteral(
                "図面を読む補助プログラムが、この図面の読み取り中に異常終了しました。");
        case Failure::TimedOut:
            return QStringLiteral("図面の読み取りに %1 秒以上かかるため、中止しました。")
                .arg((limits_.callMs + 999) / 1000);
        case Failure::OutOfMemory:
            return QStringLiteral(
                       "図面の読み取りでメモリーの上限（%1 MB）を超えたため、中止しました。")
                .arg(limits_.memoryBytes / (1024 * 1024));
    }
    return {};
}
