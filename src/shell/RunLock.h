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
    // Not held: why, when it is not another live copy that holds it (the
    // folder cannot be written; a link or another kind of file stands in
    // the lock's place, which is left as it is). Empty otherwise.
    const QString& Problem() const { return problem_; }

private:
    QString path_;
    QLockFile lock_;
    bool held_ = false;
    QString problem_;
};
