// The list as the user works it: header sort, find as you type, opening and new records.
#include "mainwindow/MainWindowFixture.h"

#include "mainwindow/frmMain.h"
#include "platform/grid/GridEx.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace {

void clickHeader(grid::GridEx* g, int column)
{
    QHeaderView* header = g->view()->horizontalHeader();
    const int x = header->sectionViewportPosition(column - 1) + header->sectionSize(column - 1) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

} // namespace

TEST_F(MainWindowFixture, HeaderClicksToggleTheSortAndNameTheFindColumn)
{
    for (const char* nome : {"Verdi", "Bianchi", "Rossi"})
        addClient(QString::fromLatin1(nome), 1, false, QString::fromLatin1(nome).left(1) + QStringLiteral("città"));
    open();
    action(QStringLiteral("mnuViewItem(2)"))->trigger();
    auto* lblFind = qobject_cast<QLabel*>(child(QStringLiteral("lblFind")));
    EXPECT_EQ(lblFind->text(), QStringLiteral("Trova in Nome"));
    EXPECT_EQ(columnTexts(2), (QStringList{QStringLiteral("Bianchi"), QStringLiteral("Rossi"), QStringLiteral("Verdi")}));

    struct Step {
        int column;
        int order;
        const char* label;
    };
    const Step steps[] = {{2, -1, "Trova in Nome"}, {2, 1, "Trova in Nome"}, {2, -1, "Trova in Nome"},
                          {3, 1, "Trova in Indirizzo"}, {3, -1, "Trova in Indirizzo"}};
    for (const Step& s : steps) {
        clickHeader(grid(), s.column);
        ASSERT_EQ(grid()->sortKeyCount(), 1);
        EXPECT_EQ(grid()->sortKeyColumn(1), s.column);
        EXPECT_EQ(grid()->sortKeyOrder(1), s.order);
        EXPECT_EQ(lblFind->text(), QString::fromUtf8(s.label));
    }
}

TEST_F(MainWindowFixture, TheCaptionlessPrefixColumnDoesNotSort)
{
    const int cli = addClient(QStringLiteral("Rossi"), 1);
    addDocument(1, 0, QDate(QDate::currentDate().year(), 2, 1), cli, 2, false, QStringLiteral("A"));
    addDocument(1, 0, QDate(QDate::currentDate().year(), 1, 1), cli, 1);
    open();
    action(QStringLiteral("mnuViewItem(1)"))->trigger();
    clickHeader(grid(), 3);
    EXPECT_EQ(grid()->sortKeyColumn(1), 2);
    EXPECT_EQ(grid()->sortKeyOrder(1), 1);
    EXPECT_EQ(qobject_cast<QLabel*>(child(QStringLiteral("lblFind")))->text(), QStringLiteral("Trova in Numero"));
}

TEST_F(MainWindowFixture, TypingInTheListFindsInTheSortColumn)
{
    for (const char* nome : {"Anselmi", "Rossi", "Rinaldi", "Zeta", "Ruggeri"})
        addClient(QString::fromLatin1(nome), 1);
    open();
    action(QStringLiteral("mnuViewItem(2)"))->trigger();
    grid()->setFocus();
    QTest::keyClick(grid()->view(), 'R');
    auto* txtFind = qobject_cast<QLineEdit*>(child(QStringLiteral("txtFind")));
    EXPECT_EQ(txtFind->text(), QStringLiteral("R"));
    EXPECT_EQ(txtFind->cursorPosition(), 1);
    EXPECT_EQ(QApplication::focusWidget(), txtFind);
    EXPECT_EQ(grid()->cellText(grid()->row(), 2), QStringLiteral("Rinaldi"));

    QTest::keyClicks(txtFind, QStringLiteral("os"));
    EXPECT_EQ(grid()->cellText(grid()->row(), 2), QStringLiteral("Rossi"));
    // Nothing matches: the current row stays.
    QTest::keyClick(txtFind, Qt::Key_X);
    EXPECT_EQ(grid()->cellText(grid()->row(), 2), QStringLiteral("Rossi"));

    // Down goes back to the list; Enter there opens the row.
    QTest::keyClick(txtFind, Qt::Key_Down);
    EXPECT_TRUE(grid()->view()->hasFocus());
    QTest::keyClick(grid()->view(), Qt::Key_Return);
    ASSERT_EQ(m_calls.size(), 1);
    EXPECT_TRUE(m_calls.first().startsWith(QStringLiteral("frm_io_Clienti::Apri(")));
    EXPECT_TRUE(m_calls.first().endsWith(QStringLiteral(", 0)")));

    // Sorted descending, the find goes on from the row after the current one.
    clickHeader(grid(), 2);
    EXPECT_EQ(grid()->sortKeyOrder(1), -1);
    grid()->setRow(1); // Zeta
    txtFind->setFocus();
    txtFind->selectAll();
    QTest::keyClick(txtFind, 'R');
    EXPECT_EQ(grid()->cellText(grid()->row(), 2), QStringLiteral("Ruggeri"));
}

TEST_F(MainWindowFixture, OpeningARowCallsItsViewsForm)
{
    const int cli = addClient(QStringLiteral("Rossi"), 1);
    const int pag = addPayment(QStringLiteral("Rimessa"), 1);
    exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) "
                        "VALUES ('Visita', '22', 50, 1, 0)"));
    const int fat = addDocument(1, 0, QDate::currentDate(), cli);
    const int pro = addDocument(1, 2, QDate::currentDate(), cli);
    open();
    struct Case {
        int view;
        QString call;
    };
    const Case cases[] = {
        {0, QStringLiteral("frm_fattura::Modifica(%1)").arg(pro)},
        {1, QStringLiteral("frm_fattura::Modifica(%1)").arg(fat)},
        {2, QStringLiteral("frm_io_Clienti::Apri(%1, 0)").arg(cli)},
        {3, QStringLiteral("frm_io_Prestazioni::Apri(1, 0)")},
        {4, QStringLiteral("frm_io_IVA::Apri('N1', 0)")}, // sorted by description: "Escluso art. 15 ..."
        {5, QStringLiteral("frm_io_Pagamenti::Apri(%1, 0)").arg(pag)},
    };
    for (const Case& c : cases) {
        action(QStringLiteral("mnuViewItem(%1)").arg(c.view))->trigger();
        ASSERT_GT(grid()->rowCount(), 0);
        grid()->setRow(1);
        // Double click, Enter in the find box and File > Apri all open the same row.
        QTableView* view = grid()->view();
        const QRect cell = view->visualRect(view->model()->index(0, 1));
        // QTest's double click counts only after a first press, as a user's does.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::keyClick(child(QStringLiteral("txtFind")), Qt::Key_Return);
        action(QStringLiteral("mnuFileItem(4)"))->trigger();
        EXPECT_EQ(m_calls, (QStringList{c.call, c.call, c.call})) << c.view;
        m_calls.clear();
    }
}

TEST_F(MainWindowFixture, EnterInTheFindBoxWithAnEmptyListOpensNothing)
{
    open();
    action(QStringLiteral("mnuViewItem(1)"))->trigger();
    ASSERT_EQ(grid()->rowCount(), 0);
    // A section without documents still shows the query's columns.
    EXPECT_EQ(grid()->columnCount(), 8);
    QTest::keyClick(child(QStringLiteral("txtFind")), Qt::Key_Return);
    QTest::keyClick(grid()->view(), Qt::Key_Delete);
    EXPECT_TRUE(m_calls.isEmpty());
}

TEST_F(MainWindowFixture, NewRecordsByKeyMenuAndToolbar)
{
    open();
    // Ctrl+letter works with no view chosen.
    struct Key {
        Qt::Key key;
        const char* call;
    };
    const Key keys[] = {
        {Qt::Key_F, "frm_fattura::Nuovo(0)"},       {Qt::Key_P, "frm_fattura::Nuovo(2)"},
        {Qt::Key_C, "frm_io_Clienti::Nuovo(0)"},    {Qt::Key_R, "frm_io_Prestazioni::Nuovo(0)"},
        {Qt::Key_I, "frm_io_IVA::Nuovo(0)"},        {Qt::Key_G, "frm_io_Pagamenti::Nuovo(0)"},
    };
    for (const Key& k : keys) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : m_main, k.key, Qt::ControlModifier);
        ASSERT_EQ(m_calls.size(), 1) << k.call;
        EXPECT_EQ(m_calls.takeFirst(), QString::fromLatin1(k.call));
    }
    EXPECT_EQ(m_main->vistaCorrente(), -1);
    // Other letters and Alt combinations do nothing.
    QTest::keyClick(m_main, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(m_main, Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(m_calls.isEmpty());

    action(QStringLiteral("mnuNewItem(3)"))->trigger();
    EXPECT_EQ(m_calls.takeFirst(), QStringLiteral("frm_io_Prestazioni::Nuovo(0)"));
    action(QStringLiteral("mnuViewItem(5)"))->trigger();
    action(QStringLiteral("mnuFileItem(0)"))->trigger();
    action(QStringLiteral("tbButton(1)"))->trigger();
    QTest::keyClick(child(QStringLiteral("txtFind")), Qt::Key_F5);
    EXPECT_EQ(m_calls, QStringList(3, QStringLiteral("frm_io_Pagamenti::Nuovo(0)")));
}

TEST_F(MainWindowFixture, WithNoRowHighlightedDeleteAndOpenDoNothing)
{
    addClient(QStringLiteral("Bianchi"), 1);
    addClient(QStringLiteral("Rossi"), 1);
    open();
    clickViewBar(2);
    ASSERT_EQ(grid()->rowCount(), 2);
    QTableView* view = grid()->view();
    const QRect last = view->visualRect(view->model()->index(1, 1));
    ASSERT_LT(last.bottom() + 20, view->viewport()->height());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 15));
    EXPECT_EQ(grid()->row(), 0);
    EXPECT_FALSE(view->selectionModel()->hasSelection());

    // No "Confermare eliminazione?" about a row nobody sees, and nothing opens.
    QTest::keyClick(view, Qt::Key_Delete);
    action(QStringLiteral("mnuFileItem(5)"))->trigger();
    QTest::keyClick(view, Qt::Key_Return);
    action(QStringLiteral("mnuFileItem(4)"))->trigger();
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM CliFor WHERE cliNome IN ('Bianchi', 'Rossi')")), 2);
    EXPECT_TRUE(m_calls.isEmpty());
    EXPECT_TRUE(m_dialogs.requests().isEmpty());
}

TEST_F(MainWindowFixture, AViewChosenByItsKeysIsReadyForTheKeyboard)
{
    const int bianchi = addClient(QStringLiteral("Bianchi"), 1);
    const int rossi = addClient(QStringLiteral("Rossi"), 1);
    const int pag = addPayment(QStringLiteral("Rimessa diretta"), 1);
    open();
    auto pressInFocus = [this](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : m_main, key, modifiers);
    };
    // From the start panel, as after a click on the view bar: the find box.
    pressInFocus(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(m_main->vistaCorrente(), 2);
    EXPECT_EQ(QApplication::focusWidget(), child(QStringLiteral("txtFind")));
    pressInFocus(Qt::Key_Return);
    EXPECT_EQ(m_calls, QStringList{QStringLiteral("frm_io_Clienti::Apri(%1, 0)").arg(bianchi)});
    pressInFocus(Qt::Key_Down); // into the list
    EXPECT_EQ(QApplication::focusWidget(), grid()->view());
    pressInFocus(Qt::Key_Down);
    pressInFocus(Qt::Key_Return);
    EXPECT_EQ(m_calls.last(), QStringLiteral("frm_io_Clienti::Apri(%1, 0)").arg(rossi));

    // From the list to another view.
    pressInFocus(Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(m_main->vistaCorrente(), 5);
    EXPECT_EQ(QApplication::focusWidget(), child(QStringLiteral("txtFind")));
    pressInFocus(Qt::Key_Return);
    EXPECT_EQ(m_calls.last(), QStringLiteral("frm_io_Pagamenti::Apri(%1, 0)").arg(pag));
}
