#include "LayoutsFixture.h"

#include "layouts/finfrmArdFat.h"
#include "layouts/finfrmReps.h"
#include "platform/database/Connection.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/MsgBoxStyle.h"
#include "support/BusyTimeout.h"

#include <QLabel>
#include <QPushButton>
#include <sqlite3.h>

namespace {

class ListTest : public LayoutsFixture {
protected:
    void SetUp() override
    {
        LayoutsFixture::SetUp();
        // Added last, named to sort first: the list keeps the table's order.
        exec(QStringLiteral("INSERT INTO finData (finNome, finLay) SELECT 'A mio modello', finLay FROM finData WHERE finId=1"));
        m_mio = scalar(QStringLiteral("SELECT finId FROM finData WHERE finNome='A mio modello'")).toLong();
    }
    void TearDown() override
    {
        finfrmArdFat::Unload();
        finfrmReps::Unload();
        LayoutsFixture::TearDown();
    }
    static grid::GridEx* gex(QWidget* f) { return child<grid::GridEx>(f, QStringLiteral("gex")); }
    static QPushButton* but(QWidget* f, int i) { return child<QPushButton>(f, QStringLiteral("cmdBut(%1)").arg(i)); }
    // The list as the main window shows it, driven by `script`.
    void mostra(std::function<void(QWidget*)> script)
    {
        m_dialogs.answerModal(std::move(script));
        finfrmReps::Mostra(nullptr);
        settle();
    }
    static void scegli(QWidget* f, const QString& nome)
    {
        ASSERT_TRUE(gex(f)->find(2, 0, core::Variant(nome)));
    }

    long m_mio = 0;
};

} // namespace

TEST_F(ListTest, ListsEveryLayoutInTheTablesOrder)
{
    mostra([this](QWidget* f) {
        EXPECT_EQ(f->windowTitle(), QStringLiteral(" Gestione Modelli di Stampa"));
        EXPECT_EQ(child<QLabel>(f, QStringLiteral("Label1"))->text(), QStringLiteral(" Modelli di documento"));
        grid::GridEx* g = gex(f);
        ASSERT_EQ(g->rowCount(), 4);
        EXPECT_FALSE(g->column(1).visible());
        EXPECT_EQ(g->column(2).caption(), QStringLiteral("Modello"));
        EXPECT_EQ(g->cellText(1, 2), QStringLiteral("Modello fattura"));
        EXPECT_EQ(g->cellText(4, 2), QStringLiteral("A mio modello"));
        EXPECT_EQ(g->cellValue(4, 1).toLong(), m_mio);
        const QStringList captions{QStringLiteral("Nuovo"),
                                   QStringLiteral("Nuovo da modello corrente"),
                                   QStringLiteral("Modifica modello corrente"),
                                   QStringLiteral("Elimina modello corrente"),
                                   QStringLiteral("Importa modello"),
                                   QStringLiteral("Chiudi")};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(but(f, i)->text(), captions[i]);
        EXPECT_FALSE(but(f, 4)->isEnabled()) << "importing has no action";
        EXPECT_TRUE(g->isNavigatorVisible());
        EXPECT_EQ(g->navigatorText(), QStringLiteral("Record: 1 di 4"));
        click(but(f, 5));
        EXPECT_FALSE(f->isVisible());
    });
    EXPECT_FALSE(finfrmReps::exists()) << "Chiudi unloads the list";
}

TEST_F(ListTest, DeletionRefusesTheAssignedAndTheLastLayoutAndAsksFirst)
{
    // Layout 3 is assigned only to another professional's pro formas.
    exec(QStringLiteral("DELETE * FROM finRel WHERE fnrDocType=2"));
    exec(QStringLiteral("INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (2, 3, 2)"));
    const QString assegnato = QStringLiteral("Modello in relazione con documenti: non sarà eliminato.");
    struct Passo {
        QString nome;
        int risposta; // 0: no question expected
        QString messaggio;
        long righe; // layouts left
    };
    const Passo passi[] = {
        {QStringLiteral("Modello fattura"), 0, assegnato, 4},
        {QStringLiteral("Modello pro forma"), 0, assegnato, 4},
        {QStringLiteral("A mio modello"), ui::vbNo, QStringLiteral("Confermare l'eliminazione del modello \"A mio modello\" ?"), 4},
        {QStringLiteral("A mio modello"), ui::vbYes, QStringLiteral("Confermare l'eliminazione del modello \"A mio modello\" ?"), 3},
    };
    for (const Passo& p : passi) {
        restartDialogs();
        m_dialogs.answerMessageBox(p.risposta ? p.risposta : ui::vbOK);
        mostra([&p](QWidget* f) {
            scegli(f, p.nome);
            click(but(f, 3));
            EXPECT_TRUE(f->isVisible()) << "the list stays open";
            click(but(f, 5));
        });
        ASSERT_EQ(m_dialogs.messages(), QStringList{p.messaggio}) << p.nome.toStdString();
        const ui::ScriptedDialogs::Request domanda = m_dialogs.requests(ui::DialogKind::MessageBox).first();
        EXPECT_EQ(domanda.style, p.risposta ? ui::vbYesNo | ui::vbDefaultButton2 : ui::vbOKOnly) << p.nome.toStdString();
        EXPECT_EQ(count(QStringLiteral("finData")), p.righe) << p.nome.toStdString();
        EXPECT_TRUE(m_dialogs.unexpected().isEmpty());
    }
    EXPECT_EQ(count(QStringLiteral("finRel")), 3) << "assignments are never touched";

    // After the deletion the list shows what is left; with one layout left,
    // even an unassigned one stays.
    exec(QStringLiteral("DELETE * FROM finRel"));
    exec(QStringLiteral("DELETE * FROM finData WHERE finId<>2"));
    restartDialogs();
    m_dialogs.answerMessageBox(ui::vbOK);
    mostra([](QWidget* f) {
        ASSERT_EQ(gex(f)->rowCount(), 1);
        click(but(f, 3));
        click(but(f, 5));
    });
    EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("Impossibile eliminare l'unico modello disponibile")});
    EXPECT_EQ(count(QStringLiteral("finData")), 1);
}

TEST_F(ListTest, AfterADeletionTheListShowsTheRemainingRows)
{
    m_dialogs.answerMessageBox(ui::vbYes);
    mostra([](QWidget* f) {
        scegli(f, QStringLiteral("A mio modello"));
        click(but(f, 3));
        grid::GridEx* g = gex(f);
        ASSERT_EQ(g->rowCount(), 3);
        for (int r = 1; r <= 3; ++r)
            EXPECT_NE(g->cellText(r, 2), QStringLiteral("A mio modello"));
        EXPECT_GT(g->row(), 0) << "a row is current again";
        click(but(f, 5));
    });
}

TEST_F(ListTest, ADatabaseErrorWhileDeletingIsToldAndNothingIsDeleted)
{
    // Another machine holds the file for writing for longer than a delete waits.
    const BusyTimeout shortWait(100);
    sqlite3* altra = nullptr;
    const QString file = QDir(session().cartellaDb).filePath(QStringLiteral("qelvo.mdb"));
    ASSERT_EQ(sqlite3_open_v2(file.toUtf8().constData(), &altra, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(altra, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    m_dialogs.answerMessageBox(ui::vbYes);
    m_dialogs.answerMessageBox(ui::vbOK);
    mostra([](QWidget* f) {
        scegli(f, QStringLiteral("A mio modello"));
        click(but(f, 3));
        EXPECT_TRUE(f->isVisible());
        click(but(f, 5));
    });
    sqlite3_exec(altra, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(altra);
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_TRUE(m_dialogs.messages().at(1).startsWith(QStringLiteral("Impossibile eliminare il modello.\n")))
        << m_dialogs.messages().at(1).toStdString();
    EXPECT_EQ(count(QStringLiteral("finData")), 4);
}

TEST_F(ListTest, TheDesignerButtonsPassTheirModeAndLayoutAndCloseTheList)
{
    struct Caso {
        int pulsante;
        std::int32_t mode;
        bool conId;
        const char* titolo;
    };
    const Caso casi[] = {{0, 0, false, "Nuovo Modello"}, {1, 1, true, "Nuovo da Modello"}, {2, 2, true, "Modifica Modello"}};
    for (const Caso& c : casi) {
        mostra([&c](QWidget* f) {
            scegli(f, QStringLiteral("Modello pro forma"));
            click(but(f, c.pulsante));
            EXPECT_FALSE(f->isVisible());
        });
        EXPECT_FALSE(finfrmReps::exists()) << c.titolo;
        ASSERT_TRUE(finfrmArdFat::exists()) << c.titolo;
        finfrmArdFat* d = finfrmArdFat::instance();
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->windowTitle(), QString::fromLatin1(c.titolo));
        EXPECT_EQ(d->mode(), c.mode);
        EXPECT_EQ(d->id(), c.conId ? 3 : 0) << c.titolo;
        EXPECT_EQ(d->parentWidget(), nullptr) << "the designer has no owner";
        finfrmArdFat::Unload();
    }
}

TEST_F(ListTest, WithoutACurrentLayoutItsButtonsAreOff)
{
    exec(QStringLiteral("DELETE * FROM finData"));
    mostra([](QWidget* f) {
        EXPECT_EQ(gex(f)->rowCount(), 0);
        for (int i : {1, 2, 3})
            EXPECT_FALSE(but(f, i)->isEnabled()) << i;
        EXPECT_TRUE(but(f, 0)->isEnabled());
        click(but(f, 5));
    });
}

TEST_F(ListTest, ALayoutThatCannotBeReadKeepsTheListAndOpensNoDesigner)
{
    exec(QStringLiteral("UPDATE finData SET finLay='non un modello' WHERE finNome='A mio modello'"));
    QFile::remove(QDir(AppPath()).filePath(QStringLiteral("empty_mod.rpx")));
    m_dialogs.answerMessageBox(ui::vbOK);
    m_dialogs.answerMessageBox(ui::vbOK);
    mostra([](QWidget* f) {
        scegli(f, QStringLiteral("A mio modello"));
        click(but(f, 2));
        EXPECT_TRUE(f->isVisible());
        click(but(f, 0));
        EXPECT_TRUE(f->isVisible());
        click(but(f, 5));
    });
    EXPECT_EQ(m_dialogs.messages().size(), 2);
    for (const QString& m : m_dialogs.messages())
        EXPECT_TRUE(m.startsWith(QStringLiteral("Impossibile aprire il modello di stampa.")));
    EXPECT_TRUE(m_dialogs.messages().at(1).contains(QStringLiteral("empty_mod.rpx"))) << m_dialogs.messages().at(1).toStdString();
    EXPECT_FALSE(finfrmArdFat::exists()) << "no designer on an empty surface";
}
