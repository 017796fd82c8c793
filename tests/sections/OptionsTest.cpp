#include "SectionsFixture.h"
#include "support/RefusedKeys.h"

#include "platform/grid/GridEx.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/MsgBoxStyle.h"
#include "sections/frmOptions.h"
#include "startup/SharedState.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

class OptionsTest : public SectionsFixture {
protected:
    void SetUp() override
    {
        SectionsFixture::SetUp();
        ImpostaDataLavoro(QDate(2025, 6, 15));
    }
    static void click(QWidget* w, const char* name) { QTest::mouseClick(get<QAbstractButton>(w, QString::fromLatin1(name)), Qt::LeftButton); }
    int counter(const QString& where) { return count(QStringLiteral("SELECT parNum1 FROM SezioniParametri WHERE parsezId=1 AND parKey4=2025 AND ") + where); }
    void addInvoice(int numero, const QString& prefisso)
    {
        exec(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatPrefisso, fatTipoMol, fatData) VALUES (1, 0, %1, '%2', 1, #03/01/2025#)")
                 .arg(numero)
                 .arg(prefisso));
    }
};

TEST_F(OptionsTest, TheCountersPageShowsTheSeriesTypedAndSavesOnlyAnEdit)
{
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parKey3, parNum1) VALUES (1, 2025, Null, 4)"));
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parKey3, parNum1) VALUES (1, 2025, 'A', 9)"));
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parKey3, parNum1) VALUES (1, 2024, 'A', 30)"));
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parKey3, parNum1) VALUES (2, 2025, 'A', 50)"));
    // Saved without an edit: the number the dialog filled in is not written.
    m_dialogs.answerModal([&](QWidget* w) {
        auto* tbs = get<QTabWidget>(w, QStringLiteral("tbs"));
        EXPECT_EQ(tbs->currentIndex(), 1);
        EXPECT_FALSE(tbs->isTabVisible(3));
        EXPECT_EQ(get<QLineEdit>(w, QStringLiteral("txtProg(0)"))->text(), QStringLiteral("4"));
        EXPECT_EQ(get<QWidget>(w, QStringLiteral("lblAnno"))->property("text").toString(), QStringLiteral("(Anno: 2025)"));
        EXPECT_EQ(get<grid::GridEx>(w, QStringLiteral("gexCounters"))->rowCount(), 2);
        exec(QStringLiteral("UPDATE SezioniParametri SET parNum1=5 WHERE parKey3 Is Null"));
        click(w, "cmdSalva");
    });
    frmOptions::ApriContab();
    EXPECT_EQ(counter(QStringLiteral("parKey3 Is Null")), 5) << "a number the user did not touch was written";

    m_dialogs.answerModal([&](QWidget* w) {
        get<QLineEdit>(w, QStringLiteral("txtSezione"))->setFocus();
        QTest::keyClicks(get<QLineEdit>(w, QStringLiteral("txtSezione")), QStringLiteral("a1"));
        EXPECT_EQ(get<QLineEdit>(w, QStringLiteral("txtSezione"))->text(), QStringLiteral("A"));
        EXPECT_EQ(get<QLineEdit>(w, QStringLiteral("txtProg(0)"))->text(), QStringLiteral("9"));
        type(w, QStringLiteral("txtProg(0)"), QStringLiteral("1x2"));
        EXPECT_EQ(get<QLineEdit>(w, QStringLiteral("txtProg(0)"))->text(), QStringLiteral("12"));
        click(w, "cmdSalva");
    });
    frmOptions::ApriContab();
    EXPECT_EQ(counter(QStringLiteral("parKey3='A'")), 12);

    // Annulla after an edit writes nothing.
    m_dialogs.answerModal([&](QWidget* w) {
        type(w, QStringLiteral("txtProg(0)"), QStringLiteral("77"));
        click(w, "cmdAnnulla");
    });
    frmOptions::ApriContab();
    EXPECT_EQ(counter(QStringLiteral("parKey3 Is Null")), 5);
}

TEST_F(OptionsTest, ANumberThatWouldRepeatOrIsNoNumberIsRefusedWithTheDialogOpen)
{
    addInvoice(7, QString());
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parKey3, parNum1) VALUES (1, 2025, Null, 7)"));
    struct Case {
        const char* typed;
        const char* message; // the start of the message
    };
    const Case cases[] = {
        {"", "Indicare l'ultimo numero"},
        {"6", "Il numero 6 è inferiore all'ultimo già assegnato a un documento (7) nella serie principale dell'anno 2025."},
        {"0", "Il numero 0 è inferiore"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        restartDialogs();
        m_dialogs.answerModal([&](QWidget* w) {
            type(w, QStringLiteral("txtProg(0)"), QString::fromUtf8(c.typed));
            click(w, "cmdSalva");
            EXPECT_TRUE(w->isVisible());
            EXPECT_EQ(QApplication::focusWidget(), get<QWidget>(w, QStringLiteral("txtProg(0)")));
            click(w, "cmdAnnulla");
        });
        m_dialogs.answerMessageBox(ui::vbOK);
        frmOptions::ApriContab();
        EXPECT_TRUE(m_dialogs.unexpected().isEmpty()) << unexpected();
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_TRUE(m_dialogs.messages().first().startsWith(QString::fromUtf8(c.message))) << m_dialogs.messages().first().toStdString();
        EXPECT_EQ(counter(QStringLiteral("parKey3 Is Null")), 7);
    }
    // A document dated in the year before but numbered in this year's series counts too.
    restartDialogs();
    exec(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatPrefisso, fatTipoMol, fatData, fatAnnoSerie) "
                        "VALUES (1, 0, 12, '', 1, #12/31/2024#, 2025)"));
    exec(QStringLiteral("UPDATE SezioniParametri SET parNum1=12"));
    m_dialogs.answerModal([&](QWidget* w) {
        type(w, QStringLiteral("txtProg(0)"), QStringLiteral("11"));
        click(w, "cmdSalva");
        EXPECT_TRUE(w->isVisible());
        click(w, "cmdAnnulla");
    });
    m_dialogs.answerMessageBox(ui::vbOK);
    frmOptions::ApriContab();
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("(12)"))) << m_dialogs.messages().first().toStdString();
    EXPECT_EQ(counter(QStringLiteral("parKey3 Is Null")), 12);
    restartDialogs();

    // Ten digits cannot be typed: the box takes nine.
    m_dialogs.answerModal([&](QWidget* w) {
        type(w, QStringLiteral("txtProg(0)"), QStringLiteral("1234567890"));
        EXPECT_EQ(get<QLineEdit>(w, QStringLiteral("txtProg(0)"))->text(), QStringLiteral("123456789"));
        click(w, "cmdSalva");
    });
    frmOptions::ApriContab();
    EXPECT_EQ(counter(QStringLiteral("parKey3 Is Null")), 123456789);
}

TEST_F(OptionsTest, ACounterChangedByAnotherUserIsOverwrittenOnlyWhenTheUserSaysSo)
{
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parKey3, parNum1) VALUES (1, 2025, Null, 3)"));
    m_dialogs.answerModal([&](QWidget* w) {
        type(w, QStringLiteral("txtProg(0)"), QStringLiteral("20"));
        exec(QStringLiteral("UPDATE SezioniParametri SET parNum1=4"));
        click(w, "cmdSalva"); // No: the dialog shows the new value
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(get<QLineEdit>(w, QStringLiteral("txtProg(0)"))->text(), QStringLiteral("4"));
        type(w, QStringLiteral("txtProg(0)"), QStringLiteral("20"));
        exec(QStringLiteral("UPDATE SezioniParametri SET parNum1=5"));
        click(w, "cmdSalva"); // Yes
    });
    m_dialogs.answerMessageBox(ui::vbNo).answerMessageBox(ui::vbYes);
    frmOptions::ApriContab();
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_TRUE(m_dialogs.messages()[0].contains(QStringLiteral("ora è 4"))) << m_dialogs.messages()[0].toStdString();
    EXPECT_TRUE(m_dialogs.messages()[1].contains(QStringLiteral("ora è 5"))) << m_dialogs.messages()[1].toStdString();
    EXPECT_EQ(counter(QStringLiteral("parKey3 Is Null")), 20);
}

TEST_F(OptionsTest, TheWorkingDateButtonsAndSave)
{
    m_dialogs.answerModal([&](QWidget* w) {
        auto* tbs = get<QTabWidget>(w, QStringLiteral("tbs"));
        EXPECT_EQ(tbs->currentIndex(), 3);
        EXPECT_FALSE(tbs->isTabVisible(1));
        auto* dtp = get<ui::DateBox>(w, QStringLiteral("dtp"));
        EXPECT_EQ(dtp->date(), QDate(2025, 6, 15));
        // Caption and action come from the working date, not from today.
        EXPECT_EQ(get<QPushButton>(w, QStringLiteral("cmdData(0)"))->text(), QStringLiteral("31/12/24"));
        click(w, "cmdData(0)");
        EXPECT_EQ(dtp->date(), QDate(2024, 12, 31));
        click(w, "cmdData(1)");
        EXPECT_EQ(dtp->date(), QDate::currentDate());
        type(w, QStringLiteral("dtp"), QStringLiteral("02/01/2026"));
        click(w, "cmdSalva");
    });
    frmOptions::ApriWorkingDate();
    EXPECT_EQ(session().dataLavoro, QDate(2026, 1, 2));
    EXPECT_EQ(session().annoLavoro, 2026);

    m_dialogs.answerModal([&](QWidget* w) {
        click(w, "cmdData(1)");
        click(w, "cmdAnnulla");
    });
    frmOptions::ApriWorkingDate();
    EXPECT_EQ(session().dataLavoro, QDate(2026, 1, 2));
}

TEST_F(OptionsTest, ARefusedKeyLeavesTheCounterAndTheSeriesAsTheyWere)
{
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parKey3, parNum1) VALUES (1, 2025, Null, 4)"));
    m_dialogs.answerModal([&](QWidget* w) {
        expectRefusedKeysChangeNothing(get<QLineEdit>(w, QStringLiteral("txtProg(0)")), QStringLiteral("a-,. "));
        type(w, QStringLiteral("txtSezione"), QStringLiteral("B"));
        expectRefusedKeysChangeNothing(get<QLineEdit>(w, QStringLiteral("txtSezione")), QStringLiteral("1-,. '"));
        click(w, "cmdAnnulla");
    });
    frmOptions::ApriContab();
}

TEST_F(OptionsTest, AnImpossibleWorkingDateClickedAwayIsRefusedAndTheDialogStays)
{
    m_dialogs.answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([&](QWidget* w) {
        type(w, QStringLiteral("dtp"), QStringLiteral("31/02/2025"));
        click(w, "cmdSalva"); // with the mouse, the text still in the box
        QApplication::processEvents();
        EXPECT_TRUE(w->isVisible()) << "closed as if saved";
        EXPECT_TRUE(get<QWidget>(w, QStringLiteral("dtp"))->hasFocus());
        // Annulla leaves whatever was typed, without a word.
        type(w, QStringLiteral("dtp"), QStringLiteral("31/02/2025"));
        click(w, "cmdAnnulla");
        QApplication::processEvents();
        EXPECT_FALSE(w->isVisible());
    });
    frmOptions::ApriWorkingDate();
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("febbraio 2025 ha 28 giorni")));
    EXPECT_EQ(session().dataLavoro, QDate(2025, 6, 15));
}
