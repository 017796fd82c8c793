#include "support/TestApplication.h"

#include "platform/ui/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFont>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace ui;

// These tests use the real dialogs: each blocks in its own event loop, so the
// test acts on it from a timer that runs inside that loop.

namespace {

// Runs `act` on the next modal window to appear; after five seconds without
// one it reports a failure. Ten seconds on, the window it acted on is rejected
// if still open (or any dialog, when none appeared), so no test hangs; a
// window already closed is left alone, so a slow run does not close the next
// case's window.
void onNextModal(std::function<void(QWidget*)> act)
{
    struct Seen {
        bool found = false;
        QPointer<QWidget> modal;
    };
    auto seen = std::make_shared<Seen>();
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, act, seen] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            seen->found = true;
            seen->modal = modal;
            act(modal);
            return;
        }
        if (clock->elapsed() > 5000) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window appeared";
        }
    });
    timer->start(10);
    QTimer::singleShot(10000, [seen] {
        if (seen->found) {
            if (auto* dialog = qobject_cast<QDialog*>(seen->modal.data()); dialog && dialog->isVisible())
                dialog->reject();
            return;
        }
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
                dialog->reject();
    });
}

QAbstractButton* buttonWithText(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* b : box->buttons())
        if (b->text() == text)
            return b;
    return nullptr;
}

class RealDialogs : public ::testing::Test {
protected:
    void SetUp() override { bareTestApplication(); }
};

} // namespace

TEST_F(RealDialogs, MessageBoxesShowItalianButtonsAndReturnTheButtonPressed)
{
    const struct {
        int style;
        QSet<QString> texts;
        const char* defaultText; // nullptr: not checked
        const char* press;
        int result;
    } cases[] = {
        {vbOKOnly, {"OK"}, "OK", "OK", vbOK},
        {vbOKCancel | vbDefaultButton2, {"OK", "Annulla"}, "Annulla", "Annulla", vbCancel},
        {vbAbortRetryIgnore, {"Interrompi", "Riprova", "Ignora"}, "Interrompi", "Riprova", vbRetry},
        {vbYesNoCancel | vbDefaultButton3, {"Sì", "No", "Annulla"}, "Annulla", "Sì", vbYes},
        {vbYesNo | vbExclamation | vbDefaultButton2, {"Sì", "No"}, "No", "No", vbNo},
        {vbRetryCancel, {"Riprova", "Annulla"}, "Riprova", "Annulla", vbCancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        onNextModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            QSet<QString> texts;
            for (QAbstractButton* b : box->buttons())
                texts.insert(b->text());
            EXPECT_EQ(texts, c.texts);
            ASSERT_NE(box->defaultButton(), nullptr);
            EXPECT_EQ(box->defaultButton()->text(), QString::fromUtf8(c.defaultText));
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Corvessa"));
            EXPECT_EQ(box->text(), QStringLiteral("Riga uno\nRiga due")); // CR LF became a line break
            QAbstractButton* press = buttonWithText(box, QString::fromUtf8(c.press));
            ASSERT_NE(press, nullptr);
            press->click();
        });
        EXPECT_EQ(msgBox(QStringLiteral("Riga uno\r\nRiga due"), c.style), c.result);
    }
}

TEST_F(RealDialogs, EscapeGivesTheCancelAnswer)
{
    for (int style : {vbOKOnly, vbOKCancel, vbYesNoCancel}) {
        onNextModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        EXPECT_EQ(msgBox(QStringLiteral("Esc"), style), cancelAnswer(style)) << style;
    }
}

TEST_F(RealDialogs, MessageBoxIconFollowsTheStyle)
{
    const struct {
        int style;
        QMessageBox::Icon icon;
    } cases[] = {{vbCritical, QMessageBox::Critical}, {vbQuestion, QMessageBox::Question},
                 {vbExclamation, QMessageBox::Warning}, {vbInformation, QMessageBox::Information},
                 {vbOKOnly, QMessageBox::NoIcon}};
    for (const auto& c : cases) {
        onNextModal([&](QWidget* modal) {
            EXPECT_EQ(qobject_cast<QMessageBox*>(modal)->icon(), c.icon) << c.style;
            qobject_cast<QMessageBox*>(modal)->buttons().first()->click();
        });
        msgBox(QStringLiteral("Icona"), c.style);
    }
}

TEST_F(RealDialogs, InputBoxReturnsTheTextOrEmptyWhenCancelled)
{
    onNextModal([](QWidget* modal) {
        auto* input = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->windowTitle(), QStringLiteral("Corvessa"));
        EXPECT_EQ(input->okButtonText(), QStringLiteral("OK"));
        EXPECT_EQ(input->cancelButtonText(), QStringLiteral("Annulla"));
        input->findChild<QLineEdit*>()->setText(QStringLiteral("Modello A"));
        input->accept();
    });
    EXPECT_EQ(inputBox(QStringLiteral("Inserire il nome del nuovo modello")), QStringLiteral("Modello A"));

    onNextModal([](QWidget* modal) {
        qobject_cast<QInputDialog*>(modal)->findChild<QLineEdit*>()->setText(QStringLiteral("scartato"));
        qobject_cast<QDialog*>(modal)->reject();
    });
    EXPECT_EQ(inputBox(QStringLiteral("Nome"), {}, QStringLiteral("predefinito")), QString());
}

TEST_F(RealDialogs, SaveDialogTakesTheFilterAndAddsTheDefaultExtension)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    onNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("Acrobat reader (*.pdf)")});
        EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("pdf"));
        dialog->selectFile(dir.filePath(QStringLiteral("documento")));
        static_cast<QDialog*>(dialog)->accept();
    });
    const QString chosen = getSaveFileName(
        {.filter = QStringLiteral("Acrobat reader (*.pdf)|*.pdf"), .defaultExt = QStringLiteral(".pdf"),
         .initialDir = dir.path()});
    EXPECT_EQ(QDir::fromNativeSeparators(chosen), dir.filePath(QStringLiteral("documento.pdf")));

    onNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(getSaveFileName({.defaultExt = QStringLiteral(".pdf")}), QString());
}

TEST_F(RealDialogs, FolderChooserGivesEmptyWhenCancelled)
{
    onNextModal([](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), QStringLiteral("Cartella del database"));
        qobject_cast<QDialog*>(modal)->reject();
    });
    EXPECT_EQ(browseForFolder(QStringLiteral("Cartella del database")), QString());
}

TEST_F(RealDialogs, PlainFormShownModalReturnsWhenItHidesItself)
{
    QWidget form;
    bool wasModal = false;
    onNextModal([&](QWidget* modal) {
        wasModal = modal == &form && form.isVisible();
        form.hide();
    });
    showModal(&form);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.windowModality(), Qt::NonModal); // restored for a later modeless use
}

namespace {

// The save dialog's name box, typed into as a user does.
QLineEdit* typeFileName(QFileDialog* dialog, const QString& name)
{
    auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!box)
        return nullptr;
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, name);
    return box;
}

QAbstractButton* saveButton(QFileDialog* dialog)
{
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (!buttons)
        return nullptr;
    for (QAbstractButton* b : buttons->buttons())
        if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole)
            return b;
    return nullptr;
}

} // namespace

TEST_F(RealDialogs, SaveDialogWritesExactlyTheNameTypedQuotesIncluded)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* typed;
        const char* chosen;
    } cases[] = {
        {"Incassi dell'anno \"2026\".pdf", "Incassi dell'anno \"2026\".pdf"},
        {"Rapporto \"finale\"", "Rapporto \"finale\".pdf"},
        {"\"Clienti\" e \"Fornitori\".pdf", "\"Clienti\" e \"Fornitori\".pdf"},
        {"documento", "documento.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        onNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            ASSERT_NE(typeFileName(dialog, QString::fromUtf8(c.typed)), nullptr);
            // Clicked with the mouse while the box still holds the typed name.
            QAbstractButton* save = saveButton(dialog);
            ASSERT_NE(save, nullptr);
            QTest::mouseClick(save, Qt::LeftButton);
        });
        const QString chosen = getSaveFileName(
            {.filter = QStringLiteral("Acrobat reader (*.pdf)|*.pdf"), .defaultExt = QStringLiteral(".pdf"),
             .initialDir = dir.path()});
        EXPECT_EQ(QDir::fromNativeSeparators(chosen).toStdString(),
                  dir.filePath(QString::fromUtf8(c.chosen)).toStdString());
    }
}

TEST_F(RealDialogs, SaveDialogAsksBeforeReplacingAFileWithQuotesInItsName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = QStringLiteral("Incassi \"2026\".pdf");
    QFile existing(dir.filePath(name));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    bool stayedOpen = false;
    onNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        typeFileName(dialog, name);
        // The question comes up over the dialog: first No, then Sì.
        for (const char* answer : {"No", "Sì"}) {
            QTimer::singleShot(50, [answer] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(box->text(), QStringLiteral("Incassi \"2026\".pdf esiste già.\nSostituirlo?"));
                buttonWithText(box, QString::fromUtf8(answer))->click();
            });
            QTest::mouseClick(saveButton(dialog), Qt::LeftButton);
            if (QString::fromUtf8(answer) == QStringLiteral("No"))
                stayedOpen = dialog->isVisible();
        }
    });
    const QString chosen = getSaveFileName({.defaultExt = QStringLiteral(".pdf"), .initialDir = dir.path()});
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(QDir::fromNativeSeparators(chosen).toStdString(), dir.filePath(name).toStdString());
}

// A short message keeps its whole title: the box leaves the title bar room for
// the title beside the window's buttons and icon.
TEST_F(RealDialogs, AShortMessageBoxIsWideEnoughForItsWholeTitle)
{
    const struct {
        const char* prompt;
        const char* title;
    } cases[] = {
        {"Password errata", "Corvessa"},
        {"Password errata", "Accesso del professionista"},
        {"OK", "Impossibile salvare la cartella del database"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        int boxWidth = 0;
        int titleWidth = 0;
        onNextModal([&](QWidget* modal) {
            QApplication::processEvents();
            QFont bold = modal->font();
            bold.setBold(true);
            titleWidth = QFontMetrics(bold).horizontalAdvance(modal->windowTitle());
            boxWidth = modal->width();
            qobject_cast<QMessageBox*>(modal)->buttons().first()->click();
        });
        msgBox(QString::fromUtf8(c.prompt), vbCritical, QString::fromUtf8(c.title));
        // A title bar spends some 150 pixels on its buttons, the icon and margins.
        EXPECT_GE(boxWidth, titleWidth + 150) << "box " << boxWidth << ", title " << titleWidth;
    }
}
