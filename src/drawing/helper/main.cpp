// kalvor-drawing: reads drawings for Kalvor in a process of its own (see
// DrawingHelper), answering the messages on its standard input on its
// standard output until the input ends.
//
//   kalvor-drawing --tiles HANDLE [--prepare-pdf]
//
// Started by Kalvor with its limits set; not meant to be run by hand.

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QtEndian>
#include <cstdio>
#include <new>

#include "drawing/HelperWire.h"
#include "drawing/PdfReader.h"
#include "drawing/TileBuffer.h"
#include "drawing/helper/HelperServer.h"

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

bool ReadExactly(QFile& in, char* data, qint64 size) {
    while (size > 0) {
        const qint64 got = in.read(data, size);
        if (got <= 0) return false;
        data += got;
        size -= got;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef Q_OS_WIN
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    // For Qt's image plugins, found beside the program or Qt.
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype at = arguments.indexOf(QStringLiteral("--tiles"));
    TileBuffer buffer;
    QString why;
    if (at < 0 || at + 1 >= arguments.size() || !buffer.Attach(arguments.at(at + 1), why)) {
        std::fprintf(stderr, "kalvor-drawing: no tile buffer (%s)\n", qPrintable(why));
        return 2;
    }
    // The answers go out on a copy of the standard output, which itself
    // goes to the error output from here on: whatever a library prints
    // cannot end up inside an answer.
    std::fflush(stdout);
#ifdef Q_OS_WIN
    const int wire = _dup(_fileno(stdout));
    _dup2(_fileno(stderr), _fileno(stdout));
#else
    const int wire = ::dup(STDOUT_FILENO);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
#endif
    QFile in;
    QFile out;
    if (wire < 0 || !in.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered) ||
        !out.open(wire, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 2;
    // Started ahead of its first file (the operator is choosing one): the
    // PDF reader is loaded and readied meanwhile, for most drawings are
    // PDF files. A helper started for a call reads its first message
    // first, and loads the reader only for a PDF file.
    if (arguments.contains(QStringLiteral("--prepare-pdf"))) {
        QString ignored;
        if (const PdfReader* reader = PdfReader::Load(ignored)) reader->Prepare();
    }
    HelperServer server(buffer);
    QByteArray length(4, '\0');
    while (ReadExactly(in, length.data(), 4)) {
        const quint32 size = qFromBigEndian<quint32>(length.constData());
        if (size > HelperWire::kMaxMessage) return 2;
        QByteArray body(static_cast<qsizetype>(size), '\0');
        if (!ReadExactly(in, body.data(), size)) return 0;
        HelperWire::Reply reply;
        try {
            const std::optional<HelperWire::Reply> answer = server.Answer(body);
            if (!answer) return 2;
            reply = *answer;
        } catch (const std::bad_alloc&) {
            // Said on both channels: Kalvor ends this helper and tells the
            // operator; a failing allocation elsewhere (poppler aborts) says
            // "Out of memory" on the error output alone.
            std::fputs("kalvor-drawing: out of memory\n", stderr);
            reply = HelperWire::Reply();
            reply.outOfMemory = true;
        }
        const QByteArray framed = HelperWire::Frame(HelperWire::Encode(reply));
        if (out.write(framed) != framed.size() || !out.flush()) return 0;
    }
    return 0;
}
