#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <optional>

// The messages between Kalvor and its drawing helper, over the helper's
// standard input and output: each a 32-bit length, then the message as
// QDataStream writes it. Everything read from the other side is checked as
// it is decoded: Kalvor takes nothing from a helper on trust, since a
// drawing may have taken it over.
struct HelperWire {
    enum class Call : quint8 { Inspect = 1, Open = 2, Render = 3 };

    struct Request {
        Call call = Call::Inspect;
        QString path;
        // Open and Render: the page (from 1) and the resolution given for an
        // image without its own (0: none).
        int page = 1;
        double untaggedDpi = 0;
        // Render: the part drawn, as DrawingPage::Render takes it.
        double pixelsPerMm = 0;
        QRect pixels;
    };

    struct Reply {
        // Why it failed, for the operator; empty when it did not.
        QString error;
        // The helper ran out of memory (and said so before it could fail
        // worse).
        bool outOfMemory = false;
        // Inspect.
        bool pdf = false;
        int pages = 1;
        std::optional<QSizeF> dpi;
        // Open.
        QSizeF sizeMm;
        bool partial = false;
        // Render: the picture in the tile buffer, 32 bits a pixel (RGB32),
        // rows `bytesPerLine` apart; none when it could not be drawn.
        QSize image;
        int bytesPerLine = 0;
    };

    // A message longer than this is no message of ours.
    static constexpr quint32 kMaxMessage = 1 << 20;

    static QByteArray Encode(const Request& request);
    static QByteArray Encode(const Reply& reply);
    static std::optional<Request> DecodeRequest(const QByteArray& message);
    static std::optional<Reply> DecodeReply(const QByteArray& message);

    // The message with its length in front.
    static QByteArray Frame(const QByteArray& message);
    // The first whole message at the front of `buffer`, taken out of it;
    // none while it is not all there. `broken` is set when what is there
    // cannot be a message.
    static std::optional<QByteArray> TakeFrame(QByteArray& buffer, bool& broken);
};
