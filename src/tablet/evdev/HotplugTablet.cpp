#include "tablet/evdev/HotplugTablet.h"

#include <QFile>
#include <cstdio>
#include <cstring>
#include <utility>

HotplugTablet::HotplugTablet(Setup setup) : setup_(std::move(setup)) {
    if (setup_.opened) Use(std::move(setup_.opened), setup_.openedNode);
}

HotplugTablet::~HotplugTablet() { Stop(); }

void HotplugTablet::Use(std::unique_ptr<EvdevEventSource> source, const QString& node) {
    currentNode_ = node;
    // A failing node is dropped like an unplugged one: without udev that is
    // the only word of it.
    current_ = std::make_unique<EvdevInput>(std::move(source), [this, node] { Removed(node); });
}

void HotplugTablet::Start(QueuedPadLink& link) {
    link_ = &link;
    if (current_) current_->Start(link);
    if (setup_.monitor) {
        setup_.monitor->Start(
            [this](bool added, const QString& node) { DeviceChanged(added, node); });
    }
}

void HotplugTablet::Stop() {
    if (setup_.monitor) setup_.monitor->Stop();
    if (current_) current_->Stop();
    link_ = nullptr;
}

bool HotplugTablet::SetExclusive(bool exclusive) {
    exclusive_ = exclusive;
    // Without a tablet there is nothing to hold, and nothing failed.
    return !current_ || current_->SetExclusive(exclusive);
}

void HotplugTablet::DeviceChanged(bool added, const QString& node) {
    if (added) {
        Added(node);
    } else {
        Removed(node);
    }
}

void HotplugTablet::Removed(const QString& node) {
    if (!current_ || node != currentNode_) return;
    current_->Stop();
    current_.reset();
    currentNode_.clear();
    if (link_ != nullptr) {
        link_->Tell({TabletNotice::Kind::Unplugged, QStringLiteral("タブレットが外されました"),
                     std::nullopt});
    }
}

void HotplugTablet::Added(const QString& node) {
    if (current_ || link_ == nullptr) return;
    std::optional<TabletNode> tablet;
    if (setup_.wanted.isEmpty()) {
        tablet = setup_.discovery.TabletAt(node);
    } else if (const std::optional<TabletNode> wanted = setup_.discovery.Resolve(setup_.wanted);
               wanted && wanted->node == node) {
        tablet = wanted;
    }
    if (!tablet) return;
    int error = 0;
    std::unique_ptr<EvdevEventSource> source = setup_.open ? setup_.open(node, error) : nullptr;
    if (!source) {
        std::fprintf(stderr, "%s: %s\n", QFile::encodeName(node).constData(), std::strerror(error));
        return;
    }
    const TabletAxes axes = source->Axes();
    const QString name = DeviceLabel(source->Name(), node);
    Use(std::move(source), node);
    current_->Start(*link_);
    if (exclusive_) current_->SetExclusive(true);
    link_->Tell({TabletNotice::Kind::PluggedIn,
                 QStringLiteral("タブレット%1をつなぎました。このまま計測できます。").arg(name),
                 axes.Common()});
}
