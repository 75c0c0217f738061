#include "drawing/HelperWire.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

namespace {

constexpr QDataStream::Version kVersion = QDataStream::Qt_6_0;

// The whole message read, and nothing left over.
bool Whole(const QDataStream& in) { return in.status() == QDataStream::Ok && in.atEnd(); }

}  // namespace

QByteArray HelperWire::Encode(const Request& request) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kVersion);
    out << static_cast<quint8>(request.call) << request.path << qint32(request.page)
        << request.untaggedDpi << request.pixelsPerMm << request.pixels;
    return bytes;
}

QByteArray HelperWire::Encode(const Reply& reply) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kVersion);
    out << reply.error << reply.outOfMemory << reply.pdf << qint32(reply.pages)
        << reply.dpi.has_value() << reply.dpi.value_or(QSizeF()) << reply.sizeMm << reply.partial
        << reply.image << qint32(reply.bytesPerLine);
    return bytes;
}

std::optional<HelperWire::Request> HelperWire::DecodeRequest(const QByteArray& message) {
    QDataStream in(message);
    in.setVersion(kVersion);
    Request request;
    quint8 call = 0;
    qint32 page = 0;
    in >> call >> request.path >> page >> request.untaggedDpi >> request.pixelsPerMm >>
        request.pixels;
    if (!Whole(in) || call < 1 || call > 3) return std::nullopt;
    request.call = static_cast<Call>(call);
    request.page = page;
    return request;
}

std::optional<HelperWire::Reply> HelperWire::DecodeReply(const QByteArray& message) {
    QDataStream in(message);
    in.setVersion(kVersion);
    Reply reply;
    qint32 pages = 0;
    qint32 bytesPerLine = 0;
    bool hasDpi = false;
    QSizeF dpi;
    in >> reply.error >> reply.outOfMemory >> reply.pdf >> pages >> hasDpi >> dpi >> reply.sizeMm >>
        reply.partial >> reply.image >> bytesPerLine;
    if (!Whole(in)) return std::nullopt;
    reply.pages = pages;
    reply.bytesPerLine = bytesPerLine;
    if (hasDpi) reply.dpi = dpi;
    return reply;
}

QByteArray HelperWire::Frame(const QByteArray& message) {
    QByteArray framed(4, '\0');
    qToBigEndian(static_cast<quint32>(message.size()), framed.data());
    return framed + message;
}

std::optional<QByteArray> HelperWire::TakeFrame(QByteArray& buffer, bool& broken) {
    broken = false;
    if (buffer.size() < 4) return std::nullopt;
    const quint32 length = qFromBigEndian<quint32>(buffer.constData());
    if (length > kMaxMessage) {
        broken = true;
        return std::nullopt;
    }
    if (buffer.size() < 4 + qsizetype(length)) return std::nullopt;
    QByteArray message = buffer.mid(4, length);
    buffer.remove(0, 4 + length);
    return message;
}
