#include "DirectoryWatch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

DirectoryWatch::DirectoryWatch() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

DirectoryWatch::~DirectoryWatch() {
    if (fd_ >= 0) ::close(fd_);
}

bool DirectoryWatch::Add(const QString& directory) {
    if (fd_ < 0) return false;
    const int wd = inotify_add_watch(fd_, QFile::encodeName(directory).constData(),
                                     IN_CREATE | IN_DELETE | IN_MOVED_TO);
    if (wd < 0) return false;
    watches_.emplace_back(wd, directory);
    return true;
}

std::vector<DirectoryWatch::Event> DirectoryWatch::Wait(int ms) {
    std::vector<Event> events;
    if (fd_ < 0) return events;
    pollfd ready{fd_, POLLIN, 0};
    if (::poll(&ready, 1, ms < 0 ? 0 : ms) <= 0) return events;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0) break;
        for (ssize_t at = 0; at < got;) {
            const auto* raw = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + raw->len);
            if (raw->len == 0) continue;
            Event event;
            event.kind = (raw->mask & IN_DELETE) != 0     ? Event::Kind::Deleted
                         : (raw->mask & IN_MOVED_TO) != 0 ? Event::Kind::MovedIn
                                                          : Event::Kind::Created;
            for (const auto& [wd, directory] : watches_)
                if (wd == raw->wd) event.directory = directory;
            event.name = QFile::decodeName(raw->name);
            events.push_back(std::move(event));
        }
    }
    return events;
}
