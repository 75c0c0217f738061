#include "TestEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

void PrepareTestEnvironment() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        std::string dir = "/tmp/kalvor-test-runtime-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        chmod(dir.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    // The offscreen platform's own screen is 800 x 600, smaller than the
    // window's design size; the tests see a common desktop screen instead.
    if (std::string(std::getenv("QT_QPA_PLATFORM")) == "offscreen") {
        const std::string config =
            std::string(std::getenv("XDG_RUNTIME_DIR")) + "/kalvor-offscreen-screen.json";
        // Written aside and renamed: test processes run side by side and
        // must never read a half-written file.
        const std::string mine = config + "." + std::to_string(getpid());
        if (FILE* file = std::fopen(mine.c_str(), "w")) {
            std::fputs(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, )"
                       R"("height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})",
                       file);
            const bool written = std::fclose(file) == 0;
            if (written && std::rename(mine.c_str(), config.c_str()) == 0) {
                setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
            } else {
                std::remove(mine.c_str());
            }
        }
    }
}
