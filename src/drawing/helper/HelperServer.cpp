#include "drawing/helper/HelperServer.h"

#include <cstring>

#include "drawing/TileBuffer.h"

std::optional<HelperWire::Reply> HelperServer::Answer(const QByteArray& message) {
    const std::optional<HelperWire::Request> request = HelperWire::DecodeRequest(message);
    if (!request) return std::nullopt;
    switch (request->call) {
        case HelperWire::Call::Inspect:
            return Inspect(*request);
        case HelperWire::Call::Open: {
            HelperWire::Reply reply;
            if (const DrawingPage* page = Page(*request, reply)) {
                reply.sizeMm = page->SizeMm();
                reply.partial = open_->opened.partial;
            }
            return reply;
        }
        case HelperWire::Call::Render:
            return Render(*request);
    }
    return std::nullopt;
}

HelperWire::Reply HelperServer::Inspect(const HelperWire::Request& request) {
    probed_ = request.path;
    probe_ = DrawingFile::Inspect(request.path);
    HelperWire::Reply reply;
    reply.error = probe_.error;
    reply.pdf = probe_.kind == DrawingFile::Kind::Pdf;
    reply.pages = probe_.pages;
    reply.dpi = probe_.dpi;
    return reply;
}

const DrawingPage* HelperServer::Page(const HelperWire::Request& request,
                                      HelperWire::Reply& reply) {
    if (open_ && open_->path == request.path && open_->page == request.page &&
        open_->untaggedDpi == request.untaggedDpi)
        return open_->opened.page.get();
    open_.reset();
    // Drawn again after a restart: the file is inspected here first.
    if (probed_ != request.path) Inspect(request);
    Open open{
        request.path, request.page, request.untaggedDpi,
        DrawingFile::Open(request.path, probe_, request.page, request.untaggedDpi, maxImageBytes_)};
    probed_.clear();
    if (!open.opened.page) {
        reply.error = open.opened.error;
        return nullptr;
    }
    open_ = std::move(open);
    return open_->opened.page.get();
}

HelperWire::Reply HelperServer::Render(const HelperWire::Request& request) {
    HelperWire::Reply reply;
    const DrawingPage* page = Page(request, reply);
    const QRect& pixels = request.pixels;
    if (page == nullptr || pixels.isEmpty() ||
        qint64(pixels.width()) * pixels.height() * 4 > TileBuffer::kBytes ||
        !(request.pixelsPerMm > 0))
        return reply;
    QImage image = page->Render(request.pixelsPerMm, pixels);
    if (image.isNull()) return reply;
    if (image.format() != QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_RGB32);
    const qint64 bytes = qint64(image.bytesPerLine()) * image.height();
    if (bytes > TileBuffer::kBytes) return reply;
    std::memcpy(buffer_.Data(), image.constBits(), static_cast<size_t>(bytes));
    reply.image = image.size();
    reply.bytesPerLine = static_cast<int>(image.bytesPerLine());
    return reply;
}
