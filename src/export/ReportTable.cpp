#include "export/ReportTable.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextOption>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Millimetres: the header row, a row.
constexpr double kHeaderMm = 7.0;
constexpr double kRowMm = 6.0;
constexpr double kCellPadMm = 1.2;

struct Column {
    const char* title;
    // Share of the table's width.
    double share;
    Qt::Alignment align;
};
constexpr std::array<Column, 7> kColumns{{
    {"行", 0.06, Qt::AlignHCenter},
    {"列", 0.06, Qt::AlignHCenter},
    {"値", 0.16, Qt::AlignRight},
    {"単位", 0.08, Qt::AlignLeft},
    {"計測", 0.14, Qt::AlignLeft},
    {"取得元", 0.30, Qt::AlignLeft},
    {"時刻", 0.20, Qt::AlignLeft},
}};

const QColor kRule(120, 120, 120);
const QColor kHeaderFill(228, 233, 242);

}  // namespace

ReportTable::ReportTable(std::vector<const CellFigure*> cells) : cells_(std::move(cells)) {
    std::stable_sort(cells_.begin(), cells_.end(), [](const CellFigure* a, const CellFigure* b) {
        return a->row != b->row ? a->row < b->row : a->col < b->col;
    });
}

QString ReportTable::ModeText(FigureMode mode) {
    // As the measurement options are captioned.
    switch (mode) {
        case FigureMode::TwoPointDistance:
            return QStringLiteral("二点間の距離");
        case FigureMode::PickedArea:
            return QStringLiteral("多点の面積");
        case FigureMode::TracedArea:
            return QStringLiteral("なぞり面積");
        case FigureMode::PickedLength:
            return QStringLiteral("多点の距離");
        case FigureMode::TracedLength:
            return QStringLiteral("なぞり距離");
        case FigureMode::Coordinate:
            return QStringLiteral("座標点");
    }
    return {};
}

QString ReportTable::SourceText(const KeptFigure& figure) {
    switch (figure.source) {
        case FigureSourceKind::Tablet:
            return figure.sourceName.isEmpty() ? QStringLiteral("タブレット") : figure.sourceName;
        case FigureSourceKind::BlankPad:
            return QStringLiteral("白紙の仮想タブレット");
        case FigureSourceKind::Drawing:
            return QStringLiteral("%1　%2 ページ")
                .arg(QFileInfo(figure.sourceName).fileName())
                .arg(figure.page);
    }
    return {};
}

QString ReportTable::TimeText(std::int64_t msSinceEpoch) {
    return QDateTime::fromMSecsSinceEpoch(msSinceEpoch)
        .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

int ReportTable::RowsPerPage(const QRectF& area, double perMm) {
    return std::max(1, static_cast<int>(std::floor((area.height() / perMm - kHeaderMm) / kRowMm)));
}

int ReportTable::Pages(const QRectF& area, double perMm) const {
    const auto rows = static_cast<std::size_t>(RowsPerPage(area, perMm));
    return std::max(1, static_cast<int>((cells_.size() + rows - 1) / rows));
}

void ReportTable::PaintPage(QPainter& painter, const QRectF& area, double perMm, const QFont& font,
                            int index) const {
    const auto rows = static_cast<std::size_t>(RowsPerPage(area, perMm));
    const std::size_t first = static_cast<std::size_t>(std::max(index, 0)) * rows;
    const std::size_t last = std::min(cells_.size(), first + rows);

    painter.save();
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    double y = area.top();
    const double pad = kCellPadMm * perMm;
    const auto row = [&](double top, double height, const std::array<QString, 7>& texts,
                         bool header) {
        double x = area.left();
        if (header) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kHeaderFill);
            painter.drawRect(QRectF(area.left(), top, area.width(), height));
        }
        painter.setPen(Qt::black);
        for (std::size_t c = 0; c < kColumns.size(); ++c) {
            const double width = area.width() * kColumns[c].share;
            const QRectF cell(x + pad, top, width - 2 * pad, height);
            const QString text = metrics.elidedText(texts[c], Qt::ElideMiddle, cell.width());
            painter.drawText(
                cell, text,
                QTextOption((header ? Qt::AlignHCenter : kColumns[c].align) | Qt::AlignVCenter));
            x += width;
        }
        painter.setPen(QPen(kRule, 0.15 * perMm));
        painter.drawLine(QPointF(area.left(), top + height), QPointF(area.right(), top + height));
    };
    // The header on every page, so that a page read alone says what its
    // columns are.
    std::array<QString, 7> titles;
    for (std::size_t c = 0; c < kColumns.size(); ++c)
        titles[c] = QString::fromUtf8(kColumns[c].title);
    row(y, kHeaderMm * perMm, titles, true);
    y += kHeaderMm * perMm;
    for (std::size_t i = first; i < last; ++i) {
        const CellFigure& cell = *cells_[i];
        const KeptFigure& figure = *cell.figure;
        row(y, kRowMm * perMm,
            {QString::number(cell.row), QString::number(cell.col), figure.value, figure.unit,
             ModeText(figure.mode), SourceText(figure), TimeText(figure.timeMs)},
            false);
        y += kRowMm * perMm;
    }
    painter.restore();
}
