// The record grids of the main window and the search form keep their number and id columns at the left edge when
// scrolled sideways, looking as they do unscrolled, and clicks there act as on those cells of the grid.

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <functional>

#include "ClientWindows.h"
#include "RecordLines.h"
#include "StringGrid.h"
#include "Unit1.h"
#include "Unit7.h"
#include "Unit8.h"
#include "platform/StringList.h"

namespace {

struct RecordList {
    const char* name;
    std::function<TStringGrid&()> grid;
    int idWidth;  // the id column: hidden in the main window, a hair line in the search form
};

const RecordList Lists[] = {
    {"main window", [] () -> TStringGrid& { return *Form1->StringGrid1; }, 0},
    {"search form", [] () -> TStringGrid& { return *Form7->StringGrid1; }, 1},
};

class FixedColumns : public ClientWindowTest {
protected:
    void SetUp() override
    {
        ClientWindowTest::SetUp();
        mainWindowSize_ = Form1->size();
        searchFormSize_ = Form7->size();
    }
    // The windows get their sizes back, and the number column its width.
    void TearDown() override
    {
        Form1->resize(mainWindowSize_);
        Form7->resize(searchFormSize_);
        for (const RecordList& list : Lists)
            list.grid().setColumnWidth(0, 50);
        ClientWindowTest::TearDown();
    }

    // Forty records in `grid`, its window small enough to scroll both ways and on show, the first data column of
    // the last row current.
    static void showRecords(TStringGrid& grid)
    {
        std::string reply = "OK\n";
        for (int i = 1; i <= 40; ++i)
            reply += std::to_string(100 + i) + "\tНазвание " + std::to_string(i) +
                     "\tРежиссёр\tСтрана\t1970\t5400\tЖанр\tАктёры фильма номер " + std::to_string(i) + "\n";
        TStringList lines;
        lines.SetText(UnicodeString(reply));
        ShowRecordLines(grid, lines);
        QWidget& window = *grid.window();
        window.resize(760, 560);
        window.show();
        grid.SetRow(40);
        QApplication::processEvents();
    }
    // The fixed columns' part of the grid as it is drawn: their titles and cells.
    static QRect fixedArea(const TStringGrid& grid)
    {
        const int width = grid.columnWidth(0) + (grid.isColumnHidden(1) ? 0 : grid.columnWidth(1));
        const QRect cells = grid.viewport()->geometry();
        const QHeaderView& titles = *grid.horizontalHeader();
        return QRect(cells.left(), titles.y(), width, titles.height() + cells.height());
    }
    // What `widget` and its children draw in `area`.
    static QImage drawn(QWidget& widget, const QRect& area)
    {
        return widget.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    }

private:
    QSize mainWindowSize_;
    QSize searchFormSize_;
};

TEST_F(FixedColumns, ScrolledSidewaysTheyStayAtTheLeftEdgeAsTheyWere)
{
    for (const RecordList& list : Lists) {
        SCOPED_TRACE(list.name);
        TStringGrid& grid = list.grid();
        showRecords(grid);
        EXPECT_EQ(grid.columnWidth(0), 50);
        EXPECT_EQ(grid.isColumnHidden(1) ? 0 : grid.columnWidth(1), list.idWidth);
        const QRect area = fixedArea(grid);

        // Scrolled down, unscrolled sideways: the fixed columns look as the grid draws its own cells there.
        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
        QApplication::processEvents();
        ASSERT_GT(grid.verticalScrollBar()->value(), 0);
        const QImage unscrolled = drawn(grid, area);
        const QRect fixedCells(0, 0, area.width(), grid.viewport()->height());
        EXPECT_EQ(drawn(grid, fixedCells.translated(grid.viewport()->pos())), drawn(*grid.viewport(), fixedCells));

        // Scrolled to the last column, which is then on show whole beside them.
        const QImage rest = drawn(grid, QRect(area.right() + 1, area.top(), 300, area.height()));
        grid.setCurrentCell(grid.currentRow(), 8);
        ASSERT_GT(grid.horizontalScrollBar()->value(), 0);
        EXPECT_EQ(drawn(grid, area), unscrolled);
        EXPECT_NE(drawn(grid, QRect(area.right() + 1, area.top(), 300, area.height())), rest);
        const QRect lastColumn = grid.visualRect(grid.model()->index(0, 8));
        EXPECT_GE(lastColumn.left(), area.width());
        EXPECT_LE(lastColumn.right(), grid.viewport()->width());

        // Home takes the current cell back to the first data column, which then stands right beside them.
        sendKey(grid, Qt::Key_Home);
        EXPECT_EQ(grid.currentColumn(), 2);
        EXPECT_EQ(grid.visualRect(grid.model()->index(grid.currentRow(), 2)).left(), area.width());
        EXPECT_EQ(drawn(grid, area), unscrolled);
    }
}

// A click on what is shown as a fixed cell keeps the current cell where it is, as a click on that cell of the grid
// does; a double-click there opens the current row.
TEST_F(FixedColumns, ClicksOnThemWhenScrolledActAsOnTheirCells)
{
    for (const RecordList& list : Lists) {
        SCOPED_TRACE(list.name);
        TStringGrid& grid = list.grid();
        showRecords(grid);
        grid.setCurrentCell(2, 8);
        const int current = grid.currentColumn();

        // Where the number of the current row is on show; the grid has that cell further left, out of sight.
        const QPoint numberCell = grid.visualRect(grid.model()->index(2, 0)).center();
        const QPoint at = grid.viewport()->mapTo(&grid, numberCell + QPoint(grid.horizontalHeader()->offset(), 0));
        QWidget* shown = grid.childAt(at);
        ASSERT_NE(shown, nullptr);
        sendClick(*shown, shown->mapFrom(&grid, at));
        EXPECT_EQ(grid.Row(), 3);
        EXPECT_EQ(grid.currentColumn(), current);

        VIEW_ID = -1;
        sendDoubleClick(*shown, shown->mapFrom(&grid, at));
        EXPECT_EQ(VIEW_ID, 103);
        EXPECT_EQ(grid.Row(), 3);
        Form8->hide();
    }
}

// Dragging the right edge of the "№" title, where it is on show, widens the grid's number column, and the fixed
// columns with it, scrolled sideways or not.
TEST_F(FixedColumns, TheirTitlesResizeTheGridsColumns)
{
    for (const auto& [list, lastColumn] : {std::pair{Lists[0], 8}, {Lists[0], 2}, {Lists[1], 8}, {Lists[1], 2}}) {
        SCOPED_TRACE(std::string(list.name) + (lastColumn == 8 ? ", scrolled" : ", unscrolled"));
        TStringGrid& grid = list.grid();
        showRecords(grid);
        grid.setCurrentCell(grid.currentRow(), lastColumn);
        const int offset = grid.horizontalHeader()->offset();
        EXPECT_EQ(offset > 0, lastColumn == 8);

        const QHeaderView& titles = *grid.horizontalHeader();
        const QPoint edge = titles.mapTo(&grid, QPoint(49, titles.height() / 2));
        QWidget* shown = grid.childAt(edge);
        ASSERT_NE(shown, nullptr);
        const auto send = [shown](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
            QMouseEvent event(type, at, shown->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
            QApplication::sendEvent(shown, &event);
        };
        const QPoint from = shown->mapFrom(&grid, edge);
        send(QEvent::MouseMove, from, Qt::NoButton);
        send(QEvent::MouseButtonPress, from, Qt::LeftButton);
        send(QEvent::MouseMove, from + QPoint(30, 0), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, from + QPoint(30, 0), Qt::NoButton);
        QApplication::processEvents();

        EXPECT_EQ(grid.columnWidth(0), 80);
        // The data columns still start right beside the fixed ones.
        const int fixed = 80 + (grid.isColumnHidden(1) ? 0 : grid.columnWidth(1));
        EXPECT_EQ(grid.horizontalHeader()->offset(), offset);
        EXPECT_EQ(grid.childAt(titles.mapTo(&grid, QPoint(fixed - 3, titles.height() / 2))), shown);
        grid.setColumnWidth(0, 50);  // for the next case
    }
}

}  // namespace
