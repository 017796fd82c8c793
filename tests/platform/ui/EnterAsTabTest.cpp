#include "support/TestApplication.h"
#include "support/TestWindow.h"

#include "platform/ui/EnterAsTab.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace ui;

namespace {

// A form whose tab order is the order of its controls.
struct Form : TestWindow {
    QLineEdit* txt0 = add<QLineEdit>("txt0");
    QCheckBox* chk = add<QCheckBox>("chk");
    QLineEdit* txt1 = add<QLineEdit>("txt1");
    QComboBox* cmb = add<QComboBox>("cmb");
    QPlainTextEdit* note = add<QPlainTextEdit>("note");
    QDateEdit* dtp = add<QDateEdit>("dtp");
    QPushButton* cmd = add<QPushButton>("cmd");
    QLineEdit* txt2 = add<QLineEdit>("txt2");

    Form() : TestWindow(Qt::StrongFocus)
    {
        cmb->addItems({QStringLiteral("uno"), QStringLiteral("due")});
        showActive();
    }

    QString pressIn(QWidget* start, Qt::Key key = Qt::Key_Return, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        start->setFocus();
        QApplication::processEvents();
        QTest::keyClick(start, key, mods);
        return focused();
    }
};

class EnterAsTab : public ::testing::Test {
protected:
    void SetUp() override
    {
        bareTestApplication();
        form = std::make_unique<Form>();
    }
    std::unique_ptr<Form> form;
};

} // namespace

TEST_F(EnterAsTab, EnterMovesLikeTabOnTheChosenKindsOnly)
{
    installEnterAsTab(&form->window); // text boxes and check boxes
    const struct {
        QWidget* start;
        Qt::Key key;
        const char* expected;
    } cases[] = {
        {form->txt0, Qt::Key_Return, "chk"},
        {form->chk, Qt::Key_Return, "txt1"},
        {form->txt1, Qt::Key_Enter, "cmb"}, // keypad Enter too
        {form->cmb, Qt::Key_Return, "cmb"}, // combos not chosen by this form
        {form->dtp, Qt::Key_Return, "dtp"},
        {form->cmd, Qt::Key_Return, "cmd"}, // buttons keep their own Enter
        {form->txt2, Qt::Key_Return, "txt0"}, // wraps like Tab
    };
    for (const auto& c : cases)
        EXPECT_EQ(form->pressIn(c.start, c.key), QString::fromLatin1(c.expected)) << c.start->objectName().toStdString();
    EXPECT_FALSE(form->chk->isChecked()); // Enter did not toggle it
}

TEST_F(EnterAsTab, MultiLineBoxMovesOnPlainEnterAndKeepsCtrlEnterAsLineBreak)
{
    installEnterAsTab(&form->window, EnterOnTextBoxes);
    form->note->setPlainText(QStringLiteral("riga"));
    form->note->moveCursor(QTextCursor::End);

    EXPECT_EQ(form->pressIn(form->note), QStringLiteral("dtp"));
    EXPECT_EQ(form->note->toPlainText(), QStringLiteral("riga"));

    form->note->moveCursor(QTextCursor::End);
    EXPECT_EQ(form->pressIn(form->note, Qt::Key_Return, Qt::ControlModifier), QStringLiteral("note"));
    QTest::keyClicks(form->note, QStringLiteral("due"));
    EXPECT_EQ(form->note->toPlainText(), QStringLiteral("riga\ndue"));

    EXPECT_EQ(form->pressIn(form->chk), QStringLiteral("chk")); // check boxes not chosen here
}

TEST_F(EnterAsTab, CombosAndDatePickersWhenChosen)
{
    installEnterAsTab(&form->window, EnterOnTextBoxes | EnterOnComboBoxes | EnterOnSpinBoxes);
    EXPECT_EQ(form->pressIn(form->cmb), QStringLiteral("note"));
    EXPECT_EQ(form->pressIn(form->dtp), QStringLiteral("cmd"));

    form->cmb->setEditable(true); // the combo's own editor counts as the combo
    EXPECT_EQ(form->pressIn(form->cmb), QStringLiteral("note"));
}

TEST_F(EnterAsTab, InstallingTwiceDoesNotSkipAControl)
{
    installEnterAsTab(&form->window);
    installEnterAsTab(&form->window);
    EXPECT_EQ(form->pressIn(form->txt0), QStringLiteral("chk"));
}

TEST_F(EnterAsTab, OtherWindowsAreNotAffected)
{
    installEnterAsTab(&form->window);
    Form other;
    EXPECT_EQ(other.pressIn(other.txt0), QStringLiteral("txt0"));
}
