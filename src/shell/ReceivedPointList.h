#pragma once

#include <QAbstractListModel>

#include <cstddef>
#include <cstdint>
#include <vector>

// The lines of the diagnostic list lstGetData: every received point, as
// "取得座標データ   x=… y=…". A long trace sends points by the hundred
// thousand, so only the most recent kMaxLines are kept, each as its two
// numbers (8 bytes) in a ring, and a line's text is made only when a view
// asks for it. Points are taken in as they come and shown to views in one
// go per notification.
class ReceivedPointList : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 10000;

    using QAbstractListModel::QAbstractListModel;

    // A point received; it reaches views at the next Flush().
    void Append(std::int32_t logX, std::int32_t logY) {
        if (pending_.size() < static_cast<std::size_t>(kMaxLines)) {
            pending_.push_back({logX, logY});
        } else {
            Replace(logX, logY);
        }
    }
    // Shows the points taken in since the last flush, dropping the oldest
    // lines beyond kMaxLines. False when there were none.
    bool Flush();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Point {
        std::int32_t x;
        std::int32_t y;
    };
    const Point& At(int row) const;
    // Puts a point in place of the oldest pending one.
    void Replace(std::int32_t logX, std::int32_t logY);
    // Moves the pending points, oldest first, into the ring from slot at on,
    // wrapping at its end.
    void CopyPending(std::size_t at);

    // The shown lines: count_ of them in a ring of kMaxLines slots (made at
    // the first point), the oldest at first_.
    std::vector<Point> ring_;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    // Points taken in but not yet shown, at most kMaxLines of them (older
    // ones could never be shown).
    std::vector<Point> pending_;
    std::size_t pendingFirst_ = 0;
};
