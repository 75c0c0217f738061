#pragma once

// The pad's boxes and settings for tests, drawings made for them, and the
// pad's points as the window would take them.

#include <QMap>
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "PadDialogs.h"
#include "PadLink.h"
#include "SideWindowSettings.h"

// What the library hands out, taken as the window takes it, written as
// "x,y" (with "!" on a stroke's last point) and "side".
inline std::vector<std::string> Drain(PadLink& pad) {
    std::vector<std::string> out;
    for (std::int32_t n; (n = pad.PadlinkWintab(0, 0)) != 0;) {
        if (n < 0) out.push_back("side");
        for (std::int32_t i = 0; i < n; ++i) {
            std::int32_t lx, ly, px, py, end;
            pad.PadlinkGetData(0, lx, ly, px, py, end);
            out.push_back(std::to_string(px) + "," + std::to_string(py) + (end ? "!" : ""));
        }
    }
    return out;
}

// Answers from a script (a cancel when none is queued) and records every
// box shown.
class FakePadDialogs : public PadDialogs {
  public:
    QString OpenDrawingName(const QString& filter, const QString&) override {
        filters << filter;
        return Next(files, QString());
    }
    std::optional<int> ChoosePage(const QString& name, int pages) override {
        asked << QStringLiteral("page %1 of %2").arg(name).arg(pages);
        return Next(pagesToChoose, std::optional<int>());
    }
    std::optional<int> AskDpi(const QString& name, int proposed) override {
        asked << QStringLiteral("dpi %1 %2").arg(name).arg(proposed);
        return Next(dpis, std::optional<int>());
    }
    void Notify(const QString& text) override { notices << text; }

    std::deque<QString> files;
    std::deque<std::optional<int>> pagesToChoose;
    std::deque<std::optional<int>> dpis;
    QStringList filters;
    QStringList asked;
    QStringList notices;

  private:
    template <typename T>
    static T Next(std::deque<T>& queue, T none) {
        if (queue.empty()) return none;
        T next = queue.front();
        queue.pop_front();
        return next;
    }
};

// Settings in memory; a copy taken at any moment is what a crash leaves.
class FakePadSettings : public SideWindowSettings {
  public:
    QString Read(const QString& key) const override { return keys.value(key); }
    void Write(const Values& values) override {
        ++writes;
        for (const auto& [key, value] : values) keys.insert(key, value);
    }
    QMap<QString, QString> keys;
    int writes = 0;
};

// An A4 drawing: on every page a line 100 mm long from (50, 100) mm to
// (150, 100) mm, 0.5 mm wide with flat ends.
inline bool WriteA4Pdf(const QString& path, int pages = 1) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    writer.setResolution(1200);
    QPainter painter(&writer);
    const double perMm = 1200 / 25.4;
    for (int page = 0; page < pages; ++page) {
        if (page > 0) writer.newPage();
        painter.setPen(QPen(Qt::black, 0.5 * perMm, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(50, 100) * perMm, QPointF(150, 100) * perMm);
    }
    return painter.end();
}
