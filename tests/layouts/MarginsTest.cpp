#include "LayoutsFixture.h"
#include "support/RefusedKeys.h"

#include "layouts/finfrmMargini.h"
#include "platform/ui/MsgBoxStyle.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {

class MarginsTest : public LayoutsFixture {
protected:
    static QLineEdit* box(QWidget* f, int i) { return child<QLineEdit>(f, QStringLiteral("txtmar(%1)").arg(i)); }
    static QPushButton* button(QWidget* f, const char* name) { return child<QPushButton>(f, QString::fromLatin1(name)); }
    static void retype(QWidget* f, int i, const QString& text)
    {
        box(f, i)->setFocus();
        box(f, i)->selectAll();
        QTest::keyClick(box(f, i), Qt::Key_Backspace);
        QTest::keyClicks(box(f, i), text);
    }
};

} // namespace

TEST_F(MarginsTest, ShowsWholeMillimetresAndReturnsTwips)
{
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Margini"));
        EXPECT_EQ(box(f, 0)->text(), QStringLiteral("15")); // 850 twips
        EXPECT_EQ(box(f, 1)->text(), QStringLiteral("25")); // 1440 twips
        EXPECT_EQ(box(f, 2)->text(), QStringLiteral("0"));
        EXPECT_EQ(box(f, 3)->text(), QStringLiteral("10"));
        EXPECT_EQ(child<QWidget>(f, QStringLiteral("Label1(1)"))->property("text").toString(),
                  QStringLiteral("Margine sinistro"));
        click(button(f, "cmdOK"));
        EXPECT_FALSE(f->isVisible());
    });
    const finfrmMargini::Risultato r = finfrmMargini::Apri(850, 1440, 0, 567);
    EXPECT_TRUE(r[0].toBool());
    EXPECT_EQ(r[1].toLong(), 850);
    EXPECT_EQ(r[2].toLong(), 1417) << "25 mm, not the 1440 twips it came from";
    EXPECT_EQ(r[3].toLong(), 0);
    EXPECT_EQ(r[4].toLong(), 567);
}

TEST_F(MarginsTest, OnlyDigitsGoInAndEnterMovesToTheNextBox)
{
    m_dialogs.answerModal([](QWidget* f) {
        box(f, 1)->setFocus();
        EXPECT_EQ(box(f, 1)->selectedText(), QStringLiteral("25")) << "the whole text is selected on entry";
        QTest::keyClicks(box(f, 1), QStringLiteral("a-1,.2 x"));
        EXPECT_EQ(box(f, 1)->text(), QStringLiteral("12"));
        QGuiApplication::clipboard()->setText(QStringLiteral("-3,5"));
        box(f, 1)->paste();
        EXPECT_EQ(box(f, 1)->text(), QStringLiteral("1235")) << "a paste meets the same filter";
        retype(f, 1, QStringLiteral("30"));
        QTest::keyClick(box(f, 1), Qt::Key_Return);
        EXPECT_TRUE(f->isVisible()) << "Enter does not confirm";
        EXPECT_TRUE(box(f, 2)->hasFocus());
        // An empty box cannot be left.
        retype(f, 2, QString());
        QTest::keyClick(box(f, 2), Qt::Key_Tab);
        EXPECT_TRUE(box(f, 2)->hasFocus());
        QTest::keyClicks(box(f, 2), QStringLiteral("5"));
        click(button(f, "cmdOK"));
    });
    const finfrmMargini::Risultato r = finfrmMargini::Apri(850, 1440, 0, 567);
    EXPECT_TRUE(r[0].toBool());
    EXPECT_EQ(r[2].toLong(), 1700); // 30 mm
    EXPECT_EQ(r[3].toLong(), 283);  // 5 mm
}

TEST_F(MarginsTest, MarginsThatDoNotFitThePageAreRefusedAndTheDialogStays)
{
    const QString largo = QStringLiteral("Ogni margine deve essere compreso tra 0 e 200 millimetri.");
    const QString orizzontali =
        QStringLiteral("I margini sinistro e destro insieme devono essere minori della larghezza della pagina (210 mm).");
    const QString verticali =
        QStringLiteral("I margini superiore e inferiore insieme devono essere minori dell'altezza della pagina (297 mm).");
    for (int i = 0; i < 3; ++i)
        m_dialogs.answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([](QWidget* f) {
        retype(f, 0, QStringLiteral("99999999999")); // far more than any margin: held to six digits, then refused
        click(button(f, "cmdOK"));
        EXPECT_TRUE(f->isVisible());
        retype(f, 0, QStringLiteral("200"));
        retype(f, 1, QStringLiteral("10"));
        click(button(f, "cmdOK"));
        EXPECT_TRUE(f->isVisible());
        retype(f, 1, QStringLiteral("9"));
        retype(f, 2, QStringLiteral("200"));
        retype(f, 3, QStringLiteral("97"));
        click(button(f, "cmdOK"));
        EXPECT_TRUE(f->isVisible());
        retype(f, 3, QStringLiteral("96"));
        click(button(f, "cmdOK"));
    });
    const finfrmMargini::Risultato r = finfrmMargini::Apri(0, 0, 0, 0);
    EXPECT_EQ(m_dialogs.messages(), (QStringList{largo, orizzontali, verticali}));
    EXPECT_TRUE(r[0].toBool());
    EXPECT_EQ(r[1].toLong(), 11335);
    EXPECT_EQ(r[2].toLong(), 510);
}

TEST_F(MarginsTest, AnnullaEscAndTheCloseBoxConfirmNothing)
{
    m_dialogs.answerModal([](QWidget* f) {
        retype(f, 0, QStringLiteral("40"));
        click(button(f, "cmdCancel"));
    });
    m_dialogs.answerModal([](QWidget* f) {
        retype(f, 0, QStringLiteral("40"));
        QTest::keyClick(box(f, 0), Qt::Key_Escape);
        EXPECT_FALSE(f->isVisible());
    });
    m_dialogs.answerModal([](QWidget* f) {
        retype(f, 0, QStringLiteral("40"));
        f->close();
        EXPECT_FALSE(f->isVisible());
    });
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(finfrmMargini::Apri(850, 1440, 0, 567)[0].toBool()) << i;
}

TEST_F(MarginsTest, ARefusedKeyLeavesTheMarginAsItWas)
{
    m_dialogs.answerModal([](QWidget* f) {
        for (int i = 0; i < 4; ++i)
            expectRefusedKeysChangeNothing(box(f, i), QStringLiteral("a-,. "));
        click(button(f, "cmdCancel"));
    });
    finfrmMargini::Apri(850, 1440, 0, 567);
}
