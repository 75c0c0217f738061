#include "grid/ui/MeiGridView.h"

#include "grid/FilterKey.h"
#include "grid/Mei.h"
#include "grid/Twips.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>

MeiGridView::MeiGridView(GridModel& grid, QWidget* parent) : QTableView(parent), model_(grid) {
    setModel(&model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One rectangle at most, for the totals of the selection.
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // Tab leaves the grid for the next control instead of walking its cells.
    setTabKeyNavigation(false);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    // Rows as high as the design grid's: 255 twips, 17 pixels at 96 dpi.
    verticalHeader()->setDefaultSectionSize(TwipsToPixels(255, logicalDpiY()));
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    // The headers and the corner stay inert, as with a single cell: a stray
    // click there must not move the cursor to another row or column.
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionsClickable(false);
    setCornerButtonEnabled(false);

    connect(&model_, &GridTableModel::cursorChanged, this, &MeiGridView::FollowModelCursor);
    connect(&model_, &GridTableModel::colWidthChanged, this, &MeiGridView::ApplyColWidth);
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        for (int c = 0; c < Model().Cols(); ++c) ApplyColWidth(c);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &MeiGridView::scrolled);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &MeiGridView::scrolled);
    FollowModelCursor();
}

double MeiGridView::Dpi() const { return logicalDpiY(); }

void MeiGridView::SetFocus() { setFocus(Qt::OtherFocusReason); }

int MeiGridView::Left() const { return PixelsToTwips(x(), Dpi()); }

int MeiGridView::Top() const { return PixelsToTwips(y(), Dpi()); }

TwipRect MeiGridView::CurrentCellRect() const {
    const GridModel& g = model_.Grid();
    const QRect cell = visualRect(model_.index(g.Row() - 1, g.Col() - 1));
    const QPoint topLeft = viewport()->mapTo(this, cell.topLeft());
    const double dpi = Dpi();
    return {PixelsToTwips(topLeft.x(), dpi), PixelsToTwips(topLeft.y(), dpi),
            PixelsToTwips(cell.width(), dpi), PixelsToTwips(cell.height(), dpi)};
}

bool MeiGridView::RowIsVisible(int row) const {
    const QRect r = visualRect(model_.index(row - 1, 0));
    return r.isValid() && r.top() >= 0 && r.bottom() <= viewport()->height();
}

int MeiGridView::TopRow() const {
    const int r = rowAt(0);
    return r < 0 ? 1 : r + 1;
}

void MeiGridView::SetTopRow(int row) {
    if (row < 1 || row >= Model().Rows()) return;
    verticalScrollBar()->setValue(row - 1);
}

void MeiGridView::ProcessPendingEvents() { QCoreApplication::processEvents(); }

CellRange MeiGridView::SelectedRange() const {
    const GridModel& g = model_.Grid();
    CellRange range{g.Row(), g.Col(), g.Row(), g.Col()};
    bool first = true;
    // One rectangle, though Qt may hold it in pieces.
    for (const QItemSelectionRange& r : selectionModel()->selection()) {
        if (!r.isValid()) continue;
        const CellRange piece{r.top() + 1, r.left() + 1, r.bottom() + 1, r.right() + 1};
        if (first) {
            range = piece;
            first = false;
            continue;
        }
        range.top = std::min(range.top, piece.top);
        range.left = std::min(range.left, piece.left);
        range.bottom = std::max(range.bottom, piece.bottom);
        range.right = std::max(range.right, piece.right);
    }
    return range;
}

void MeiGridView::FollowModelCursor() {
    if (reporting_) return;
    const GridModel& g = model_.Grid();
    const QModelIndex target = model_.index(g.Row() - 1, g.Col() - 1);
    if (!target.isValid() || target == currentIndex()) return;
    syncing_ = true;
    setCurrentIndex(target);
    syncing_ = false;
    // The operator must see where the next value lands.
    scrollTo(target);
}

void MeiGridView::ApplyColWidth(int col) {
    const int twips = Model().ColWidth(col);
    if (twips < 0) return;
    const int px = TwipsToPixels(twips, Dpi());
    if (col == 0) {
        verticalHeader()->setFixedWidth(px);
    } else {
        setColumnWidth(col - 1, px);
    }
}

void MeiGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (syncing_ || !current.isValid()) return;
    // Row and column are set one after the other: following the half-way
    // cell back would move the view's cursor and lose a selection being
    // extended.
    reporting_ = true;
    GridModel& g = Model();
    g.SetRow(current.row() + 1);
    g.SetCol(current.column() + 1);
    reporting_ = false;
}

void MeiGridView::selectionChanged(const QItemSelection& selected,
                                   const QItemSelection& deselected) {
    QTableView::selectionChanged(selected, deselected);
    emit selectedRangeChanged();
}

QItemSelectionModel::SelectionFlags MeiGridView::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    // Qt reads the keys held down for a cursor set without an event: Shift
    // held for Shift+F9 would stretch the selection to wherever the program
    // puts the cursor.
    if (syncing_) return QItemSelectionModel::ClearAndSelect;
    return QTableView::selectionCommand(index, event);
}

void MeiGridView::keyPressEvent(QKeyEvent* event) {
    emit keyDown(VirtualKeyCode(*event), ShiftState(event->modifiers()));
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            QTableView::keyPressEvent(event);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit keyPress(Mei::kKeyReturn, QString());
            return;
        case Qt::Key_Backspace:
            emit keyPress(Mei::kKeyBack, QString());
            return;
        case Qt::Key_Escape:
            emit keyPress(Mei::kKeyEscape, QString());
            return;
        case Qt::Key_Delete:
            // Handled as a key down only; it types no character.
            return;
        default:
            break;
    }
    const QString text = event->text();
    if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        event->ignore();
        return;
    }
    emit keyPress(CharCode(text.at(0)), text.left(1));
}

void MeiGridView::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (!commit.isEmpty()) emit keyPress(CharCode(commit.at(0)), commit);
    event->accept();
}

int VirtualKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
    switch (key) {
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Tab: return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter: return 13;
        case Qt::Key_Escape: return 27;
        case Qt::Key_Space: return 32;
        case Qt::Key_PageUp: return 33;
        case Qt::Key_PageDown: return 34;
        case Qt::Key_End: return 35;
        case Qt::Key_Home: return 36;
        case Qt::Key_Left: return 37;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return 39;
        case Qt::Key_Down: return 40;
        case Qt::Key_Insert: return 45;
        case Qt::Key_Delete: return 46;
        default: return 0;
    }
}

int ShiftState(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= 1;
    if (modifiers & Qt::ControlModifier) shift |= 2;
    if (modifiers & Qt::AltModifier) shift |= 4;
    return shift;
}
