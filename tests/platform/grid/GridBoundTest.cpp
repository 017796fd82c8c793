// The grid bound to SQL on a small database: binding, values, editing and the
// row commit that hands the edits to the recordset.
#include "platform/core/Currency.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/DateBox.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

#include "GridDatabase.h"

using core::Currency;
using core::Variant;
using grid::GridEx;

namespace {

class BoundGridTest : public GridDatabaseTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(GridDatabaseTest::SetUp());
        connection.execute("CREATE TABLE Righe (rId COUNTER, rDesc TEXT(10), rData DATETIME, rQta LONG, "
                           "rPrezzo CURRENCY, rTot CURRENCY, rIva TEXT(3))");
        connection.execute("CREATE INDEX PrimaryKey ON Righe (rId) WITH PRIMARY");
        connection.execute("INSERT INTO Righe (rDesc, rData, rQta, rPrezzo, rTot, rIva) VALUES ('uno', #01/02/2026#, 1, 1234.5, 1234.5, '22')");
        connection.execute("INSERT INTO Righe (rDesc, rData, rQta, rPrezzo, rTot, rIva) VALUES ('Due', #12/10/2025#, 2, 9.5, 19, '10')");
        connection.execute("INSERT INTO Righe (rDesc, rData, rQta, rPrezzo, rTot, rIva) VALUES ('tre', #01/10/2026#, 3, 100, 300, Null)");
        connection.execute("CREATE TABLE Codici (cdiCodice TEXT(3), cdiDescrizione TEXT(50))");
        connection.execute("INSERT INTO Codici VALUES ('22', 'Ordinaria')");
        connection.execute("INSERT INTO Codici VALUES ('10', 'Ridotta')");
    }

    std::unique_ptr<GridEx> bind(const QString& sql, bool editable = false)
    {
        auto grid = std::make_unique<GridEx>();
        grid->setObjectName("gexView");
        grid->setConnectionString(connectionString);
        grid->setRecordSource(sql);
        grid->setAllowEdit(editable);
        grid->resize(700, 300);
        EXPECT_TRUE(grid->rebind());
        return grid;
    }

    // What another connection reads: the file, not the grid's memory.
    QString stored(const QString& sql)
    {
        db::Connection other;
        other.open(connectionString);
        db::Recordset rs;
        rs.open(sql, other);
        return rs.eof() ? QStringLiteral("<none>") : rs.value(0).toString();
    }

    // Types into the current cell through its editor and leaves it with Enter.
    static void typeIntoCell(GridEx& grid, const QString& text)
    {
        QTableView* view = grid.view();
        view->edit(view->currentIndex());
        auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(view->currentIndex()));
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the view commits an editor's Enter from the event loop
    }

};

const QString kRows = "SELECT rId, rDesc AS Descrizione, rData AS Data, rQta, rPrezzo AS Importo, rTot, rIva FROM Righe ORDER BY rId";

} // namespace

TEST_F(BoundGridTest, OneRowPerResultRowColumnsInQueryOrderFromOne)
{
    auto grid = bind(kRows);
    EXPECT_EQ(grid->rowCount(), 3);
    ASSERT_EQ(grid->columnCount(), 7);
    const QStringList captions = {"rId", "Descrizione", "Data", "rQta", "Importo", "rTot", "rIva"};
    for (int c = 1; c <= 7; ++c)
        EXPECT_EQ(grid->column(c).caption(), captions[c - 1]);
    EXPECT_EQ(grid->column("importo").index(), 5);
    EXPECT_EQ(grid->row(), 1);
    EXPECT_EQ(grid->value("Descrizione").toString(), "uno");
    EXPECT_EQ(grid->cellValue(2, 5), Variant(Currency::fromDouble(9.5)));

    db::Recordset rs = grid->recordset();
    EXPECT_TRUE(rs.isOpen());
    EXPECT_EQ(rs.lockType(), db::LockType::BatchOptimistic);
    EXPECT_EQ(rs.recordCount(), 3);
}

TEST_F(BoundGridTest, ShowsStoredAmountsAndDatesTheItalianWayAndSortsThemByValue)
{
    auto grid = bind(kRows);
    grid->column(5).setFormat("#,##0.00;-#,##0.00;0.00");
    EXPECT_EQ(grid->cellText(1, 5), "1.234,50");
    EXPECT_EQ(grid->cellText(2, 5), "9,50");
    EXPECT_EQ(grid->cellText(1, 3), "02/01/2026");

    const auto descriptions = [&grid] {
        QStringList list;
        for (int r = 1; r <= grid->rowCount(); ++r)
            list << grid->cellValue(r, 2).toString();
        return list;
    };
    grid->addSortKey(3, grid::SortOrder::Ascending);
    EXPECT_EQ(descriptions(), (QStringList{"Due", "uno", "tre"}));
    grid->clearSortKeys();
    grid->addSortKey(5, grid::SortOrder::Descending);
    EXPECT_EQ(descriptions(), (QStringList{"uno", "tre", "Due"}));
    grid->clearSortKeys();
    grid->addSortKey(2, grid::SortOrder::Ascending);
    EXPECT_EQ(descriptions(), (QStringList{"Due", "tre", "uno"}));
    // The recordset keeps its own order.
    db::Recordset rs = grid->recordset();
    rs.moveFirst();
    EXPECT_EQ(rs.value("Descrizione").toString(), "uno");
}

TEST_F(BoundGridTest, MovingTheCurrentRowMovesTheRecordsetToIt)
{
    auto grid = bind(kRows);
    grid->addSortKey(2, grid::SortOrder::Ascending); // Due, tre, uno
    grid->setRow(3);
    EXPECT_EQ(grid->recordset().value("Descrizione").toString(), "uno");
    EXPECT_TRUE(grid->find(2, grid::Condition::BeginsWith, "T"));
    EXPECT_EQ(grid->row(), 2);
    EXPECT_EQ(grid->recordset().value("Descrizione").toString(), "tre");
}

TEST_F(BoundGridTest, RebindKeepsSettingsOfTheSameColumnsClearsSortKeysAndFollowsANewQuery)
{
    auto grid = bind(kRows);
    grid->column(2).setCaption("Testo");
    grid->addSortKey(2, grid::SortOrder::Descending);
    connection.execute("INSERT INTO Righe (rDesc) VALUES ('quattro')");
    ASSERT_TRUE(grid->rebind(true));
    EXPECT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->column(2).caption(), "Testo");
    EXPECT_EQ(grid->sortKeyCount(), 0);

    grid->setRecordSource("SELECT cdiCodice, cdiDescrizione FROM Codici");
    ASSERT_TRUE(grid->rebind(false));
    EXPECT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->column(2).caption(), "cdiDescrizione");
    EXPECT_EQ(grid->rowCount(), 2);
}

TEST_F(BoundGridTest, AQueryTheDatabaseRefusesLeavesAnEmptyGridAndSaysSo)
{
    auto grid = bind(kRows);
    QSignalSpy errors(grid.get(), &GridEx::error);
    grid->setRecordSource("SELECT * FROM Missing");
    EXPECT_FALSE(grid->rebind());
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(grid->columnCount(), 0);
    EXPECT_EQ(grid->row(), 0);
}

TEST_F(BoundGridTest, CommittingATypedEditPassesItToTheRecordsetAsPendingUntilTheBatch)
{
    auto grid = bind(kRows, true);
    grid->show();
    QSignalSpy written(grid.get(), &GridEx::afterUpdate);
    grid->setRow(2);
    grid->setCol(2);
    typeIntoCell(*grid, "Modificata");
    EXPECT_TRUE(grid->isEditingRow());
    EXPECT_EQ(grid->value(2).toString(), "Modificata");
    db::Recordset rs = grid->recordset();
    rs.setBookmark(grid->rowBookmark(2));
    EXPECT_EQ(rs.value("Descrizione").toString(), "Due"); // not yet: the row is still in edit

    QTest::keyClick(grid->view(), Qt::Key_Down); // leaving the row commits it
    EXPECT_FALSE(grid->isEditingRow());
    EXPECT_EQ(written.size(), 1);
    EXPECT_EQ(grid->row(), 3);
    rs.setBookmark(grid->rowBookmark(2));
    EXPECT_EQ(rs.value("Descrizione").toString(), "Modificata");
    EXPECT_EQ(rs.status(), db::RecordStatus::Modified);
    EXPECT_EQ(stored("SELECT rDesc FROM Righe WHERE rId = 2"), "Due");

    rs.updateBatch();
    EXPECT_EQ(stored("SELECT rDesc FROM Righe WHERE rId = 2"), "Modificata");
}

TEST_F(BoundGridTest, TypedNumbersAndDatesAreReadTheItalianWay)
{
    auto grid = bind(kRows, true);
    grid->show();
    grid->setRow(1);
    grid->setCol(5);
    typeIntoCell(*grid, "1234,56");
    grid->setCol(3);
    typeIntoCell(*grid, "31/12/2026");
    ASSERT_TRUE(grid->commitRowEdit());
    db::Recordset rs = grid->recordset();
    rs.setBookmark(grid->rowBookmark(1));
    EXPECT_EQ(rs.value("Importo"), Variant(Currency::fromDouble(1234.56)));
    EXPECT_EQ(rs.value("Data").toDate(), QDate(2026, 12, 31));
}

TEST_F(BoundGridTest, NewRowLineAddsARowWithTheColumnDefaults)
{
    auto grid = bind(kRows, true);
    grid->setAllowAddNew(true);
    grid->column("rQta").setDefaultValue(1);
    grid->column("Importo").setDefaultValue(Currency());
    grid->column("Importo").setFormat("#,##0.00;-#,##0.00;0.00");
    grid->column("rIva").setDefaultValue("22");
    grid->show();

    // The new-row line follows the last row and shows the defaults.
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_TRUE(grid->isNewRowLine(4));
    EXPECT_EQ(grid->cellText(4, 4), "1");
    EXPECT_EQ(grid->cellText(4, 5), "0,00");
    EXPECT_EQ(grid->cellText(4, 7), "22");

    grid->setRow(4);
    grid->setCol(2);
    typeIntoCell(*grid, "nuova");
    ASSERT_TRUE(grid->commitRowEdit());
    EXPECT_EQ(grid->rowCount(), 4);
    EXPECT_TRUE(grid->isNewRowLine(5));
    EXPECT_EQ(grid->cellValue(4, 2).toString(), "nuova");

    db::Recordset rs = grid->recordset();
    EXPECT_EQ(rs.recordCount(), 4);
    rs.setBookmark(grid->rowBookmark(4));
    EXPECT_EQ(rs.status(), db::RecordStatus::New);
    EXPECT_EQ(rs.value("rQta").toLong(), 1);
    EXPECT_EQ(rs.value("rIva").toString(), "22");
    EXPECT_EQ(stored("SELECT COUNT(*) FROM Righe"), "3");
    rs.updateBatch();
    EXPECT_EQ(stored("SELECT rIva FROM Righe WHERE rDesc = 'nuova'"), "22");
}

TEST_F(BoundGridTest, BeforeColUpdateCancelKeepsTheOldValue)
{
    auto grid = bind(kRows, true);
    grid->show();
    QObject::connect(grid.get(), &GridEx::beforeColUpdate, [&grid](int column, const Variant& old, bool& cancel) {
        if (column == 4 && grid->value(4).toLong() < 0)
            cancel = true;
    });
    grid->setRow(1);
    grid->setCol(4);
    typeIntoCell(*grid, "-3");
    EXPECT_EQ(grid->value(4).toLong(), 1);
    typeIntoCell(*grid, "5");
    EXPECT_EQ(grid->value(4).toLong(), 5);
}

TEST_F(BoundGridTest, ColumnEventsRunForValuesSetByTheProgramSoARowTotalHolds)
{
    auto grid = bind(kRows, true);
    // total := quantity x price, whichever of the two changed and however.
    QObject::connect(grid.get(), &GridEx::beforeColUpdate, [&grid](int column, const Variant&, bool&) {
        if (column == 4 || column == 5)
            grid->setValue(6, Currency::fromDouble(grid->value(4).toDouble() * grid->value(5).toDouble()));
    });
    grid->show();
    grid->setRow(3);
    grid->setCol(5);
    typeIntoCell(*grid, "0,3333");
    EXPECT_EQ(grid->value(6), Variant(Currency::fromDouble(0.9999)));
    grid->setValue(5, Currency::fromDouble(2)); // as a picker would
    EXPECT_EQ(grid->value(6), Variant(Currency::fromDouble(6)));
    grid->column(6).setFormat("#,##0.00;-#,##0.00;0.00");
    grid->setValue(5, Currency::fromDouble(0.3333));
    EXPECT_EQ(grid->cellText(3, 6), "1,00"); // 0,9999 stored, shown rounded
}

TEST_F(BoundGridTest, BeforeUpdateCancelKeepsTheRowInEditAndTheUserOnIt)
{
    auto grid = bind(kRows, true);
    grid->show();
    bool refuse = true;
    QObject::connect(grid.get(), &GridEx::beforeUpdate, [&](bool& cancel) {
        cancel = refuse;
        if (!refuse)
            grid->setValue(7, "10"); // the row check may still set cells
    });
    grid->setRow(1);
    grid->setCol(2);
    typeIntoCell(*grid, "rifiutata");
    QTest::keyClick(grid->view(), Qt::Key_Down);
    EXPECT_EQ(grid->row(), 1);
    EXPECT_TRUE(grid->isEditingRow());
    EXPECT_FALSE(grid->commitRowEdit());
    db::Recordset rs = grid->recordset();
    rs.setBookmark(grid->rowBookmark(1));
    EXPECT_EQ(rs.value("Descrizione").toString(), "uno");
    EXPECT_EQ(rs.status(), db::RecordStatus::Unmodified);

    refuse = false;
    EXPECT_TRUE(grid->commitRowEdit());
    rs.setBookmark(grid->rowBookmark(1));
    EXPECT_EQ(rs.value("Descrizione").toString(), "rifiutata");
    EXPECT_EQ(rs.value("rIva").toString(), "10");

    // Cancelling the edit of a row puts its values back.
    grid->setValue(2, "annullata");
    grid->cancelRowEdit();
    EXPECT_EQ(grid->value(2).toString(), "rifiutata");
}

TEST_F(BoundGridTest, AValueTheRecordsetRefusesKeepsTheRowInEditAndReportsTheError)
{
    auto grid = bind(kRows, true);
    QSignalSpy errors(grid.get(), &GridEx::error);
    grid->setRow(1);
    grid->setValue(2, "much longer than ten");
    EXPECT_FALSE(grid->commitRowEdit());
    EXPECT_EQ(errors.size(), 1);
    EXPECT_TRUE(grid->isEditingRow());
    db::Recordset rs = grid->recordset();
    rs.setBookmark(grid->rowBookmark(1));
    EXPECT_EQ(rs.value("Descrizione").toString(), "uno");
    EXPECT_EQ(rs.editMode(), db::EditMode::None);
}

TEST_F(BoundGridTest, DropDownFromAnotherGridStoresTheCode)
{
    auto codes = bind("SELECT cdiCodice, cdiDescrizione FROM Codici ORDER BY cdiCodice");
    auto grid = bind(kRows, true);
    grid->column(7).setDropDown(codes.get(), "cdiCodice");
    grid->show();
    grid->setRow(3);
    grid->setCol(7);
    grid->view()->edit(grid->view()->currentIndex());
    auto* combo = qobject_cast<QComboBox*>(grid->view()->indexWidget(grid->view()->currentIndex()));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), "22  Ordinaria");
    combo->setCurrentIndex(1);
    QTest::keyClick(combo, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(grid->value(7).toString(), "22");
    ASSERT_TRUE(grid->commitRowEdit());
    db::Recordset rs = grid->recordset();
    rs.setBookmark(grid->rowBookmark(3));
    EXPECT_EQ(rs.value("rIva").toString(), "22");
}

TEST_F(BoundGridTest, ADropDownEditorInANarrowColumnShowsItsItemsWhole)
{
    connection.execute("INSERT INTO Codici VALUES ('N1', 'Escluso art. 15 DPR 633/72 (spese anticipate)')");
    auto codes = bind("SELECT cdiCodice, cdiDescrizione FROM Codici ORDER BY cdiCodice");
    auto grid = bind(kRows, true);
    grid->column(7).setDropDown(codes.get(), "cdiCodice");
    grid->column(7).setWidth(500); // room for the code alone
    grid->show();
    QApplication::processEvents();
    grid->setRow(1);
    grid->setCol(7);
    grid->view()->edit(grid->view()->currentIndex());
    auto* combo = qobject_cast<QComboBox*>(grid->view()->indexWidget(grid->view()->currentIndex()));
    ASSERT_NE(combo, nullptr);
    const QFontMetrics fm(combo->view()->font());
    int longest = 0;
    for (int i = 0; i < combo->count(); ++i)
        longest = std::max(longest, fm.horizontalAdvance(combo->itemText(i)));
    // The box over the cell and its open list both hold the longest item.
    EXPECT_GE(combo->width(), combo->sizeHint().width());
    EXPECT_GT(combo->width(), grid->view()->columnWidth(6));
    EXPECT_GE(combo->height(), combo->minimumSizeHint().height());
    EXPECT_GE(combo->view()->minimumWidth(), longest);
    EXPECT_LE(combo->geometry().right(), grid->view()->viewport()->width() - 1);
}

TEST_F(BoundGridTest, UnboundColumnOfABoundGridIsFilledByEvent)
{
    auto grid = bind(kRows);
    grid->addUnboundColumn("Note", "");
    QObject::connect(grid.get(), &GridEx::unboundReadData, [&grid](int row, int column, Variant& value) {
        db::Recordset rs = grid->recordset();
        rs.setBookmark(grid->rowBookmark(row));
        value = rs.value("rId").toLong() == 1 ? Variant("(amm.)") : Variant("");
    });
    EXPECT_EQ(grid->columnCount(), 8);
    EXPECT_EQ(grid->cellText(1, 8), "(amm.)");
    EXPECT_EQ(grid->cellText(2, 8), "");
}

TEST_F(BoundGridTest, RowsSortedByAnUnboundOrAnEditedColumnKeepTheirCellsTogether)
{
    auto grid = bind(kRows, true);
    grid->show();
    grid->addUnboundColumn("Rango", "");
    // A value per row that orders the rows against their ids.
    QObject::connect(grid.get(), &GridEx::unboundReadData, [&grid](int row, int, Variant& value) {
        db::Recordset rs = grid->recordset();
        rs.setBookmark(grid->rowBookmark(row));
        value = Variant(std::int32_t(10 - rs.value("rId").toLong()));
    });
    const auto rows = [&grid] {
        QStringList list;
        for (int r = 1; r <= grid->rowCount(); ++r)
            list << grid->cellText(r, 1) + " " + grid->cellValue(r, 2).toString() + " " + grid->cellText(r, 8);
        return list;
    };
    grid->addSortKey(8, grid::SortOrder::Ascending);
    EXPECT_EQ(rows(), (QStringList{"3 tre 7", "2 Due 8", "1 uno 9"}));

    // The edited row sorts by what it now holds.
    grid->setRow(3);
    grid->setCol(2);
    typeIntoCell(*grid, "Alfa");
    ASSERT_TRUE(grid->commitRowEdit());
    grid->clearSortKeys();
    grid->addSortKey(2, grid::SortOrder::Ascending);
    EXPECT_EQ(rows(), (QStringList{"1 Alfa 9", "2 Due 8", "3 tre 7"}));
    EXPECT_TRUE(grid->find(2, grid::Condition::BeginsWith, "alf"));
    EXPECT_EQ(grid->row(), 1);
}

TEST_F(BoundGridTest, RefreshShowsWhatTheCallerChangedInTheRecordset)
{
    auto grid = bind(kRows);
    grid->setRow(2);
    db::Recordset rs = grid->recordset();
    rs.addNew();
    rs.setValue("Descrizione", "da codice");
    rs.update();
    rs.moveFirst();
    rs.setValue("Descrizione", "cambiata");
    rs.update();
    grid->refresh();
    EXPECT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->cellValue(1, 2).toString(), "cambiata");
    EXPECT_EQ(grid->cellValue(4, 2).toString(), "da codice");
    EXPECT_EQ(grid->row(), 2);
}

TEST_F(BoundGridTest, DeletingARowPassesItToTheRecordset)
{
    auto grid = bind(kRows, true);
    grid->setAllowDelete(true);
    QSignalSpy deleted(grid.get(), &GridEx::afterDelete);
    grid->setRow(2);
    ASSERT_TRUE(grid->deleteCurrentRow());
    EXPECT_EQ(deleted.size(), 1);
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->cellValue(2, 2).toString(), "tre");
    EXPECT_EQ(grid->recordset().recordCount(), 2);
    grid->recordset().updateBatch();
    EXPECT_EQ(stored("SELECT COUNT(*) FROM Righe"), "2");
}

TEST_F(BoundGridTest, WithAnOptimisticLockACommittedRowIsWrittenAtOnce)
{
    auto grid = std::make_unique<GridEx>();
    grid->setConnectionString(connectionString);
    grid->setRecordSource("SELECT * FROM Righe");
    grid->setLockType(db::LockType::Pessimistic); // the table browser's setting
    grid->setAllowEdit(true);
    ASSERT_TRUE(grid->rebind());
    grid->setRow(1);
    grid->setValue("rDesc", "subito");
    ASSERT_TRUE(grid->commitRowEdit());
    EXPECT_EQ(stored("SELECT rDesc FROM Righe WHERE rId = 1"), "subito");
}

TEST_F(BoundGridTest, ValidateCanKeepTheFocusInTheGrid)
{
    auto grid = bind(kRows, true);
    QWidget window;
    grid->setParent(&window);
    auto* other = new QLineEdit(&window);
    other->move(0, 320);
    window.resize(720, 360);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    bool refuse = true;
    QObject::connect(grid.get(), &GridEx::validate, [&refuse](bool& cancel) { cancel = refuse; });
    QSignalSpy lost(grid.get(), &GridEx::focusLost);
    grid->view()->setFocus();
    QApplication::processEvents();
    other->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(grid->view()->hasFocus());
    EXPECT_EQ(lost.size(), 0);
    refuse = false;
    other->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(lost.size(), 1);
    grid->setParent(nullptr);
}

TEST_F(BoundGridTest, TheCurrentRowIsShownAfterARebindADeletionAndInAnEditableGrid)
{
    auto shown = [](const GridEx& grid) {
        QItemSelectionModel* selection = grid.view()->selectionModel();
        return grid.row() > 0 && selection->currentIndex().row() == grid.row() - 1
               && selection->isSelected(selection->currentIndex());
    };
    auto list = bind(kRows);
    list->show();
    list->setRow(3);
    ASSERT_TRUE(list->rebind());
    EXPECT_EQ(list->row(), 1);
    EXPECT_TRUE(shown(*list));

    auto grid = bind(kRows, true);
    grid->setAllowDelete(true);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    grid->setRow(2);
    ASSERT_TRUE(grid->deleteCurrentRow());
    EXPECT_EQ(grid->row(), 2);
    EXPECT_TRUE(shown(*grid));

    // A click below the rows leaves none current once the edited row is written;
    // a row its check refuses keeps the user, and its highlight, on it.
    bool refuse = true;
    QObject::connect(grid.get(), &GridEx::beforeUpdate, [&refuse](bool& cancel) { cancel = refuse; });
    grid->setCol(2);
    typeIntoCell(*grid, "rifiutata");
    QWidget* viewport = grid->view()->viewport();
    const QRect last = grid->view()->visualRect(grid->view()->model()->index(grid->rowCount() - 1, 1));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 15));
    EXPECT_EQ(grid->row(), 2);
    EXPECT_TRUE(grid->isEditingRow());
    EXPECT_TRUE(shown(*grid));
    refuse = false;
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 15));
    EXPECT_EQ(grid->row(), 0);
    EXPECT_FALSE(grid->isEditingRow());
    EXPECT_FALSE(grid->view()->selectionModel()->hasSelection());
}

TEST_F(BoundGridTest, ADateCellTakesTypedDatesAndTheCalendar)
{
    auto grid = bind(kRows, true);
    grid->show();
    QSignalSpy errors(grid.get(), &GridEx::error);
    grid->setRow(1);
    grid->setCol(3);
    typeIntoCell(*grid, "15032026");
    ASSERT_TRUE(grid->commitRowEdit());
    EXPECT_EQ(grid->value(3).toDate(), QDate(2026, 3, 15));

    // The calendar of the cell's editor; its pick is the cell's value.
    grid->setRow(2);
    grid->setCol(3);
    QTableView* view = grid->view();
    view->edit(view->currentIndex());
    auto* box = qobject_cast<ui::DateBox*>(view->indexWidget(view->currentIndex()));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->date(), QDate(2025, 12, 10));
    QTest::keyClick(box, Qt::Key_F4);
    ASSERT_TRUE(box->isCalendarVisible());
    box->calendarWidget()->setSelectedDate(QDate(2025, 12, 24));
    Q_EMIT box->calendarWidget()->activated(QDate(2025, 12, 24));
    EXPECT_TRUE(view->indexWidget(view->currentIndex()) == box); // still editing the cell
    QTest::keyClick(box, Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_TRUE(grid->commitRowEdit());
    EXPECT_EQ(grid->value(3).toDate(), QDate(2025, 12, 24));

    // An impossible date is never turned into another: the row is refused as typed.
    grid->setRow(3);
    grid->setCol(3);
    typeIntoCell(*grid, "31/02/2026");
    EXPECT_FALSE(grid->commitRowEdit());
    EXPECT_EQ(grid->value(3).toString(), "31/02/2026");
    EXPECT_GE(errors.size(), 1);
    grid->cancelRowEdit();
    EXPECT_EQ(grid->value(3).toDate(), QDate(2026, 1, 10));
}
