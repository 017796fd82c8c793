#include "sections/frmAdminPass.h"
#include "startup/SharedState.h"
#include "platform/ui/MsgBoxStyle.h"
#include "support/ProgramFixture.h"

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
        exec(QStringLiteral("ALTER TABLE Sezioni ADD COLUMN sezPass TEXT(50)"));
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
    EXPECT_TRUE(m_dialogs.unexpected().isEmpty());
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
