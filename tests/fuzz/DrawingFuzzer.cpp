// The drawing helper fuzzed from both sides. First byte even: the rest is a
// drawing file (mutated PDFs and images from the seeds) that the helper
// inspects, opens and draws a part of, as Kalvor asks; its every answer must
// be a message Kalvor reads, and a drawn part must fit the tile buffer.
// Odd: the rest is what a helper taken over by a drawing might send Kalvor;
// every message Kalvor takes from it, written again, must read back the same.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "drawing/HelperWire.h"
#include "drawing/TileBuffer.h"
#include "drawing/helper/HelperServer.h"

namespace {

struct Setting {
    Setting() {
        QString why;
        FUZZ_CHECK(buffer.Create(why));
        path = dir.filePath(QStringLiteral("drawing"));
    }
    QTemporaryDir dir;
    QString path;
    TileBuffer buffer;
};

void Ask(HelperServer& server, const HelperWire::Request& request) {
    const std::optional<HelperWire::Reply> reply = server.Answer(HelperWire::Encode(request));
    FUZZ_CHECK(reply);
    const QByteArray written = HelperWire::Encode(*reply);
    const std::optional<HelperWire::Reply> read = HelperWire::DecodeReply(written);
    FUZZ_CHECK(read && HelperWire::Encode(*read) == written);
    FUZZ_CHECK(qint64(reply->bytesPerLine) * reply->image.height() <= TileBuffer::kBytes);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    if (data[0] % 2 == 1) {
        QByteArray stream = bytes;
        bool broken = false;
        while (const std::optional<QByteArray> message = HelperWire::TakeFrame(stream, broken)) {
            if (const std::optional<HelperWire::Reply> reply = HelperWire::DecodeReply(*message)) {
                // Compared as written: a NaN is the same NaN.
                const QByteArray written = HelperWire::Encode(*reply);
                const std::optional<HelperWire::Reply> again = HelperWire::DecodeReply(written);
                FUZZ_CHECK(again && HelperWire::Encode(*again) == written);
            }
        }
        return 0;
    }
    static Setting setting;
    QFile file(setting.path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    // Within libFuzzer's memory limit.
    HelperServer server(setting.buffer, qint64(64) * 1024 * 1024);
    HelperWire::Request request;
    request.path = setting.path;
    Ask(server, request);
    request.call = HelperWire::Call::Open;
    request.untaggedDpi = 300;
    Ask(server, request);
    request.call = HelperWire::Call::Render;
    request.pixelsPerMm = 2;
    request.pixels = QRect(0, 0, 96, 64);
    Ask(server, request);
    return 0;
}
