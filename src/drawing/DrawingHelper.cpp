#include "drawing/DrawingHelper.h"

#include <QPointer>
#include <algorithm>
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
    current_.reset();
    waiting_.reset();
    Stop();
#ifdef Q_OS_WIN
    if (job_ != nullptr) CloseHandle(job_);
#endif
}

qint64 DrawingHelper::ProcessId() const { return process_ ? process_->processId() : 0; }

void DrawingHelper::Prepare() {
    if (current_ || (process_ && process_->state() == QProcess::Running)) return;
    Failure failure = Failure::None;
    Start(failure, true);
}

bool DrawingHelper::Start(Failure& failure, bool prepare) {
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
    QStringList arguments{QStringLiteral("--tiles"), buffer_->Handle()};
    if (prepare) arguments << QStringLiteral("--prepare-pdf");
    process_->setArguments(arguments);
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
    // it is inside the job before it can allocate for a drawing (a helper
    // prepared meanwhile draws only a tiny page of our own).
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

DrawingHelper::Ticket DrawingHelper::Issue(const HelperWire::Request& request, Answer answer) {
    Call call{++lastTicket_, request, std::move(answer)};
    const Ticket ticket = call.ticket;
    const bool render = request.call == HelperWire::Call::Render;
    if (render && current_ && current_->request.call != HelperWire::Call::Render) {
        // The file being opened comes first; one drawing at a time waits.
        if (waiting_) Abandon(std::move(*waiting_));
        waiting_ = std::move(call);
        return ticket;
    }
    if (current_) {
        // What is under way may never end (a page built to be slow): the
        // helper is ended with it.
        Call under = std::move(*current_);
        current_.reset();
        Stop();
        Abandon(std::move(under));
    }
    Send(std::move(call));
    return ticket;
}

void DrawingHelper::Abandon(Call call) {
    // Told later, so that whoever hears it cannot start a call inside this
    // one's.
    const Ticket ticket = call.ticket;
    abandoned_.push_back(std::move(call));
    QTimer::singleShot(0, this, [this, ticket] {
        const auto at = std::find_if(abandoned_.begin(), abandoned_.end(),
                                     [ticket](const Call& c) { return c.ticket == ticket; });
        if (at == abandoned_.end()) return;
        const Call told = std::move(*at);
        abandoned_.erase(at);
        told.answer(std::nullopt, Failure::Abandoned);
    });
}

void DrawingHelper::Send(Call call) {
    const Ticket ticket = call.ticket;
    current_ = std::move(call);
    Failure failure = Failure::None;
    if (!Start(failure)) {
        // Answered later, as every call is: the caller has its ticket first.
        QTimer::singleShot(0, this, [this, ticket, failure] {
            if (current_ && current_->ticket == ticket) Finish(std::nullopt, failure);
        });
        return;
    }
    errors_.clear();
    received_.clear();
    process_->write(HelperWire::Frame(HelperWire::Encode(current_->request)));
    timer_.start(limits_.callMs);
}

void DrawingHelper::Drop(Ticket ticket) {
    std::erase_if(abandoned_, [ticket](const Call& c) { return c.ticket == ticket; });
    if (waiting_ && waiting_->ticket == ticket) {
        waiting_.reset();
        return;
    }
    if (!current_ || current_->ticket != ticket) return;
    current_.reset();
    Stop();
    if (waiting_) {
        Call next = std::move(*waiting_);
        waiting_.reset();
        Send(std::move(next));
    }
}

void DrawingHelper::Finish(const std::optional<HelperWire::Reply>& reply, Failure failure) {
    timer_.stop();
    const Call call = std::move(*current_);
    current_.reset();
    if (failure != Failure::None) Stop();
    // The answer may start another call, or end this helper's owner.
    const QPointer<DrawingHelper> alive(this);
    call.answer(reply, failure);
    if (alive.isNull() || current_ || !waiting_) return;
    Call next = std::move(*waiting_);
    waiting_.reset();
    Send(std::move(next));
}

DrawingHelper::Ticket DrawingHelper::Inspect(const QString& path, Inspected done) {
    HelperWire::Request request;
    request.call = HelperWire::Call::Inspect;
    request.path = path;
    return Issue(request, [this, done = std::move(done)](
                              const std::optional<HelperWire::Reply>& reply, Failure failure) {
        DrawingFile::Probe probe;
        if (!reply) {
            probe.error = Describe(failure);
            return done(probe, failure);
        }
        probe.kind = reply->pdf ? DrawingFile::Kind::Pdf : DrawingFile::Kind::Image;
        probe.pages = reply->pages;
        probe.dpi = reply->dpi;
        probe.error = reply->error;
        if (probe.error.isEmpty() && probe.pages < 1) probe.error = Describe(Failure::Crashed);
        done(probe, Failure::None);
    });
}

DrawingHelper::Ticket DrawingHelper::Open(const QString& path, int page, double untaggedDpi,
                                          Opened done) {
    HelperWire::Request request;
    request.call = HelperWire::Call::Open;
    request.path = path;
    request.page = page;
    request.untaggedDpi = untaggedDpi;
    return Issue(request, [this, path, page, untaggedDpi, done = std::move(done)](
                              const std::optional<HelperWire::Reply>& reply, Failure failure) {
        if (!reply) return done(std::nullopt, Describe(failure), failure);
        if (!reply->error.isEmpty()) return done(std::nullopt, reply->error, Failure::None);
        // A page of no size, or of one no number holds, is not drawn.
        const QSizeF size = reply->sizeMm;
        if (!(size.width() > 0 && size.height() > 0 && size.width() < 1e12 && size.height() < 1e12))
            return done(std::nullopt,
                        QStringLiteral("%1 ページ目が壊れていて読めません。").arg(page),
                        Failure::None);
        done(Page{path, page, untaggedDpi, size, reply->partial}, QString(), Failure::None);
    });
}

DrawingHelper::Ticket DrawingHelper::Render(const Page& page, double pixelsPerMm,
                                            const QRect& pixels, Done done) {
    HelperWire::Request request;
    request.call = HelperWire::Call::Render;
    request.path = page.path;
    request.page = page.page;
    request.untaggedDpi = page.untaggedDpi;
    request.pixelsPerMm = pixelsPerMm;
    request.pixels = pixels;
    return Issue(request, [this, done = std::move(done)](
                              const std::optional<HelperWire::Reply>& reply, Failure failure) {
        if (!reply) return done(QImage(), failure);
        const QSize size = reply->image;
        // The picture is where the helper says; believed only inside the
        // buffer.
        if (size.isEmpty() || size.width() > 4096 || reply->bytesPerLine < size.width() * 4 ||
            qint64(reply->bytesPerLine) * size.height() > TileBuffer::kBytes)
            return done(QImage(), Failure::None);
        // Not copied: the renderer cuts its tiles out of it at once.
        const QImage shared(buffer_->Data(), size.width(), size.height(), reply->bytesPerLine,
                            QImage::Format_RGB32);
        done(shared, Failure::None);
    });
}

void DrawingHelper::OnOutput() {
    if (!process_) return;
    received_ += process_->readAllStandardOutput();
    if (!current_) return;
    bool broken = false;
    const std::optional<QByteArray> message = HelperWire::TakeFrame(received_, broken);
    if (broken) return Finish(std::nullopt, Failure::Crashed);
    if (!message) return;
    const std::optional<HelperWire::Reply> reply = HelperWire::DecodeReply(*message);
    if (!reply) return Finish(std::nullopt, Failure::Crashed);
    if (reply->outOfMemory) return Finish(std::nullopt, Failure::OutOfMemory);
    Finish(reply, Failure::None);
}

void DrawingHelper::OnTimeout() {
    if (current_) Finish(std::nullopt, Failure::TimedOut);
}

void DrawingHelper::OnFinished() {
    if (!process_) return;
    errors_ += process_->readAllStandardError();
    if (current_) Finish(std::nullopt, EndedWith());
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
