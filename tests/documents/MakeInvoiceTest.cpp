// The invoice-from-pro-forma dialog on its own, over a saved pro forma.
#include "EditorDriver.h"

#include "documents/frmMakeInvoice.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/MsgBoxStyle.h"
#include "startup/SharedState.h"
#include "support/DatabaseFile.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class MakeInvoiceTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        m_pro = saveSimpleDocument(2);
        restartDialogs();
    }
    static QLineEdit* box(QWidget* w, const char* name) { return w->findChild<QLineEdit*>(QLatin1String(name)); }
    static void click(QWidget* w, const char* name)
    {
        QTest::mouseClick(w->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }
    QString path() const { return session().cartellaDb + QStringLiteral("/qelvo.mdb"); }

    std::int32_t m_pro = 0;
};

} // namespace

TEST_F(MakeInvoiceTest, ThePrefixShowsTheNextNumberOfItsSeries)
{
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, 'B', 2024, 4)"));
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parNum1) VALUES (1, 2024, 11)"));
    const QString before = databaseSnapshot(path());
    m_dialogs.answerModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Genera Fattura da Pro-Forma"));
        EXPECT_EQ(box(w, "txtInvoiceNo")->text(), QStringLiteral("12"));
        EXPECT_EQ(w->findChild<ui::DateBox*>(QStringLiteral("dtpInvoiceDate"))->date(), QDate(2024, 3, 5));
        QLineEdit* prefix = box(w, "txtSezione");
        prefix->setFocus();
        QTest::keyClicks(prefix, QStringLiteral("b1"));
        EXPECT_EQ(prefix->text(), QStringLiteral("B"));
        EXPECT_EQ(box(w, "txtInvoiceNo")->text(), QStringLiteral("5"));
        QTest::keyClicks(prefix, QStringLiteral("x"));
        EXPECT_EQ(box(w, "txtInvoiceNo")->text(), QStringLiteral("1"));
        click(w, "cmdCancel");
    });
    EXPECT_EQ(frmMakeInvoice::Apri(m_pro), 0);
    EXPECT_EQ(databaseSnapshot(path()), before);
}

TEST_F(MakeInvoiceTest, AFailedGenerationSaysSoKeepsTheDialogAndStoresNothing)
{
    const QString before = databaseSnapshot(path());
    m_dialogs.answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([&](QWidget* w) {
        {
            const WriteRefusal full(path(), QStringLiteral("INSERT"), QStringLiteral("FattureIva"));
            click(w, "cmdMakeInvoice");
        }
        EXPECT_TRUE(w->isVisible());
        click(w, "cmdCancel");
    });
    EXPECT_EQ(frmMakeInvoice::Apri(m_pro), 0);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("La fattura non è stata generata.")));
    EXPECT_EQ(databaseSnapshot(path()), before);
}

TEST_F(MakeInvoiceTest, TheAnswerDecidesWhetherTheProFormaStays)
{
    const QString p = QString::number(m_pro);
    for (const int answer : {ui::vbNo, ui::vbYes}) {
        SCOPED_TRACE(answer);
        if (answer == ui::vbYes)
            m_dialogs.answerMessageBox(ui::vbYes); // already invoiced: make another one
        m_dialogs.answerMessageBox(answer);
        m_dialogs.answerModal([&](QWidget* w) { click(w, "cmdMakeInvoice"); });
        const std::int32_t id = frmMakeInvoice::Apri(m_pro);
        ASSERT_GT(id, 0);
        const QString where = QStringLiteral(" FROM Fatture WHERE fatId=") + QString::number(id);
        const int number = answer == ui::vbNo ? 1 : 2;
        EXPECT_EQ(count(QStringLiteral("SELECT fatNo") + where), number);
        EXPECT_EQ(count(QStringLiteral("SELECT fatTipo") + where), 0);
        const QStringList asked = m_dialogs.messages();
        EXPECT_EQ(asked.last(), QStringLiteral("Fattura n° %1  generata.\r\nEliminare la Pro-Forma?").arg(number));
        EXPECT_EQ(m_dialogs.requests(ui::DialogKind::MessageBox).last().style,
                  ui::vbYesNo | ui::vbQuestion | ui::vbDefaultButton2);
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Fatture WHERE fatId=") + p), answer == ui::vbNo ? 1 : 0);
        restartDialogs();
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureDettaglio WHERE fdtfatId=") + p), 0);
}

TEST_F(MakeInvoiceTest, AnAlreadyInvoicedProFormaIsConvertedAgainOnlyOnYes)
{
    exec(QStringLiteral("UPDATE Fatture SET fatPagata = True WHERE fatId=") + QString::number(m_pro));
    const QString before = databaseSnapshot(path());
    m_dialogs.answerMessageBox(ui::vbNo);
    m_dialogs.answerModal([&](QWidget* w) {
        click(w, "cmdMakeInvoice");
        EXPECT_TRUE(w->isVisible());
        click(w, "cmdCancel");
    });
    EXPECT_EQ(frmMakeInvoice::Apri(m_pro), 0);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("La Pro-Forma è già stata trasformata in fattura.")));
    EXPECT_EQ(m_dialogs.requests(ui::DialogKind::MessageBox).first().style,
              ui::vbYesNo | ui::vbQuestion | ui::vbDefaultButton2);
    EXPECT_EQ(databaseSnapshot(path()), before);
}

TEST_F(MakeInvoiceTest, ADateThatIsNoDateGeneratesNothing)
{
    const QString before = databaseSnapshot(path());
    m_dialogs.answerMessageBox(ui::vbOK); // the date box says why
    m_dialogs.answerModal([&](QWidget* w) {
        auto* date = w->findChild<ui::DateBox*>(QStringLiteral("dtpInvoiceDate"));
        date->setFocus();
        date->selectAll();
        QTest::keyClicks(date, QStringLiteral("31/02/2024"));
        click(w, "cmdMakeInvoice");
        QCoreApplication::processEvents();
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(date->date(), QDate(2024, 3, 5));
        click(w, "cmdCancel");
    });
    EXPECT_EQ(frmMakeInvoice::Apri(m_pro), 0);
    EXPECT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(databaseSnapshot(path()), before);
}
