#pragma once

#include <QString>
#include <optional>
#include <vector>

// An event node of a pen or puck tablet.
struct TabletNode {
    // Its path, e.g. "/dev/input/event5".
    QString node;
    // The device's name as the kernel gives it; empty when unknown.
    QString name;
};

// A device as the operator is told of it: "「name」（node）", or "「node」"
// for a device without a name.
QString DeviceLabel(const QString& name, const QString& node);

// Finds the event nodes of pen and puck tablets from what sysfs says of each
// node (/sys/class/input/eventN/device/{name,capabilities/abs,
// capabilities/key}), which anyone may read: a tablet whose node the user may
// not open is still found, so that the operator can be told which one it is.
// Both roots are parameters so that tests run on a fake tree.
class TabletDiscovery {
  public:
    explicit TabletDiscovery(QString sysfsInputRoot = QStringLiteral("/sys/class/input"),
                             QString devInputRoot = QStringLiteral("/dev/input"));

    // Nodes that report absolute X and Y and a pen or puck tool, in the
    // order of their numbers. Touch screens and touchpads that only know
    // fingers are left out, and so are the button pads of pen tablets.
    std::vector<TabletNode> Tablets() const;

    // The tablet at an event node ("/dev/input/event7"), as Tablets() would
    // find it; nullopt when that node is no pen or puck tablet.
    std::optional<TabletNode> TabletAt(const QString& node) const;

    // The event node a path leads to, through by-id or by-path links, with
    // its device's name; nullopt when the path leads nowhere.
    std::optional<TabletNode> Resolve(const QString& path) const;

    // Whether the ABS and KEY capability masks, as sysfs prints them (words
    // in hex, the highest first), describe a pen or puck tablet.
    static bool IsPenOrPuck(const QString& absBits, const QString& keyBits);

  private:
    QString ReadSysfs(const QString& eventName, const QString& file) const;

    QString sysfsRoot_;
    QString devRoot_;
};
