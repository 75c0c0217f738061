#include "CommitGate.h"

#include <utility>

#include "files/AtomicFileCommit.h"

namespace {

std::function<bool(const QString&)>& Hook() {
    static std::function<bool(const QString&)> hook;
    return hook;
}

}  // namespace

void SetBeforeCommitHookForTest(std::function<bool(const QString& path)> hook) {
    Hook() = std::move(hook);
}

bool MayCommitAtomicWrite(const QString& path) { return !Hook() || Hook()(path); }
