#pragma once

#include <QObject>

#include <cstdint>
#include <functional>

// Stands in for the replaced window procedure: it sees every event of the
// window, lets it through to the window as before, and after a WT_PACKET
// calls the tablet handler with the packet's wParam and lParam.
class TabletWndProc : public QObject {
public:
    using Handler = std::function<void(std::int32_t wParam, std::int32_t lParam)>;

    explicit TabletWndProc(Handler handler);

    // Install before the library is initialised, remove after it is closed.
    void Install(QObject* window);
    void Remove();
    bool IsInstalled() const { return window_ != nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler handler_;
    QObject* window_ = nullptr;
};
