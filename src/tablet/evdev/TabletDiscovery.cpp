#include "tablet/evdev/TabletDiscovery.h"

#include <linux/input.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <utility>

namespace {

// sysfs prints capability masks as the kernel's unsigned longs.
constexpr unsigned kBitsPerWord = sizeof(unsigned long) * CHAR_BIT;

bool TestBit(const QString& mask, unsigned bit) {
    const QStringList words = mask.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto index = static_cast<qsizetype>(bit / kBitsPerWord);
    if (index >= words.size()) return false;
    bool ok = false;
    const qulonglong word = words[words.size() - 1 - index].toULongLong(&ok, 16);
    return ok && ((word >> (bit % kBitsPerWord)) & 1u) != 0;
}

int EventNumber(const QString& eventName) { return eventName.mid(5).toInt(); }

}  // namespace

QString DeviceLabel(const QString& name, const QString& node) {
    return name.isEmpty() ? QStringLiteral("「%1」").arg(node)
                          : QStringLiteral("「%1」（%2）").arg(name, node);
}

TabletDiscovery::TabletDiscovery(QString sysfsInputRoot, QString devInputRoot)
    : sysfsRoot_(std::move(sysfsInputRoot)), devRoot_(std::move(devInputRoot)) {}

bool TabletDiscovery::IsPenOrPuck(const QString& absBits, const QString& keyBits) {
    const auto key = [&](unsigned code) { return TestBit(keyBits, code); };
    if (!TestBit(absBits, ABS_X) || !TestBit(absBits, ABS_Y)) return false;
    const bool pen = key(BTN_TOOL_PEN);
    const bool puck = key(BTN_TOOL_MOUSE) || key(BTN_TOOL_LENS);
    // A pen tablet's button pad declares BTN_STYLUS and X/Y too, only so
    // that older drivers accept it; its buttons start at BTN_0 and it has
    // no tool of its own.
    const bool pad = key(BTN_0) && key(BTN_STYLUS) && !pen && !puck;
    return (pen || puck || key(BTN_STYLUS)) && !pad;
}

QString TabletDiscovery::ReadSysfs(const QString& eventName, const QString& file) const {
    QFile f(sysfsRoot_ + QLatin1Char('/') + eventName + QStringLiteral("/device/") + file);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll()).trimmed();
}

std::vector<TabletNode> TabletDiscovery::Tablets() const {
    QStringList events =
        QDir(sysfsRoot_).entryList({QStringLiteral("event*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(events.begin(), events.end(),
              [](const QString& a, const QString& b) { return EventNumber(a) < EventNumber(b); });
    std::vector<TabletNode> tablets;
    for (const QString& event : events) {
        if (std::optional<TabletNode> tablet = TabletAt(devRoot_ + QLatin1Char('/') + event))
            tablets.push_back(std::move(*tablet));
    }
    return tablets;
}

std::optional<TabletNode> TabletDiscovery::TabletAt(const QString& node) const {
    const QString event = QFileInfo(node).fileName();
    if (!event.startsWith(QLatin1String("event"))) return std::nullopt;
    if (!IsPenOrPuck(ReadSysfs(event, QStringLiteral("capabilities/abs")),
                     ReadSysfs(event, QStringLiteral("capabilities/key"))))
        return std::nullopt;
    return TabletNode{node, ReadSysfs(event, QStringLiteral("name"))};
}

std::optional<TabletNode> TabletDiscovery::Resolve(const QString& path) const {
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty()) return std::nullopt;
    return TabletNode{target, ReadSysfs(QFileInfo(target).fileName(), QStringLiteral("name"))};
}
