#pragma once

#include <cstddef>

#ifdef __unix__
#include <csignal>
#include <sys/resource.h>
#endif

// While one exists, this process cannot make any file larger than `bytes`:
// writes past that fail as they would on a full disk (EFBIG instead of
// ENOSPC, and no signal). Unix only; elsewhere it does nothing and
// Active() says so.
class FullDisk {
public:
    explicit FullDisk(std::size_t bytes) {
#ifdef __unix__
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
#else
        (void)bytes;
#endif
    }
    ~FullDisk() {
#ifdef __unix__
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
#endif
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool Active() const { return active_; }

private:
    bool active_ = false;
#ifdef __unix__
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
#endif
};
