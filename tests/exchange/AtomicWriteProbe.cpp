// Writes one file through the atomic writer, for tests that watch the
// system calls it makes: AtomicWriteProbe PATH TEXT
#include <QByteArray>
#include <QString>

#include "AtomicFile.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    return WriteFileAtomically(QString::fromLocal8Bit(argv[1]), QByteArray(argv[2])) ? 0 : 1;
}
