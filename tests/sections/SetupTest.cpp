#include "SectionsFixture.h"
#include "support/RefusedKeys.h"
#include "support/TypedNumbers.h"

#include "domain/PasswordHash.h"
#include "domain/Professionals.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/MsgBoxStyle.h"
#include "sections/frm_setup.h"
#include "startup/Section.h"
#include "startup/SharedState.h"
#include "support/BusyTimeout.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const QString kSalvare = QStringLiteral("Salvare le modifiche effettuate?");

} // namespace

class SetupTest : public SectionsFixture {
protected:
    void TearDown() override
    {
        frm_setup::Unload();
        SectionsFixture::TearDown();
    }
    // A PNG with a transparent border around a red square.
    QString writePng()
    {
        QImage img(40, 20, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        QPainter(&img).fillRect(10, 5, 20, 10, Qt::red);
        const QString path = QDir(m_home.path()).filePath(QStringLiteral("logo.png"));
        EXPECT_TRUE(img.save(path));
        return path;
    }
    static void click(QWidget* w, const char* name) { QTest::mouseClick(get<QAbstractButton>(w, QString::fromLatin1(name)), Qt::LeftButton); }
};

TEST_F(SetupTest, OpensOnTheProfessionalWithItsLogoAndNeverItsPassword)
{
    QImage logo(30, 10, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    const QByteArray bitmap = frm_setup::LogoComeBitmap(logo);
    const QString hash = hashPassword(QStringLiteral("Segreta"));
    exec(QStringLiteral("UPDATE Sezioni SET sezPass='") + hash + QStringLiteral("' WHERE sezId=2"));
    exec(QStringLiteral("UPDATE SezioniModelli SET modFatIntTipo=1, modFatInt01='P.IVA 01234567890' WHERE sezId=2"));
    {
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=2"), session().dataConStr, db::CursorType::Static,
                db::LockType::Optimistic);
        rs.setValue(QStringLiteral("modFatIntLogo"), core::Variant(bitmap));
        rs.update();
        rs.close();
    }
    session().sezId = 2;
    m_dialogs.answerModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Professionista"));
        EXPECT_EQ(get<QLineEdit>(w, QStringLiteral("txtData(1)"))->text(), QStringLiteral("Maria"));
        EXPECT_EQ(get<QLineEdit>(w, QStringLiteral("txtData(3)"))->text(), QStringLiteral("4,00"));
        EXPECT_EQ(get<QLineEdit>(w, QStringLiteral("txtData(9)"))->text(), QStringLiteral("P.IVA 01234567890"));
        EXPECT_TRUE(get<QRadioButton>(w, QStringLiteral("optLogoTipo(1)"))->isChecked());
        EXPECT_FALSE(get<QLabel>(w, QStringLiteral("picData"))->pixmap().isNull()) << "the stored logo is not shown";
        EXPECT_FALSE(get<QLabel>(w, QStringLiteral("lblAdmin"))->isVisibleTo(w));
        for (QLineEdit* box : w->findChildren<QLineEdit*>())
            EXPECT_FALSE(box->text().contains(QStringLiteral("argon2"))) << box->objectName().toStdString();
        EXPECT_TRUE(get<QLineEdit>(w, QStringLiteral("txtPass(0)"))->text().isEmpty());
        // The assignment: one row per kind, the kind itself fixed.
        auto* gex = get<grid::GridEx>(w, QStringLiteral("gex"));
        EXPECT_EQ(gex->rowCount(), 3);
        EXPECT_FALSE(gex->column(QStringLiteral("fnrDocType")).editable());
        EXPECT_TRUE(gex->column(QStringLiteral("fnrfinId")).editable());
        EXPECT_EQ(gex->cellText(1, gex->columnIndex(QStringLiteral("fnrfinId"))), QStringLiteral("Modello A"));
        click(w, "cmdCancel");
    });
    frm_setup::Apri(2);
    // The missing assignment rows of section 2 were made when the dialog opened.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM finRel WHERE sezId=2")), 3);
}

TEST_F(SetupTest, TheLogoKindAndTheShowBoxesDecideWhatIsVisible)
{
    struct Case {
        const char* option;
        bool header;
        bool footer;
        bool picture, textLogo, headerLines, footerLines;
    };
    const Case cases[] = {
        {"optLogoTipo(0)", true, false, false, false, true, false},
        {"optLogoTipo(1)", false, true, true, false, false, true},
        {"optLogoTipo(2)", true, true, false, true, true, true},
    };
    m_dialogs.answerModal([&](QWidget* w) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.option);
            get<QRadioButton>(w, QString::fromLatin1(c.option))->setChecked(true);
            get<QCheckBox>(w, QStringLiteral("chkData(1)"))->setChecked(c.header);
            get<QCheckBox>(w, QStringLiteral("chkData(2)"))->setChecked(c.footer);
            EXPECT_EQ(get<QWidget>(w, QStringLiteral("picData"))->isVisibleTo(w->findChild<QWidget*>(QStringLiteral("SSTab2"))),
                      c.picture);
            EXPECT_EQ(!get<QWidget>(w, QStringLiteral("cmdopenimg"))->isHidden(), c.picture);
            EXPECT_EQ(!get<QWidget>(w, QStringLiteral("txtData(7)"))->isHidden(), c.textLogo);
            EXPECT_EQ(!get<QWidget>(w, QStringLiteral("txtData(8)"))->isHidden(), c.textLogo);
            EXPECT_EQ(!get<QWidget>(w, QStringLiteral("txtData(9)"))->isHidden(), c.headerLines);
            EXPECT_EQ(!get<QWidget>(w, QStringLiteral("txtData(12)"))->isHidden(), c.headerLines);
            EXPECT_EQ(!get<QWidget>(w, QStringLiteral("txtData(18)"))->isHidden(), c.footerLines);
        }
        click(w, "cmdCancel");
    });
    frm_setup::Apri(1);
}

TEST_F(SetupTest, SavingWritesTheEditedProfessionalWithLogoPasswordAndLayouts)
{
    const QString png = writePng();
    // The administrator editing professional 2, and professional 2 itself: the
    // rows written are always the edited professional's.
    for (const std::int32_t current : {1, 2}) {
        SCOPED_TRACE(current);
        session().sezId = current;
        CaricaSezione();
        restartDialogs();
        m_dialogs.answerModal([&](QWidget* w) {
            EXPECT_FALSE(get<QLabel>(w, QStringLiteral("lblAdmin"))->isVisibleTo(w));
            type(w, QStringLiteral("txtData(1)"), QStringLiteral("Anna"));
            type(w, QStringLiteral("txtData(3)"), QStringLiteral("2.5"));
            EXPECT_EQ(get<QLineEdit>(w, QStringLiteral("txtData(3)"))->text(), QStringLiteral("2.5"));
            type(w, QStringLiteral("txtData(9)"), QStringLiteral("P.IVA 01234567890"));
            get<QRadioButton>(w, QStringLiteral("optLogoTipo(1)"))->click();
            click(w, "cmdopenimg");
            EXPECT_FALSE(get<QLabel>(w, QStringLiteral("picData"))->pixmap().isNull());
            type(w, QStringLiteral("txtPass(0)"), QStringLiteral("Nuova"));
            type(w, QStringLiteral("txtPass(1)"), QStringLiteral("Nuova"));
            auto* gex = get<grid::GridEx>(w, QStringLiteral("gex"));
            gex->setRow(1);
            gex->setValue(QStringLiteral("fnrfinId"), core::Variant(std::int32_t(3)));
            click(w, "cmdSave");
        });
        m_dialogs.answerOpenFile(png).answerMessageBox(ui::vbYes);
        frm_setup::Apri(2);
        EXPECT_TRUE(m_dialogs.unexpected().isEmpty()) << unexpected();
        EXPECT_FALSE(frm_setup::IsLoaded());

        EXPECT_EQ(scalar(QStringLiteral("SELECT sezNome FROM Sezioni WHERE sezId=2")).toString(), QStringLiteral("Anna"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT sezRitPrePerc FROM Sezioni WHERE sezId=2")).toDouble(), 2.5);
        EXPECT_EQ(scalar(QStringLiteral("SELECT modFatInt01 FROM SezioniModelli WHERE sezId=2")).toString(),
                  QStringLiteral("P.IVA 01234567890"));
        EXPECT_EQ(count(QStringLiteral("SELECT modFatIntTipo FROM SezioniModelli WHERE sezId=2")), 1);
        const QString stored = scalar(QStringLiteral("SELECT sezPass FROM Sezioni WHERE sezId=2")).toString();
        EXPECT_TRUE(verifyPasswordHash(stored, QStringLiteral("Nuova"))) << stored.toStdString();
        EXPECT_EQ(count(QStringLiteral("SELECT fnrfinId FROM finRel WHERE sezId=2 AND fnrDocType=0")), 3);
        // The logo is a bitmap of the picture, what was transparent now white.
        const QByteArray bytes = scalar(QStringLiteral("SELECT modFatIntLogo FROM SezioniModelli WHERE sezId=2")).toBytes();
        EXPECT_TRUE(bytes.startsWith("BM"));
        const QImage logo = QImage::fromData(bytes);
        ASSERT_EQ(logo.size(), QSize(40, 20));
        EXPECT_EQ(logo.pixelColor(0, 0), QColor(Qt::white));
        EXPECT_EQ(logo.pixelColor(20, 10), QColor(Qt::red));
        // The administrator's rows are untouched; the current section's defaults are read again.
        EXPECT_EQ(scalar(QStringLiteral("SELECT sezNome FROM Sezioni WHERE sezId=1")).toString(), QStringLiteral("Amministratore"));
        EXPECT_TRUE(scalar(QStringLiteral("SELECT modFatIntLogo FROM SezioniModelli WHERE sezId=1")).isEmptyOrNull());
        EXPECT_TRUE(scalar(QStringLiteral("SELECT sezPass FROM Sezioni WHERE sezId=1")).isEmptyOrNull());
        EXPECT_EQ(session().ritPrePerc, current == 2 ? 2.5 : 4.0);
    }
}

TEST_F(SetupTest, AFailedSaveWritesNothingAndKeepsTheEdits)
{
    session().sezId = 2;
    m_dialogs.answerModal([&](QWidget* w) {
        type(w, QStringLiteral("txtData(1)"), QStringLiteral("Anna"));
        type(w, QStringLiteral("txtData(9)"), QStringLiteral("Via Roma 1"));
        type(w, QStringLiteral("txtPass(0)"), QStringLiteral("Nuova"));
        type(w, QStringLiteral("txtPass(1)"), QStringLiteral("Nuova"));
        // Meanwhile another machine changed the same heading line.
        exec(QStringLiteral("UPDATE SezioniModelli SET modFatInt01='Altrove' WHERE sezId=2"));
        click(w, "cmdSave");
        EXPECT_TRUE(w->isVisible()) << "the dialog closed on a failed save";
        EXPECT_EQ(get<QLineEdit>(w, QStringLiteral("txtData(1)"))->text(), QStringLiteral("Anna"));
        click(w, "cmdCancel");
    });
    m_dialogs.answerMessageBox(ui::vbYes).answerMessageBox(ui::vbOK);
    frm_setup::Apri(2);
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_TRUE(m_dialogs.messages()[1].contains(QStringLiteral("modificata o eliminata da un'altro utente"))) << m_dialogs.messages()[1].toStdString();
    // The section row came first in the save: it was rolled back with the rest.
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezNome FROM Sezioni WHERE sezId=2")).toString(), QStringLiteral("Maria"));
    EXPECT_TRUE(scalar(QStringLiteral("SELECT sezPass FROM Sezioni WHERE sezId=2")).isEmptyOrNull());
    EXPECT_EQ(scalar(QStringLiteral("SELECT modFatInt01 FROM SezioniModelli WHERE sezId=2")).toString(), QStringLiteral("Altrove"));
}

TEST_F(SetupTest, TheNewPasswordMustBeTypedTwiceAlike)
{
    session().sezId = 2;
    const QString hash = hashPassword(QStringLiteral("Vecchia"));
    struct Case {
        const char* first;
        const char* second;
        bool refused;
        const char* opens; // the password stored afterwards
    };
    const Case cases[] = {
        {"", "", false, "Vecchia"},
        {"Nuova", "nuova", true, "Vecchia"},
        {"", "Nuova", true, "Vecchia"},
        {"Nuova", "", true, "Vecchia"},
        {"Nuova", "Nuova", false, "Nuova"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + "/" + c.second);
        exec(QStringLiteral("UPDATE Sezioni SET sezPass='") + hash + QStringLiteral("' WHERE sezId=2"));
        restartDialogs();
        m_dialogs.answerModal([&](QWidget* w) {
            type(w, QStringLiteral("txtPass(0)"), QString::fromLatin1(c.first));
            type(w, QStringLiteral("txtPass(1)"), QString::fromLatin1(c.second));
            click(w, "cmdSave");
            EXPECT_EQ(w->isVisible(), c.refused);
            if (w->isVisible())
                click(w, "cmdCancel");
        });
        m_dialogs.answerMessageBox(ui::vbYes);
        if (c.refused)
            m_dialogs.answerMessageBox(ui::vbOK);
        frm_setup::Apri(2);
        EXPECT_TRUE(m_dialogs.unexpected().isEmpty()) << unexpected();
        EXPECT_EQ(m_dialogs.messages().contains(QStringLiteral("Password errata....")), c.refused);
        const QString stored = scalar(QStringLiteral("SELECT sezPass FROM Sezioni WHERE sezId=2")).toString();
        EXPECT_TRUE(verifyPasswordHash(stored, QString::fromLatin1(c.opens)));
    }
}

TEST_F(SetupTest, EliminaClearsTheStoredLogoAndABadPictureIsRefused)
{
    session().sezId = 2;
    QImage logo(30, 10, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    {
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=2"), session().dataConStr, db::CursorType::Static,
                db::LockType::Optimistic);
        rs.setValue(QStringLiteral("modFatIntTipo"), core::Variant(std::int16_t(1)));
        rs.setValue(QStringLiteral("modFatIntLogo"), core::Variant(frm_setup::LogoComeBitmap(logo)));
        rs.update();
        rs.close();
    }
    const QString notAPicture = QDir(m_home.path()).filePath(QStringLiteral("finto.jpg"));
    {
        QFile f(notAPicture);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
    }
    m_dialogs.answerModal([&](QWidget* w) {
        click(w, "cmdopenimg");
        EXPECT_FALSE(get<QLabel>(w, QStringLiteral("picData"))->pixmap().isNull()) << "a refused file removed the logo";
        click(w, "cmdopenimg"); // cancelled: nothing changes
        click(w, "cmderaseimg");
        EXPECT_TRUE(get<QLabel>(w, QStringLiteral("picData"))->pixmap().isNull());
        click(w, "cmdSave");
    });
    m_dialogs.answerOpenFile(notAPicture).answerMessageBox(ui::vbOK).answerOpenFile(QString()).answerMessageBox(ui::vbYes);
    frm_setup::Apri(2);
    EXPECT_EQ(m_dialogs.messages().first(), QStringLiteral("Errore nel caricamento del file grafico"));
    EXPECT_TRUE(scalar(QStringLiteral("SELECT modFatIntLogo FROM SezioniModelli WHERE sezId=2")).isEmptyOrNull());
}

TEST_F(SetupTest, ANameOrPercentageThatFailsItsCheckKeepsTheFocus)
{
    m_dialogs.answerModal([&](QWidget* w) {
        QApplication::setActiveWindow(w);
        for (const char* name : {"txtData(1)", "txtData(2)", "txtData(3)"}) {
            SCOPED_TRACE(name);
            type(w, QString::fromLatin1(name), QString());
            get<QLineEdit>(w, QStringLiteral("txtData(4)"))->setFocus();
            EXPECT_EQ(QApplication::focusWidget(), get<QWidget>(w, QString::fromLatin1(name)));
            type(w, QString::fromLatin1(name), QStringLiteral("1"));
        }
        // Annulla is always reachable.
        type(w, QStringLiteral("txtData(1)"), QString());
        click(w, "cmdCancel");
    });
    frm_setup::Apri(1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezNome FROM Sezioni WHERE sezId=1")).toString(), QStringLiteral("Amministratore"));
}

TEST_F(SetupTest, AMissingPrintPageRowIsCreatedWhenTheDialogOpens)
{
    exec(QStringLiteral("DELETE * FROM SezioniModelli WHERE sezId=2"));
    session().sezId = 2;
    m_dialogs.answerModal([&](QWidget* w) {
        type(w, QStringLiteral("txtData(9)"), QStringLiteral("Intestazione"));
        click(w, "cmdSave");
    });
    m_dialogs.answerMessageBox(ui::vbYes);
    frm_setup::Apri(2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT modFatInt01 FROM SezioniModelli WHERE sezId=2")).toString(), QStringLiteral("Intestazione"));
}

TEST_F(SetupTest, ALayoutListThatCannotBeReadIsTold)
{
    exec(QStringLiteral("DROP TABLE finData"));
    m_dialogs.answerMessageBox(ui::vbOK);
    m_dialogs.answerModal([&](QWidget* w) { click(w, "cmdCancel"); });
    frm_setup::Apri(1);
    ASSERT_FALSE(m_dialogs.messages().isEmpty());
    EXPECT_TRUE(m_dialogs.messages().constFirst().startsWith(QStringLiteral("Impossibile leggere l'elenco dei modelli di stampa.\n")))
        << m_dialogs.messages().constFirst().toStdString();
}

TEST_F(SetupTest, TheSetupOpensWhileAnotherMachineSaves)
{
    // Every row the setup needs is there: opening it reads only, so another
    // machine's write lock does not keep it shut.
    session().sezId = 2;
    ensureSectionRows(session().dataConStr, 2);
    const BusyTimeout shortWait(200);
    db::Connection other;
    other.open(session().dataConStr);
    other.beginTrans();
    QString shown;
    m_dialogs.answerModal([&](QWidget* w) {
        shown = get<QLineEdit>(w, QStringLiteral("txtData(1)"))->text();
        click(w, "cmdCancel");
    });
    frm_setup::Apri(2);
    other.rollbackTrans();
    other.close();
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(shown, scalar(QStringLiteral("SELECT sezNome FROM Sezioni WHERE sezId=2")).toString());
}

TEST_F(SetupTest, PercentagesAreStoredAsTypedTheItalianWayOrRefused)
{
    session().sezId = 2;
    const std::pair<const char*, const char*> boxes[] = {
        {"txtData(3)", "sezRitPrePerc"}, {"txtData(5)", "sezRitAccPerc"}, {"txtData(6)", "sezRitAccPercSuImp"}};
    for (const auto& [name, column] : boxes) {
        for (const TypedNumber& c : typedNumbers()) {
            SCOPED_TRACE(std::string(name) + " " + c.typed);
            exec(QStringLiteral("UPDATE Sezioni SET %1=7 WHERE sezId=2").arg(QLatin1String(column)));
            const bool stored = c.value && *c.value <= 100.0;
            m_dialogs.answerModal([&](QWidget* w) {
                type(w, QString::fromLatin1(name), QString::fromLatin1(c.typed));
                auto* box = get<QLineEdit>(w, QString::fromLatin1(name));
                EXPECT_EQ(box->text(), QString::fromLatin1(c.shown));
                QTest::keyClick(box, Qt::Key_Tab);
                EXPECT_EQ(box->hasFocus(), !stored);
                click(w, "cmdSave");
                EXPECT_EQ(w->isVisible(), !stored);
                if (w->isVisible())
                    click(w, "cmdCancel");
            });
            m_dialogs.answerMessageBox(ui::vbYes);
            if (!stored)
                m_dialogs.answerMessageBox(ui::vbOK);
            frm_setup::Apri(2);
            if (!stored) {
                EXPECT_EQ(m_dialogs.messages().value(1), QStringLiteral("Indicare una percentuale valida."));
            }
            restartDialogs();
            EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT %1 FROM Sezioni WHERE sezId=2").arg(QLatin1String(column))).toDouble(),
                             stored ? *c.value : 7.0);
        }
    }
}

TEST_F(SetupTest, ARefusedKeyLeavesThePercentageAsItWas)
{
    session().sezId = 2;
    m_dialogs.answerModal([&](QWidget* w) {
        for (const char* name : {"txtData(3)", "txtData(5)", "txtData(6)"}) {
            SCOPED_TRACE(name);
            type(w, QString::fromLatin1(name), QStringLiteral("2,5"));
            auto* box = get<QLineEdit>(w, QString::fromLatin1(name));
            expectRefusedKeysChangeNothing(box, QStringLiteral("a-x"));
            // A second comma, typed or pasted, is no number.
            box->end(false);
            QTest::keyClicks(box, QStringLiteral(","));
            EXPECT_EQ(box->text(), QStringLiteral("2,5"));
            box->selectAll();
            QGuiApplication::clipboard()->setText(QStringLiteral("1,2,3"));
            box->paste();
            EXPECT_EQ(box->text(), QStringLiteral("2,5"));
        }
        click(w, "cmdCancel");
    });
    frm_setup::Apri(2);
}
