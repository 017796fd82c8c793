#include "sections/frmAdminPass.h"
#include "domain/PasswordHash.h"
#include "platform/database/Recordset.h"
#include "startup/SharedState.h"
#include "platform/ui/MsgBoxStyle.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class LoginTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        useFreshDatabase();
        exec(QStringLiteral("ALTER TABLE Sezioni ADD COLUMN sezPass TEXT(255)"));
    }
    void TearDown() override
    {
        frmAdminPass::Unload();
        ProgramFixture::TearDown();
    }
    struct Controls {
        QComboBox* cmbProf;
        QLineEdit* txtPass;
        QPushButton* cmdOK;
        QPushButton* cmdCancel;
    };
    static Controls controls(QWidget* w)
    {
        return {w->findChild<QComboBox*>(QStringLiteral("cmbProf")), w->findChild<QLineEdit*>(QStringLiteral("txtPass")),
                w->findChild<QPushButton*>(QStringLiteral("cmdOK")), w->findChild<QPushButton*>(QStringLiteral("cmdCancel"))};
    }
};

TEST_F(LoginTest, TheOnlyProfessionalWithAPasswordIsPreselectedAndTheCaseMatters)
{
    exec(QStringLiteral("UPDATE Sezioni SET sezPass = 'Segreta', sezTitolo = 'Dott.', sezNome = 'Anna', sezCognome = 'Neri' WHERE sezId = 1"));
    m_dialogs.answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([](QWidget* w) {
        const Controls c = controls(w);
        EXPECT_EQ(c.cmbProf->currentIndex(), 1);
        EXPECT_EQ(c.cmbProf->itemText(1), QStringLiteral("Dott. Anna Neri  [amministratore] "));
        EXPECT_TRUE(c.txtPass->isEnabled());
        QTest::keyClicks(c.txtPass, QStringLiteral("segreta"));
        QTest::mouseClick(c.cmdOK, Qt::LeftButton);
        EXPECT_TRUE(w->isVisible()) << "a password differing in case was accepted";
        c.txtPass->clear();
        QTest::keyClicks(c.txtPass, QStringLiteral("Segreta"));
        QTest::mouseClick(c.cmdOK, Qt::LeftButton);
    });
    EXPECT_EQ(frmAdminPass::Apri(), 1);
    EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("Password errata")});
}

TEST_F(LoginTest, AProfessionalWithoutPasswordPassesWithAnEmptyBox)
{
    exec(QStringLiteral("UPDATE Sezioni SET sezPass = 'x' WHERE sezId = 1"));
    exec(QStringLiteral("INSERT INTO Sezioni (sezTitolo, sezNome, sezCognome, sezPass) VALUES ('', 'Luca', 'Bianchi', '')"));
    m_dialogs.answerModal([](QWidget* w) {
        const Controls c = controls(w);
        EXPECT_EQ(c.cmbProf->count(), 3);
        EXPECT_EQ(c.cmbProf->currentIndex(), 0);
        // OK on the empty entry does nothing.
        QTest::mouseClick(c.cmdOK, Qt::LeftButton);
        EXPECT_TRUE(w->isVisible());
        c.cmbProf->setCurrentIndex(2);
        c.cmbProf->activated(2);
        EXPECT_FALSE(c.txtPass->isEnabled());
        QTest::mouseClick(c.cmdOK, Qt::LeftButton);
    });
    EXPECT_EQ(frmAdminPass::Apri(), 2);
}

TEST_F(LoginTest, CancelReturnsZero)
{
    exec(QStringLiteral("UPDATE Sezioni SET sezPass = 'x' WHERE sezId = 1"));
    m_dialogs.answerModal([](QWidget* w) { QTest::mouseClick(controls(w).cmdCancel, Qt::LeftButton); });
    EXPECT_EQ(frmAdminPass::Apri(), 0);
}

TEST_F(LoginTest, ChoosingSomeoneWithoutPasswordEmptiesTheBoxAndEnterOnOkLogsIn)
{
    exec(QStringLiteral("UPDATE Sezioni SET sezPass = 'x' WHERE sezId = 1"));
    exec(QStringLiteral("INSERT INTO Sezioni (sezTitolo, sezNome, sezCognome) VALUES ('', 'Luca', 'Bianchi')"));
    m_dialogs.answerModal([](QWidget* w) {
        const Controls c = controls(w);
        c.cmbProf->setCurrentIndex(1);
        ASSERT_TRUE(c.txtPass->isEnabled());
        QTest::keyClicks(c.txtPass, QStringLiteral("abc"));
        // The user changes their mind: the box keeps nothing of what was typed.
        c.cmbProf->setCurrentIndex(2);
        EXPECT_FALSE(c.txtPass->isEnabled());
        EXPECT_TRUE(c.txtPass->text().isEmpty());
        c.cmdOK->setFocus();
        QTest::keyClick(c.cmdOK, Qt::Key_Return);
    });
    EXPECT_EQ(frmAdminPass::Apri(), 2);
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.messages().join('\n').toStdString();
}

TEST_F(LoginTest, AHashedPasswordOpensAndAPlainOneIsHashedAtItsFirstLogin)
{
    exec(QStringLiteral("UPDATE Sezioni SET sezPass = 'Segreta' WHERE sezId = 1"));
    exec(QStringLiteral("INSERT INTO Sezioni (sezNome, sezPass) VALUES ('Luca', '") + hashPassword(QStringLiteral("Due"))
         + QStringLiteral("')"));
    auto login = [&](int index, const QString& typed) {
        m_dialogs.answerModal([index, typed](QWidget* w) {
            const Controls c = controls(w);
            c.cmbProf->setCurrentIndex(index);
            QTest::keyClicks(c.txtPass, typed);
            QTest::mouseClick(c.cmdOK, Qt::LeftButton);
            if (w->isVisible())
                QTest::mouseClick(c.cmdCancel, Qt::LeftButton);
        });
        return frmAdminPass::Apri();
    };
    m_dialogs.answerMessageBox(ui::vbOK);
    EXPECT_EQ(login(2, QStringLiteral("due")), 0);
    EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("Password errata")});
    EXPECT_EQ(login(2, QStringLiteral("Due")), 2);
    EXPECT_EQ(login(1, QStringLiteral("Segreta")), 1);

    db::Recordset rs;
    rs.open(QStringLiteral("SELECT sezPass FROM Sezioni WHERE sezId=1"), session().dataConStr);
    const QString stored = rs.value(0).toString();
    rs.close();
    EXPECT_TRUE(verifyPasswordHash(stored, QStringLiteral("Segreta"))) << stored.toStdString();
    EXPECT_EQ(login(1, QStringLiteral("Segreta")), 1);
}

TEST_F(LoginTest, AfterAWrongPasswordTheNextOneIsTypedOverIt)
{
    exec(QStringLiteral("UPDATE Sezioni SET sezPass = 'Segreta' WHERE sezId = 1"));
    m_dialogs.answerMessageBox(ui::vbOK).answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([](QWidget* w) {
        const Controls c = controls(w);
        QApplication::setActiveWindow(w);
        c.txtPass->setFocus();
        auto typeIn = [](const QString& text) {
            for (const QChar ch : text) {
                QWidget* focus = QApplication::focusWidget();
                // Capitals come after Shift alone, as from a keyboard.
                if (ch.isUpper())
                    QTest::keyPress(focus, Qt::Key_Shift, Qt::ShiftModifier);
                QTest::keyClicks(focus, QString(ch), ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
                if (ch.isUpper())
                    QTest::keyRelease(focus, Qt::Key_Shift);
            }
        };
        // By the keyboard: Enter leaves the box for OK, Enter on OK.
        typeIn(QStringLiteral("Sbagliata"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_TRUE(w->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), c.txtPass);
        EXPECT_EQ(c.txtPass->selectedText(), QStringLiteral("Sbagliata"));
        // By the mouse, after typing over the wrong one.
        typeIn(QStringLiteral("Errata"));
        QTest::mouseClick(c.cmdOK, Qt::LeftButton);
        ASSERT_TRUE(w->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), c.txtPass);
        EXPECT_EQ(c.txtPass->selectedText(), QStringLiteral("Errata"));
        typeIn(QStringLiteral("Segreta"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(frmAdminPass::Apri(), 1);
    EXPECT_EQ(m_dialogs.messages(), QStringList(2, QStringLiteral("Password errata")));
}
