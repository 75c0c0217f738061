#pragma once

// The pad opened for tests, its boxes and settings, and drawings made for
// them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QMap>
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "AnsweringWindow.h"
#include "FileBytes.h"
#include "measure/ui/SideWindowSettings.h"
#include "pad/PadDialogs.h"
#include "pad/PadInput.h"
#include "tablet/WintabPacketEvent.h"

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
    // As the settings file: a value longer than 499 bytes is read back cut.
    bool Holds(const QString& value) const override { return value.toUtf8().size() <= 499; }
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

// Opens `path` on `pad` as the operator does, and waits for the opening to
// end (shown, refused or cancelled): true when the pad shows that file.
inline bool OpenDrawingNow(PadWindow& pad, const QString& path) {
    pad.OpenDrawing(path);
    if (!QTest::qWaitFor([&] { return !pad.Opening(); }, 20000)) return false;
    return pad.Drawing() != nullptr &&
           pad.Drawing()->Of().file == QFileInfo(path).absoluteFilePath();
}

// Reopens what the settings keep, and waits for the opening to end.
inline void RestoreDrawingNow(PadWindow& pad) {
    pad.RestoreDrawing();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !pad.Opening(); }, 20000));
}

// The pad opened by its library, for a window that leaves the library
// alone: the tests take what it holds themselves (DrainAsText). The files
// and fakes outlive the pad, which keeps a drawing open and writes its
// settings as it goes.
class PadFixture : public ::testing::Test {
  protected:
    PadFixture() {
        auto owned = std::make_unique<PadInput>();
        input = owned.get();
        library.AddInput(std::move(owned));
    }
    void SetUp() override {
        library.PadlinkInit(&receiver, 0, 0);
        QApplication::processEvents();  // the pad appears once the loop runs
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Pad()));
    }
    void TearDown() override { library.PadlinkClose(); }

    PadWindow& Pad() { return input->Window(); }
    FigureView& View() { return Pad().View(); }
    std::string At(int x, int y, bool end = false) {
        const FigurePoint p = Pad().CountsAt(QPointF(x, y));
        return PointText(p.x, p.y, end);
    }

    QTemporaryDir dir;
    FakePadDialogs dialogs;
    FakePadSettings settings;
    struct Receiver : QObject {
        bool event(QEvent* e) override {
            return e->type() == WintabPacketEvent::EventType() || QObject::event(e);
        }
    } receiver;
    QueuedPadLink library;
    PadInput* input = nullptr;
};

// The pad with its boxes and settings seen by the test, and an A4 PDF page
// written beside it to open.
class DrawingPadFixture : public PadFixture {
  protected:
    void SetUp() override {
        Pad().SetDialogs(&dialogs);
        Pad().SetSettings(&settings);
        PadFixture::SetUp();
        a4 = dir.filePath(QStringLiteral("a4.pdf"));
        ASSERT_TRUE(WriteA4Pdf(a4));
    }
    // A file of these bytes in the test's directory; its path.
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }

    QString a4;
};
