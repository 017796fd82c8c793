#include "MasterDataFixture.h"
#include "support/TypedNumbers.h"

#include "platform/core/Format.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/MsgBoxStyle.h"
#include "platform/ui/TextInput.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

class PrestazioniTest : public MasterDataFixture {
protected:
    static QLineEdit* txt(QWidget* f, int i) { return child<QLineEdit>(f, QStringLiteral("txtData(%1)").arg(i)); }
    static ui::DataCombo* combo(QWidget* f, int i) { return child<ui::DataCombo>(f, QStringLiteral("dtcData(%1)").arg(i)); }
    static QPushButton* button(QWidget* f, const char* name) { return child<QPushButton>(f, QString::fromLatin1(name)); }
    static QStringList items(QComboBox* c)
    {
        QStringList list;
        for (int i = 0; i < c->count(); ++i)
            list << c->itemText(i);
        return list;
    }
    std::int32_t addClient(const QString& nome, std::int32_t sezId, bool shared)
    {
        exec(QStringLiteral("INSERT INTO CliFor (cliNome, sezId, cliShared) VALUES ('%1', %2, %3)")
                 .arg(nome, QString::number(sezId), shared ? QStringLiteral("True") : QStringLiteral("False")));
        return scalar(QStringLiteral("SELECT MAX(cliId) FROM CliFor")).toLong();
    }
    std::int32_t addService(const QString& descrizione, double importo, std::int32_t cliId)
    {
        exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, preImporto, preCodiceIVA, preCliId, sezId) VALUES ('%1', %2, '22', %3, 1)")
                 .arg(descrizione, QString::number(importo), QString::number(cliId)));
        return scalar(QStringLiteral("SELECT MAX(preId) FROM Prestazioni")).toLong();
    }
    static const QString kGenerico;
};

const QString PrestazioniTest::kGenerico = QStringLiteral("[Nessuno] (Prestazione generica non associata)");

TEST_F(PrestazioniTest, ANewServiceForAClientOffersOnlyThatClientAndTheGenericRow)
{
    addClient(QStringLiteral("Altro"), 1, false);
    const std::int32_t cli = addClient(QStringLiteral("Rossi"), 1, false);
    session().preIVA = QStringLiteral("10");
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(items(combo(f, 1)), (QStringList{kGenerico, QStringLiteral("Rossi")}));
        EXPECT_EQ(combo(f, 1)->listText(), QStringLiteral("Rossi"));
        EXPECT_EQ(combo(f, 0)->listText(), QStringLiteral("IVA ridotta 10%"));
        EXPECT_EQ(txt(f, 1)->text(), QStringLiteral("0,00"));
        auto* sb = child<QStatusBar>(f, QStringLiteral("sb"));
        EXPECT_EQ(sb->currentMessage(), QStringLiteral("Descrizione della prestazione / spesa"));
        QTest::keyClicks(txt(f, 0), QStringLiteral("Consulenza dell'anno"));
        QTest::keyClick(txt(f, 0), Qt::Key_Return);
        EXPECT_TRUE(txt(f, 1)->hasFocus());
        QTest::keyClicks(txt(f, 1), QStringLiteral("1a2.5"));
        EXPECT_EQ(txt(f, 1)->text(), QStringLiteral("12.5"));
        QTest::keyClick(txt(f, 1), Qt::Key_Return);
        EXPECT_TRUE(combo(f, 0)->hasFocus());
        EXPECT_EQ(txt(f, 1)->text(), QStringLiteral("12,50"));
        QTest::keyClick(combo(f, 0), Qt::Key_Return);
        EXPECT_TRUE(combo(f, 1)->hasFocus()) << "Enter in a combo moves on";
        EXPECT_EQ(sb->currentMessage(),
                  QStringLiteral("Selezionare un Cliente dalla lista (F4) oppure [Nessuno] per non associare"));
        click(button(f, "cmdSalva"));
    });
    const core::Variant id = frm_io_Prestazioni::Nuovo(1, cli);
    frm_io_Prestazioni::Unload();
    ASSERT_FALSE(id.isEmptyOrNull());
    const QString where = QStringLiteral(" FROM Prestazioni WHERE preId=") + QString::number(id.toLong());
    EXPECT_EQ(scalar(QStringLiteral("SELECT preDescrizione") + where).toString(), QStringLiteral("Consulenza dell'anno"));
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT preImporto") + where).toDouble(), 12.5);
    EXPECT_EQ(scalar(QStringLiteral("SELECT preCodiceIVA") + where).toString(), QStringLiteral("10"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT preCliId") + where).toLong(), cli);
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezId") + where).toLong(), 1);

    // Opened again: every client of the section and the shared ones; the amount shown as it is read back.
    addClient(QStringLiteral("Comune"), 2, true);
    addClient(QStringLiteral("Privato altrui"), 2, false);
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(items(combo(f, 1)),
                  (QStringList{kGenerico, QStringLiteral("Altro"), QStringLiteral("Comune"), QStringLiteral("Rossi")}));
        EXPECT_EQ(txt(f, 1)->text(), QStringLiteral("12,50"));
        // Choosing the generic row stores 0.
        combo(f, 1)->setFocus();
        QTest::keyClick(combo(f, 1), Qt::Key_Home);
        EXPECT_EQ(combo(f, 1)->currentIndex(), 0);
        click(button(f, "cmdSalva"));
    });
    EXPECT_EQ(frm_io_Prestazioni::Apri(id.toLong(), 1).toLong(), id.toLong());
    EXPECT_EQ(scalar(QStringLiteral("SELECT preCliId") + where).toLong(), 0);
}

TEST_F(PrestazioniTest, WithoutADefaultVatCodeTheComboStartsEmpty)
{
    session().preIVA.clear();
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(combo(f, 0)->currentIndex(), -1);
        EXPECT_EQ(items(combo(f, 1)), QStringList{kGenerico});
        click(button(f, "cmdAnnulla"));
    });
    EXPECT_TRUE(frm_io_Prestazioni::Nuovo(1).isNull());
}

TEST_F(PrestazioniTest, AmountsShownWithThousandsAreAcceptedAsShown)
{
    const std::int32_t id = addService(QStringLiteral("Perizia"), 1234.5, 0);
    const std::int32_t zero = addService(QStringLiteral("Spese vive"), 0, 0);
    frm_io_Prestazioni::Apri(zero, 0);
    EXPECT_EQ(txt(shown<frm_io_Prestazioni>(), 1)->text(), QStringLiteral("0,00"));
    click(button(shown<frm_io_Prestazioni>(), "cmdAnnulla"));
    settle();

    frm_io_Prestazioni::Apri(id, 0);
    QWidget* f = shown<frm_io_Prestazioni>();
    EXPECT_EQ(txt(f, 1)->text(), QStringLiteral("1.234,50"));
    txt(f, 1)->setFocus();
    QTest::keyClick(txt(f, 1), Qt::Key_Tab);
    EXPECT_TRUE(combo(f, 0)->hasFocus()) << "the amount as shown was refused";
    // Empty or unreadable amounts cannot be left.
    txt(f, 1)->setFocus();
    txt(f, 1)->selectAll();
    QTest::keyClick(txt(f, 1), Qt::Key_Delete);
    QTest::keyClick(txt(f, 1), Qt::Key_Tab);
    EXPECT_TRUE(txt(f, 1)->hasFocus());
    QTest::keyClicks(txt(f, 1), QStringLiteral("2.000,5"));
    EXPECT_EQ(txt(f, 1)->text(), QStringLiteral("2.000,5"));
    QTest::keyClick(txt(f, 1), Qt::Key_Tab);
    EXPECT_TRUE(combo(f, 0)->hasFocus());
    EXPECT_EQ(txt(f, 1)->text(), QStringLiteral("2.000,50"));
    click(button(f, "cmdAnnulla"));
    settle();
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT preImporto FROM Prestazioni WHERE preId=") + QString::number(id)).toDouble(),
                     1234.5);
}

TEST_F(PrestazioniTest, TheClientOfAServiceIsKeptWhenItIsNoLongerListed)
{
    const std::int32_t cli = addClient(QStringLiteral("Cancellato"), 1, false);
    const std::int32_t id = addService(QStringLiteral("Visita"), 50, cli);
    exec(QStringLiteral("DELETE FROM CliFor WHERE cliId=") + QString::number(cli));
    frm_io_Prestazioni::Apri(id, 0);
    QWidget* f = shown<frm_io_Prestazioni>();
    EXPECT_EQ(combo(f, 1)->listText(), QString());
    QTest::keyClick(txt(f, 0), Qt::Key_End);
    QTest::keyClicks(txt(f, 0), QStringLiteral(" domiciliare"));
    click(button(f, "cmdSalva"));
    settle();
    const QString where = QStringLiteral(" FROM Prestazioni WHERE preId=") + QString::number(id);
    EXPECT_EQ(scalar(QStringLiteral("SELECT preDescrizione") + where).toString(), QStringLiteral("Visita domiciliare"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT preCliId") + where).toLong(), cli);
}

TEST_F(PrestazioniTest, ConflictHasTheServiceFormsOwnMessage)
{
    const std::int32_t id = addService(QStringLiteral("Visita"), 50, 0);
    frm_io_Prestazioni::Apri(id, 0);
    QWidget* f = shown<frm_io_Prestazioni>();
    exec(QStringLiteral("UPDATE Prestazioni SET preDescrizione='Altra' WHERE preId=") + QString::number(id));
    QTest::keyClicks(txt(f, 0), QStringLiteral("Mia"));
    m_dialogs.answerMessageBox(ui::vbOK);
    click(button(f, "cmdSalva"));
    settle();
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("La registrazione è stata modificata o eliminata da un'altro utente.\n"
                                                               "Le modifiche effettuate non verranno salvate.")});
}

TEST_F(PrestazioniTest, TheDescriptionHoldsTheWidenedColumn)
{
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(ui::textLimit(txt(f, 0)), 255);
        click(button(f, "cmdAnnulla"));
    });
    frm_io_Prestazioni::Nuovo(1);
}

TEST_F(PrestazioniTest, TheAmountIsStoredAsTypedTheItalianWayOrRefused)
{
    for (const TypedNumber& c : typedNumbers()) {
        SCOPED_TRACE(c.typed);
        frm_io_Prestazioni::Nuovo(0);
        QWidget* f = shown<frm_io_Prestazioni>();
        type(txt(f, 0), QString::fromLatin1(c.typed));
        txt(f, 1)->setFocus();
        txt(f, 1)->selectAll();
        QTest::keyClicks(txt(f, 1), QString::fromLatin1(c.typed));
        EXPECT_EQ(txt(f, 1)->text(), QString::fromLatin1(c.shown));
        QTest::keyClick(txt(f, 1), Qt::Key_Tab);
        if (!c.value) {
            EXPECT_TRUE(txt(f, 1)->hasFocus());
            EXPECT_EQ(txt(f, 1)->text(), QString::fromLatin1(c.shown)) << "the box shows what it refuses";
            // A click on Salva meets the same refusal.
            click(button(f, "cmdSalva"));
            EXPECT_TRUE(f->isVisible());
            EXPECT_TRUE(txt(f, 1)->hasFocus());
            click(button(f, "cmdAnnulla"));
            settle();
            EXPECT_TRUE(scalar(QStringLiteral("SELECT preId FROM Prestazioni WHERE preDescrizione='%1'")
                                   .arg(QLatin1String(c.typed)))
                            .isEmptyOrNull());
            continue;
        }
        EXPECT_TRUE(combo(f, 0)->hasFocus());
        EXPECT_EQ(txt(f, 1)->text(), core::format(core::Variant(*c.value), QStringLiteral("#,##0.00")));
        click(button(f, "cmdSalva"));
        settle();
        EXPECT_FALSE(frm_io_Prestazioni::exists());
        EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT preImporto FROM Prestazioni WHERE preDescrizione='%1'")
                                    .arg(QLatin1String(c.typed)))
                             .toDouble(),
                         *c.value);
    }
}

TEST_F(PrestazioniTest, AnAmountThatNoLongerReadsIsNeverReplacedByTheLastOneThatDid)
{
    // "1.200.5" reads as 1200 until its last point: Salva clicked with the mouse
    // finds the box as typed, refuses it, and 1200 never reaches the service.
    frm_io_Prestazioni::Nuovo(0);
    QWidget* f = shown<frm_io_Prestazioni>();
    type(txt(f, 0), QStringLiteral("Perizia"));
    type(txt(f, 1), QStringLiteral("1.200.5"));
    click(button(f, "cmdSalva"));
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(txt(f, 1)->hasFocus());
    EXPECT_EQ(txt(f, 1)->text(), QStringLiteral("1.200.5"));
    click(button(f, "cmdAnnulla"));
    settle();
    EXPECT_TRUE(scalar(QStringLiteral("SELECT preImporto FROM Prestazioni WHERE preDescrizione='Perizia'")).isEmptyOrNull());
}
