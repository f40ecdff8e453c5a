#include "StringGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>
#include <algorithm>
#include <numeric>

#include "QtText.h"

TStringGrid::TStringGrid(int colCount, int rowCount, QWidget* parent) : TCustomGrid(rowCount - 1, colCount, parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // The fixed row keeps its look whatever is selected, its texts from the left like every other cell.
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(0);
    for (int c = 0; c < colCount; ++c)
        setHorizontalHeaderItem(c, new QTableWidgetItem);
}

void TStringGrid::SetRowCount(int rows)
{
    setRowCount(rows > 1 ? rows - 1 : 0);
}

UnicodeString TStringGrid::Cells(int col, int row) const
{
    const QTableWidgetItem* cell = row == 0 ? horizontalHeaderItem(col) : item(row - 1, col);
    return cell ? ustr(cell->text()) : UnicodeString();
}

void TStringGrid::SetCells(int col, int row, const UnicodeString& text)
{
    if (col < 0 || col >= columnCount() || row < 0 || row >= RowCount())
        return;
    if (row == 0) {
        horizontalHeaderItem(col)->setText(qstr(text));
        return;
    }
    QTableWidgetItem* cell = item(row - 1, col);
    if (!cell) {
        cell = new QTableWidgetItem;
        setItem(row - 1, col, cell);
    }
    cell->setText(qstr(text));
}

void TStringGrid::SetRow(int row)
{
    const int col = std::max(currentColumn(), fixedCols_);
    if (row - 1 != currentRow() || col != currentColumn())
        setCurrentCell(row - 1, col);
    else if (OnClick)
        OnClick();  // the cell is current already, but what it holds may have changed under it
}

void TStringGrid::SetColWidth(int col, int width)
{
    if (width == 0)
        setColumnHidden(col, true);
    else
        setColumnWidth(col, width);
}

void TStringGrid::SetFixedCols(int cols)
{
    fixedCols_ = cols;
    if (cols > 0 && !fixedView_)
        createFixedView();
    copyFixedColumns();
    updateGeometries();
}

void TStringGrid::createFixedView()
{
    fixedView_ = new QTableView(this);
    fixedView_->setModel(model());
    fixedView_->setSelectionModel(selectionModel());
    fixedView_->setFocusPolicy(Qt::NoFocus);
    fixedView_->setFrameShape(QFrame::NoFrame);
    fixedView_->setObjectName("fixedColumns");  // the style sheet gives it no frame of its own either
    fixedView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixedView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixedView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fixedView_->setShowGrid(showGrid());
    fixedView_->setGridStyle(gridStyle());
    fixedView_->verticalHeader()->hide();
    fixedView_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    QHeaderView* titles = fixedView_->horizontalHeader();
    titles->setHighlightSections(horizontalHeader()->highlightSections());
    titles->setDefaultAlignment(horizontalHeader()->defaultAlignment());
    titles->setMinimumSectionSize(0);
    titles->setSectionsClickable(false);  // a click on a title is the grid's
    fixedView_->viewport()->installEventFilter(this);
    titles->viewport()->installEventFilter(this);

    // It shows the rows as the grid does, as far down and as high.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, fixedView_->verticalScrollBar(), &QScrollBar::setValue);
    connect(fixedView_->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { fixedView_->verticalScrollBar()->setValue(verticalScrollBar()->value()); });
    connect(verticalHeader(), &QHeaderView::sectionResized, fixedView_,
            [this](int row, int, int height) { fixedView_->setRowHeight(row, height); });
    // Its columns are the fixed ones, as wide as the grid's.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int) {
        if (col < fixedCols_) {
            copyFixedColumns();
            updateGeometries();
        }
    });
    connect(titles, &QHeaderView::sectionResized, this, [this](int col, int, int width) {
        if (!copyingColumns_ && col < fixedCols_ && !isColumnHidden(col))
            setColumnWidth(col, width);
    });
    connect(model(), &QAbstractItemModel::columnsInserted, this, [this] { copyFixedColumns(); });
    fixedView_->raise();
}

void TStringGrid::copyFixedColumns()
{
    if (!fixedView_)
        return;
    const QScopedValueRollback<bool> copying(copyingColumns_, true);
    for (int col = 0; col < columnCount(); ++col) {
        const bool fixed = col < fixedCols_;
        fixedView_->setColumnHidden(col, !fixed || isColumnHidden(col));
        if (fixed && !isColumnHidden(col))
            fixedView_->setColumnWidth(col, columnWidth(col));
    }
    fixedView_->setVisible(fixedCols_ > 0);
}

// Over the grid's titles and cells, from their left edge, as wide as the fixed columns.
void TStringGrid::placeFixedView()
{
    const QRect cells = viewport()->geometry();
    const int titleHeight = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->height();
    fixedView_->horizontalHeader()->setFixedHeight(titleHeight);
    fixedView_->horizontalHeader()->setVisible(titleHeight > 0);
    fixedView_->setGeometry(cells.x(), cells.y() - titleHeight, std::min(fixedWidth(), cells.width()),
                            titleHeight + cells.height());
}

int TStringGrid::fixedWidth() const
{
    int width = 0;
    for (int col = 0; col < std::min(fixedCols_, columnCount()); ++col)
        width += isColumnHidden(col) ? 0 : columnWidth(col);
    return width;
}

std::vector<int> TStringGrid::scrollingColumns() const
{
    std::vector<int> columns;
    for (int col = fixedCols_; col < columnCount(); ++col)
        if (!isColumnHidden(col))
            columns.push_back(col);
    return columns;
}

// The highest left column: the first of the last columns that fit beside the fixed ones, or the last column
// when it alone is wider.
int TStringGrid::lastLeftCol(const std::vector<int>& columns) const
{
    const int room = viewport()->width() - fixedWidth();
    int left = static_cast<int>(columns.size());
    for (int width = 0; left > 0; --left) {
        width += columnWidth(columns[left - 1]);
        if (width > room)
            break;
    }
    return std::min(left, std::max(static_cast<int>(columns.size()) - 1, 0));
}

// The left column nearest `leftCol` at which column `col` is shown whole beside the fixed columns (as much of
// it as fits, when it is wider than the room there).
int TStringGrid::leftColShowing(int col, int leftCol) const
{
    const std::vector<int> columns = scrollingColumns();
    const auto at = std::find(columns.begin(), columns.end(), col);
    if (at == columns.end())
        return leftCol;  // a fixed or hidden column: nothing to scroll to
    const int index = static_cast<int>(at - columns.begin());
    if (index <= leftCol)
        return index;
    const int room = viewport()->width() - fixedWidth();
    const auto widthOf = [this, &columns](int from, int to) {
        return std::accumulate(columns.begin() + from, columns.begin() + to + 1, 0,
                               [this](int sum, int c) { return sum + columnWidth(c); });
    };
    while (leftCol < index && widthOf(leftCol, index) > room)
        ++leftCol;
    return leftCol;
}

// The titles and cells start at the left column, right beside the fixed columns.
void TStringGrid::showLeftCol()
{
    const std::vector<int> columns = scrollingColumns();
    const int left = std::clamp(horizontalScrollBar()->value(), 0, std::max(static_cast<int>(columns.size()) - 1, 0));
    const int offset = columns.empty() ? 0 : horizontalHeader()->sectionPosition(columns[left]) - fixedWidth();
    if (offset != horizontalHeader()->offset()) {
        horizontalHeader()->setOffset(offset);
        viewport()->update();
    }
}

void TStringGrid::updateGeometries()
{
    QTableWidget::updateGeometries();
    if (!fixedView_ || fixedCols_ == 0 || updatingGeometries_)
        return;
    updatingGeometries_ = true;
    const std::vector<int> columns = scrollingColumns();
    const int last = lastLeftCol(columns);
    QScrollBar* bar = horizontalScrollBar();
    bar->setRange(0, last);
    bar->setPageStep(std::max(static_cast<int>(columns.size()) - last, 1));
    bar->setSingleStep(1);
    showLeftCol();
    placeFixedView();
    updatingGeometries_ = false;
}

void TStringGrid::scrollContentsBy(int dx, int dy)
{
    if (!fixedView_ || fixedCols_ == 0) {
        QTableWidget::scrollContentsBy(dx, dy);
        return;
    }
    QTableWidget::scrollContentsBy(0, dy);
    if (dx != 0)
        showLeftCol();
}

void TStringGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!fixedView_ || fixedCols_ == 0 || !index.isValid()) {
        QTableWidget::scrollTo(index, hint);
        return;
    }
    // The table brings the row into view (and would scroll sideways in its own measure); the left column is
    // then set so that the cell stands beside the fixed columns.
    const int leftCol = horizontalScrollBar()->value();
    QTableWidget::scrollTo(index, hint);
    horizontalScrollBar()->setValue(leftColShowing(index.column(), leftCol));
    showLeftCol();
}

// What reaches the fixed columns' view is handed to the grid at the place where the grid has those cells and
// titles, so clicks, drags and the wheel there act as on the grid itself.
bool TStringGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (!fixedView_ || (watched != fixedView_->viewport() && watched != fixedView_->horizontalHeader()->viewport()))
        return TCustomGrid::eventFilter(watched, event);
    QWidget* target = watched == fixedView_->viewport() ? viewport() : horizontalHeader()->viewport();
    const QPointF shift(-horizontalHeader()->offset(), 0);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        QMouseEvent handed(mouse->type(), mouse->position() + shift, mouse->scenePosition(), mouse->globalPosition(),
                           mouse->button(), mouse->buttons(), mouse->modifiers());
        QApplication::sendEvent(target, &handed);
        // The grid's titles take no drag left of their visible part, so a fixed title's edge is dragged here,
        // and the new width goes to the grid's column.
        return watched == fixedView_->viewport();
    }
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        QWheelEvent handed(wheel->position() + shift, wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
                           wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted());
        QApplication::sendEvent(target, &handed);
        return true;
    }
    default:
        return TCustomGrid::eventFilter(watched, event);
    }
}

QModelIndex TStringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (next.isValid() && next.column() < fixedCols_)
        return model()->index(next.row(), fixedCols_);
    return next;
}

bool TStringGrid::onFixedCell(const QMouseEvent* event) const
{
    const QModelIndex at = indexAt(event->position().toPoint());
    return at.isValid() && at.column() < fixedCols_;
}

// A press or a drag over a fixed cell would make it current and select it (its whole row in a row-selecting
// grid), so neither reaches the table.
void TStringGrid::mousePressEvent(QMouseEvent* event)
{
    if (!onFixedCell(event))
        QTableWidget::mousePressEvent(event);
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton || !onFixedCell(event))
        QTableWidget::mouseMoveEvent(event);
}

// The table would take a double-click on a cell that was not pressed as a press; a fixed cell was never
// pressed, so its double-click is handed on directly.
void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!onFixedCell(event)) {
        QTableWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (OnDblClick)
        OnDblClick();
}
