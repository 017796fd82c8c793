#include "MasterDataFixture.h"

#include "platform/ui/MsgBoxStyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

class PagamentiTest : public MasterDataFixture {
protected:
    static QLineEdit* descrizione(QWidget* f) { return child<QLineEdit>(f, QStringLiteral("txtData(1)")); }
    static QPlainTextEdit* note(QWidget* f) { return child<QPlainTextEdit>(f, QStringLiteral("txtData(0)")); }
    static QCheckBox* condiviso(QWidget* f) { return child<QCheckBox>(f, QStringLiteral("chkData(1)")); }
    static QPushButton* button(QWidget* f, const char* name) { return child<QPushButton>(f, QString::fromLatin1(name)); }
};

TEST_F(PagamentiTest, EnterMovesOnAndCtrlEnterBreaksTheNote)
{
    m_dialogs.answerModal([](QWidget* f) {
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Pagamenti"));
        EXPECT_TRUE(descrizione(f)->hasFocus());
        QTest::keyClicks(descrizione(f), QStringLiteral("Bonifico 30 gg d'ufficio"));
        QTest::keyClick(descrizione(f), Qt::Key_Return);
        EXPECT_TRUE(note(f)->hasFocus());
        EXPECT_EQ(child<QStatusBar>(f, QStringLiteral("sb"))->currentMessage(),
                  QStringLiteral("Descrizione da proporre (opzionale) sulle note in Fattura. Ctrl+Invio per andare a capo."));
        QTest::keyClicks(note(f), QStringLiteral("IBAN IT00"));
        QTest::keyClick(note(f), Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClicks(note(f), QStringLiteral("Banca Uno"));
        EXPECT_TRUE(note(f)->hasFocus());
        QTest::keyClick(note(f), Qt::Key_Return);
        EXPECT_TRUE(condiviso(f)->hasFocus()) << "a plain Enter in the note moves on";
        // Enter on a check box stays there: only text boxes turn it into Tab here.
        QTest::keyClick(condiviso(f), Qt::Key_Return);
        EXPECT_TRUE(condiviso(f)->hasFocus());
        click(button(f, "cmdSalva"));
    });
    const core::Variant id = frm_io_Pagamenti::Nuovo(1);
    ASSERT_FALSE(id.isEmptyOrNull());
    const QString where = QStringLiteral(" FROM Pagamenti WHERE pagId=") + QString::number(id.toLong());
    EXPECT_EQ(scalar(QStringLiteral("SELECT pagDescrizione") + where).toString(), QStringLiteral("Bonifico 30 gg d'ufficio"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT pagNoteFat") + where).toString(), QStringLiteral("IBAN IT00\nBanca Uno"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezId") + where).toLong(), 1);
    EXPECT_FALSE(scalar(QStringLiteral("SELECT pagShared") + where).toBool());
}

TEST_F(PagamentiTest, TheDescriptionIsRequired)
{
    m_dialogs.answerModal([](QWidget* f) {
        QTest::keyClick(descrizione(f), Qt::Key_Return);
        EXPECT_TRUE(descrizione(f)->hasFocus());
        click(note(f));
        EXPECT_TRUE(descrizione(f)->hasFocus());
        click(button(f, "cmdAnnulla"));
    });
    EXPECT_TRUE(frm_io_Pagamenti::Nuovo(1).isNull());
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Pagamenti")).toLong(), 0);
}

TEST_F(PagamentiTest, ASharedTermReopensTickedAndLockedAndIsListedInEverySection)
{
    frm_io_Pagamenti::Nuovo(0);
    QWidget* f = shown<frm_io_Pagamenti>();
    type(descrizione(f), QStringLiteral("Contanti"));
    click(condiviso(f));
    EXPECT_EQ(condiviso(f)->text(), QStringLiteral("Pagamento condiviso"));
    click(button(f, "cmdSalva"));
    settle();
    const std::int32_t id = scalar(QStringLiteral("SELECT pagId FROM Pagamenti WHERE pagDescrizione='Contanti'")).toLong();
    ASSERT_GT(id, 0);
    frm_io_Pagamenti::Apri(id, 0);
    f = shown<frm_io_Pagamenti>();
    EXPECT_TRUE(condiviso(f)->isChecked());
    EXPECT_FALSE(condiviso(f)->isEnabled());
    EXPECT_EQ(condiviso(f)->text(), QStringLiteral("Pagamento condiviso"));
    click(button(f, "cmdAnnulla"));
    settle();

    // A private term of section 1 next to it; section 2 sees only the shared one.
    exec(QStringLiteral("INSERT INTO Pagamenti (pagDescrizione, sezId, pagShared) VALUES ('Privato', 1, False)"));
    session().sezId = 2;
    m_dialogs.answerModal([](QWidget* c) {
        auto* combo = child<QComboBox>(c, QStringLiteral("dtcData(0)"));
        ASSERT_EQ(combo->count(), 2);
        EXPECT_EQ(combo->itemText(1), QStringLiteral("Contanti"));
        click(child<QPushButton>(c, QStringLiteral("cmdAnnulla")));
    });
    frm_io_Clienti::Nuovo(1);
}
