// What a second program finds when it tries to take a tablet's event node for
// itself (EVIOCGRAB), as the desktop's input stack would: "free" (exit 0) when
// the grab succeeds (it is let go again at once), "busy" (exit 1) when
// another reader holds the node, "error" (exit 2) otherwise.
//   grab_probe /dev/input/eventN

#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: grab_probe NODE\n");
        return 2;
    }
    const int fd = ::open(argv[1], O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        std::printf("error %s\n", std::strerror(errno));
        return 2;
    }
    int rc = 2;
    if (::ioctl(fd, EVIOCGRAB, 1) == 0) {
        ::ioctl(fd, EVIOCGRAB, 0);
        std::printf("free\n");
        rc = 0;
    } else if (errno == EBUSY) {
        std::printf("busy\n");
        rc = 1;
    } else {
        std::printf("error %s\n", std::strerror(errno));
    }
    ::close(fd);
    return rc;
}
