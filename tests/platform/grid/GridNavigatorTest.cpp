// The record navigator under a grid and the grouped display of its rows.
#include "platform/database/Connection.h"
#include "platform/grid/GridEx.h"

#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include "GridDatabase.h"

using grid::GridEx;

namespace {

class NavigatorTest : public GridDatabaseTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(GridDatabaseTest::SetUp());
        connection.execute("CREATE TABLE Voci (vId COUNTER, vCitta TEXT(10), vTipo TEXT(10))");
        connection.execute("CREATE INDEX PrimaryKey ON Voci (vId) WITH PRIMARY");
        for (const char* values : {"'Roma', 'A'", "'Milano', 'B'", "'Roma', 'B'", "'Roma', 'A'"})
            connection.execute(QStringLiteral("INSERT INTO Voci (vCitta, vTipo) VALUES (%1)").arg(QLatin1String(values)));
        grid = std::make_unique<GridEx>();
        grid->setConnectionString(connectionString);
        grid->setRecordSource(QStringLiteral("SELECT * FROM Voci ORDER BY vId"));
        grid->setLockType(db::LockType::Optimistic);
        grid->setNavigatorVisible(true);
        grid->setNavigatorTexts(QStringLiteral("Record:|di"));
        grid->resize(600, 300);
        grid->show();
        ASSERT_TRUE(grid->rebind());
    }

    void click(const char* button)
    {
        auto* b = grid->findChild<QToolButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);
        QTest::mouseClick(b, Qt::LeftButton);
    }

    // Drops a header of the grid on its group-by box, as a drag ends there.
    void dropOnGroupBox(int column)
    {
        QWidget* box = grid->findChild<QWidget*>(QStringLiteral("groupByBox"));
        ASSERT_NE(box, nullptr);
        QMimeData data;
        data.setData(QStringLiteral("application/x-grid-column"),
                     QByteArray::number(quintptr(grid.get())) + ' ' + QByteArray::number(column - 1));
        QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &drop);
    }

    QStringList groupTexts(const QModelIndex& parent = {})
    {
        QStringList texts;
        auto* model = grid->groupView()->model();
        for (int r = 0; r < model->rowCount(parent); ++r)
            texts << model->index(r, 0, parent).data().toString();
        return texts;
    }

    std::unique_ptr<GridEx> grid;
};

} // namespace

TEST_F(NavigatorTest, FollowsMovesAdditionsDeletionsAndRefresh)
{
    EXPECT_EQ(grid->navigatorText(), "Record: 1 di 4");
    click("cmdNavLast");
    EXPECT_EQ(grid->row(), 4);
    EXPECT_EQ(grid->navigatorText(), "Record: 4 di 4");
    click("cmdNavPrevious");
    EXPECT_EQ(grid->navigatorText(), "Record: 3 di 4");
    click("cmdNavFirst");
    EXPECT_EQ(grid->navigatorText(), "Record: 1 di 4");
    click("cmdNavNext");
    EXPECT_EQ(grid->navigatorText(), "Record: 2 di 4");
    QTest::keyClick(grid->view(), Qt::Key_Down);
    EXPECT_EQ(grid->navigatorText(), "Record: 3 di 4");

    // A row added by the grid, one deleted, one added elsewhere and read again.
    grid->setAllowAddNew(true);
    grid->setRow(5);
    grid->setValue(2, core::Variant(QStringLiteral("Pisa")));
    ASSERT_TRUE(grid->commitRowEdit());
    EXPECT_EQ(grid->navigatorText().section(' ', 2), "di 5");
    grid->setRow(1);
    ASSERT_TRUE(grid->deleteCurrentRow());
    EXPECT_EQ(grid->navigatorText(), "Record: 1 di 4");
    connection.execute("DELETE FROM Voci");
    grid->rebind();
    EXPECT_EQ(grid->navigatorText(), "Record: 0 di 0");
    grid->setAllowAddNew(false);
    grid->rebind();
    EXPECT_EQ(grid->navigatorText(), "Record: 0 di 0");
    click("cmdNavNext"); // nothing to move to, nothing breaks
    EXPECT_EQ(grid->row(), 0);
}

TEST_F(NavigatorTest, TheWindowGivesItsOwnWords)
{
    grid->setNavigatorTexts(QStringLiteral("riga:|di"));
    EXPECT_EQ(grid->navigatorText(), "riga: 1 di 4");
}

TEST_F(NavigatorTest, GroupsByTwoColumnsAndUngroupsWithoutTouchingData)
{
    grid->setGroupByBoxVisible(true);
    grid->setGroupByBoxHint(QStringLiteral("Trascinare qui una colonna per raggruppare."));
    EXPECT_EQ(grid->findChild<QLabel*>(QStringLiteral("lblGroupByHint"))->text(),
              "Trascinare qui una colonna per raggruppare.");

    dropOnGroupBox(2);
    EXPECT_EQ(grid->groupColumns(), (QVector<int>{1}));
    EXPECT_TRUE(grid->groupView()->isVisible());
    EXPECT_EQ(groupTexts(), (QStringList{"vCitta: Milano (1 riga)", "vCitta: Roma (3 righe)"}));

    dropOnGroupBox(3);
    auto* model = grid->groupView()->model();
    const QModelIndex roma = model->index(1, 0);
    EXPECT_EQ(groupTexts(roma), (QStringList{"vTipo: A (2 righe)", "vTipo: B (1 riga)"}));
    EXPECT_EQ(model->rowCount(model->index(0, 0, roma)), 2);

    // A group closes and opens again.
    EXPECT_TRUE(grid->groupView()->isExpanded(roma));
    grid->groupView()->setExpanded(roma, false);
    EXPECT_FALSE(grid->groupView()->isExpanded(roma));
    grid->groupView()->setExpanded(roma, true);

    grid->ungroup(2);
    EXPECT_EQ(groupTexts(), (QStringList{"vTipo: A (2 righe)", "vTipo: B (2 righe)"}));
    grid->ungroup(3);
    EXPECT_FALSE(grid->groupView()->isVisible());
    EXPECT_TRUE(grid->view()->isVisible());
    EXPECT_EQ(grid->rowCount(), 4);
    QStringList cities;
    for (int r = 1; r <= 4; ++r)
        cities << grid->cellText(r, 2);
    EXPECT_EQ(cities, (QStringList{"Roma", "Milano", "Roma", "Roma"}));
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT COUNT(*) FROM Voci WHERE vCitta='Roma'"), connection);
    EXPECT_EQ(rs.value(0).toInt64(), 3);
}
