#include "common/comfrmManData.h"
#include "platform/database/Recordset.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/MsgBoxStyle.h"
#include "startup/SharedState.h"
#include "support/ProgramFixture.h"

#include "platform/ui/DateBox.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QDrag>
#include <QMimeData>
#include <QTreeView>
#include <QPushButton>
#include <QTableView>
#include <QTest>

class TableBrowserTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        useUpgradedDatabase();
    }
    void TearDown() override
    {
        comfrmManData::Unload();
        ProgramFixture::TearDown();
    }
    static void choose(QWidget* w, const QString& table)
    {
        auto* combo = w->findChild<QComboBox*>(QStringLiteral("cmbTables"));
        const int i = combo->findText(table);
        ASSERT_GE(i, 0) << table.toStdString();
        combo->setCurrentIndex(i);
        Q_EMIT combo->activated(i);
    }
};

TEST_F(TableBrowserTest, ListsTheUserTablesOnly)
{
    exec(QStringLiteral("CREATE TABLE [Note di prova] (id COUNTER, testo TEXT(20))"));
    exec(QStringLiteral("INSERT INTO [Note di prova] (testo) VALUES ('una')"));
    const QStringList tables = comfrmManData::TabelleUtente(session().dataConStr);
    for (const char* t : {"Sezioni", "SezioniModelli", "SezioniParametri", "CliFor", "Pagamenti", "CodiciIVA", "Prestazioni",
                          "Fatture", "FattureDettaglio", "FattureIva", "Incassi", "Media", "MediaPagamenti", "Fornitori", "Ums",
                          "Enasarco", "finData", "finRel", "Note di prova"})
        EXPECT_TRUE(tables.contains(QString::fromLatin1(t))) << t;
    for (const QString& t : tables)
        EXPECT_FALSE(t.startsWith(QStringLiteral("sqlite_"), Qt::CaseInsensitive)) << t.toStdString();

    // A name with a blank opens through its brackets.
    m_dialogs.answerModal([&](QWidget* w) {
        choose(w, QStringLiteral("Note di prova"));
        auto* grid = w->findChild<grid::GridEx*>(QStringLiteral("gexTable"));
        EXPECT_TRUE(grid->isVisible());
        EXPECT_EQ(grid->rowCount(), 1);
        EXPECT_EQ(grid->cellText(1, 2), QStringLiteral("una"));
    });
    comfrmManData::Mostra(nullptr, session().dataConStr);
}

TEST_F(TableBrowserTest, AnEditOfARowChangedMeanwhileIsRefused)
{
    m_dialogs.answerModal([&](QWidget* w) {
        choose(w, QStringLiteral("CodiciIVA"));
        auto* grid = w->findChild<grid::GridEx*>(QStringLiteral("gexTable"));
        ASSERT_TRUE(grid->find(grid->columnIndex(QStringLiteral("cdiCodice")), 0, core::Variant(QStringLiteral("22"))));
        exec(QStringLiteral("UPDATE CodiciIVA SET cdiDescrizione='Cambiata altrove' WHERE cdiCodice='22'"));
        grid->setValue(QStringLiteral("cdiDescrizione"), core::Variant(QStringLiteral("Cambiata qui")));
        EXPECT_FALSE(grid->commitRowEdit());
        grid->cancelRowEdit();
    });
    m_dialogs.answerMessageBox(ui::vbOK);
    comfrmManData::Mostra(nullptr, session().dataConStr);
    EXPECT_EQ(m_dialogs.messages().size(), 1);
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT cdiDescrizione FROM CodiciIVA WHERE cdiCodice='22'"), session().dataConStr);
    EXPECT_EQ(rs.value(0).toString(), QStringLiteral("Cambiata altrove"));
}

namespace {
grid::GridEx* browserGrid(QWidget* w) { return w->findChild<grid::GridEx*>(QStringLiteral("gexTable")); }
} // namespace

TEST_F(TableBrowserTest, CancDeletesTheSelectedRowsAfterOneConfirmation)
{
    exec(QStringLiteral("CREATE TABLE Prove (id COUNTER, testo TEXT(20))"));
    exec(QStringLiteral("CREATE INDEX PrimaryKey ON Prove (id) WITH PRIMARY"));
    for (const char* t : {"a", "b", "c", "d"})
        exec(QStringLiteral("INSERT INTO Prove (testo) VALUES ('%1')").arg(QLatin1String(t)));
    m_dialogs.answerModal([&](QWidget* w) {
        choose(w, QStringLiteral("Prove"));
        auto* g = browserGrid(w);
        EXPECT_EQ(g->navigatorText(), QStringLiteral("Record: 1 di 4"));
        QTest::keyClick(g->view(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(g->view(), Qt::Key_Down, Qt::ShiftModifier);
        EXPECT_EQ(g->selectedRows(), (QVector<int>{1, 2, 3}));
        // The first answer is No: nothing goes.
        QTest::keyClick(g->view(), Qt::Key_Delete);
        EXPECT_EQ(g->rowCount(), 4);
        QTest::keyClick(g->view(), Qt::Key_Delete);
        EXPECT_EQ(g->rowCount(), 1);
        EXPECT_EQ(g->navigatorText(), QStringLiteral("Record: 1 di 1"));
    });
    m_dialogs.answerMessageBox(ui::vbNo);
    m_dialogs.answerMessageBox(ui::vbYes);
    comfrmManData::Mostra(nullptr, session().dataConStr);
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_EQ(m_dialogs.messages()[0], QStringLiteral("Eliminare le 3 righe selezionate?"));
    EXPECT_EQ(m_dialogs.requests(ui::DialogKind::MessageBox)[0].style & ui::vbDefaultMask, ui::vbDefaultButton2);
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT testo FROM Prove"), session().dataConStr);
    EXPECT_EQ(rs.value(0).toString(), QStringLiteral("d"));
}

TEST_F(TableBrowserTest, ARowChangedElsewhereIsNotDeleted)
{
    exec(QStringLiteral("CREATE TABLE Prove (id COUNTER, testo TEXT(20))"));
    exec(QStringLiteral("CREATE INDEX PrimaryKey ON Prove (id) WITH PRIMARY"));
    exec(QStringLiteral("INSERT INTO Prove (testo) VALUES ('a')"));
    m_dialogs.answerModal([&](QWidget* w) {
        choose(w, QStringLiteral("Prove"));
        exec(QStringLiteral("UPDATE Prove SET testo='cambiata'"));
        QTest::keyClick(browserGrid(w)->view(), Qt::Key_Delete);
    });
    m_dialogs.answerMessageBox(ui::vbYes);
    m_dialogs.answerMessageBox(ui::vbOK);
    comfrmManData::Mostra(nullptr, session().dataConStr);
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_TRUE(m_dialogs.messages()[1].startsWith(QStringLiteral("Una riga non è stata eliminata:")));
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT testo FROM Prove"), session().dataConStr);
    EXPECT_EQ(rs.value(0).toString(), QStringLiteral("cambiata"));
}

TEST_F(TableBrowserTest, VuotoStoresNullAndClosingWritesThePendingRow)
{
    exec(QStringLiteral("CREATE TABLE Prove (id COUNTER, giorno DATETIME, testo TEXT(20))"));
    exec(QStringLiteral("CREATE INDEX PrimaryKey ON Prove (id) WITH PRIMARY"));
    exec(QStringLiteral("INSERT INTO Prove (giorno, testo) VALUES (#03/15/2026#, 'a')"));
    m_dialogs.answerModal([&](QWidget* w) {
        choose(w, QStringLiteral("Prove"));
        auto* g = browserGrid(w);
        QTableView* view = g->view();
        view->setCurrentIndex(view->model()->index(0, 1));
        view->edit(view->currentIndex());
        auto* box = qobject_cast<ui::DateBox*>(view->indexWidget(view->currentIndex()));
        ASSERT_NE(box, nullptr);
        box->showCalendar();
        auto* vuoto = box->calendarWidget()->parentWidget()->findChild<QPushButton*>(QStringLiteral("cmdVuoto"));
        ASSERT_NE(vuoto, nullptr);
        EXPECT_EQ(vuoto->text(), QStringLiteral("Vuoto"));
        QTest::mouseClick(vuoto, Qt::LeftButton);
        EXPECT_TRUE(g->isEditingRow());
        // Closed with the row still in edit: it is written, not lost.
        w->close();
    });
    comfrmManData::Mostra(nullptr, session().dataConStr);
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT giorno FROM Prove"), session().dataConStr);
    EXPECT_TRUE(rs.value(0).isNull());
}

namespace {

// Presses the mouse on `from` at `start` and moves it far enough to start a
// drag; the drag object the widget started, if any. The offscreen platform
// ends a drag at once, as a drop outside every window; the button is let go
// over another widget (letGoOn).
QDrag* startDragWithTheMouse(QWidget* from, QPoint start)
{
    QTest::mousePress(from, Qt::LeftButton, {}, start);
    QTest::mouseMove(from, start + QPoint(QApplication::startDragDistance() + 4, 2));
    return from->parentWidget() ? from->parentWidget()->findChild<QDrag*>() : nullptr;
}

void letGoOn(QWidget* target, QPoint at)
{
    QTest::mouseRelease(target, Qt::LeftButton, {}, at);
    QApplication::processEvents();
}

// What the window system gives a widget when a drag is let go over it.
bool dropOn(QWidget* target, QPoint at, const QMimeData* data)
{
    QDragEnterEvent enter(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(at), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

} // namespace

TEST_F(TableBrowserTest, AHeaderDraggedIntoTheGroupBoxGroupsTheRowsAndDraggedOutUngroups)
{
    exec(QStringLiteral("CREATE TABLE Prove (id COUNTER, citta TEXT(20), testo TEXT(20))"));
    exec(QStringLiteral("CREATE INDEX PrimaryKey ON Prove (id) WITH PRIMARY"));
    for (const char* row : {"'Roma', 'a'", "'Milano', 'b'", "'Roma', 'c'"})
        exec(QStringLiteral("INSERT INTO Prove (citta, testo) VALUES (%1)").arg(QLatin1String(row)));
    m_dialogs.answerModal([&](QWidget* w) {
        choose(w, QStringLiteral("Prove"));
        auto* g = browserGrid(w);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        auto* box = g->findChild<QWidget*>(QStringLiteral("groupByBox"));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(g->findChild<QLabel*>(QStringLiteral("lblGroupByHint"))->text(),
                  QStringLiteral("Trascinare qui una colonna per raggruppare."));
        QHeaderView* header = g->view()->horizontalHeader();
        const int citta = g->columnIndex(QStringLiteral("citta"));
        const QPoint onHeader(header->sectionViewportPosition(citta - 1) + header->sectionSize(citta - 1) / 2,
                              header->height() / 2);

        QDrag* drag = startDragWithTheMouse(header->viewport(), onHeader);
        ASSERT_NE(drag, nullptr);
        EXPECT_TRUE(dropOn(box, box->rect().center(), drag->mimeData()));
        letGoOn(box, box->rect().center());
        EXPECT_EQ(g->groupColumns(), (QVector<int>{citta - 1}));
        ASSERT_TRUE(g->groupView()->isVisible());
        QAbstractItemModel* groups = g->groupView()->model();
        ASSERT_EQ(groups->rowCount(), 2);
        EXPECT_EQ(groups->index(0, 0).data().toString(), QStringLiteral("citta: Milano (1 riga)"));
        EXPECT_EQ(groups->index(1, 0).data().toString(), QStringLiteral("citta: Roma (2 righe)"));

        // The column's tag dragged out of the box and let go elsewhere.
        auto* tag = box->findChild<QLabel*>(QStringLiteral("groupColumn(%1)").arg(citta));
        ASSERT_NE(tag, nullptr);
        startDragWithTheMouse(tag, tag->rect().center());
        letGoOn(g->groupView()->viewport(), g->groupView()->viewport()->rect().center());
        EXPECT_TRUE(g->groupColumns().isEmpty());
        EXPECT_FALSE(g->groupView()->isVisible());
        EXPECT_TRUE(g->view()->isVisible());
        EXPECT_EQ(g->rowCount(), 3);
        EXPECT_EQ(g->cellText(2, citta), QStringLiteral("Milano"));
    });
    comfrmManData::Mostra(nullptr, session().dataConStr);
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT citta & testo FROM Prove ORDER BY id"), session().dataConStr);
    QStringList stored;
    for (; !rs.eof(); rs.moveNext())
        stored << rs.value(0).toString();
    EXPECT_EQ(stored, (QStringList{"Romaa", "Milanob", "Romac"}));
}
