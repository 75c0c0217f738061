#include "tablet/evdev/EvdevPadChoice.h"

#include <QFile>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "tablet/evdev/EvdevDevice.h"
#include "tablet/evdev/EvdevInput.h"
#include "tablet/evdev/EvemuPlayer.h"
#include "tablet/evdev/EvemuRecording.h"
#include "tablet/evdev/HotplugTablet.h"
#include "tablet/evdev/TabletDiscovery.h"
#include "tablet/evdev/UdevMonitor.h"

namespace {

// The environment's opener, else the real device's.
HotplugTablet::Opener OpenerOf(const EvdevEnvironment& environment) {
    if (environment.open) return environment.open;
    return [](const QString& node, int& error) -> std::unique_ptr<EvdevEventSource> {
        return EvdevDevice::Open(node, error);
    };
}

bool PermissionMissing(int error) { return error == EACCES || error == EPERM; }

QString PermissionNotice(const QStringList& devices) {
    return QStringLiteral(
               "ペンタブレット%1を開く権限がありません。\n"
               "このユーザーを input グループに加えてログインし直すか、"
               "udev 規則 TAG+=\"uaccess\"（パッケージに同梱）を入れて"
               "タブレットを接続し直してください。\n")
               .arg(devices.join(QStringLiteral("、"))) +
           OnScreenPadFollows();
}

QString OpenFailedNotice(const QString& device, int error) {
    return QStringLiteral("ペンタブレット%1を開けませんでした（%2）。\n")
               .arg(device, QString::fromLocal8Bit(std::strerror(error))) +
           OnScreenPadFollows();
}

void Describe(PadLinkChoice& choice, const EvdevEventSource& source) {
    choice.deviceName = source.Name();
    const TabletAxes axes = source.Axes();
    if (axes.x.maximum > axes.x.minimum && axes.y.maximum > axes.y.minimum) {
        choice.rawAxes = axes;
        choice.axes = axes.Common();
    }
}

// A library over the tablet at `node` (none when `source` is null), which
// reads a tablet plugged in later as well; with `onScreenPad` the pad is
// added beside it.
PadLinkChoice Hotplug(std::unique_ptr<EvdevEventSource> source, const QString& node,
                      const QString& wanted, const EvdevEnvironment& environment, bool onScreenPad,
                      const QString& notice) {
    PadLinkChoice choice;
    choice.onScreenPad = onScreenPad;
    choice.loadError = notice;
    if (source) Describe(choice, *source);
    HotplugTablet::Setup setup{
        std::move(source),
        node,
        wanted,
        TabletDiscovery(environment.sysfsInputRoot, environment.devInputRoot),
        OpenerOf(environment),
        environment.monitor ? environment.monitor() : std::make_unique<UdevMonitor>()};
    choice.library->AddInput(std::make_unique<HotplugTablet>(std::move(setup)));
    return choice;
}

}  // namespace

std::optional<PadLinkChoice> ChooseEvdevPadLink(const QString& variable,
                                                const EvdevEnvironment& environment) {
    const HotplugTablet::Opener open = OpenerOf(environment);
    const TabletDiscovery discovery(environment.sysfsInputRoot, environment.devInputRoot);

    if (variable.isEmpty() || variable == QLatin1String("evdev")) {
        const std::vector<TabletNode> tablets = discovery.Tablets();
        if (tablets.empty()) {
            // Without the variable, no tablet is the ordinary case of an
            // operator who uses the on-screen pad: nothing to tell.
            return Hotplug(nullptr, QString(), QString(), environment, true,
                           variable.isEmpty()
                               ? QString()
                               : QStringLiteral("ペンタブレットが見つかりませんでした。\n") +
                                     OnScreenPadFollows());
        }
        QStringList denied;
        QString otherFailure;
        for (const TabletNode& tablet : tablets) {
            int error = 0;
            if (std::unique_ptr<EvdevEventSource> source = open(tablet.node, error))
                return Hotplug(std::move(source), tablet.node, QString(), environment, false,
                               QString());
            if (PermissionMissing(error)) {
                denied << DeviceLabel(tablet.name, tablet.node);
            } else if (otherFailure.isEmpty()) {
                otherFailure = OpenFailedNotice(DeviceLabel(tablet.name, tablet.node), error);
            }
        }
        return Hotplug(nullptr, QString(), QString(), environment, true,
                       denied.isEmpty() ? otherFailure : PermissionNotice(denied));
    }

    const QLatin1String evdevPrefix("evdev:");
    if (variable.startsWith(evdevPrefix)) {
        const QString path = variable.mid(evdevPrefix.size());
        const std::optional<TabletNode> node = discovery.Resolve(path);
        if (!node) {
            return Hotplug(
                nullptr, QString(), path, environment, true,
                QStringLiteral("ペンタブレット「%1」が見つかりませんでした。\n").arg(path) +
                    OnScreenPadFollows());
        }
        int error = 0;
        if (std::unique_ptr<EvdevEventSource> source = open(path, error))
            return Hotplug(std::move(source), node->node, path, environment, false, QString());
        const QString device = DeviceLabel(node->name, path);
        return Hotplug(nullptr, QString(), path, environment, true,
                       PermissionMissing(error) ? PermissionNotice({device})
                                                : OpenFailedNotice(device, error));
    }

    const QLatin1String evemuPrefix("evemu:");
    if (variable.startsWith(evemuPrefix)) {
        const QString path = variable.mid(evemuPrefix.size());
        QString refusal;
        EvemuRecording recording = EvemuRecording::Read(path, &refusal);
        if (!refusal.isEmpty()) {
            PadLinkChoice choice;
            choice.loadError =
                QStringLiteral(
                    "記録ファイル「%1」を読み込めませんでした（%2）。タブレットなしで続けます。")
                    .arg(path, refusal);
            return choice;
        }
        for (const QString& error : recording.errors)
            std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        PadLinkChoice choice;
        auto player = std::make_unique<EvemuPlayer>(std::move(recording));
        Describe(choice, *player);
        choice.library->AddInput(std::make_unique<EvdevInput>(std::move(player)));
        return choice;
    }
    return std::nullopt;
}
