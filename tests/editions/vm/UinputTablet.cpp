// Makes a uinput tablet from an evemu recording's header, keeping what
// evemu-device of Debian 12 loses: each axis's resolution, which the tests of
// unequal axes need. Prints "NAME: /dev/input/eventN" as evemu-device does and
// keeps the device until it is killed.
//   uinput_tablet RECORDING.evemu

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <QString>
#include <cstdio>

#include "tablet/evdev/EvemuRecording.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: uinput_tablet RECORDING\n");
        return 2;
    }
    const EvemuRecording recording = EvemuRecording::Read(QString::fromLocal8Bit(argv[1]));
    for (const QString& error : recording.errors)
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());

    libevdev* device = libevdev_new();
    libevdev_set_name(device, recording.name.toUtf8().constData());
    libevdev_set_id_bustype(device, recording.bus);
    libevdev_set_id_vendor(device, recording.vendor);
    libevdev_set_id_product(device, recording.product);
    libevdev_set_id_version(device, recording.version);
    for (unsigned type = 1; type <= EV_MAX; ++type) {
        if (type == EV_REP) continue;  // the kernel sets repeat itself
        for (unsigned code = 0; code <= KEY_MAX; ++code) {
            const auto t = static_cast<std::uint16_t>(type);
            const auto c = static_cast<std::uint16_t>(code);
            if (!recording.Has(t, c)) continue;
            if (type == EV_ABS) {
                const auto axis = recording.AbsAxis(c).value_or(EvemuRecording::Axis{});
                input_absinfo info{0,         axis.minimum, axis.maximum,
                                   axis.fuzz, axis.flat,    axis.resolution};
                libevdev_enable_event_code(device, type, code, &info);
            } else {
                libevdev_enable_event_code(device, type, code, nullptr);
            }
        }
    }
    libevdev_uinput* uinput = nullptr;
    const int rc =
        libevdev_uinput_create_from_device(device, LIBEVDEV_UINPUT_OPEN_MANAGED, &uinput);
    if (rc < 0) {
        std::fprintf(stderr, "uinput_tablet: cannot create the device (%d)\n", rc);
        return 1;
    }
    std::printf("%s: %s\n", recording.name.toUtf8().constData(),
                libevdev_uinput_get_devnode(uinput));
    std::fflush(stdout);
    for (;;) pause();
}
