#pragma once

// Included by one translation unit of a start benchmark program: as soon as
// the application exists, it watches for the first window exposed on the
// screen, then writes "shown" to standard output and ends the process on
// the spot (no clean-up: the measurement is over).

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace {

class ShownProbe : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose) {
            if (auto* window = qobject_cast<QWindow*>(watched); window != nullptr && window->isExposed()) {
                std::fputs("shown\n", stdout);
                std::fflush(stdout);
                std::_Exit(0);
            }
        }
        return false;
    }
};

void InstallShownProbe() { QCoreApplication::instance()->installEventFilter(new ShownProbe); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallShownProbe)
