// Writes one file through the atomic writer, for tests that watch the
// system calls it makes: AtomicWriteProbe PATH TEXT
#include <QByteArray>
#include <QString>

#include <cstdio>

#include "files/AtomicFile.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const FileWriteResult written =
        WriteFileAtomically(QString::fromLocal8Bit(argv[1]), QByteArray(argv[2]));
    if (!written) std::fprintf(stderr, "%s\n", written.reason.toUtf8().constData());
    return written ? 0 : 1;
}
