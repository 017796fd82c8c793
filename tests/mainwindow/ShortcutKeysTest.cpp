// Ctrl+letter with a document editor already open: the command runs once,
// and nothing touches an editor that closed meanwhile.
#include "mainwindow/MainWindowFixture.h"

#include "documents/frm_fattura.h"
#include "mainwindow/frmMain.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/MsgBoxStyle.h"
#include "platform/ui/ScopedDialogHandler.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <functional>

namespace {

const QString kGiaAperto = QStringLiteral("Un documento è già aperto: salvarlo o annullarlo prima di aprirne un altro.");

// The scripted answers, with something done while a message waits for its
// answer, as a real box lets the events of the program run meanwhile.
class WhileShown : public ui::DialogHandler {
public:
    WhileShown(ui::DialogHandler& inner, std::function<void()> meanwhile)
        : m_inner(inner), m_meanwhile(std::move(meanwhile))
    {
    }
    int messageBox(const QString& prompt, int style, const QString& title) override
    {
        if (m_meanwhile)
            m_meanwhile();
        return m_inner.messageBox(prompt, style, title);
    }
    QString inputBox(const QString& p, const QString& t, const QString& d) override { return m_inner.inputBox(p, t, d); }
    QString openFileName(const ui::FileDialogOptions& o) override { return m_inner.openFileName(o); }
    QString saveFileName(const ui::FileDialogOptions& o) override { return m_inner.saveFileName(o); }
    QString folder(const QString& t) override { return m_inner.folder(t); }
    int execModal(QDialog* d) override { return m_inner.execModal(d); }
    void showModal(QWidget* w) override { m_inner.showModal(w); }

private:
    ui::DialogHandler& m_inner;
    std::function<void()> m_meanwhile;
};

class ShortcutKeysTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        // The editor itself opens; every other window is only recorded.
        frmMain::setFormOpener([this](const QString& call) {
            m_calls << call;
            return !call.startsWith(QLatin1String("frm_fattura"));
        });
        open();
    }

    // A key pressed as a keyboard does (Ctrl first, alone), into the control
    // that has the focus in the main window (the window itself when none has).
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        QApplication::setActiveWindow(m_main);
        QWidget* focus = m_main->focusWidget();
        QWidget* target = focus ? focus : m_main;
        if (modifiers & Qt::ControlModifier)
            QTest::keyPress(target, Qt::Key_Control, Qt::ControlModifier);
        QTest::keyPress(target, key, modifiers);
        QTest::keyRelease(target, key, modifiers);
        if (modifiers & Qt::ControlModifier)
            QTest::keyRelease(target, Qt::Key_Control);
    }
    void ctrlF() { press(Qt::Key_F, Qt::ControlModifier); }
};

} // namespace

TEST_F(ShortcutKeysTest, CtrlLetterRunsItsCommandOnceWhereverTheFocusIs)
{
    struct Case {
        const char* where;
        std::function<void()> focus;
        bool focusLostMeanwhile; // the platform takes the focus away while the message shows
        Qt::Key key = Qt::Key_F;
        Qt::KeyboardModifiers modifiers = Qt::ControlModifier;
    };
    const auto findBox = [this] { child(QStringLiteral("txtFind"))->setFocus(); };
    const auto list = [this] { grid()->view()->setFocus(); };
    const Case cases[] = {
        {"find box", findBox, false},
        {"find box, focus lost", findBox, true},
        {"list", list, false},
        {"list, focus lost", list, true},
        {"no control", [this] { if (QWidget* f = m_main->focusWidget()) f->clearFocus(); }, false},
        // The menu's own shortcut for a new item of the current view.
        {"F5 in the find box", findBox, true, Qt::Key_F5, Qt::NoModifier},
        {"F5 in the list", list, true, Qt::Key_F5, Qt::NoModifier},
    };
    clickViewBar(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        c.focus();
        // Opening the editor installs filters of its own while the key is on its way.
        press(c.key, c.modifiers);
        ASSERT_TRUE(frm_fattura::IsLoaded());
        EXPECT_TRUE(m_dialogs.messages().isEmpty());

        WhileShown meanwhile(m_dialogs, [&] {
            if (c.focusLostMeanwhile)
                QApplication::setActiveWindow(nullptr);
        });
        ui::ScopedDialogHandler scope(meanwhile);
        c.focus();
        m_dialogs.answerMessageBox(ui::vbOK);
        press(c.key, c.modifiers);
        EXPECT_EQ(m_dialogs.messages(), QStringList{kGiaAperto});
        restartDialogs();
        frm_fattura::current()->findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(frm_fattura::IsLoaded());
    }
}

TEST_F(ShortcutKeysTest, AnEditorClosedWhileTheMessageShowsIsLeftAlone)
{
    clickViewBar(1);
    child(QStringLiteral("txtFind"))->setFocus();
    ctrlF();
    QPointer<frm_fattura> editor = frm_fattura::current();
    ASSERT_TRUE(editor);

    // While the message waits, the user closes the editor and it is deleted.
    WhileShown meanwhile(m_dialogs, [&] {
        editor->findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    {
        ui::ScopedDialogHandler scope(meanwhile);
        m_dialogs.answerMessageBox(ui::vbOK);
        ctrlF();
    }
    EXPECT_EQ(m_dialogs.messages(), QStringList{kGiaAperto});
    EXPECT_FALSE(editor);
    restartDialogs();

    // The same keys go on working, and the program ends with the editor they
    // brought to the front still open.
    ctrlF();
    ASSERT_TRUE(frm_fattura::IsLoaded());
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    editor = frm_fattura::current();
    m_dialogs.answerMessageBox(ui::vbOK);
    ctrlF();
    // Brought to the front, as the window manager does it.
    QApplication::setActiveWindow(editor);
    ASSERT_TRUE(QApplication::focusWidget() && editor->isAncestorOf(QApplication::focusWidget()));
    frmMain::Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(editor);
}
