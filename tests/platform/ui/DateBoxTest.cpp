// The date box: typed dates, the refusal of impossible ones, the calendar and
// the arrows, driven with keys and clicks as a user would.
#include "support/TestApplication.h"

#include "platform/ui/DateBox.h"
#include "platform/ui/EnterAsTab.h"
#include "platform/ui/MsgBoxStyle.h"
#include "platform/ui/ScopedDialogHandler.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

using namespace ui;

namespace {

// A date box between two text boxes, in a window of its own.
struct DateForm {
    QDialog window;
    QLineEdit* before = new QLineEdit(&window);
    DateBox* dtp = new DateBox(&window);
    QLineEdit* after = new QLineEdit(&window);

    DateForm()
    {
        before->setObjectName(QStringLiteral("before"));
        dtp->setObjectName(QStringLiteral("dtp"));
        after->setObjectName(QStringLiteral("after"));
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(dtp);
        layout->addWidget(after);
        dtp->setDate(QDate(2026, 1, 10));
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // Replaces the box's text by typing and leaves it with Tab.
    void typeAndLeave(const QString& text)
    {
        dtp->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        dtp->selectAll();
        QTest::keyClick(dtp, Qt::Key_Delete);
        QTest::keyClicks(dtp, text);
        QTest::keyClick(dtp, Qt::Key_Tab);
        QApplication::processEvents(); // a refusal speaks once the focus has settled
    }

    QString focused() const
    {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }
};

class DateBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bareTestApplication();
        form = std::make_unique<DateForm>();
    }
    void TearDown() override { EXPECT_TRUE(dialogs.unexpected().isEmpty()) << dialogs.unexpected().join('\n').toStdString(); }

    ScriptedDialogs dialogs;
    ScopedDialogHandler scope{dialogs};
    std::unique_ptr<DateForm> form;
};

} // namespace

TEST_F(DateBoxTest, TypedDatesInEveryUsualFormAreTaken)
{
    const struct {
        const char* typed;
        QDate expected;
    } cases[] = {
        {"15/03/2026", QDate(2026, 3, 15)},
        {"15032026", QDate(2026, 3, 15)},
        {"15/3/26", QDate(2026, 3, 15)},
        {"150326", QDate(2026, 3, 15)},
        {"1-2-2027", QDate(2027, 2, 1)},
        {"1.2.27", QDate(2027, 2, 1)},
        {"31/12/29", QDate(2029, 12, 31)}, // the two-digit window: 00-29 are 20xx
        {"1/1/30", QDate(1930, 1, 1)},     // and 30-99 are 19xx
        {"29/02/2024", QDate(2024, 2, 29)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        form->dtp->setDate(QDate(2026, 1, 10));
        QSignalSpy edited(form->dtp, &DateBox::dateEdited);
        form->typeAndLeave(QString::fromLatin1(c.typed));
        EXPECT_EQ(form->dtp->date(), c.expected);
        EXPECT_EQ(form->dtp->text(), c.expected.toString(QStringLiteral("dd/MM/yyyy")));
        EXPECT_EQ(edited.size(), 1);
        EXPECT_EQ(form->focused(), QStringLiteral("after"));
    }
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(DateBoxTest, AnImpossibleDateIsRefusedAloudAndTheLastDateStays)
{
    const struct {
        const char* typed;
        const char* says;
    } cases[] = {
        {"31/02/2026", "febbraio 2026 ha 28 giorni"},
        {"29/02/2025", "febbraio 2025 ha 28 giorni"},
        {"31/04/26", "aprile 2026 ha 30 giorni"},
        {"15/13/2026", "i mesi vanno da 1 a 12"},
        {"00/01/2026", "gennaio 2026 ha 31 giorni"},
        {"1503202", "non è una data"},
        {"15/03", "non è una data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        dialogs.clear();
        dialogs.answerMessageBox(vbOK);
        QSignalSpy edited(form->dtp, &DateBox::dateEdited);
        QSignalSpy refused(form->dtp, &DateBox::dateRefused);
        form->typeAndLeave(QString::fromLatin1(c.typed));
        EXPECT_EQ(form->dtp->date(), QDate(2026, 1, 10));
        EXPECT_EQ(form->dtp->text(), QStringLiteral("10/01/2026"));
        EXPECT_EQ(edited.size(), 0);
        ASSERT_EQ(refused.size(), 1);
        EXPECT_EQ(refused.first().at(0).toString(), QString::fromLatin1(c.typed));
        ASSERT_EQ(dialogs.messages().size(), 1);
        const QString message = dialogs.messages().first();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.says))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("Resta la data 10/01/2026"))) << message.toStdString();
        EXPECT_EQ(dialogs.requests().first().style & vbIconMask, vbExclamation);
        // Back in the box, to be typed again.
        EXPECT_EQ(form->focused(), QStringLiteral("dtp"));
    }
}

TEST_F(DateBoxTest, OnlyDigitsAndSeparatorsGetIn)
{
    form->dtp->setFocus();
    form->dtp->selectAll();
    QTest::keyClicks(form->dtp, QStringLiteral("1x5/0a3/2026"));
    EXPECT_EQ(form->dtp->text(), QStringLiteral("15/03/2026"));
    form->dtp->selectAll();
    form->dtp->insert(QStringLiteral("15 marzo 2026")); // a paste of other text is refused whole
    EXPECT_EQ(form->dtp->text(), QStringLiteral("15/03/2026"));
    form->dtp->insert(QString(QChar(0)));
    EXPECT_EQ(form->dtp->text(), QStringLiteral("15/03/2026"));
}

TEST_F(DateBoxTest, EnterTakesTheDateAndARefusedOneGoesNoFurther)
{
    // In a dialog Enter would reach the default button: not with a refused date.
    auto* ok = new QPushButton(QStringLiteral("OK"), &form->window);
    ok->setDefault(true);
    form->window.layout()->addWidget(ok);
    ok->show();
    QSignalSpy pressed(ok, &QPushButton::clicked);

    form->dtp->setFocus();
    form->dtp->selectAll();
    QTest::keyClicks(form->dtp, QStringLiteral("31/02/2026"));
    dialogs.answerMessageBox(vbOK);
    QTest::keyClick(form->dtp, Qt::Key_Return);
    EXPECT_EQ(form->dtp->date(), QDate(2026, 1, 10));
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(pressed.size(), 0);

    form->dtp->selectAll();
    QTest::keyClicks(form->dtp, QStringLiteral("28022026"));
    QTest::keyClick(form->dtp, Qt::Key_Return);
    EXPECT_EQ(form->dtp->date(), QDate(2026, 2, 28));
    EXPECT_EQ(pressed.size(), 1);
}

TEST_F(DateBoxTest, EnterAsTabOnDatePickersTakesTheDateAndMovesOn)
{
    installEnterAsTab(&form->window, EnterOnTextBoxes | EnterOnSpinBoxes);
    form->dtp->setFocus();
    form->dtp->selectAll();
    QTest::keyClicks(form->dtp, QStringLiteral("15/3/26"));
    QTest::keyClick(form->dtp, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(form->dtp->date(), QDate(2026, 3, 15));
    EXPECT_EQ(form->focused(), QStringLiteral("after"));
}

TEST_F(DateBoxTest, EmptyingTheBoxMeansNoDateOnlyWhereAllowed)
{
    dialogs.answerMessageBox(vbOK);
    form->typeAndLeave(QString());
    EXPECT_EQ(form->dtp->date(), QDate(2026, 1, 10));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("non può restare vuota")));

    form->dtp->setNullable(true);
    QSignalSpy edited(form->dtp, &DateBox::dateEdited);
    form->typeAndLeave(QString());
    EXPECT_TRUE(form->dtp->isNull());
    EXPECT_EQ(form->dtp->text(), QString());
    EXPECT_EQ(edited.size(), 1);

    form->dtp->setDate(QDate(2026, 5, 1));
    form->dtp->setDate(QDate()); // the program may always set "no date"
    EXPECT_TRUE(form->dtp->isNull());
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST_F(DateBoxTest, ADateOutOfTheRangeIsRefused)
{
    form->dtp->setDateRange(QDate(2026, 1, 1), QDate(2026, 12, 31));
    dialogs.answerMessageBox(vbOK);
    form->typeAndLeave(QStringLiteral("01/01/2027"));
    EXPECT_EQ(form->dtp->date(), QDate(2026, 1, 10));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("dal 01/01/2026 al 31/12/2026")));
}

TEST_F(DateBoxTest, ArrowsStepThePartUnderTheCaret)
{
    const struct {
        int cursor;
        Qt::Key key;
        QDate from;
        QDate expected;
    } cases[] = {
        {1, Qt::Key_Up, QDate(2026, 1, 31), QDate(2026, 2, 1)},
        {0, Qt::Key_Down, QDate(2026, 3, 1), QDate(2026, 2, 28)},
        {4, Qt::Key_Up, QDate(2026, 1, 31), QDate(2026, 2, 28)},
        {8, Qt::Key_Down, QDate(2024, 2, 29), QDate(2023, 2, 28)},
    };
    for (const auto& c : cases) {
        form->dtp->setDate(c.from);
        form->dtp->setFocus();
        form->dtp->setCursorPosition(c.cursor);
        QSignalSpy edited(form->dtp, &DateBox::dateEdited);
        QTest::keyClick(form->dtp, c.key);
        EXPECT_EQ(form->dtp->date(), c.expected) << c.cursor;
        EXPECT_EQ(edited.size(), 1);
    }
}

TEST_F(DateBoxTest, TheCalendarOpensOnTheDateAndAPickIsTaken)
{
    form->dtp->setFocus();
    QTest::keyClick(form->dtp, Qt::Key_F4);
    ASSERT_TRUE(form->dtp->isCalendarVisible());
    QCalendarWidget* calendar = form->dtp->calendarWidget();
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 1, 10));
    QTest::keyClick(calendar, Qt::Key_Escape);
    EXPECT_FALSE(form->dtp->isCalendarVisible());
    EXPECT_EQ(form->dtp->date(), QDate(2026, 1, 10));

    // Alt+Down too; the arrows then Enter pick a day as in any calendar.
    form->dtp->setFocus();
    QTest::keyClick(form->dtp, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(form->dtp->isCalendarVisible());
    QSignalSpy edited(form->dtp, &DateBox::dateEdited);
    auto* days = calendar->findChild<QTableView*>();
    ASSERT_NE(days, nullptr);
    QTest::keyClick(days, Qt::Key_Right);
    QTest::keyClick(days, Qt::Key_Return);
    EXPECT_FALSE(form->dtp->isCalendarVisible());
    EXPECT_EQ(form->dtp->date(), QDate(2026, 1, 11));
    EXPECT_EQ(edited.size(), 1);
    EXPECT_EQ(form->focused(), QStringLiteral("dtp"));

    // The button opens it on what has been typed, when that is a date.
    form->dtp->selectAll();
    QTest::keyClicks(form->dtp, QStringLiteral("20/06/2026"));
    form->dtp->findChild<QAction*>(QStringLiteral("calendarButton"))->trigger();
    ASSERT_TRUE(form->dtp->isCalendarVisible());
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 6, 20));
    form->dtp->findChild<QPushButton*>(QStringLiteral("cmdOggi"))->click();
    EXPECT_FALSE(form->dtp->isCalendarVisible());
    EXPECT_EQ(form->dtp->date(), QDate::currentDate());
}

TEST_F(DateBoxTest, LeavingTheWindowWhileTypingSaysNothingOnceItIsClosed)
{
    form->dtp->setFocus();
    form->dtp->selectAll();
    QTest::keyClicks(form->dtp, QStringLiteral("31/02/2026"));
    form->after->setFocus(); // the pointer on the window's cancel button
    form->window.hide();
    QApplication::processEvents();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(form->dtp->date(), QDate(2026, 1, 10));
}

TEST_F(DateBoxTest, ARefusalIsToldEvenWhenTheFormShowsItsDateAgainMeanwhile)
{
    // A form that refreshes its bound controls whenever the focus moves.
    QObject::connect(qApp, &QApplication::focusChanged, form->dtp, [this] { form->dtp->setDate(form->dtp->date()); });
    dialogs.answerMessageBox(vbOK);
    form->typeAndLeave(QStringLiteral("31/02/2026"));
    EXPECT_EQ(form->dtp->date(), QDate(2026, 1, 10));
    EXPECT_EQ(dialogs.messages().size(), 1);
}
