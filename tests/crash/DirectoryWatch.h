#pragma once

#include <QString>
#include <vector>

// Entries created, deleted or renamed into a few directories, as the kernel
// reports them the moment they happen (inotify): the crash loop aims kills
// at such moments and learns when the program's start-up has finished.
class DirectoryWatch {
public:
    struct Event {
        enum class Kind { Created, Deleted, MovedIn };
        Kind kind;
        QString directory;
        QString name;
    };

    DirectoryWatch();
    DirectoryWatch(const DirectoryWatch&) = delete;
    DirectoryWatch& operator=(const DirectoryWatch&) = delete;
    ~DirectoryWatch();

    bool Valid() const { return fd_ >= 0; }
    bool Add(const QString& directory);

    // The events that arrived within `ms` milliseconds: returns as soon as
    // there is at least one, or empty when the time is up.
    std::vector<Event> Wait(int ms);

private:
    int fd_ = -1;
    std::vector<std::pair<int, QString>> watches_;
};
