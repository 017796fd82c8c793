#include "MasterDataFixture.h"
#include "support/TypedNumbers.h"

#include "common/MainWindowLink.h"
#include "startup/Section.h"
#include "platform/ui/MsgBoxStyle.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

class IvaTest : public MasterDataFixture {
protected:
    static QLineEdit* txt(QWidget* f, int i) { return child<QLineEdit>(f, QStringLiteral("txtData(%1)").arg(i)); }
    static QCheckBox* chk(QWidget* f, int i) { return child<QCheckBox>(f, QStringLiteral("chkData(%1)").arg(i)); }
    static QPushButton* button(QWidget* f, const char* name) { return child<QPushButton>(f, QString::fromLatin1(name)); }
    QString predefinito(std::int32_t sezId = 1) const
    {
        return scalar(QStringLiteral("SELECT sezPreIVA FROM Sezioni WHERE sezId=") + QString::number(sezId)).toString();
    }
};

TEST_F(IvaTest, ANewCodeIsTypedUpperCaseWithoutApostrophesAndItsRateTheItalianWay)
{
    exec(QStringLiteral("UPDATE Sezioni SET sezPreIVA='22' WHERE sezId=1"));
    EXPECT_TRUE(frm_io_IVA::Nuovo(0).isEmpty());
    QWidget* f = shown<frm_io_IVA>();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Codici IVA"));
    EXPECT_FALSE(chk(f, 1)->isChecked());
    EXPECT_TRUE(chk(f, 1)->isEnabled());
    EXPECT_EQ(txt(f, 2)->text(), QStringLiteral("0,00"));
    QTest::keyClicks(txt(f, 0), QStringLiteral("iva'22"));
    EXPECT_EQ(txt(f, 0)->text(), QStringLiteral("IVA22"));
    QTest::keyClick(txt(f, 0), Qt::Key_Return);
    EXPECT_TRUE(chk(f, 1)->hasFocus()) << "Enter moves on, to the next control in tab order";
    type(txt(f, 1), QStringLiteral("Aliquota prova"));
    // The rate: letters and signs are dropped; a point not grouping thousands is the comma.
    txt(f, 2)->setFocus();
    QTest::keyClicks(txt(f, 2), QStringLiteral("2x2.-5"));
    EXPECT_EQ(txt(f, 2)->text(), QStringLiteral("22.5"));
    click(chk(f, 0));
    click(button(f, "cmdSalva"));
    settle();
    EXPECT_FALSE(frm_io_IVA::exists());
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT cdiValore FROM CodiciIVA WHERE cdiCodice='IVA22'")).toDouble(), 22.5);
    EXPECT_NE(scalar(QStringLiteral("SELECT cdiEsenzione FROM CodiciIVA WHERE cdiCodice='IVA22'")).toLong(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT cdiRitAcc FROM CodiciIVA WHERE cdiCodice='IVA22'")).toLong(), 0);
    EXPECT_EQ(predefinito(), QStringLiteral("22")) << "Predefinito was not ticked";

    frm_io_IVA::Apri(QStringLiteral("IVA22"), 0);
    f = shown<frm_io_IVA>();
    EXPECT_FALSE(txt(f, 0)->isEnabled()) << "an existing code cannot change";
    EXPECT_EQ(txt(f, 2)->text(), QStringLiteral("22,50"));
    EXPECT_TRUE(chk(f, 0)->isChecked());
    click(button(f, "cmdAnnulla"));
}

TEST_F(IvaTest, PastedTextMeetsTheSameFilters)
{
    m_dialogs.answerModal([](QWidget* f) {
        QGuiApplication::clipboard()->setText(QStringLiteral("d'am 5"));
        txt(f, 0)->setFocus();
        txt(f, 0)->paste();
        EXPECT_EQ(txt(f, 0)->text(), QStringLiteral("DAM 5"));
        txt(f, 2)->setFocus();
        txt(f, 2)->selectAll();
        QGuiApplication::clipboard()->setText(QStringLiteral("1a2.5"));
        txt(f, 2)->paste();
        EXPECT_EQ(txt(f, 2)->text(), QStringLiteral("12.5"));
        QTest::keyClick(txt(f, 2), Qt::Key_Tab);
        EXPECT_EQ(txt(f, 2)->text(), QStringLiteral("12,50")) << "shown the Italian way once left";
        click(button(f, "cmdAnnulla"));
    });
    frm_io_IVA::Nuovo(1);
}

TEST_F(IvaTest, RequiredFieldsKeepTheFocus)
{
    m_dialogs.answerModal([](QWidget* f) {
        QTest::keyClick(txt(f, 0), Qt::Key_Tab);
        EXPECT_TRUE(txt(f, 0)->hasFocus()) << "an empty code was left";
        QTest::keyClicks(txt(f, 0), QStringLiteral("X"));
        type(txt(f, 1), QString());
        QTest::keyClick(txt(f, 1), Qt::Key_Return);
        EXPECT_TRUE(txt(f, 1)->hasFocus()) << "an empty description was left";
        QTest::keyClicks(txt(f, 1), QStringLiteral("Prova"));
        txt(f, 2)->setFocus();
        QTest::keyClick(txt(f, 2), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(txt(f, 2), Qt::Key_Backspace);
        EXPECT_EQ(txt(f, 2)->text(), QString());
        QTest::keyClick(txt(f, 2), Qt::Key_Tab);
        EXPECT_TRUE(txt(f, 2)->hasFocus()) << "an empty rate was left";
        QTest::keyClick(txt(f, 2), Qt::Key_Escape);
        EXPECT_FALSE(f->isVisible()) << "Esc is never blocked";
    });
    EXPECT_TRUE(frm_io_IVA::Nuovo(1).isNull());
    EXPECT_TRUE(scalar(QStringLiteral("SELECT cdiCodice FROM CodiciIVA WHERE cdiCodice='X'")).isNull());
}

TEST_F(IvaTest, ADuplicateCodeIsToldAsSuchAndTheFormStaysOpen)
{
    exec(QStringLiteral("UPDATE Sezioni SET sezPreIVA='10' WHERE sezId=1"));
    m_dialogs.answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([](QWidget* f) {
        QTest::keyClicks(txt(f, 0), QStringLiteral("22"));
        type(txt(f, 1), QStringLiteral("Doppione"));
        click(chk(f, 1)); // also the section's default: written with the code or not at all
        click(button(f, "cmdSalva"));
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(txt(f, 1)->text(), QStringLiteral("Doppione"));
        txt(f, 0)->setFocus();
        QTest::keyClick(txt(f, 0), Qt::Key_End);
        QTest::keyClicks(txt(f, 0), QStringLiteral("B"));
        click(button(f, "cmdSalva"));
    });
    EXPECT_EQ(frm_io_IVA::Nuovo(1).toString(), QStringLiteral("22B"));
    EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("Il codice IVA \"22\" esiste già: indicare un codice diverso.")});
    EXPECT_EQ(scalar(QStringLiteral("SELECT cdiDescrizione FROM CodiciIVA WHERE cdiCodice='22'")).toString(),
              QStringLiteral("IVA ordinaria 22%"));
    EXPECT_EQ(predefinito(), QStringLiteral("22B")) << "the default follows the code that was saved";
}

TEST_F(IvaTest, ARefusedCodeLeavesTheDefaultAsItWas)
{
    exec(QStringLiteral("UPDATE Sezioni SET sezPreIVA='10' WHERE sezId=1"));
    m_dialogs.answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([](QWidget* f) {
        QTest::keyClicks(txt(f, 0), QStringLiteral("4"));
        type(txt(f, 1), QStringLiteral("Doppione"));
        click(chk(f, 1));
        click(button(f, "cmdSalva"));
        EXPECT_TRUE(f->isVisible());
        click(button(f, "cmdAnnulla"));
    });
    EXPECT_TRUE(frm_io_IVA::Nuovo(1).isNull());
    EXPECT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(predefinito(), QStringLiteral("10"));
}

TEST_F(IvaTest, PredefinitoFollowsTheSectionsDefaultCode)
{
    // No default yet: a new code starts ticked and locked and becomes the default.
    exec(QStringLiteral("UPDATE Sezioni SET sezPreIVA=Null"));
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_TRUE(chk(f, 1)->isChecked());
        EXPECT_FALSE(chk(f, 1)->isEnabled());
        QTest::keyClicks(txt(f, 0), QStringLiteral("Z9"));
        type(txt(f, 1), QStringLiteral("Non imponibile"));
        click(button(f, "cmdSalva"));
    });
    frm_io_IVA::Nuovo(1);
    frm_io_IVA::Unload();
    EXPECT_EQ(predefinito(), QStringLiteral("Z9")) << m_dialogs.unexpected().join(QStringLiteral("|")).toStdString();
    EXPECT_EQ(predefinito(2), QString()) << "another section's default is not touched";

    // The default code opened shows the box ticked and locked; saving keeps it.
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_TRUE(chk(f, 1)->isChecked());
        EXPECT_FALSE(chk(f, 1)->isEnabled());
        click(button(f, "cmdSalva"));
    });
    frm_io_IVA::Apri(QStringLiteral("Z9"), 1);
    frm_io_IVA::Unload();
    EXPECT_EQ(predefinito(), QStringLiteral("Z9"));

    // Ticking another code, modeless: the section's default and the shared state
    // follow (the main window's refresh reloads the section's settings).
    struct Refresh : MainWindowLink {
        Refresh() { registerMainWindow(this); }
        ~Refresh() override { registerMainWindow(nullptr); }
        void SetLay() override { CaricaSezione(); }
        QWidget* widget() override { return nullptr; }
    } mainWindow;
    frm_io_IVA::Apri(QStringLiteral("10"), 0);
    QWidget* f = shown<frm_io_IVA>();
    EXPECT_FALSE(chk(f, 1)->isChecked());
    click(chk(f, 1));
    click(button(f, "cmdSalva"));
    settle();
    EXPECT_EQ(predefinito(), QStringLiteral("10"));
    EXPECT_EQ(session().preIVA, QStringLiteral("10"));
}

TEST_F(IvaTest, SaveChecksFieldsTheFocusNeverVisited)
{
    // A code stored without a rate: the focus starts on the description, Save still asks for the rate.
    exec(QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiEsenzione, cdiRitAcc) VALUES ('ES', 'Esente', 0, 0)"));
    m_dialogs.answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(txt(f, 2)->text(), QString());
        EXPECT_TRUE(txt(f, 1)->hasFocus());
        click(button(f, "cmdSalva"));
        EXPECT_TRUE(f->isVisible());
        EXPECT_TRUE(txt(f, 2)->hasFocus());
        QTest::keyClicks(txt(f, 2), QStringLiteral("0"));
        click(button(f, "cmdSalva"));
    });
    EXPECT_EQ(frm_io_IVA::Apri(QStringLiteral("ES"), 1).toString(), QStringLiteral("ES"));
    EXPECT_EQ(m_dialogs.messages(),
              QStringList{QStringLiteral("Indicare l'aliquota in cifre (zero in caso di Esenzione o Non imponibile).")});
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT cdiValore FROM CodiciIVA WHERE cdiCodice='ES'")).toDouble(), 0.0);
    EXPECT_FALSE(scalar(QStringLiteral("SELECT cdiValore FROM CodiciIVA WHERE cdiCodice='ES'")).isNull());
}

TEST_F(IvaTest, TheRateIsStoredAsTypedTheItalianWayOrRefused)
{
    int n = 0;
    for (const TypedNumber& c : typedNumbers()) {
        SCOPED_TRACE(c.typed);
        const QString code = QStringLiteral("T%1").arg(++n);
        // A rate is a percentage: above 100 it is refused as any unreadable text.
        const bool stored = c.value && *c.value <= 100.0;
        frm_io_IVA::Nuovo(0);
        QWidget* f = shown<frm_io_IVA>();
        type(txt(f, 0), code);
        type(txt(f, 1), QStringLiteral("Aliquota"));
        txt(f, 2)->setFocus();
        txt(f, 2)->selectAll();
        QTest::keyClicks(txt(f, 2), QString::fromLatin1(c.typed));
        EXPECT_EQ(txt(f, 2)->text(), QString::fromLatin1(c.shown));
        QTest::keyClick(txt(f, 2), Qt::Key_Tab);
        EXPECT_EQ(txt(f, 2)->hasFocus(), !stored);
        click(button(f, "cmdSalva"));
        settle();
        EXPECT_EQ(frm_io_IVA::exists(), !stored);
        if (frm_io_IVA::exists())
            click(button(f, "cmdAnnulla"));
        settle();
        const core::Variant rate = scalar(QStringLiteral("SELECT cdiValore FROM CodiciIVA WHERE cdiCodice='%1'").arg(code));
        if (stored)
            EXPECT_DOUBLE_EQ(rate.toDouble(), *c.value);
        else
            EXPECT_TRUE(rate.isEmptyOrNull());
    }
}
