#include "EvdevPadChoice.h"

#include <QFile>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "EvdevDevice.h"
#include "EvdevPadLink.h"
#include "EvemuPlayer.h"
#include "EvemuRecording.h"
#include "NullPadLink.h"
#include "TabletDiscovery.h"

namespace {

const QString kOnScreenPadFollows = QStringLiteral("画面上の仮想タブレットで続けます。");

// "「name」（node）", or "「node」" for a device without a name.
QString Describe(const QString& name, const QString& node) {
    return name.isEmpty() ? QStringLiteral("「%1」").arg(node)
                          : QStringLiteral("「%1」（%2）").arg(name, node);
}

bool PermissionMissing(int error) { return error == EACCES || error == EPERM; }

QString PermissionNotice(const QStringList& devices) {
    return QStringLiteral(
               "ペンタブレット%1を開く権限がありません。\n"
               "このユーザーを input グループに加えてログインし直すか、"
               "udev 規則 TAG+=\"uaccess\"（パッケージに同梱）を入れて"
               "タブレットを接続し直してください。\n")
               .arg(devices.join(QStringLiteral("、"))) +
           kOnScreenPadFollows;
}

QString OpenFailedNotice(const QString& device, int error) {
    return QStringLiteral("ペンタブレット%1を開けませんでした（%2）。\n")
               .arg(device, QString::fromLocal8Bit(std::strerror(error))) +
           kOnScreenPadFollows;
}

PadLinkChoice OnScreenPad(const QString& notice) {
    PadLinkChoice choice;
    choice.onScreenPad = true;
    choice.loadError = notice;
    return choice;
}

PadLinkChoice Library(std::unique_ptr<EvdevEventSource> source) {
    PadLinkChoice choice;
    choice.deviceName = source->Name();
    const TabletAxes axes = source->Axes();
    if (axes.x.maximum > axes.x.minimum && axes.y.maximum > axes.y.minimum) choice.axes = axes;
    choice.library = std::make_unique<EvdevPadLink>(std::move(source));
    return choice;
}

}  // namespace

std::optional<PadLinkChoice> ChooseEvdevPadLink(const QString& variable,
                                                const EvdevEnvironment& environment) {
    const auto open = [&](const QString& node, int& error) -> std::unique_ptr<EvdevEventSource> {
        if (environment.open) return environment.open(node, error);
        return EvdevDevice::Open(node, error);
    };
    const TabletDiscovery discovery(environment.sysfsInputRoot, environment.devInputRoot);

    if (variable.isEmpty() || variable == QLatin1String("evdev")) {
        const std::vector<TabletNode> tablets = discovery.Tablets();
        if (tablets.empty()) {
            // Without the variable, no tablet is the ordinary case of an
            // operator who uses the on-screen pad: nothing to tell.
            return OnScreenPad(variable.isEmpty()
                                   ? QString()
                                   : QStringLiteral("ペンタブレットが見つかりませんでした。\n") +
                                         kOnScreenPadFollows);
        }
        QStringList denied;
        QString otherFailure;
        for (const TabletNode& tablet : tablets) {
            int error = 0;
            if (std::unique_ptr<EvdevEventSource> source = open(tablet.node, error))
                return Library(std::move(source));
            if (PermissionMissing(error)) {
                denied << Describe(tablet.name, tablet.node);
            } else if (otherFailure.isEmpty()) {
                otherFailure = OpenFailedNotice(Describe(tablet.name, tablet.node), error);
            }
        }
        return OnScreenPad(denied.isEmpty() ? otherFailure : PermissionNotice(denied));
    }

    const QLatin1String evdevPrefix("evdev:");
    if (variable.startsWith(evdevPrefix)) {
        const QString path = variable.mid(evdevPrefix.size());
        const std::optional<TabletNode> node = discovery.Resolve(path);
        if (!node) {
            return OnScreenPad(
                QStringLiteral("ペンタブレット「%1」が見つかりませんでした。\n").arg(path) +
                kOnScreenPadFollows);
        }
        int error = 0;
        if (std::unique_ptr<EvdevEventSource> source = open(path, error))
            return Library(std::move(source));
        const QString device = Describe(node->name, path);
        return OnScreenPad(PermissionMissing(error) ? PermissionNotice({device})
                                                    : OpenFailedNotice(device, error));
    }

    const QLatin1String evemuPrefix("evemu:");
    if (variable.startsWith(evemuPrefix)) {
        const QString path = variable.mid(evemuPrefix.size());
        if (QFile probe(path); !probe.open(QIODevice::ReadOnly)) {
            PadLinkChoice choice;
            choice.library = std::make_unique<NullPadLink>();
            choice.loadError =
                QStringLiteral(
                    "記録ファイル「%1」を読み込めませんでした。タブレットなしで続けます。")
                    .arg(path);
            return choice;
        }
        EvemuRecording recording = EvemuRecording::Read(path);
        for (const QString& error : recording.errors)
            std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return Library(std::make_unique<EvemuPlayer>(std::move(recording)));
    }
    return std::nullopt;
}
