// The editor's agreed-amount, invoice-from-pro-forma and collections buttons,
// driven as a user does.
#include "EditorDriver.h"

#include "platform/grid/GridEx.h"
#include "platform/ui/MsgBoxStyle.h"
#include "startup/SharedState.h"
#include "support/Money.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class EditorCommandsTest : public EditorTest {
protected:
    // Leaves the open document by "Annulla", as the next case needs a closed editor.
    void cmdCloseAndReset()
    {
        if (editor())
            editor()->cmdClose_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(frm_fattura::IsLoaded());
    }
    void click(const char* name)
    {
        QTest::mouseClick(control<QPushButton>(QLatin1String(name)), Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    // The three lines on two codes of a professional's usual document.
    void enterThreeLines()
    {
        enterLine({}, QStringLiteral("3"), QStringLiteral("Consulenza"), QStringLiteral("123,45"));
        enterLine(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("Trasferta"), QStringLiteral("80,15"));
        enterLine({}, QStringLiteral("1"), QStringLiteral("Spese"), QStringLiteral("49,99"));
    }
    // Answers the agreed-amount dialog with `typed`, or cancels it when empty.
    void answerAgreed(const QString& typed)
    {
        m_dialogs.answerModal([typed](QWidget* w) {
            auto* box = w->findChild<QLineEdit*>(QStringLiteral("txtData"));
            if (typed.isEmpty()) {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            QTest::keyClicks(box, typed);
            QTest::keyClick(box, Qt::Key_Return);
        });
    }
    core::Currency header(const char* field) const
    {
        return editor()->document().header(QLatin1String(field)).toCurrency();
    }
    core::Currency firstPrice() const
    {
        auto* g = control<grid::GridEx>(QStringLiteral("gexdet"));
        return g->cellValue(1, g->columnIndex(QStringLiteral("fdtImporto"))).toCurrency();
    }
};

} // namespace

TEST_F(EditorCommandsTest, AgreedAmountMovesTheFirstPriceAndTellsANearMiss)
{
    exec(QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione, cdiRitAcc) "
                        "VALUES ('20', 'IVA 20%', 20, 0, 0)"));
    frm_fattura::Nuovo(0);
    chooseClient(QStringLiteral("D'A"));
    enterLine(QStringLiteral("20"), QStringLiteral("1"), QStringLiteral("Parere"), QStringLiteral("1000"));
    ASSERT_EQ(header("fatTotNetto"), money("1048"));
    answerAgreed(QStringLiteral("1100"));
    click("cmdImportoPattuito");
    EXPECT_EQ(firstPrice(), money("1049.62"));
    EXPECT_EQ(header("fatTotNetto"), money("1100"));
    EXPECT_EQ(header("fatTotRitAcc"), money("209.92"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    EXPECT_EQ(editor()->focusWidget(), control<QWidget>(QStringLiteral("txtData(1)")));
    cmdCloseAndReset();

    frm_fattura::Nuovo(0);
    chooseClient(QStringLiteral("D'A"));
    enterThreeLines();
    ASSERT_EQ(header("fatTotNetto"), money("600.57"));
    answerAgreed(QStringLiteral("650"));
    m_dialogs.answerMessageBox(ui::vbOK);
    click("cmdImportoPattuito");
    // 138,87 gives 650,02; one cent less gives 649,99, and there it stops.
    EXPECT_EQ(firstPrice(), money("138.86"));
    EXPECT_EQ(header("fatTotNetto"), money("649.99"));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("649,99"))) << m_dialogs.messages().first().toStdString();
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("650,00")));
    // The other lines keep their prices; the summary follows the new one.
    auto* g = control<grid::GridEx>(QStringLiteral("gexdet"));
    EXPECT_EQ(g->cellValue(2, g->columnIndex(QStringLiteral("fdtImporto"))).toCurrency(), money("80.15"));
    EXPECT_EQ(g->cellValue(1, g->columnIndex(QStringLiteral("fdtTotRiga"))).toCurrency(), money("416.58"));
    EXPECT_EQ(header("fatTotImporto"), money("626.87"));
}

TEST_F(EditorCommandsTest, AgreedAmountRefusedOrCancelledChangesNothing)
{
    struct Case {
        const char* what;
        const char* quantity;
        bool dropCode; // the first line's code leaves the code table meanwhile
        const char* typed;
        bool message;
    };
    const Case cases[] = {
        {"cancelled", "2", false, "", false},
        {"quantity 0", "0", false, "500", true},
        {"code gone", "2", true, "500", true},
        // The second line alone is worth more: the first price would go below zero.
        {"below the other lines", "2", false, "5", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        frm_fattura::Nuovo(0);
        chooseClient(QStringLiteral("D'A"));
        enterLine(QStringLiteral("4"), QString::fromLatin1(c.quantity), QStringLiteral("Consulenza"), QStringLiteral("100"));
        enterLine({}, QStringLiteral("1"), QStringLiteral("Spese"), QStringLiteral("10"));
        if (c.dropCode)
            exec(QStringLiteral("DELETE FROM CodiciIVA WHERE cdiCodice='4'"));
        const core::Currency net = header("fatTotNetto");
        answerAgreed(QString::fromLatin1(c.typed));
        if (c.message)
            m_dialogs.answerMessageBox(ui::vbOK);
        click("cmdImportoPattuito");
        EXPECT_EQ(firstPrice(), money("100"));
        EXPECT_EQ(header("fatTotNetto"), net);
        EXPECT_EQ(m_dialogs.messages().size(), c.message ? 1 : 0);
        EXPECT_TRUE(m_dialogs.unexpected().isEmpty()) << m_dialogs.unexpected().join(QLatin1Char('\n')).toStdString();
        restartDialogs();
        cmdCloseAndReset();
        exec(QStringLiteral("DELETE FROM CodiciIVA WHERE cdiCodice='4'"));
        exec(QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione) VALUES ('4', 'IVA 4%', 4, 0)"));
    }
}

TEST_F(EditorCommandsTest, ButtonsFollowKindAndState)
{
    struct Case {
        int kind;
        bool saved;
        bool makeInvoice;
        bool collections;        // shown
        bool collectionsEnabled; // usable once the document exists in the database
    };
    const Case cases[] = {
        {0, false, false, true, false}, {0, true, false, true, true},   {1, false, false, false, false},
        {1, true, false, false, false}, {2, false, false, false, false}, {2, true, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << (c.saved ? " saved" : " new"));
        if (c.saved)
            frm_fattura::Modifica(saveSimpleDocument(c.kind));
        else
            frm_fattura::Nuovo(c.kind);
        ASSERT_TRUE(frm_fattura::IsLoaded());
        EXPECT_EQ(control<QPushButton>(QStringLiteral("cmdMakeInvoice"))->isVisibleTo(editor()), c.makeInvoice);
        EXPECT_EQ(control<QPushButton>(QStringLiteral("cmdIncassi"))->isVisibleTo(editor()), c.collections);
        if (c.collections) {
            EXPECT_EQ(control<QPushButton>(QStringLiteral("cmdIncassi"))->isEnabled(), c.collectionsEnabled);
        }
        EXPECT_TRUE(control<QPushButton>(QStringLiteral("cmdImportoPattuito"))->isEnabled());
        if (c.makeInvoice) {
            EXPECT_TRUE(control<QPushButton>(QStringLiteral("cmdMakeInvoice"))->isEnabled());
        }
        cmdCloseAndReset();
    }
}

TEST_F(EditorCommandsTest, ProFormaBecomesInvoiceThatOpensAndTakesTwoCollections)
{
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, 'B', 2024, 6)"));
    frm_fattura::Nuovo(2);
    const std::int32_t pro = editor()->documentId();
    chooseClient(QStringLiteral("D'A"));
    enterThreeLines();
    clickSave();
    frm_fattura::Modifica(pro);
    ASSERT_TRUE(frm_fattura::IsLoaded());

    m_dialogs.answerModal([](QWidget* w) {
        auto* prefix = w->findChild<QLineEdit*>(QStringLiteral("txtSezione"));
        prefix->setFocus();
        QTest::keyClicks(prefix, QStringLiteral("b"));
        EXPECT_EQ(w->findChild<QLineEdit*>(QStringLiteral("txtInvoiceNo"))->text(), QStringLiteral("7"));
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdMakeInvoice")), Qt::LeftButton);
    });
    m_dialogs.answerMessageBox(ui::vbNo); // keep the pro forma
    click("cmdMakeInvoice");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("Fattura n° 7 B generata.\r\nEliminare la Pro-Forma?")});

    // The editor now shows the new invoice.
    ASSERT_TRUE(frm_fattura::IsLoaded());
    const std::int32_t inv = editor()->documentId();
    EXPECT_NE(inv, pro);
    EXPECT_EQ(editor()->Modo(), 3);
    EXPECT_EQ(editor()->windowTitle(), QStringLiteral("Modifica fattura"));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtData(0)"))->text(), QStringLiteral("7"));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtData(9)"))->text(), QStringLiteral("B"));
    EXPECT_FALSE(control<QPushButton>(QStringLiteral("cmdMakeInvoice"))->isVisibleTo(editor()));
    EXPECT_TRUE(control<QPushButton>(QStringLiteral("cmdIncassi"))->isVisibleTo(editor()));
    EXPECT_EQ(control<grid::GridEx>(QStringLiteral("gexdet"))->rowCount(), 3);
    EXPECT_EQ(control<grid::GridEx>(QStringLiteral("gexDetIVA"))->rowCount(), 2);
    EXPECT_EQ(header("fatTotNetto"), money("600.57"));
    EXPECT_TRUE(scalar(QStringLiteral("SELECT fatPagata FROM Fatture WHERE fatId=") + QString::number(pro)).toBool());

    // Two collections recorded, then seen again.
    m_dialogs.answerModal([this](QWidget* w) {
        auto* g = w->findChild<grid::GridEx*>(QStringLiteral("gex"));
        for (const char* amount : {"300,00", "300,57"}) {
            QApplication::setActiveWindow(w);
            g->view()->setFocus();
            QCoreApplication::processEvents();
            key(Qt::Key_Tab);
            type(QString::fromLatin1(amount));
            key(Qt::Key_Return);
        }
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdSalva")), Qt::LeftButton);
    });
    click("cmdIncassi");
    EXPECT_EQ(scalar(QStringLiteral("SELECT SUM(incImporto) FROM Incassi WHERE incFatId=") + QString::number(inv)).toDouble(),
              600.57);
    QString unpaid;
    m_dialogs.answerModal([&unpaid](QWidget* w) {
        unpaid = w->findChild<QLabel*>(QStringLiteral("lblDaIncassare"))->text();
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdAnnulla")), Qt::LeftButton);
    });
    click("cmdIncassi");
    EXPECT_EQ(unpaid, QStringLiteral("Da incassare: 0,00"));
}

TEST_F(EditorCommandsTest, GeneraFatturaWaitsForASuccessfulSave)
{
    const std::int32_t pro = saveSimpleDocument(2);
    frm_fattura::Modifica(pro);
    // Another user deletes the pro forma meanwhile: the save fails, and no invoice is offered.
    exec(QStringLiteral("DELETE FROM Fatture WHERE fatId=") + QString::number(pro));
    m_dialogs.answerMessageBox(ui::vbOK);
    click("cmdMakeInvoice");
    EXPECT_TRUE(frm_fattura::IsLoaded());
    EXPECT_EQ(m_dialogs.messages(),
              QStringList{QStringLiteral("Conflitto in multiutenza - Record impegnato o eliminato da un altro utente.")});
    EXPECT_TRUE(m_dialogs.requests(ui::DialogKind::Modal).isEmpty());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Fatture")), 0);
}
