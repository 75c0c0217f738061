#include "TestEnvironment.h"

#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <QByteArray>
#include <QtGlobal>
// After Qt: its headers do not expect the system's min and max macros.
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

void PrepareTestEnvironment() {
#ifdef _WIN32
    // Wine passes no host variable that begins with QT_ on to the program.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
#else
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        std::string dir = "/tmp/kalvor-test-runtime-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        chmod(dir.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
#endif
}

bool RunsUnderWine() {
#ifdef _WIN32
    // Wine's ntdll exports its version; Windows' does not.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}
