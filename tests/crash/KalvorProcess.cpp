#include "KalvorProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

namespace {

QString Describe(int status) {
    if (WIFEXITED(status)) return QStringLiteral("exit %1").arg(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return QStringLiteral("signal %1").arg(WTERMSIG(status));
    return QStringLiteral("status %1").arg(status);
}

}  // namespace

bool KalvorProcess::Start(const QString& executable, const QStringList& environment,
                          const QString& logPath, QString& error) {
    Kill();
    ended_.clear();
    const QByteArray program = QFile::encodeName(executable);
    const QByteArray log = QFile::encodeName(logPath);
    std::vector<QByteArray> entries;
    for (const QString& entry : environment) entries.push_back(entry.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& entry : entries) envp.push_back(entry.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.constData()), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.constData(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int failed =
        posix_spawn(&pid_, program.constData(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        pid_ = -1;
        error = QString::fromLocal8Bit(std::strerror(failed));
        return false;
    }
    return true;
}

void KalvorProcess::Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

bool KalvorProcess::Running() {
    if (pid_ <= 0) return false;
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == 0) return true;
    if (done == pid_) ended_ = Describe(status);
    pid_ = -1;
    return false;
}
