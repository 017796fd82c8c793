// A save from the editor refreshes only the saved document's row of the main
// window's list: the row shows the stored values in its sorted place, it
// becomes the current row, and the user's sort stays as it was.
#include "EditorDriver.h"

#include "common/comDataBase.h"
#include "mainwindow/InstalledPrinters.h"
#include "mainwindow/frmMain.h"
#include "platform/grid/GridEx.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class SavedDocumentRowTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        session().regKeySettings = session().regKeySettings2 = QStringLiteral("Software\\Vantrel\\Corvessa\\Settings");
        session().regKeyPrinters = QStringLiteral("Software\\Vantrel\\Corvessa\\Printers");
        setInstalledPrintersSource([] {
            return InstalledPrinters{{{QStringLiteral("Laser"), QStringLiteral("HP LaserJet")}}, QStringLiteral("Laser")};
        });
        exec(QStringLiteral("INSERT INTO CliFor (cliNome, cliLocalita, sezId, SostImposta, cliShared) "
                            "VALUES ('Alfa Srl', 'Roma', 1, False, False)"));
        exec(QStringLiteral("INSERT INTO CliFor (cliNome, cliLocalita, sezId, SostImposta, cliShared) "
                            "VALUES ('Zeta Spa', 'Roma', 1, False, False)"));
        const int alfa = scalar(QStringLiteral("SELECT cliId FROM CliFor WHERE cliNome='Alfa Srl'")).toInt();
        const int zeta = scalar(QStringLiteral("SELECT cliId FROM CliFor WHERE cliNome='Zeta Spa'")).toInt();
        addInvoice(1, alfa, 300);
        addInvoice(2, zeta, 200);
        frmMain::Visualizza();
        QApplication::setActiveWindow(frmMain::instance());
        // The main window starts on today; the documents here are of the editor's working year.
        ImpostaDataLavoro(QDate(2024, 3, 5));
        frmMain::instance()->findChild<QAction*>(QStringLiteral("mnuViewItem(1)"))->trigger();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        frm_fattura::Unload();
        frmMain::Unload();
        setInstalledPrintersSource({});
        EditorTest::TearDown();
    }

    void addInvoice(int numero, int cliId, int totale)
    {
        exec(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatData, fatCliForId, fatTotDoc, fatTotNetto, "
                            "fatPagata) VALUES (1, 0, %1, %2, %3, %4, %4, False)")
                 .arg(numero)
                 .arg(SqlData(QDate(2024, 2, numero)))
                 .arg(cliId)
                 .arg(totale));
    }

    grid::GridEx* list() const { return frmMain::instance()->findChild<grid::GridEx*>(QStringLiteral("gexView")); }

    // The header click a user makes on the list's column (1-based).
    void clickHeader(int column)
    {
        QHeaderView* header = list()->view()->horizontalHeader();
        const int x = header->sectionViewportPosition(column - 1) + header->sectionSize(column - 1) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }

    QStringList column(int c) const
    {
        QStringList texts;
        for (int r = 1; r <= list()->rowCount(); ++r)
            texts << list()->cellText(r, c);
        return texts;
    }
};

TEST_F(SavedDocumentRowTest, NewInvoiceTakesItsSortedPlaceAndBecomesCurrent)
{
    clickHeader(5);
    ASSERT_EQ(column(5), (QStringList{QStringLiteral("Alfa Srl [Roma]"), QStringLiteral("Zeta Spa [Roma]")}));

    const std::int32_t id = saveSimpleDocument(0);

    ASSERT_EQ(list()->rowCount(), 3);
    EXPECT_EQ(column(5), (QStringList{QStringLiteral("Alfa Srl [Roma]"), QStringLiteral("D'Amico Studio [Roma]"),
                                      QStringLiteral("Zeta Spa [Roma]")}));
    // The list keeps the order the user chose.
    EXPECT_EQ(list()->sortKeyColumn(1), 5);
    EXPECT_EQ(list()->row(), 2);
    EXPECT_EQ(list()->value(1).toLong(), id);
    EXPECT_EQ(list()->value(2).toLong(), scalar(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatId=%1").arg(id)).toInt());
    EXPECT_EQ(list()->cellText(2, 6), QStringLiteral("126,88"));
}

TEST_F(SavedDocumentRowTest, EditedInvoiceReplacesItsRowAndMoves)
{
    clickHeader(5);
    const std::int32_t id = saveSimpleDocument(0);
    ASSERT_EQ(list()->rowCount(), 3);

    // Opened again and given another client: the row moves to the client's place.
    frm_fattura::Modifica(id);
    ASSERT_NE(editor(), nullptr);
    chooseClient(QStringLiteral("Z"));
    clickSave();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(frm_fattura::IsLoaded());

    ASSERT_EQ(list()->rowCount(), 3);
    EXPECT_EQ(column(5), (QStringList{QStringLiteral("Alfa Srl [Roma]"), QStringLiteral("Zeta Spa [Roma]"),
                                      QStringLiteral("Zeta Spa [Roma]")}));
    EXPECT_EQ(list()->value(1).toLong(), id);
    EXPECT_EQ(list()->value(5).toString(), QStringLiteral("Zeta Spa [Roma]"));
    EXPECT_EQ(list()->row(), 3);
}

TEST_F(SavedDocumentRowTest, DocumentOfAnotherViewLeavesTheListAlone)
{
    list()->setRow(2);
    const std::int32_t id = saveSimpleDocument(2);
    ASSERT_NE(id, 0);
    EXPECT_EQ(list()->rowCount(), 2);
    EXPECT_EQ(list()->row(), 2);
}

} // namespace
