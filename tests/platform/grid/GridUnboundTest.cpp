// The grid over values it asks for by event: display, ordering, finding, styles,
// keys and drop-down lists, none of which needs a database.
#include "platform/core/Currency.h"
#include "platform/grid/GridEx.h"
#include "platform/grid/GridModel.h"
#include "platform/ui/ApplicationHabits.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "support/TestApplication.h"

#include <memory>

using core::Currency;
using core::Variant;
using grid::GridEx;

namespace {

// An unbound grid over a table of values: column 1 id, 2 name, 3 date, 4 amount.
struct Table {
    QVector<QVector<Variant>> rows;
    int requests = 0;
};

std::unique_ptr<GridEx> makeGrid(Table& table, int columns = 4)
{
    bareTestApplication();
    auto grid = std::make_unique<GridEx>();
    const char* keys[] = {"id", "Nome", "Data", "Importo"};
    for (int c = 0; c < columns; ++c)
        grid->addUnboundColumn(QString::fromLatin1(keys[c]));
    QObject::connect(grid.get(), &GridEx::unboundReadData, [&table](int row, int column, Variant& value) {
        ++table.requests;
        value = table.rows[row - 1][column - 1];
    });
    grid->setItemCount(int(table.rows.size()));
    grid->resize(600, 300);
    return grid;
}

Table people()
{
    return Table{{
        {1, "bravo", QDate(2026, 1, 2), Currency::fromDouble(100)},
        {2, "Alfa", QDate(2025, 12, 10), Currency::fromDouble(9.5)},
        {3, "charlie", QDate(2026, 1, 10), Currency::fromDouble(-5)},
        {4, "BRAVO 2", Variant::null(), Currency::fromDouble(10)},
    }};
}

QVector<int> idsInOrder(const GridEx& grid)
{
    QVector<int> ids;
    for (int r = 1; r <= grid.rowCount(); ++r)
        ids.append(grid.cellValue(r, 1).toLong());
    return ids;
}

} // namespace

TEST(GridDisplay, ShowsValuesWithTheirPatternTheItalianWay)
{
    struct Case {
        Variant value;
        QString pattern;
        QString shown;
    };
    const Case cases[] = {
        {Currency::fromDouble(1234.5), "#,##0.00;-#,##0.00;0.00", "1.234,50"},
        {Currency::fromDouble(-1234.5), "#,##0.00;-#,##0.00;0.00", "-1.234,50"},
        {Currency::fromDouble(0), "#,##0.00;-#,##0.00;0.00", "0,00"},
        {Currency::fromDouble(0.9999), "#,##0.00;-#,##0.00;0.00", "1,00"},
        {Currency::fromDouble(2500), "", "2.500,00"}, // amounts show as amounts without a pattern
        {QDate(2026, 3, 5), "", "05/03/2026"},
        {3, "#,#", "3"},
        {Variant::null(), "#,##0.00;-#,##0.00;0.00", ""},
        {"1.5", "", "1.5"}, // free text is never reinterpreted
    };
    for (const Case& c : cases) {
        Table table{{{c.value}}};
        auto grid = makeGrid(table, 1);
        grid->column(1).setFormat(c.pattern);
        EXPECT_EQ(grid->cellText(1, 1), c.shown) << c.value.debugString().toStdString() << " " << c.pattern.toStdString();
        EXPECT_EQ(grid->view()->model()->index(0, 0).data().toString(), c.shown);
    }
}

TEST(GridDisplay, ColumnsNumberFromOneWithCaptionsWidthsInTwipsAndVisibility)
{
    Table table = people();
    auto grid = makeGrid(table);
    EXPECT_EQ(grid->columnCount(), 4);
    EXPECT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->column("importo").index(), 4);
    EXPECT_EQ(grid->columnIndex("missing"), 0);
    EXPECT_THROW(grid->column(5), core::Error);
    EXPECT_THROW(grid->column("missing"), core::Error);

    grid->column(2).setCaption("Cliente");
    EXPECT_EQ(grid->view()->model()->headerData(1, Qt::Horizontal).toString(), "Cliente");

    grid->column(2).setWidth(1440); // one inch
    EXPECT_EQ(grid->view()->columnWidth(1), grid->logicalDpiX());
    EXPECT_EQ(grid->column(2).width(), 1440);

    grid->column(1).setWidth(0); // width 0 hides, as the lists hide their keys
    EXPECT_TRUE(grid->view()->isColumnHidden(0));
    grid->column(3).setVisible(false);
    EXPECT_TRUE(grid->view()->isColumnHidden(2));
    grid->column(3).setVisible(true);
    EXPECT_FALSE(grid->view()->isColumnHidden(2));
}

TEST(GridSort, OrdersByValueNeverByTheShownText)
{
    struct Case {
        int column;
        int order;
        QVector<int> ids;
    };
    const Case cases[] = {
        {2, 1, {2, 1, 4, 3}},  // text ignoring case: Alfa, bravo, BRAVO 2, charlie
        {2, -1, {3, 4, 1, 2}},
        {3, 1, {4, 2, 1, 3}},  // Null first, then 10/12/2025 before 02/01/2026 before 10/01/2026
        {4, 1, {3, 2, 4, 1}},  // -5 < 9,5 < 10 < 100, though "10" < "9" as text
        {4, -1, {1, 4, 2, 3}},
    };
    for (const Case& c : cases) {
        Table table = people();
        auto grid = makeGrid(table);
        grid->column(4).setFormat("#,##0.00;-#,##0.00;0.00");
        grid->addSortKey(c.column, c.order);
        EXPECT_EQ(idsInOrder(*grid), c.ids) << "column " << c.column << " order " << c.order;
        EXPECT_EQ(grid->sortKeyCount(), 1);
        EXPECT_EQ(grid->sortKeyColumn(), c.column);
        EXPECT_EQ(grid->sortKeyOrder(), c.order);
    }
}

TEST(GridSort, SecondKeyBreaksTiesAndClearingRestoresTheSourceOrder)
{
    Table table{{
        {1, "b", QDate(2026, 1, 1)},
        {2, "a", QDate(2026, 1, 2)},
        {3, "b", QDate(2025, 1, 1)},
    }};
    auto grid = makeGrid(table, 3);
    grid->addSortKey(2, 1);
    grid->addSortKey(3, -1);
    EXPECT_EQ(idsInOrder(*grid), (QVector<int>{2, 1, 3}));
    grid->clearSortKeys();
    EXPECT_EQ(grid->sortKeyCount(), 0);
    EXPECT_EQ(grid->sortKeyColumn(), 0);
    EXPECT_EQ(idsInOrder(*grid), (QVector<int>{1, 2, 3}));
}

TEST(GridSort, CurrentRowFollowsItsRowThroughASort)
{
    Table table = people();
    auto grid = makeGrid(table);
    grid->setRow(3); // id 3, "charlie"
    grid->addSortKey(2, 1);
    EXPECT_EQ(grid->value(1).toLong(), 3);
    EXPECT_EQ(grid->row(), 4);
}

TEST(GridSort, HeaderClicksToggleAscendingAndDescending)
{
    Table table = people();
    auto grid = makeGrid(table);
    grid->setHeaderClickSorts(true);
    grid->show();
    QSignalSpy clicks(grid.get(), &GridEx::columnHeaderClick);
    QHeaderView* header = grid->view()->horizontalHeader();
    const QPoint nameHeader(header->sectionViewportPosition(1) + 5, header->height() / 2);

    const int expected[] = {1, -1, 1};
    for (int order : expected) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nameHeader);
        EXPECT_EQ(grid->sortKeyCount(), 1);
        EXPECT_EQ(grid->sortKeyColumn(), 2);
        EXPECT_EQ(grid->sortKeyOrder(), order);
    }
    EXPECT_EQ(idsInOrder(*grid), (QVector<int>{2, 1, 4, 3}));
    ASSERT_EQ(clicks.size(), 3);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 2);

    // Another column starts ascending.
    const QPoint amountHeader(header->sectionViewportPosition(3) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, amountHeader);
    EXPECT_EQ(grid->sortKeyColumn(), 4);
    EXPECT_EQ(grid->sortKeyOrder(), 1);
}

TEST(GridSort, WithoutAutomaticSortAHeaderClickOnlyTellsTheCaller)
{
    Table table = people();
    auto grid = makeGrid(table);
    grid->show();
    QSignalSpy clicks(grid.get(), &GridEx::columnHeaderClick);
    QHeaderView* header = grid->view()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(2) + 5, 5));
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 3);
    EXPECT_EQ(grid->sortKeyCount(), 0);
}

TEST(GridFind, BeginsWithFindsTheFirstRowInDisplayOrderIgnoringCase)
{
    struct Case {
        QString typed;
        int startRow;
        bool wrap;
        bool found;
        int id; // of the current row afterwards
    };
    // Sorted by name: Alfa(2), bravo(1), BRAVO 2(4), charlie(3); start on row 1.
    const Case cases[] = {
        {"b", 1, false, true, 1},
        {"BRAVO ", 1, false, true, 4},
        {"C", 1, false, true, 3},
        {"a", 2, false, false, 2},  // nothing from row 2 on: the current row stays
        {"a", 2, true, true, 2},    // wrapping round to the first row
        {"b", 3, false, true, 4},   // from row 3: the second "b" row
        {"z", 1, true, false, 2},
        {"", 1, false, true, 2},
    };
    for (const Case& c : cases) {
        Table table = people();
        auto grid = makeGrid(table);
        grid->addSortKey(2, 1);
        grid->setRow(1);
        EXPECT_EQ(grid->find(2, grid::Condition::BeginsWith, c.typed, c.startRow, c.wrap), c.found)
            << c.typed.toStdString();
        EXPECT_EQ(grid->value(1).toLong(), c.id) << c.typed.toStdString();
    }
}

TEST(GridFind, BeginsWithMatchesDatesAndAmountsAsShown)
{
    Table table = people();
    auto grid = makeGrid(table);
    grid->column(4).setFormat("#,##0.00;-#,##0.00;0.00");
    EXPECT_TRUE(grid->find(3, grid::Condition::BeginsWith, "10/12"));
    EXPECT_EQ(grid->value(1).toLong(), 2);
    EXPECT_TRUE(grid->find(4, grid::Condition::BeginsWith, "9,5"));
    EXPECT_EQ(grid->value(1).toLong(), 2);
}

TEST(GridFind, EqualityMatchesAKeyAcrossNumericSubtypes)
{
    Table table = people();
    auto grid = makeGrid(table);
    EXPECT_TRUE(grid->find(1, grid::Condition::Equal, std::int32_t(3)));
    EXPECT_EQ(grid->cellValue(grid->row(), 2).toString(), "charlie");
    EXPECT_TRUE(grid->find(1, grid::Condition::Equal, 4.0));
    EXPECT_EQ(grid->row(), 4);
    EXPECT_TRUE(grid->find(4, grid::Condition::Equal, Currency::fromDouble(9.5)));
    EXPECT_EQ(grid->row(), 2);
    EXPECT_FALSE(grid->find(1, grid::Condition::Equal, 99));
    EXPECT_EQ(grid->row(), 2);
    EXPECT_FALSE(grid->find(2, grid::Condition::Equal, "alfa")); // equality is exact
}

TEST(GridRows, CurrentRowZeroMeansNoneAndAnEmptyGridHasNone)
{
    Table empty;
    auto grid = makeGrid(empty);
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(grid->row(), 0);
    EXPECT_TRUE(grid->value(1).isEmpty());
    EXPECT_FALSE(grid->find(2, grid::Condition::BeginsWith, "a"));

    Table table = people();
    auto full = makeGrid(table);
    EXPECT_EQ(full->row(), 1);
    full->setRow(0);
    EXPECT_EQ(full->row(), 0);
    full->setRow(9); // out of range: ignored
    EXPECT_EQ(full->row(), 0);
}

// The highlight and the current row are one: no row is ever current unseen.
bool shownAsCurrent(const GridEx& grid)
{
    QItemSelectionModel* selection = grid.view()->selectionModel();
    if (grid.row() == 0)
        return !selection->hasSelection() && !selection->currentIndex().isValid();
    return selection->isRowSelected(grid.row() - 1, {}) && selection->currentIndex().row() == grid.row() - 1;
}

TEST(GridRows, AClickBelowTheLastRowLeavesNoCurrentRow)
{
    Table table = people();
    auto grid = makeGrid(table);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    QWidget* viewport = grid->view()->viewport();
    const QRect lastRow = grid->view()->visualRect(grid->view()->model()->index(3, 1));
    ASSERT_LT(lastRow.bottom() + 20, viewport->height());

    grid->setRow(2);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(lastRow.center().x(), lastRow.bottom() + 15));
    EXPECT_EQ(grid->row(), 0);
    EXPECT_TRUE(shownAsCurrent(*grid));

    // Beside the last column of a row is that row.
    const int right = grid->view()->horizontalHeader()->length() + 10;
    ASSERT_LT(right, viewport->width());
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(right, lastRow.center().y()));
    EXPECT_EQ(grid->row(), 4);
    EXPECT_TRUE(shownAsCurrent(*grid));

    // Ctrl+click on the current row does not take its highlight away.
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, lastRow.center());
    EXPECT_EQ(grid->row(), 4);
    EXPECT_TRUE(shownAsCurrent(*grid));
}

TEST(GridRows, WhereverTheGridKeepsACurrentRowItIsHighlighted)
{
    Table table = people();
    auto grid = makeGrid(table);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    EXPECT_TRUE(shownAsCurrent(*grid)); // a new list starts on its first row

    grid->setRow(0);
    grid->view()->setFocus(Qt::TabFocusReason); // the view picks a row when it gets the focus
    QApplication::processEvents();
    EXPECT_TRUE(shownAsCurrent(*grid));

    grid->setRow(3);
    grid->refresh();
    EXPECT_EQ(grid->row(), 3);
    EXPECT_TRUE(shownAsCurrent(*grid));

    ASSERT_TRUE(grid->find(2, grid::Condition::BeginsWith, "alfa"));
    EXPECT_TRUE(shownAsCurrent(*grid));

    grid->addSortKey(2);
    EXPECT_TRUE(shownAsCurrent(*grid));

    // Ctrl+Space would unselect the current row in a plain view.
    grid->view()->setFocus();
    QTest::keyClick(grid->view(), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(shownAsCurrent(*grid));
}

TEST(GridRows, HidingTheCurrentColumnLeavesTheArrowsWorking)
{
    Table table = people();
    auto grid = makeGrid(table);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    ASSERT_EQ(grid->currentColumnIndex(), 1);
    grid->column(1).setVisible(false); // the key column, hidden once the list is loaded
    EXPECT_EQ(grid->row(), 1);
    EXPECT_TRUE(shownAsCurrent(*grid));
    grid->view()->setFocus();
    QTest::keyClick(grid->view(), Qt::Key_Down);
    EXPECT_EQ(grid->row(), 2);
    EXPECT_TRUE(shownAsCurrent(*grid));
}

TEST(GridUnbound, ValuesComeFromTheEventPerRowAndColumnAndRefreshAsksAgain)
{
    Table table = people();
    auto grid = makeGrid(table);
    EXPECT_EQ(grid->itemCount(), 4);
    EXPECT_EQ(grid->cellValue(3, 2).toString(), "charlie");
    const int asked = table.requests;
    EXPECT_EQ(grid->cellValue(3, 2).toString(), "charlie");
    EXPECT_EQ(table.requests, asked); // kept, not asked on every paint
    table.rows[2][1] = "Charlie changed";
    grid->refresh();
    EXPECT_EQ(grid->cellValue(3, 2).toString(), "Charlie changed");
    table.rows.append({5, "echo", Variant::null(), Currency()});
    grid->setItemCount(5);
    EXPECT_EQ(grid->rowCount(), 5);
    EXPECT_EQ(grid->cellText(5, 2), "echo");
}

TEST(GridStyles, RowFormatNamesAStyleForEachRow)
{
    Table table = people();
    auto grid = makeGrid(table);
    grid->addRowStyle("Grassetto", {true, false, {}, {}});
    grid->addRowStyle("RedFont", {false, false, QColor(0xFF, 0, 0), {}});
    QObject::connect(grid.get(), &GridEx::rowFormat, [&grid](int row, QString& style) {
        const int id = grid->cellValue(row, 1).toLong();
        style = id == 1 ? "Grassetto" : id == 3 ? "RedFont" : id == 4 ? "Unknown" : "Default";
    });
    QAbstractItemModel* model = grid->view()->model();
    EXPECT_TRUE(model->index(0, 1).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(model->index(1, 1).data(Qt::FontRole).isValid());
    EXPECT_EQ(model->index(2, 1).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0xFF, 0, 0));
    EXPECT_FALSE(model->index(3, 1).data(Qt::ForegroundRole).isValid()); // an unknown name: default look

    // The style follows the row through a sort.
    grid->addSortKey(2, 1); // Alfa, bravo, BRAVO 2, charlie
    EXPECT_TRUE(model->index(1, 1).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(model->index(3, 2).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0xFF, 0, 0));
}

TEST(GridStyles, FormatConditionPaintsMatchingRows)
{
    Table table{{{1, 0}, {2, 7}, {3, 0}}};
    auto grid = makeGrid(table, 2);
    grid->addFormatCondition(2, grid::Condition::GreaterThan, 0, {false, false, QColor(0xFF, 0, 0), {}});
    QAbstractItemModel* model = grid->view()->model();
    EXPECT_FALSE(model->index(0, 0).data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(model->index(1, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0xFF, 0, 0));
}

TEST(GridKeys, KeyDownGivesVirtualKeyCodesAndCanSwallowTheKey)
{
    Table table = people();
    auto grid = makeGrid(table);
    grid->show();
    QVector<int> codes;
    QObject::connect(grid.get(), &GridEx::keyDown, [&codes](int& code, int shift) {
        if (code == 16) // the Shift key itself is a key down too
            return;
        codes.append(code * 10 + shift);
        if (code == 40) // Down swallowed: the current row stays
            code = 0;
    });
    QTest::keyClick(grid->view(), Qt::Key_Return);
    QTest::keyClick(grid->view(), Qt::Key_F4);
    QTest::keyClick(grid->view(), Qt::Key_Delete);
    QTest::keyClick(grid->view(), Qt::Key_Escape);
    QTest::keyClick(grid->view(), Qt::Key_F3, Qt::ShiftModifier);
    QTest::keyClick(grid->view(), Qt::Key_Down);
    EXPECT_EQ(codes, (QVector<int>{130, 1150, 460, 270, 1141, 400}));
    EXPECT_EQ(grid->row(), 1);
}

TEST(GridKeys, KeyPressCanReplaceOrSwallowATypedCharacter)
{
    Table table{{{Variant::null()}}};
    auto grid = makeGrid(table, 1);
    grid->setAllowEdit(true);
    grid->show();
    QObject::connect(grid.get(), &GridEx::keyPress, [](int& ascii) {
        if (ascii == '.')
            ascii = ',';
        else if (ascii == 'x')
            ascii = 0;
    });
    grid->setRow(1);
    grid->setCol(1);
    grid->view()->edit(grid->view()->currentIndex());
    auto* editor = grid->view()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "1x.5");
    EXPECT_EQ(editor->text(), "1,5");
}

TEST(GridKeys, TypingInTheGridReachesTheCallerFirst)
{
    Table table = people();
    auto grid = makeGrid(table);
    grid->show();
    QString typed;
    QObject::connect(grid.get(), &GridEx::keyPress, [&typed](int& ascii) { typed += QChar(ascii); });
    QTest::keyClick(grid->view(), 'R');
    QKeyEvent accented(QEvent::KeyPress, Qt::Key_Egrave, Qt::NoModifier, QString::fromUtf8("è"));
    QApplication::sendEvent(grid->view(), &accented);
    EXPECT_EQ(typed, QString::fromUtf8("Rè"));
}

TEST(GridDropDown, CellStoresTheBoundColumnAndShowsTheShownColumnOfTheListGrid)
{
    bareTestApplication();
    // The layout list: finId, finNome.
    Table layouts{{{7, "Fattura standard"}, {9, "Pro forma"}}};
    GridEx list;
    list.addUnboundColumn("finId");
    list.addUnboundColumn("finNome");
    QObject::connect(&list, &GridEx::unboundReadData,
                     [&layouts](int row, int column, Variant& value) { value = layouts.rows[row - 1][column - 1]; });
    list.setItemCount(2);

    Table table{{{1, 9}, {2, Variant::null()}}};
    auto grid = makeGrid(table, 2);
    grid->setAllowEdit(true);
    grid->column(2).setDropDown(&list, "finId", "finNome");
    EXPECT_EQ(grid->cellText(1, 2), "Pro forma");
    EXPECT_EQ(grid->cellText(2, 2), "");

    // Choosing from the list stores the id.
    grid->show();
    grid->setRow(2);
    grid->setCol(2);
    grid->view()->edit(grid->view()->currentIndex());
    auto* combo = grid->view()->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "Fattura standard");
    combo->setCurrentIndex(0);
    QTest::keyClick(combo, Qt::Key_Tab);
    EXPECT_EQ(grid->cellValue(2, 2).toLong(), 7);
    EXPECT_EQ(grid->cellText(2, 2), "Fattura standard");
}

TEST(GridDropDown, TypingInTheListCellSearchesSpacesIncludedWithoutOpeningIt)
{
    ui::installApplicationHabits(bareTestApplication());
    Table layouts{{{7, "Fattura standard"}, {8, "Fattura semplificata"}, {9, "Pro forma"}}};
    GridEx list;
    list.addUnboundColumn("finId");
    list.addUnboundColumn("finNome");
    QObject::connect(&list, &GridEx::unboundReadData,
                     [&layouts](int row, int column, Variant& value) { value = layouts.rows[row - 1][column - 1]; });
    list.setItemCount(3);
    Table table{{{1, 9}}};
    auto grid = makeGrid(table, 2);
    grid->setAllowEdit(true);
    grid->column(2).setDropDown(&list, "finId", "finNome");
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    grid->setRow(1);
    grid->setCol(2);
    grid->view()->setFocus();
    QTest::keyClick(grid->view(), Qt::Key_F, Qt::NoModifier); // the first key opens the cell's list box
    auto* combo = grid->view()->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(QApplication::focusWidget(), combo);
    QTest::keyClicks(combo, "attura se");
    EXPECT_FALSE(combo->view()->isVisible());
    EXPECT_EQ(combo->currentText(), "Fattura semplificata");
    QTest::keyClick(combo, Qt::Key_Tab);
    EXPECT_EQ(grid->cellValue(1, 2).toLong(), 8);
}

TEST(GridDropDown, ValueListShowsTheTextOfEachValue)
{
    Table table{{{0}, {1}, {2}, {5}}};
    auto grid = makeGrid(table, 1);
    grid->column(1).setValueList({{0, "Fattura"}, {1, "Nota di Credito"}, {2, "Pro Forma"}});
    EXPECT_EQ(grid->cellText(1, 1), "Fattura");
    EXPECT_EQ(grid->cellText(2, 1), "Nota di Credito");
    EXPECT_EQ(grid->cellText(3, 1), "Pro Forma");
    EXPECT_EQ(grid->cellText(4, 1), "5");
}

TEST(GridEvents, CurrentCellMovesAndDoubleClickAreReported)
{
    Table table = people();
    auto grid = makeGrid(table);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    QSignalSpy moved(grid.get(), &GridEx::currentCellChanged);
    QSignalSpy doubleClicks(grid.get(), &GridEx::dblClick);
    grid->setRow(3);
    ASSERT_GE(moved.size(), 1);
    EXPECT_EQ(moved.last().at(0).toInt(), 1); // from row 1
    QTableView* view = grid->view();
    const QRect cell = view->visualRect(view->model()->index(1, 1));
    // QTest's double click counts only after a first press, as a user's does.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(doubleClicks.size(), 1);
    EXPECT_EQ(grid->row(), 2);
}

TEST(GridFind, BeginsWithOverNullsAndCaseTwinsInEitherOrder)
{
    struct Case {
        int order;
        QString typed;
        int startRow;
        int id; // 0: not found
    };
    // Ascending: Null(2), a(4), b(1), B(3); descending: B... as b(1), B(3), a(4), Null(2).
    const Case cases[] = {
        {1, "b", 1, 1}, {1, "b", 4, 3}, {1, "B", 2, 1}, {1, "a", 3, 0}, {1, "", 1, 2},
        {-1, "b", 1, 1}, {-1, "b", 2, 3}, {-1, "a", 1, 4}, {-1, "c", 1, 0},
    };
    for (const Case& c : cases) {
        Table table{{{1, "b"}, {2, Variant::null()}, {3, "B"}, {4, "a"}}};
        auto grid = makeGrid(table, 2);
        grid->addSortKey(2, c.order);
        grid->setRow(0);
        const bool found = grid->find(2, grid::Condition::BeginsWith, c.typed, c.startRow);
        EXPECT_EQ(found, c.id != 0) << c.order << " " << c.typed.toStdString() << " " << c.startRow;
        if (found) {
            EXPECT_EQ(grid->value(1).toLong(), c.id) << c.order << " " << c.typed.toStdString() << " " << c.startRow;
        }
    }
}
