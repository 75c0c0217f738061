#include "CodePage.h"

#include <QStringConverter>
#include <QtGlobal>

#ifdef _WIN32
#include <windows.h>
#endif

unsigned SystemCodePage() {
#ifdef _WIN32
    return GetACP();
#else
    return 65001;
#endif
}

bool SystemCodePageHolds(const QString& text) {
    QStringEncoder encoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) return false;
    QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes) == text;
}

unsigned ExpectedCodePage() {
    bool ok = false;
    const unsigned value = qEnvironmentVariable("KALVOR_EXPECT_ACP").toUInt(&ok);
    return ok ? value : 0;
}
