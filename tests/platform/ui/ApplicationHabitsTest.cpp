// The habits every window shares once the application is set up: Enter on a
// focused button, type-to-find in drop-down lists, no U+0000 in text boxes.
#include "support/TestApplication.h"
#include "support/TestWindow.h"

#include "platform/ui/ApplicationHabits.h"
#include "platform/ui/ComboSearch.h"
#include "platform/ui/EnterAsTab.h"
#include "platform/ui/TextInput.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolTip>
#include <QTest>
#include <QValidator>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace ui;

namespace {

// How long the text is once its line breaks are blanks (CR LF one blank).
qsizetype asOneLineLength(const QString& text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")).size();
}

// Every control takes the focus from a click as from Tab.
struct Window : TestWindow {
    QLineEdit* txt = add<QLineEdit>("txt");
    QComboBox* cmb = add<QComboBox>("cmb");
    QCheckBox* chk = add<QCheckBox>("chk");
    QPushButton* cmdSalva = add<QPushButton>("cmdSalva");
    QPushButton* cmdAnnulla = add<QPushButton>("cmdAnnulla");
    QLineEdit* last = add<QLineEdit>("last");

    Window() : TestWindow(Qt::StrongFocus)
    {
        cmb->addItems({QStringLiteral("Rossi Mario"), QStringLiteral("Studio Associato"),
                       QStringLiteral("Studio Bianchi"), QStringLiteral("Studio Bianchi & C."),
                       QStringLiteral("Verdi")});
        showActive();
    }
};

class ApplicationHabits : public ::testing::Test {
protected:
    void SetUp() override
    {
        installApplicationHabits(bareTestApplication());
        w = std::make_unique<Window>();
    }
    void TearDown() override { ComboSearch::setPause(1500); }
    std::unique_ptr<Window> w;
};

} // namespace

TEST_F(ApplicationHabits, EnterOnAFocusedButtonPressesIt)
{
    QSignalSpy salva(w->cmdSalva, &QPushButton::clicked);
    QSignalSpy annulla(w->cmdAnnulla, &QPushButton::clicked);
    w->cmdSalva->setFocus();
    QTest::keyClick(w->cmdSalva, Qt::Key_Return);
    EXPECT_EQ(salva.size(), 1);
    QTest::keyClick(w->cmdSalva, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(salva.size(), 2);
    EXPECT_EQ(annulla.size(), 0);

    // Enter in a text box presses no button.
    w->txt->setFocus();
    QTest::keyClick(w->txt, Qt::Key_Return);
    EXPECT_EQ(salva.size(), 2);

    // Ctrl+Enter is not Enter.
    w->cmdSalva->setFocus();
    QTest::keyClick(w->cmdSalva, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(salva.size(), 2);
}

TEST_F(ApplicationHabits, EnterAsTabStaysOnTheControlsTheFormNames)
{
    installEnterAsTab(&w->window, EnterOnTextBoxes | EnterOnCheckBoxes | EnterOnComboBoxes);
    QSignalSpy salva(w->cmdSalva, &QPushButton::clicked);
    w->chk->setFocus();
    QTest::keyClick(w->chk, Qt::Key_Return);
    EXPECT_FALSE(w->chk->isChecked());
    EXPECT_EQ(w->focused(), QStringLiteral("cmdSalva"));
    EXPECT_EQ(salva.size(), 0);
    QTest::keyClick(w->cmdSalva, Qt::Key_Return);
    EXPECT_EQ(salva.size(), 1);
    EXPECT_EQ(w->focused(), QStringLiteral("cmdSalva"));
}

// Types as a keyboard does: a capital comes after a press of Shift alone (a
// key event with no text) and before its release; AltGr and Caps Lock alone too.
void typeLikeAKeyboard(QWidget* target, const QString& text)
{
    for (const QChar c : text) {
        const bool capital = c.isUpper();
        if (capital)
            QTest::keyPress(target, Qt::Key_Shift, Qt::ShiftModifier);
        QTest::keyClick(target, c.toLatin1(), capital ? Qt::ShiftModifier : Qt::NoModifier);
        if (capital)
            QTest::keyRelease(target, Qt::Key_Shift);
    }
}

TEST_F(ApplicationHabits, AModifierKeyAloneLeavesTheSearchAsItIs)
{
    w->cmb->clear();
    w->cmb->addItems({QStringLiteral("Studio Rossi"), QStringLiteral("Studio Bianchi"),
                      QStringLiteral("Studio Bellini"), QStringLiteral("Bianchi Mario")});
    w->cmb->setFocus();
    typeLikeAKeyboard(w->cmb, QStringLiteral("Studio Bianchi"));
    EXPECT_EQ(w->cmb->currentText(), QStringLiteral("Studio Bianchi"));
    EXPECT_EQ(ComboSearch::searchText(w->cmb), QStringLiteral("Studio Bianchi"));

    for (const Qt::Key alone : {Qt::Key_Control, Qt::Key_Alt, Qt::Key_AltGr, Qt::Key_CapsLock, Qt::Key_Meta,
                                Qt::Key_Super_L, Qt::Key_Shift}) {
        SCOPED_TRACE(alone);
        // Sent as events: Qt Test has no text for some of these keys.
        QKeyEvent press(QEvent::KeyPress, alone, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, alone, Qt::NoModifier);
        QApplication::sendEvent(w->cmb, &press);
        QApplication::sendEvent(w->cmb, &release);
        EXPECT_EQ(ComboSearch::searchText(w->cmb), QStringLiteral("Studio Bianchi"));
        EXPECT_EQ(w->cmb->currentText(), QStringLiteral("Studio Bianchi"));
    }
}

TEST_F(ApplicationHabits, TypingInADropDownSearchesSpacesIncludedAndNeverOpensIt)
{
    QSignalSpy chosen(w->cmb, &QComboBox::activated);
    w->cmb->setFocus();
    QTest::keyClicks(w->cmb, QStringLiteral("studio b"));
    EXPECT_EQ(w->cmb->currentText(), QStringLiteral("Studio Bianchi"));
    EXPECT_FALSE(w->cmb->view()->isVisible());
    EXPECT_GE(chosen.size(), 1);
    EXPECT_EQ(chosen.last().at(0).toInt(), 2);

    // Backspace takes a character back; a character no item goes on with changes nothing.
    QTest::keyClick(w->cmb, Qt::Key_Backspace);
    QTest::keyClicks(w->cmb, QStringLiteral("ax"));
    EXPECT_EQ(w->cmb->currentText(), QStringLiteral("Studio Associato"));
    EXPECT_EQ(ComboSearch::searchText(w->cmb), QStringLiteral("studio a"));

    // Tab leaves the combo as from any field.
    QTest::keyClick(w->cmb, Qt::Key_Tab);
    EXPECT_EQ(w->focused(), QStringLiteral("chk"));
}

TEST_F(ApplicationHabits, APauseStartsANewSearch)
{
    ComboSearch::setPause(50);
    w->cmb->setFocus();
    QTest::keyClicks(w->cmb, QStringLiteral("St"));
    EXPECT_EQ(w->cmb->currentText(), QStringLiteral("Studio Associato"));
    QTest::qWait(120);
    QTest::keyClicks(w->cmb, QStringLiteral("v"));
    EXPECT_EQ(w->cmb->currentText(), QStringLiteral("Verdi"));
}

TEST_F(ApplicationHabits, AModifierKeyAloneLeavesTheSearchAsItWas)
{
    // A keyboard sends each modifier as a key of its own, with no text: Shift
    // before a capital, Caps Lock, a Ctrl or Alt pressed and let go.
    const auto alone = [this](int key, Qt::KeyboardModifiers held, bool press) {
        QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, held);
        QApplication::sendEvent(w->cmb, &event);
    };
    const std::pair<int, Qt::KeyboardModifiers> modifiers[] = {
        {Qt::Key_Shift, Qt::ShiftModifier},     {Qt::Key_Shift, Qt::NoModifier},
        {Qt::Key_Control, Qt::ControlModifier}, {Qt::Key_Alt, Qt::AltModifier},
        {Qt::Key_AltGr, Qt::GroupSwitchModifier}, {Qt::Key_CapsLock, Qt::NoModifier},
        {Qt::Key_Meta, Qt::MetaModifier},       {Qt::Key_Super_L, Qt::MetaModifier},
    };
    for (const auto& [key, held] : modifiers) {
        w->cmb->setCurrentIndex(0);
        w->cmb->setFocus();
        QTest::keyClicks(w->cmb, QStringLiteral("studio "));
        alone(key, held, true);
        QTest::keyClick(w->cmb, 'B', held & Qt::ShiftModifier);
        alone(key, held, false);
        QTest::keyClick(w->cmb, 'i');
        EXPECT_EQ(w->cmb->currentText(), QStringLiteral("Studio Bianchi")) << key;
        EXPECT_EQ(ComboSearch::searchText(w->cmb), QStringLiteral("studio Bi")) << key;
        QTest::keyClick(w->cmb, Qt::Key_Escape); // ends the search for the next case
    }
}

TEST_F(ApplicationHabits, F4AndAltDownOpenTheList)
{
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_F4, Qt::KeyboardModifiers{}},
                                         std::pair{Qt::Key_Down, Qt::KeyboardModifiers{Qt::AltModifier}}}) {
        w->cmb->setFocus();
        QTest::keyClick(w->cmb, key, modifiers);
        EXPECT_TRUE(w->cmb->view()->isVisible()) << key;
        w->cmb->hidePopup();
    }
}

TEST_F(ApplicationHabits, TextBoxesLeaveNulOutOfTypedAndPastedText)
{
    const QString withNul = QStringLiteral("Studio") + QChar(0) + QStringLiteral(" Bianchi");
    w->txt->setFocus();
    w->txt->insert(withNul); // what a paste or a drop does
    EXPECT_EQ(w->txt->text(), QStringLiteral("Studio Bianchi"));

    auto* note = w->add<QPlainTextEdit>("note");
    note->show();
    note->insertPlainText(withNul);
    EXPECT_EQ(note->toPlainText(), QStringLiteral("Studio Bianchi"));

    // A box with a filter of its own keeps it.
    auto* digits = w->add<QLineEdit>("digits");
    auto* own = new QIntValidator(digits);
    digits->setValidator(own);
    digits->show();
    EXPECT_EQ(digits->validator(), own);
}

TEST_F(ApplicationHabits, OneLineBoxesKeepWhatTheyShowAndCutWholeCharacters)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString accent = QStringLiteral("e\u0301"); // e and its combining acute accent
    const struct {
        int limit;
        QString inserted;
        QString kept;
    } cases[] = {
        {0, QStringLiteral("Via Roma\n1"), QStringLiteral("Via Roma 1")},
        {0, QStringLiteral("a\r\nb\tc\u2029d"), QStringLiteral("a b c d")},
        {8, QStringLiteral("Studio") + emoji, QStringLiteral("Studio") + emoji},
        {7, QStringLiteral("Studio") + emoji, QStringLiteral("Studio")},
        {6, QStringLiteral("Studio") + emoji, QStringLiteral("Studio")},
        {4, QStringLiteral("Caf") + accent, QStringLiteral("Caf")},
        {3, QStringLiteral("ab\ncd"), QStringLiteral("ab ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inserted.toStdString() + " at " + std::to_string(c.limit));
        setTextLimit(w->txt, c.limit);
        w->txt->clear();
        w->txt->setFocus();
        w->txt->insert(c.inserted); // what a paste or a drop does
        EXPECT_EQ(w->txt->text(), c.kept);
        if (c.kept.size() < asOneLineLength(c.inserted)) {
            EXPECT_TRUE(QToolTip::isVisible());
            EXPECT_EQ(QToolTip::text(), cutHint(c.limit));
        }
    }
    // The program's own text is never the user's to cut.
    setTextLimit(w->txt, 3);
    w->txt->setText(QStringLiteral("Studio Bianchi"));
    EXPECT_EQ(w->txt->text(), QStringLiteral("Studio Bianchi"));

    // A note keeps its line breaks and meets its limit the same way.
    auto* note = w->add<QPlainTextEdit>("limited");
    setTextLimit(note, 5);
    note->show();
    note->setFocus();
    note->insertPlainText(QStringLiteral("ab\ncd") + emoji);
    EXPECT_EQ(note->toPlainText(), QStringLiteral("ab\ncd"));
    EXPECT_EQ(QToolTip::text(), cutHint(5));
}
