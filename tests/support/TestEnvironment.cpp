#include "TestEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

#ifdef _WIN32
// After Qt: its headers do not expect the system's min and max macros.
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The offscreen platform's own screen is 800 x 600, smaller than the
// window's design size; the tests see a common desktop screen instead. The
// file is this process's own (test processes run side by side) and goes
// when it ends.
std::string& ScreenConfig() {
    static std::string path;
    return path;
}

void UseADesktopSizedScreen(const std::string& directory) {
    if (qgetenv("QT_QPA_PLATFORM") != "offscreen") return;
    // Platform options are split at colons: a path with a drive letter
    // cannot be one, so an empty directory means the current one.
    ScreenConfig() = (directory.empty() ? std::string() : directory + "/") + "kalvor-screen-" +
                     std::to_string(QCoreApplication::applicationPid()) + ".json";
    FILE* file = std::fopen(ScreenConfig().c_str(), "w");
    if (file == nullptr) return;
    std::fputs(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, )"
               R"("height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})",
               file);
    if (std::fclose(file) != 0) return;
    std::atexit([] { std::remove(ScreenConfig().c_str()); });
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString("offscreen:configfile=" + ScreenConfig()));
}

}  // namespace

void PrepareTestEnvironment() {
#ifdef _WIN32
    // Wine passes no host variable that begins with QT_ on to the program.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    UseADesktopSizedScreen(std::string());
#else
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        std::string dir = "/tmp/kalvor-test-runtime-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        chmod(dir.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    UseADesktopSizedScreen(std::getenv("XDG_RUNTIME_DIR"));
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
