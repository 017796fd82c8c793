// The agreed-amount dialog on its own: what each text gives back, and every
// way of leaving it.
#include "documents/frm_Pattuito.h"
#include "platform/ui/MsgBoxStyle.h"
#include "support/ProgramFixture.h"
#include "support/Money.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class AgreedAmountDialogTest : public ProgramFixture {
protected:
    // Opens the dialog and runs `drive` on it; what Apri returned.
    std::optional<core::Currency> run(std::function<void(QWidget*)> drive)
    {
        m_dialogs.answerModal(std::move(drive));
        return frm_Pattuito::Apri();
    }
    static QLineEdit* box(QWidget* w) { return w->findChild<QLineEdit*>(QStringLiteral("txtData")); }
    static QPushButton* button(QWidget* w, const char* name) { return w->findChild<QPushButton*>(QLatin1String(name)); }
};

} // namespace

TEST_F(AgreedAmountDialogTest, TheTypedTextIsReadTheItalianWay)
{
    struct Case {
        const char* typed; // nullptr: the proposed text as it stands
        bool byEnter;
        const char* amount;
    };
    const Case cases[] = {
        {"1250,5", true, "1250.5"},
        {"1250,505", true, "1250.505"},
        {"1.250,50", false, "1250.5"},
        {"1.250", true, "1250"}, // a point before three digits groups thousands
        {"12.5", false, "12.5"}, // any other point is the comma
        {" 7 ", true, "7"},
        {"999.999.999,99", false, "999999999.99"}, // the largest a layout prints
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed ? c.typed : "(proposed)");
        const std::optional<core::Currency> result = run([&](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), QStringLiteral("Importo pattuito"));
            EXPECT_EQ(box(w)->text(), QStringLiteral("0,0"));
            EXPECT_EQ(box(w)->selectedText(), QStringLiteral("0,0")); // typing replaces it
            if (c.typed)
                QTest::keyClicks(box(w), QString::fromLatin1(c.typed));
            if (c.byEnter)
                QTest::keyClick(box(w), Qt::Key_Return);
            else
                QTest::mouseClick(button(w, "cmdOK"), Qt::LeftButton);
        });
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(*result, money(c.amount));
    }
}

TEST_F(AgreedAmountDialogTest, AnnullaEscAndTheCloseButtonCancel)
{
    const std::function<void(QWidget*)> ways[] = {
        [](QWidget* w) { QTest::mouseClick(button(w, "cmdCancel"), Qt::LeftButton); },
        [](QWidget* w) { QTest::keyClick(box(w), Qt::Key_Escape); },
        [](QWidget* w) { w->close(); },
    };
    for (const auto& way : ways) {
        const std::optional<core::Currency> result = run([&](QWidget* w) {
            QTest::keyClicks(box(w), QStringLiteral("500"));
            way(w);
            EXPECT_FALSE(w->isVisible());
        });
        EXPECT_FALSE(result.has_value());
    }
}

TEST_F(AgreedAmountDialogTest, ATextThatIsNoAmountIsRefusedAndTheDialogStays)
{
    struct Case {
        const char* typed;
        const char* says; // why, in the message
    };
    // Not amounts, and amounts no document takes: nothing or less (the proposed
    // 0,0 too, and -1, which is no cancel), and more than a layout prints.
    const char* notAnAmount = "non è un importo";
    const char* notPositive = "maggiore di zero";
    const char* tooLarge = "non può superare 999.999.999,99";
    const Case cases[] = {
        {"abc", notAnAmount},          {"", notAnAmount},           {"1.20,5", notAnAmount},
        {"12,3,4", notAnAmount},       {"-", notAnAmount},          {"1e400", notAnAmount},
        {"0,0", notPositive},          {"0", notPositive},          {"-1", notPositive},
        {"-0,01", notPositive},        {"999.999.999,991", tooLarge}, {"1.000.000.000", tooLarge},
        {"99999999999999", tooLarge},
    };
    for (const Case& c : cases) {
        const char* bad = c.typed;
        SCOPED_TRACE(bad);
        m_dialogs.answerMessageBox(ui::vbOK);
        const std::optional<core::Currency> result = run([&](QWidget* w) {
            box(w)->clear();
            QTest::keyClicks(box(w), QString::fromLatin1(bad));
            QTest::mouseClick(button(w, "cmdOK"), Qt::LeftButton);
            EXPECT_TRUE(w->isVisible());
            EXPECT_EQ(box(w)->selectedText(), QString::fromLatin1(bad)); // ready to be typed over
            QTest::keyClicks(box(w), QStringLiteral("10"));
            QTest::keyClick(box(w), Qt::Key_Return);
        });
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_TRUE(m_dialogs.messages().first().contains(QString::fromUtf8(c.says)))
            << m_dialogs.messages().first().toStdString();
        restartDialogs();
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(*result, money("10"));
    }
}
