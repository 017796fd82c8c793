// Deleting the current row: confirmation, the checks that keep used records, documents with their rows.
#include "mainwindow/MainWindowFixture.h"

#include "mainwindow/frmMain.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/MsgBoxStyle.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QTableView>
#include <QTest>

namespace {
const QString kCollegato = QStringLiteral("Record con collegamenti in altre tabelle.\r\nNon verrà eliminato.");
const QString kConferma = QStringLiteral("Confermare eliminazione?");

// Makes the row whose column has the text current.
bool selectRow(grid::GridEx* g, int column, const QString& text)
{
    for (int r = 1; r <= g->rowCount(); ++r) {
        if (g->cellText(r, column) == text) {
            g->setRow(r);
            return true;
        }
    }
    return false;
}
} // namespace

TEST_F(MainWindowFixture, UsedRecordsAreRefusedUnusedOnesDeleted)
{
    addSection2();
    const int usato = addClient(QStringLiteral("Usato altrove"), 1, true);
    const int conServizio = addClient(QStringLiteral("Con servizio"), 1);
    addClient(QStringLiteral("Libero"), 1);
    const int pagDoc = addPayment(QStringLiteral("Usato in fattura"), 1);
    const int pagCli = addPayment(QStringLiteral("Usato dal cliente"), 1);
    addPayment(QStringLiteral("Libero"), 1);
    addDocument(2, 0, QDate::currentDate(), usato); // a document of the other professional
    exec(QStringLiteral("UPDATE Fatture SET fatCliForPag=%1").arg(pagDoc));
    exec(QStringLiteral("UPDATE CliFor SET cliPagamento=%1 WHERE cliId=%2").arg(pagCli).arg(conServizio));
    exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) "
                        "VALUES ('Servizio', '4', 10, 1, %1)")
             .arg(conServizio));
    exec(QStringLiteral("INSERT INTO FattureDettaglio (fdtfatId, fdtCodiceIVA) VALUES (999, '5')"));
    open();

    struct Case {
        int view;
        QString row;
        bool deleted;
        QString remaining; // counts the record after the attempt
    };
    const Case cases[] = {
        {2, QStringLiteral("Usato altrove"), false, QStringLiteral("SELECT * FROM CliFor WHERE cliNome='Usato altrove'")},
        {2, QStringLiteral("Con servizio"), false, QStringLiteral("SELECT * FROM CliFor WHERE cliNome='Con servizio'")},
        {2, QStringLiteral("Libero"), true, QStringLiteral("SELECT * FROM CliFor WHERE cliNome='Libero'")},
        {5, QStringLiteral("Usato in fattura"), false, QStringLiteral("SELECT * FROM Pagamenti WHERE pagId=%1").arg(pagDoc)},
        {5, QStringLiteral("Usato dal cliente"), false, QStringLiteral("SELECT * FROM Pagamenti WHERE pagId=%1").arg(pagCli)},
        {5, QStringLiteral("Libero"), true, QStringLiteral("SELECT * FROM Pagamenti WHERE pagDescrizione='Libero'")},
        // VAT codes by their code: on a detail line, on a service only, a professional's default, unused.
        {4, QStringLiteral("5"), false, QStringLiteral("SELECT * FROM CodiciIVA WHERE cdiCodice='5'")},
        {4, QStringLiteral("4"), false, QStringLiteral("SELECT * FROM CodiciIVA WHERE cdiCodice='4'")},
        {4, QStringLiteral("10"), false, QStringLiteral("SELECT * FROM CodiciIVA WHERE cdiCodice='10'")},
        {4, QStringLiteral("N3"), true, QStringLiteral("SELECT * FROM CodiciIVA WHERE cdiCodice='N3'")},
        // Services are never refused.
        {3, QStringLiteral("Servizio"), true, QStringLiteral("SELECT * FROM Prestazioni")},
    };
    for (const Case& c : cases) {
        action(QStringLiteral("mnuViewItem(%1)").arg(c.view))->trigger();
        const int column = c.view == 4 ? 1 : 2;
        ASSERT_TRUE(selectRow(grid(), column, c.row)) << c.row.toStdString();
        const int rows = grid()->rowCount();
        restartDialogs();
        m_dialogs.answerMessageBox(ui::vbYes);
        if (!c.deleted)
            m_dialogs.answerMessageBox(ui::vbOK);
        action(QStringLiteral("mnuFileItem(5)"))->trigger();
        EXPECT_EQ(m_dialogs.messages(), c.deleted ? QStringList{kConferma} : (QStringList{kConferma, kCollegato}))
            << c.row.toStdString();
        EXPECT_EQ(count(c.remaining), c.deleted ? 0 : 1) << c.row.toStdString();
        EXPECT_EQ(grid()->rowCount(), c.deleted ? rows - 1 : rows) << c.row.toStdString();
        EXPECT_TRUE(m_dialogs.unexpected().isEmpty()) << m_dialogs.unexpected().join('\n').toStdString();
    }
}

TEST_F(MainWindowFixture, DeletingADocumentTakesAllItsRowsAndLeavesTheCounter)
{
    const int cli = addClient(QStringLiteral("Rossi"), 1);
    const int fat = addDocument(1, 0, QDate::currentDate(), cli, 7);
    const int altro = addDocument(1, 0, QDate::currentDate(), cli, 8);
    for (int id : {fat, altro}) {
        exec(QStringLiteral("INSERT INTO FattureDettaglio (fdtfatId, fdtCodiceIVA) VALUES (%1, '22')").arg(id));
        exec(QStringLiteral("INSERT INTO FattureIva (fcifatId, fciCodiceIva) VALUES (%1, '22')").arg(id));
        exec(QStringLiteral("INSERT INTO Incassi (incFatId, incImporto) VALUES (%1, 50)").arg(id));
        exec(QStringLiteral("INSERT INTO Media (medfatId, medImporto) VALUES (%1, 5)").arg(id));
    }
    exec(QStringLiteral("INSERT INTO MediaPagamenti (medpagmedId, medpagImporto) SELECT medId, 1 FROM Media"));
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parNum1) VALUES (1, %1, 8)")
             .arg(QDate::currentDate().year()));
    open();
    action(QStringLiteral("mnuViewItem(1)"))->trigger();
    ASSERT_TRUE(selectRow(grid(), 2, QStringLiteral("7")));

    // No deletes nothing and reloads the list.
    m_dialogs.answerMessageBox(ui::vbNo);
    QTest::keyClick(grid()->view(), Qt::Key_Delete);
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM Fatture")), 2);
    EXPECT_EQ(grid()->rowCount(), 2);

    ASSERT_TRUE(selectRow(grid(), 2, QStringLiteral("7")));
    m_dialogs.answerMessageBox(ui::vbYes);
    QTest::keyClick(grid()->view(), Qt::Key_Delete);
    EXPECT_EQ(m_dialogs.messages(), (QStringList{kConferma, kConferma}));
    for (const QString& table : {QStringLiteral("FattureDettaglio WHERE fdtfatId="), QStringLiteral("FattureIva WHERE fcifatId="),
                                 QStringLiteral("Incassi WHERE incFatId="), QStringLiteral("Media WHERE medfatId="),
                                 QStringLiteral("Fatture WHERE fatId=")}) {
        EXPECT_EQ(count(QStringLiteral("SELECT * FROM ") + table + QString::number(fat)), 0) << table.toStdString();
        EXPECT_EQ(count(QStringLiteral("SELECT * FROM ") + table + QString::number(altro)), 1) << table.toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM MediaPagamenti")), 1);
    // The number is not given again: the counter keeps its value.
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM SezioniParametri WHERE parNum1=8")), 1);
    EXPECT_EQ(columnTexts(2), QStringList{QStringLiteral("8")});
}

TEST_F(MainWindowFixture, ADatabaseErrorAbandonsTheWholeDocumentDeletion)
{
    const int cli = addClient(QStringLiteral("Rossi"), 1);
    const int fat = addDocument(1, 0, QDate::currentDate(), cli, 7);
    exec(QStringLiteral("INSERT INTO FattureDettaglio (fdtfatId, fdtCodiceIVA) VALUES (%1, '22')").arg(fat));
    open();
    action(QStringLiteral("mnuViewItem(1)"))->trigger();
    ASSERT_EQ(grid()->rowCount(), 1);
    // A table the deletion needs has gone: the statements before it must not stay.
    exec(QStringLiteral("DROP TABLE Media"));
    m_dialogs.answerMessageBox(ui::vbYes);
    m_dialogs.answerMessageBox(ui::vbOK);
    action(QStringLiteral("mnuFileItem(5)"))->trigger();
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM FattureDettaglio")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM Fatture")), 1);
}
