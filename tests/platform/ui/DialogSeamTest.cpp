#include "support/TestApplication.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/ScopedDialogHandler.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/WidgetDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

using namespace ui;

namespace {

class DialogSeam : public ::testing::Test {
protected:
    void SetUp() override { bareTestApplication(); }
    ScriptedDialogs dialogs;
    ScopedDialogHandler scope{dialogs};
};

// A small modal form: a name box and an OK button that accepts.
struct NameDialog {
    QDialog dialog;
    QLineEdit* name = new QLineEdit(&dialog);
    QPushButton* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    NameDialog()
    {
        dialog.setObjectName(QStringLiteral("frmNome"));
        dialog.setWindowTitle(QStringLiteral("Nome"));
        name->setObjectName(QStringLiteral("txtNome"));
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(name);
        layout->addWidget(ok);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    }
};

class ShowCounter : public QObject {
public:
    int shows = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

} // namespace

TEST_F(DialogSeam, AnswersMessageBoxesInOrderAndLogsThem)
{
    dialogs.answerMessageBox(vbYes).answerMessageBox(vbCancel);

    EXPECT_EQ(msgBox(QStringLiteral("Procedere?"), vbYesNo | vbQuestion | vbDefaultButton2), vbYes);
    EXPECT_EQ(msgBox(QStringLiteral("Salvare?"), vbOKCancel, QStringLiteral("Documento")), vbCancel);

    ASSERT_EQ(dialogs.requests().size(), 2);
    const auto& first = dialogs.requests().at(0);
    EXPECT_EQ(first.kind, DialogKind::MessageBox);
    EXPECT_EQ(first.title, QStringLiteral("Corvessa")); // the application title by default
    EXPECT_EQ(first.style, vbYesNo | vbQuestion | vbDefaultButton2);
    EXPECT_EQ(dialogs.requests().at(1).title, QStringLiteral("Documento"));
    EXPECT_EQ(dialogs.messages(), (QStringList{QStringLiteral("Procedere?"), QStringLiteral("Salvare?")}));
    EXPECT_TRUE(dialogs.unexpected().isEmpty());
    EXPECT_EQ(dialogs.pendingAnswers(), 0);
}

TEST_F(DialogSeam, UnexpectedMessageBoxReturnsTheCancelAnswerAndIsReported)
{
    const struct {
        int style;
        int answer;
    } cases[] = {
        {vbOKOnly | vbCritical, vbOK},  {vbOKCancel, vbCancel}, {vbAbortRetryIgnore, vbAbort},
        {vbYesNoCancel, vbCancel},      {vbYesNo | vbDefaultButton1, vbNo}, {vbRetryCancel, vbCancel},
    };
    for (const auto& c : cases)
        EXPECT_EQ(msgBox(QStringLiteral("Nessuna risposta"), c.style), c.answer) << "style " << c.style;

    EXPECT_EQ(dialogs.unexpected().size(), 6);
    for (const auto& request : dialogs.requests())
        EXPECT_TRUE(request.unexpected);
}

TEST_F(DialogSeam, ScriptedButtonThatTheBoxDoesNotOfferIsReported)
{
    dialogs.answerMessageBox(vbYes);
    EXPECT_EQ(msgBox(QStringLiteral("Database assente"), vbOKOnly | vbCritical), vbOK);
    ASSERT_EQ(dialogs.unexpected().size(), 1);
    EXPECT_TRUE(dialogs.unexpected().first().contains(QStringLiteral("Database assente")));
    EXPECT_EQ(dialogs.pendingAnswers(), 0); // the wrong answer was used up
}

TEST_F(DialogSeam, InputFileAndFolderAnswers)
{
    dialogs.answerInput(QStringLiteral("Modello fattura"))
        .answerSaveFile(QStringLiteral("/tmp/fattura"))
        .answerSaveFile(QStringLiteral("/tmp/elenco.xls"))
        .answerOpenFile(QStringLiteral("/tmp/logo.bmp"))
        .answerFolder(QStringLiteral("/srv/dati"));

    EXPECT_EQ(inputBox(QStringLiteral("Inserire il nome del nuovo modello")), QStringLiteral("Modello fattura"));
    const FileDialogOptions pdf{.filter = QStringLiteral("Acrobat reader (*.pdf)|*.pdf"), .defaultExt = QStringLiteral(".pdf")};
    EXPECT_EQ(getSaveFileName(pdf), QStringLiteral("/tmp/fattura.pdf")); // default extension added
    EXPECT_EQ(getSaveFileName({.filter = QStringLiteral("Microsoft Excel (*.xls)|*.xls"), .defaultExt = QStringLiteral(".xls")}),
              QStringLiteral("/tmp/elenco.xls"));
    EXPECT_EQ(getOpenFileName({.title = QStringLiteral("Logo"), .filter = QStringLiteral("Immagini|*.bmp;*.jpg")}),
              QStringLiteral("/tmp/logo.bmp"));
    EXPECT_EQ(browseForFolder(QStringLiteral("Cartella del database")), QStringLiteral("/srv/dati"));

    const auto input = dialogs.requests(DialogKind::InputBox);
    ASSERT_EQ(input.size(), 1);
    EXPECT_EQ(input.first().title, QStringLiteral("Corvessa"));
    const auto saves = dialogs.requests(DialogKind::SaveFile);
    ASSERT_EQ(saves.size(), 2);
    EXPECT_EQ(saves.first().filter, QStringLiteral("Acrobat reader (*.pdf)|*.pdf"));
    EXPECT_EQ(saves.first().defaultExt, QStringLiteral(".pdf"));
    EXPECT_EQ(dialogs.requests(DialogKind::Folder).first().title, QStringLiteral("Cartella del database"));
    EXPECT_TRUE(dialogs.unexpected().isEmpty());
}

TEST_F(DialogSeam, UnexpectedInputFileAndFolderRequestsReturnEmpty)
{
    EXPECT_EQ(inputBox(QStringLiteral("Nome?")), QString());
    EXPECT_EQ(getSaveFileName({.filter = QStringLiteral("Acrobat reader (*.pdf)|*.pdf"), .defaultExt = QStringLiteral(".pdf")}), QString());
    EXPECT_EQ(getOpenFileName({}), QString());
    EXPECT_EQ(browseForFolder(QStringLiteral("Cartella")), QString());
    EXPECT_EQ(dialogs.unexpected().size(), 4);
}

TEST_F(DialogSeam, ModalFormIsDrivenByTheScriptAndReturnsItsResult)
{
    NameDialog form;
    dialogs.answerModal([&](QWidget* shown) {
        EXPECT_EQ(shown, &form.dialog);
        EXPECT_TRUE(shown->isVisible());
        QTest::keyClicks(form.name, QStringLiteral("Rossi"));
        msgBox(QStringLiteral("Dal modulo")); // requests made by the form come after it in the log
        QTest::mouseClick(form.ok, Qt::LeftButton);
    });
    dialogs.answerMessageBox(vbOK);

    EXPECT_EQ(execModal(&form.dialog), QDialog::Accepted);
    EXPECT_EQ(form.name->text(), QStringLiteral("Rossi"));
    EXPECT_FALSE(form.dialog.isVisible());
    ASSERT_EQ(dialogs.requests().size(), 2);
    EXPECT_EQ(dialogs.requests().at(0).kind, DialogKind::Modal);
    EXPECT_EQ(dialogs.requests().at(0).text, QStringLiteral("frmNome"));
    EXPECT_EQ(dialogs.requests().at(1).kind, DialogKind::MessageBox);
    EXPECT_TRUE(dialogs.unexpected().isEmpty());
}

TEST_F(DialogSeam, UnexpectedModalFormIsNeverShownAndIsRejected)
{
    NameDialog form;
    ShowCounter counter;
    form.dialog.installEventFilter(&counter);

    EXPECT_EQ(execModal(&form.dialog), QDialog::Rejected);
    EXPECT_EQ(counter.shows, 0);
    EXPECT_EQ(dialogs.unexpected().size(), 1);
}

TEST_F(DialogSeam, FormLeftOpenByTheScriptIsDismissed)
{
    NameDialog form;
    dialogs.answerModal([](QWidget*) {});
    EXPECT_EQ(execModal(&form.dialog), QDialog::Rejected);
    EXPECT_FALSE(form.dialog.isVisible());

    QWidget plain;
    bool sawItShown = false;
    dialogs.answerModal([&](QWidget* shown) { sawItShown = shown->isVisible(); });
    showModal(&plain);
    EXPECT_TRUE(sawItShown);
    EXPECT_FALSE(plain.isVisible());
}

TEST_F(DialogSeam, ScopedHandlersNestAndRestore)
{
    {
        ScriptedDialogs inner;
        ScopedDialogHandler innerScope(inner);
        inner.answerMessageBox(vbOK);
        msgBox(QStringLiteral("interno"));
        EXPECT_EQ(inner.messages(), QStringList{QStringLiteral("interno")});
    }
    dialogs.answerMessageBox(vbOK);
    msgBox(QStringLiteral("esterno"));
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("esterno")});
}

TEST(DialogSeamDefault, TheRealDialogsServeWhenNothingIsInstalled)
{
    EXPECT_NE(dynamic_cast<WidgetDialogs*>(&dialogHandler()), nullptr);
}

TEST(DialogSeamDefault, ABoxAskedForWithoutATitleCarriesTheProgramsName)
{
    bareTestApplication();
    const QString before = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Corvessa"));
    QStringList titles;
    WidgetDialogs real;
    for (const QString& title : {QString(), QStringLiteral("Attenzione")}) {
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    titles << box->windowTitle();
                    box->done(0);
                }
        });
        real.messageBox(QStringLiteral("Testo"), vbOKOnly, title);
    }
    QCoreApplication::setApplicationName(before);
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Corvessa"), QStringLiteral("Attenzione")}));
}

TEST(DialogHelpers, PipeSeparatedFilterBecomesQtNameFilters)
{
    const struct {
        const char* filter;
        QStringList expected;
    } cases[] = {
        {"Acrobat reader (*.pdf)|*.pdf", {QStringLiteral("Acrobat reader (*.pdf)")}},
        {"Formato HTML (*.html)|*.html", {QStringLiteral("Formato HTML (*.html)")}},
        {"Immagini|*.bmp;*.gif;*.jpg", {QStringLiteral("Immagini (*.bmp *.gif *.jpg)")}},
        {"Layout (*.rpx)|*.rpx|Tutti i file (*.*)|*.*",
         {QStringLiteral("Layout (*.rpx)"), QStringLiteral("Tutti i file (*.*)")}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qtNameFilters(QString::fromUtf8(c.filter)), c.expected) << c.filter;
}

TEST(DialogHelpers, DefaultExtensionIsAddedOnlyToANameWithout)
{
    const struct {
        const char* path;
        const char* ext;
        const char* expected;
    } cases[] = {
        {"/tmp/doc", ".pdf", "/tmp/doc.pdf"},       {"/tmp/doc.pdf", ".pdf", "/tmp/doc.pdf"},
        {"/tmp/doc.txt", ".pdf", "/tmp/doc.txt"},   {"", ".pdf", ""},
        {"/tmp/doc", "", "/tmp/doc"},               {"/tmp/doc", "xls", "/tmp/doc.xls"},
        {"/tmp/my.dir/doc", ".html", "/tmp/my.dir/doc.html"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withDefaultExtension(QString::fromUtf8(c.path), QString::fromUtf8(c.ext)), QString::fromUtf8(c.expected))
            << c.path << " + " << c.ext;
}
