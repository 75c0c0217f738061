#include "editions/QtPlatformChoice.h"

#include <QtGlobal>
#include <cstring>

QByteArray ChosenQtPlatform(const std::function<QByteArray(const char*)>& env, int argc,
                            char** argv) {
    if (!env("QT_QPA_PLATFORM").isEmpty()) return {};
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg == nullptr) continue;
        if (std::strcmp(arg, "-platform") == 0 || std::strcmp(arg, "--platform") == 0 ||
            std::strncmp(arg, "-platform=", 10) == 0 || std::strncmp(arg, "--platform=", 11) == 0)
            return {};
    }
    const bool wayland = !env("WAYLAND_DISPLAY").isEmpty() || env("XDG_SESSION_TYPE") == "wayland";
    if (!wayland || env("DISPLAY").isEmpty()) return {};
    return QByteArrayLiteral("xcb");
}

void ChooseQtPlatform(int argc, char** argv) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QByteArray platform =
        ChosenQtPlatform([](const char* name) { return qgetenv(name); }, argc, argv);
    if (!platform.isEmpty()) qputenv("QT_QPA_PLATFORM", platform);
#else
    (void)argc;
    (void)argv;
#endif
}
