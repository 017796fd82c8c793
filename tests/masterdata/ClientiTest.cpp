#include "MasterDataFixture.h"

#include "platform/ui/DataCombo.h"
#include "platform/ui/MsgBoxStyle.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QToolTip>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

class ClientiTest : public MasterDataFixture {
protected:
    static QLineEdit* txt(QWidget* f, int i) { return child<QLineEdit>(f, QStringLiteral("txtData(%1)").arg(i)); }
    static ui::DataCombo* combo(QWidget* f) { return child<ui::DataCombo>(f, QStringLiteral("dtcData(0)")); }
    static QCheckBox* chk(QWidget* f, int i) { return child<QCheckBox>(f, QStringLiteral("chkData(%1)").arg(i)); }
    static QPushButton* button(QWidget* f, const char* name) { return child<QPushButton>(f, QString::fromLatin1(name)); }

    std::int32_t addClient(const QString& nome, std::int32_t sezId, bool shared, std::int32_t pagamento = 0)
    {
        exec(QStringLiteral("INSERT INTO CliFor (cliNome, sezId, cliShared, cliPagamento, SostImposta) VALUES ('%1', %2, %3, %4, False)")
                 .arg(nome, QString::number(sezId), shared ? QStringLiteral("True") : QStringLiteral("False"),
                      QString::number(pagamento)));
        return scalar(QStringLiteral("SELECT MAX(cliId) FROM CliFor")).toLong();
    }
    std::int32_t addPayment(const QString& descrizione, std::int32_t sezId, bool shared)
    {
        exec(QStringLiteral("INSERT INTO Pagamenti (pagDescrizione, sezId, pagShared) VALUES ('%1', %2, %3)")
                 .arg(descrizione, QString::number(sezId), shared ? QStringLiteral("True") : QStringLiteral("False")));
        return scalar(QStringLiteral("SELECT MAX(pagId) FROM Pagamenti")).toLong();
    }
};

TEST_F(ClientiTest, ModalNewClientIsSavedWithItsDefaultsAndReturnsItsKey)
{
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Clienti"));
        EXPECT_EQ(button(f, "cmdSalva")->text(), QStringLiteral("Inserisci"));
        EXPECT_TRUE(txt(f, 0)->hasFocus());
        EXPECT_EQ(child<QStatusBar>(f, QStringLiteral("sb"))->currentMessage(),
                  QStringLiteral("Nominativo (se privato) o Ragione Sociale (se azienda)"));
        // Enter moves from field to field in the order of the form.
        QTest::keyClicks(txt(f, 0), QStringLiteral("D'Amico & C."));
        QTest::keyClick(txt(f, 0), Qt::Key_Return);
        EXPECT_TRUE(txt(f, 1)->hasFocus());
        EXPECT_EQ(f->windowTitle(), QStringLiteral("D'Amico & C. (cliente)"));
        QTest::keyClicks(txt(f, 1), QStringLiteral("Via Roma 1"));
        type(txt(f, 5), QStringLiteral("01234567890"));
        QTest::keyClick(txt(f, 5), Qt::Key_Return);
        EXPECT_TRUE(txt(f, 11)->hasFocus()) << "the tax code follows the VAT number";
        type(txt(f, 10), QStringLiteral("Cliente storico"));
        QTest::keyClick(txt(f, 10), Qt::Key_Return);
        EXPECT_TRUE(combo(f)->hasFocus()) << "Enter in the notes moves on";
        click(chk(f, 0));
        click(button(f, "cmdSalva"));
    });
    const core::Variant id = frm_io_Clienti::Nuovo(1);
    frm_io_Clienti::Unload();
    ASSERT_FALSE(id.isEmptyOrNull());
    const QString where = QStringLiteral(" FROM CliFor WHERE cliId=") + QString::number(id.toLong());
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliNome") + where).toString(), QStringLiteral("D'Amico & C."));
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliIndirizzo") + where).toString(), QStringLiteral("Via Roma 1"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliPartitaIVA") + where).toString(), QStringLiteral("01234567890"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliNote") + where).toString(), QStringLiteral("Cliente storico"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezId") + where).toLong(), 1);
    EXPECT_TRUE(scalar(QStringLiteral("SELECT SostImposta") + where).toBool());
    EXPECT_FALSE(scalar(QStringLiteral("SELECT cliShared") + where).toBool());
    const core::Variant pagamento = scalar(QStringLiteral("SELECT cliPagamento") + where);
    EXPECT_FALSE(pagamento.isNull()) << "a new client has payment term 0, not Null";
    EXPECT_EQ(pagamento.toLong(), 0);
}

TEST_F(ClientiTest, CancelEscAndTheFrameWriteNothing)
{
    struct Case {
        const char* how;
        std::function<void(QWidget*)> leave;
    };
    const Case cases[] = {
        {"Annulla", [](QWidget* f) { click(button(f, "cmdAnnulla")); }},
        {"Esc", [](QWidget* f) { QTest::keyClick(txt(f, 1), Qt::Key_Escape); }},
        {"close button", [](QWidget* f) { f->close(); }},
    };
    for (const Case& c : cases) {
        m_dialogs.answerModal([&c](QWidget* f) {
            type(txt(f, 0), QStringLiteral("Da non salvare"));
            QTest::keyClick(txt(f, 0), Qt::Key_Tab);
            c.leave(f);
            EXPECT_FALSE(f->isVisible()) << c.how;
        });
        EXPECT_TRUE(frm_io_Clienti::Nuovo(1).isNull()) << c.how;
        frm_io_Clienti::Unload();
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM CliFor")).toLong(), 0);
}

TEST_F(ClientiTest, ModelessNewThenOpenEditAndEsc)
{
    EXPECT_TRUE(frm_io_Clienti::Nuovo(0).isEmpty());
    ASSERT_TRUE(frm_io_Clienti::exists());
    QWidget* f = shown<frm_io_Clienti>();
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(button(f, "cmdSalva")->text(), QStringLiteral("Salva"));
    type(txt(f, 0), QStringLiteral("Rossi Mario"));
    type(txt(f, 3), QStringLiteral("Forlì"));
    click(button(f, "cmdSalva"));
    settle();
    EXPECT_FALSE(frm_io_Clienti::exists()) << "a modeless save unloads the form";
    const std::int32_t id = scalar(QStringLiteral("SELECT cliId FROM CliFor WHERE cliNome='Rossi Mario'")).toLong();
    ASSERT_GT(id, 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliLocalita FROM CliFor WHERE cliId=") + QString::number(id)).toString(),
              QStringLiteral("Forlì"));

    EXPECT_TRUE(frm_io_Clienti::Apri(id, 0).isEmpty());
    f = shown<frm_io_Clienti>();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Rossi Mario (cliente)"));
    EXPECT_EQ(txt(f, 3)->text(), QStringLiteral("Forlì"));
    EXPECT_TRUE(txt(f, 0)->hasFocus());
    QTest::keyClicks(txt(f, 0), QStringLiteral("Bianchi"));
    QTest::keyClick(txt(f, 0), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(frm_io_Clienti::exists());
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliNome FROM CliFor WHERE cliId=") + QString::number(id)).toString(),
              QStringLiteral("Rossi Mario"));
}

TEST_F(ClientiTest, TheNameCannotBeLeftEmptyButAnnullaIsNeverBlocked)
{
    m_dialogs.answerModal([](QWidget* f) {
        QLineEdit* nome = txt(f, 0);
        QTest::keyClick(nome, Qt::Key_Tab);
        EXPECT_TRUE(nome->hasFocus()) << "Tab left an empty name";
        QTest::keyClick(nome, Qt::Key_Return);
        EXPECT_TRUE(nome->hasFocus()) << "Enter left an empty name";
        click(txt(f, 1));
        EXPECT_TRUE(nome->hasFocus()) << "a click left an empty name";
        click(chk(f, 0));
        EXPECT_FALSE(chk(f, 0)->isChecked()) << "the click on the box went through";
        click(button(f, "cmdSalva"));
        EXPECT_TRUE(f->isVisible());
        click(button(f, "cmdAnnulla"));
        EXPECT_FALSE(f->isVisible());
    });
    EXPECT_TRUE(frm_io_Clienti::Nuovo(1).isNull());
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(ClientiTest, TextBoxesStopAtTheColumnWidth)
{
    m_dialogs.answerModal([](QWidget* f) {
        QTest::keyClicks(txt(f, 0), QString(60, QLatin1Char('x')));
        EXPECT_EQ(txt(f, 0)->text().size(), 50);
        type(txt(f, 4), QStringLiteral("FCX"));
        EXPECT_EQ(txt(f, 4)->text(), QStringLiteral("FC"));
        click(button(f, "cmdSalva"));
    });
    EXPECT_FALSE(frm_io_Clienti::Nuovo(1).isNull());
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliNome FROM CliFor")).toString(), QString(50, QLatin1Char('x')));
}

TEST_F(ClientiTest, ASharedClientStaysShared)
{
    m_dialogs.answerModal([](QWidget* f) {
        type(txt(f, 0), QStringLiteral("Condiviso Srl"));
        EXPECT_TRUE(chk(f, 1)->isEnabled());
        click(chk(f, 1));
        EXPECT_EQ(chk(f, 1)->text(), QStringLiteral("Cliente condiviso"));
        click(button(f, "cmdSalva"));
    });
    const std::int32_t id = frm_io_Clienti::Nuovo(1).toLong();
    frm_io_Clienti::Unload();
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_TRUE(chk(f, 1)->isChecked());
        EXPECT_FALSE(chk(f, 1)->isEnabled());
        EXPECT_EQ(chk(f, 1)->text(), QStringLiteral("Cliente condiviso"));
        click(button(f, "cmdAnnulla"));
    });
    frm_io_Clienti::Apri(id, 1);
}

TEST_F(ClientiTest, PaymentListHoldsTheSectionsAndTheSharedTermsAfterABlankRow)
{
    addPayment(QStringLiteral("Bonifico 30 gg"), 1, false);
    addPayment(QStringLiteral("Contanti"), 2, true);
    addPayment(QStringLiteral("Riba altrui"), 2, false);
    m_dialogs.answerModal([](QWidget* f) {
        ui::DataCombo* c = combo(f);
        ASSERT_EQ(c->count(), 3);
        EXPECT_EQ(c->itemText(0), QString());
        EXPECT_EQ(c->itemText(1), QStringLiteral("Bonifico 30 gg"));
        EXPECT_EQ(c->itemText(2), QStringLiteral("Contanti"));
        EXPECT_EQ(c->currentIndex(), 0);
        click(button(f, "cmdAnnulla"));
    });
    frm_io_Clienti::Nuovo(1);
}

TEST_F(ClientiTest, APaymentTermAddedOnTheFlyIsStoredWithTheClient)
{
    const std::int32_t id = addClient(QStringLiteral("Neri"), 1, false);
    EXPECT_TRUE(frm_io_Clienti::Apri(id, 0).isEmpty());
    QWidget* f = shown<frm_io_Clienti>();
    ui::DataCombo* c = combo(f);

    // Cancelled: nothing changes.
    m_dialogs.answerModal([](QWidget* p) {
        EXPECT_EQ(p->objectName(), QStringLiteral("frm_io_Pagamenti"));
        click(child<QPushButton>(p, QStringLiteral("cmdAnnulla")));
    });
    click(button(f, "cmdAddPag"));
    EXPECT_EQ(c->count(), 1);
    EXPECT_EQ(f->focusWidget(), c) << "the focus goes back to the combo";

    // F5 in the combo adds one, selected, written only with the client.
    m_dialogs.answerModal([](QWidget* p) {
        EXPECT_EQ(child<QPushButton>(p, QStringLiteral("cmdSalva"))->text(), QStringLiteral("Inserisci"));
        type(child<QLineEdit>(p, QStringLiteral("txtData(1)")), QStringLiteral("Rimessa diretta"));
        click(child<QPushButton>(p, QStringLiteral("cmdSalva")));
    });
    QTest::keyClick(c, Qt::Key_F5);
    EXPECT_EQ(c->count(), 2);
    EXPECT_EQ(c->listText(), QStringLiteral("Rimessa diretta"));
    const std::int32_t pagId = scalar(QStringLiteral("SELECT pagId FROM Pagamenti WHERE pagDescrizione='Rimessa diretta'")).toLong();
    ASSERT_GT(pagId, 0);
    const QString sql = QStringLiteral("SELECT cliPagamento FROM CliFor WHERE cliId=") + QString::number(id);
    EXPECT_EQ(scalar(sql).toLong(), 0);
    click(button(f, "cmdSalva"));
    settle();
    EXPECT_EQ(scalar(sql).toLong(), pagId);
}

TEST_F(ClientiTest, AStoredPaymentTermOutsideTheListIsKept)
{
    // A shared client made in section 2 with section 2's private term, edited in section 1.
    const std::int32_t altrui = addPayment(QStringLiteral("Riba 60 gg"), 2, false);
    const std::int32_t id = addClient(QStringLiteral("Gialli"), 2, true, altrui);
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(combo(f)->listText(), QString());
        QTest::keyClick(txt(f, 0), Qt::Key_End);
        QTest::keyClicks(txt(f, 0), QStringLiteral(" Spa"));
        click(button(f, "cmdSalva"));
    });
    EXPECT_EQ(frm_io_Clienti::Apri(id, 1).toLong(), id);
    const QString where = QStringLiteral(" FROM CliFor WHERE cliId=") + QString::number(id);
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliNome") + where).toString(), QStringLiteral("Gialli Spa"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliPagamento") + where).toLong(), altrui);
}

TEST_F(ClientiTest, ChoosingTheBlankPaymentRowStoresZero)
{
    const std::int32_t pag = addPayment(QStringLiteral("Bonifico"), 1, false);
    const std::int32_t id = addClient(QStringLiteral("Blu"), 1, false, pag);
    m_dialogs.answerModal([](QWidget* f) {
        ui::DataCombo* c = combo(f);
        EXPECT_EQ(c->listText(), QStringLiteral("Bonifico"));
        c->setFocus();
        QTest::keyClick(c, Qt::Key_Up);
        EXPECT_EQ(c->currentIndex(), 0);
        click(button(f, "cmdSalva"));
    });
    frm_io_Clienti::Apri(id, 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliPagamento FROM CliFor WHERE cliId=") + QString::number(id)).toLong(), 0);
}

TEST_F(ClientiTest, ASecondUsersEditGivesTheConflictMessageAndKeepsTheForm)
{
    const std::int32_t id = addClient(QStringLiteral("Conteso"), 1, false);
    struct Case {
        const char* what;
        QString otherUser;
        int rowsLeft; // what the other user's change leaves, which must stay
    };
    const Case cases[] = {
        {"changed", QStringLiteral("UPDATE CliFor SET cliNome='Cambiato' WHERE cliId=%1"), 1},
        {"deleted", QStringLiteral("DELETE FROM CliFor WHERE cliId=%1"), 0},
    };
    for (const Case& c : cases) {
        restartDialogs();
        frm_io_Clienti::Apri(id, 0);
        QWidget* f = shown<frm_io_Clienti>();
        exec(c.otherUser.arg(id));
        QTest::keyClicks(txt(f, 0), QStringLiteral("Mio"));
        m_dialogs.answerMessageBox(ui::vbOK);
        click(button(f, "cmdSalva"));
        settle();
        ASSERT_TRUE(frm_io_Clienti::exists()) << c.what;
        EXPECT_TRUE(f->isVisible()) << c.what;
        EXPECT_EQ(txt(f, 0)->text(), QStringLiteral("Mio")) << c.what;
        EXPECT_EQ(m_dialogs.messages(),
                  QStringList{QStringLiteral("Conflitto in multiutenza - Record impegnato o eliminato da un altro utente.")})
            << c.what;
        // Nothing of this save is written: the other user's change stands.
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM CliFor WHERE cliNome='Cambiato' AND cliId=%1").arg(id)).toLong(),
                  c.rowsLeft)
            << c.what;
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM CliFor WHERE cliNome LIKE '%Mio%'")).toLong(), 0) << c.what;
        click(button(f, "cmdAnnulla"));
        settle();
        EXPECT_TRUE(m_dialogs.unexpected().isEmpty());
    }
}

TEST_F(ClientiTest, OpeningAgainWhileEditsArePendingKeepsThem)
{
    const std::int32_t a = addClient(QStringLiteral("Primo"), 1, false);
    const std::int32_t b = addClient(QStringLiteral("Secondo"), 1, false);
    frm_io_Clienti::Apri(a, 0);
    QWidget* f = shown<frm_io_Clienti>();
    QTest::keyClicks(txt(f, 0), QStringLiteral("Modificato"));
    m_dialogs.answerMessageBox(ui::vbOK);
    EXPECT_TRUE(frm_io_Clienti::Apri(b, 1).isNull());
    EXPECT_EQ(txt(f, 0)->text(), QStringLiteral("Modificato"));
    EXPECT_EQ(m_dialogs.messages().size(), 1);
    // Without pending edits the open record simply gives way.
    click(button(f, "cmdAnnulla"));
    settle();
    frm_io_Clienti::Apri(a, 0);
    frm_io_Clienti::Apri(b, 0);
    EXPECT_EQ(txt(shown<frm_io_Clienti>(), 0)->text(), QStringLiteral("Secondo"));
}

TEST_F(ClientiTest, PastedTextIsStoredAsTheBoxShowsItAndACutIsTold)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
    const auto paste = [](QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QGuiApplication::clipboard()->setText(text);
        box->paste();
    };
    const auto hint = [](int units) {
        return QStringLiteral("La casella contiene al massimo %1 caratteri: il testo in più non è stato inserito.").arg(units);
    };
    m_dialogs.answerModal([&](QWidget* f) {
        // An emoji that does not fit whole stays out, never half of it.
        paste(txt(f, 0), QString(49, QLatin1Char('x')) + emoji);
        EXPECT_EQ(txt(f, 0)->text(), QString(49, QLatin1Char('x')));
        EXPECT_EQ(QToolTip::text(), hint(50));
        // A line break shows as a blank and is stored as one.
        paste(txt(f, 1), QStringLiteral("Via Roma 1\r\nScala B\n"));
        EXPECT_EQ(txt(f, 1)->text(), QStringLiteral("Via Roma 1 Scala B "));
        paste(txt(f, 10), QString(300, QLatin1Char('n')));
        EXPECT_EQ(txt(f, 10)->text().size(), 255);
        EXPECT_EQ(QToolTip::text(), hint(255));
        // Typed past the limit: the key is told too.
        txt(f, 0)->end(false);
        QTest::keyClicks(txt(f, 0), QStringLiteral("yz"));
        EXPECT_EQ(txt(f, 0)->text(), QString(49, QLatin1Char('x')) + QLatin1Char('y'));
        EXPECT_EQ(QToolTip::text(), hint(50));
        click(button(f, "cmdSalva"));
    });
    EXPECT_FALSE(frm_io_Clienti::Nuovo(1).isNull());
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliNome FROM CliFor")).toString(), QString(49, QLatin1Char('x')) + QLatin1Char('y'));
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliIndirizzo FROM CliFor")).toString(), QStringLiteral("Via Roma 1 Scala B "));
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliNote FROM CliFor")).toString(), QString(255, QLatin1Char('n')));
}
