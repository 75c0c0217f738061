#pragma once

#include <QLockFile>
#include <QString>

// A lock file held for the whole run of the program. A lock left by a run
// that ended without its shut-down (killed, a power cut) is taken over: its
// owner is recognised as gone, also when it was killed before it could write
// its name into the file, and when a new run was given the same process id
// (Wine numbers its processes afresh after a restart, so a restarted program
// often gets the id of the one that was killed).
class RunLock {
public:
    explicit RunLock(const QString& path);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    bool Held() const { return held_; }

private:
    QString path_;
    QLockFile lock_;
    bool held_ = false;
};
