#include "SectionsFixture.h"

#include "platform/grid/GridEx.h"
#include "platform/ui/MsgBoxStyle.h"
#include "sections/frmProfessionisti.h"
#include "startup/SharedState.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class ProfessionalsListTest : public SectionsFixture {
protected:
    static void click(QWidget* w, const char* name) { QTest::mouseClick(get<QPushButton>(w, QString::fromLatin1(name)), Qt::LeftButton); }
    static int rowOf(grid::GridEx* gex, int sezId)
    {
        for (int r = 1; r <= gex->rowCount(); ++r)
            if (gex->cellValue(r, 1).toLong() == sezId)
                return r;
        return 0;
    }
};

TEST_F(ProfessionalsListTest, ListsTheProfessionalsAndAddsOne)
{
    m_dialogs.answerModal([&](QWidget* w) {
        auto* gex = get<grid::GridEx>(w, QStringLiteral("gex"));
        ASSERT_EQ(gex->rowCount(), 2);
        const int amm = gex->columnIndex(QStringLiteral("amm"));
        EXPECT_EQ(gex->cellText(rowOf(gex, 1), amm), QStringLiteral("(amm.)"));
        EXPECT_EQ(gex->cellText(rowOf(gex, 2), amm), QString());
        EXPECT_TRUE(get<QLabel>(w, QStringLiteral("lblDB"))->text().endsWith(QStringLiteral("qelvo.mdb")));
        click(w, "cmdNew");
        EXPECT_EQ(gex->rowCount(), 3);
        EXPECT_EQ(gex->value(4).toString(), QStringLiteral("Verdi"));
        EXPECT_EQ(gex->cellText(gex->row(), amm), QString());
        click(w, "cmdClose");
    });
    m_dialogs.answerModal([&](QWidget* w) {
        type(w, QStringLiteral("txtData(0)"), QStringLiteral("Ing."));
        type(w, QStringLiteral("txtData(2)"), QStringLiteral("Verdi"));
        click(w, "cmdOK");
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), get<QWidget>(w, QStringLiteral("txtData(0)")));
        type(w, QStringLiteral("txtData(1)"), QStringLiteral("Luca"));
        click(w, "cmdOK");
    });
    m_dialogs.answerMessageBox(ui::vbOK).answerMessageBox(ui::vbOK);
    frmProfessionisti::Mostra(nullptr);
    EXPECT_EQ(m_dialogs.messages(), (QStringList{QStringLiteral("Inserire i tutti dati del Professionista"),
                                                 QStringLiteral("Professionista: Ing. Luca Verdi\r\naggiunto in anagrafica.")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM finRel WHERE sezId=3")), 3);
}

TEST_F(ProfessionalsListTest, DeletingAskesTwiceAndNeverTakesTheAdministrator)
{
    exec(QStringLiteral("INSERT INTO CliFor (cliNome, sezId, cliShared) VALUES ('Cliente di Maria', 2, False)"));
    exec(QStringLiteral("INSERT INTO CliFor (cliNome, sezId, cliShared) VALUES ('Cliente comune', 2, True)"));
    auto clienti = [&] { return count(QStringLiteral("SELECT COUNT(*) FROM CliFor")); };
    m_dialogs.answerModal([&](QWidget* w) {
        auto* gex = get<grid::GridEx>(w, QStringLiteral("gex"));
        gex->setRow(rowOf(gex, 1));
        click(w, "cmdErase"); // the administrator: refused
        gex->setRow(rowOf(gex, 2));
        click(w, "cmdErase"); // declined at the question
        EXPECT_EQ(clienti(), 2);
        click(w, "cmdErase"); // done
        EXPECT_EQ(clienti(), 1);
        EXPECT_EQ(gex->rowCount(), 2) << "the professional's row stays";
        click(w, "cmdClose");
    });
    m_dialogs.answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([&](QWidget* w) {
        EXPECT_EQ(get<QLabel>(w, QStringLiteral("lblProf"))->text(), QStringLiteral("Dott. Maria Rossi"));
        click(w, "cmdOK");
    });
    m_dialogs.answerMessageBox(ui::vbNo).answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([&](QWidget* w) { click(w, "cmdOK"); });
    m_dialogs.answerMessageBox(ui::vbYes);
    frmProfessionisti::Mostra(nullptr);
    EXPECT_EQ(m_dialogs.messages(),
              (QStringList{QStringLiteral("Impossibile eliminare il Professionista Amministratore"),
                           QStringLiteral("Sei sicuro di eliminare definitivamente i dati del professionista selezionato?"),
                           QStringLiteral("Procedura interrotta"),
                           QStringLiteral("Sei sicuro di eliminare definitivamente i dati del professionista selezionato?")}));
}

TEST_F(ProfessionalsListTest, OnlyTheAdministratorSeesTheList)
{
    session().sezId = 2;
    frmProfessionisti::Mostra(nullptr);
    EXPECT_TRUE(m_dialogs.requests().isEmpty());
}

TEST_F(ProfessionalsListTest, ADeletionThatFailsSaysSoAndDeletesNothing)
{
    exec(QStringLiteral("INSERT INTO CliFor (cliNome, sezId, cliShared) VALUES ('Cliente di Maria', 2, False)"));
    // The last step of the deletion cannot run: every earlier one must be undone.
    exec(QStringLiteral("DROP TABLE Pagamenti"));
    m_dialogs.answerModal([&](QWidget* w) {
        auto* gex = get<grid::GridEx>(w, QStringLiteral("gex"));
        gex->setRow(rowOf(gex, 2));
        click(w, "cmdErase");
        click(w, "cmdClose");
    });
    m_dialogs.answerModal([&](QWidget* w) { click(w, "cmdOK"); });
    m_dialogs.answerMessageBox(ui::vbYes).answerMessageBox(ui::vbOK);
    frmProfessionisti::Mostra(nullptr);
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_TRUE(m_dialogs.messages().at(1).startsWith(QStringLiteral("Eliminazione non eseguita: nessun dato è stato eliminato.")))
        << m_dialogs.messages().at(1).toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CliFor WHERE sezId=2")), 1);
}
