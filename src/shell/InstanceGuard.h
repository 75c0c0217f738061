#pragma once

#include <QString>

#include <functional>
#include <memory>

class QLockFile;

// Takes `lock` at once, if no live copy holds it. Locks never go stale by
// age (a copy may measure for days), only by a dead owner, and that includes
// an owner killed between creating the lock file and writing its name into
// it, or while it removed a dead owner's lock: Qt alone would take the empty
// file for a live lock. False when another copy holds it, or the file cannot
// be made.
bool TakeLockFile(QLockFile& lock);

// One running copy per executable and user. The first copy holds a lock in
// the user's own runtime directory for its whole run (never in the shared
// temporary directory, where another user could take the name first); a
// later copy finds it held, asks the running copy to come to the front, and
// ends.
class InstanceGuard {
public:
    explicit InstanceGuard(const QString& executablePath,
                           const QString& lockDirectory = DefaultLockDirectory());
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    bool PreviousInstance() const { return previous_; }

    // In the running copy: wake is called whenever a later copy asks it to
    // come to the front.
    void OnWakeRequest(std::function<void()> wake);
    // In a later copy: asks the running copy to come to the front.
    void WakeRunningCopy() const;

    // The per-user runtime directory (XDG_RUNTIME_DIR), or on Windows the
    // user's own temporary directory.
    static QString DefaultLockDirectory();

private:
    struct State;
    std::unique_ptr<State> state_;
    bool previous_ = false;
};
