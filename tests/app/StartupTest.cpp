#include "app/Main.h"
#include "common/comRegistry.h"
#include "mainwindow/InstalledPrinters.h"
#include "mainwindow/frmMain.h"
#include "platform/database/Catalog.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "sections/frmAdminPass.h"
#include "startup/DatabaseFile.h"
#include "startup/SharedState.h"
#include "platform/ui/MsgBoxStyle.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <sqlite3.h>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool anyWindowVisible()
{
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* w) { return w->isVisible(); });
}

QByteArray fileHash(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Every table with its columns and rows, as text: what "nothing changed" compares.
QString databaseDump()
{
    db::Connection cn;
    cn.open(DataConStr);
    QString out;
    for (const db::TableInfo& t : cn.catalog().tables()) {
        out += t.name + QLatin1Char(':');
        for (const db::ColumnInfo& c : t.columns)
            out += c.name + QLatin1Char('/') + QString::number(static_cast<int>(c.type)) + QLatin1Char('/')
                 + QString::number(c.definedSize) + QLatin1Char(' ');
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM [") + t.name + QStringLiteral("]"), cn, db::CursorType::Static,
                db::LockType::ReadOnly);
        for (; !rs.eof(); rs.moveNext())
            for (int i = 0; i < rs.fieldCount(); ++i)
                out += rs.value(i).debugString() + QLatin1Char('|');
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace

class StartupTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        // One printer on every test machine, whatever the machine has installed.
        setInstalledPrintersSource([] {
            return InstalledPrinters{{{QStringLiteral("Stampante di prova"), QStringLiteral("Driver di prova")}},
                                     QStringLiteral("Stampante di prova")};
        });
    }
    void TearDown() override
    {
        ProgramFixture::TearDown();
        setInstalledPrintersSource({});
    }
};

TEST_F(StartupTest, FirstStartCreatesTheDatabaseFromTheTemplateAndShowsTheMainWindow)
{
    Main();

    EXPECT_TRUE(QFileInfo::exists(defaultDatabasePath()));
    EXPECT_EQ(gCartellaDb, QFileInfo(defaultDatabasePath()).absolutePath());
    EXPECT_EQ(DataConStr, StringaConnessione(gCartellaDb));
    EXPECT_EQ(gSezId, 1);
    EXPECT_TRUE(m_dialogs.requests().isEmpty()) << m_dialogs.messages().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(frmMain::exists());
    EXPECT_TRUE(frmMain::instance()->isVisible());
    EXPECT_EQ(frmMain::instance()->windowTitle(), QStringLiteral("Corvessa"));
    // The section's defaults reached the shared state.
    EXPECT_DOUBLE_EQ(gRitPrePerc, 4.0);
    EXPECT_DOUBLE_EQ(gRitAccPerc, 20.0);
    EXPECT_DOUBLE_EQ(gRitAccPercSuImp, 100.0);
    EXPECT_FALSE(gPreIVA.isEmpty());

    const QString afterFirst = databaseDump();
    const QByteArray hashAfterFirst = fileHash(defaultDatabasePath());
    frmMain::instance()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    Main();
    EXPECT_EQ(databaseDump(), afterFirst) << "a second start changed the data";
    EXPECT_EQ(fileHash(defaultDatabasePath()), hashAfterFirst) << "a second start rewrote the file";
    EXPECT_TRUE(m_dialogs.requests().isEmpty());
}

TEST_F(StartupTest, TheUpgradeBringsTheTemplateToTheFullSchema)
{
    useFreshDatabase();
    Main();
    db::Connection cn;
    cn.open(DataConStr);
    const db::Catalog catalog = cn.catalog();
    for (const char* table : {"Incassi", "Media", "MediaPagamenti", "Fornitori", "Ums", "Enasarco", "finData", "finRel"})
        EXPECT_TRUE(catalog.hasTable(QString::fromUtf8(table))) << table;
    const db::TableInfo sezioni = catalog.table(QStringLiteral("Sezioni"));
    EXPECT_TRUE(std::any_of(sezioni.columns.begin(), sezioni.columns.end(),
                            [](const db::ColumnInfo& c) { return c.name == QLatin1String("sezPass"); }));
    db::Recordset ums;
    ums.open(QStringLiteral("SELECT * FROM Ums"), cn, db::CursorType::Static, db::LockType::ReadOnly);
    EXPECT_EQ(ums.recordCount(), 7);
}

TEST_F(StartupTest, ASingleProfessionalWithoutPasswordWorksAsItsOwnSection)
{
    useFreshDatabase();
    exec(QStringLiteral("ALTER TABLE Sezioni ADD COLUMN sezPass TEXT(50)"));
    exec(QStringLiteral("UPDATE Sezioni SET sezId = 5 WHERE sezId = 1"));
    Main();
    EXPECT_EQ(gSezId, 5);
    EXPECT_TRUE(frmMain::exists());
    EXPECT_TRUE(m_dialogs.requests().isEmpty());
}

TEST_F(StartupTest, AnEmptyTextPasswordStillAsksForTheLoginAndCancelEndsTheProgram)
{
    useFreshDatabase();
    exec(QStringLiteral("ALTER TABLE Sezioni ADD COLUMN sezPass TEXT(50)"));
    exec(QStringLiteral("UPDATE Sezioni SET sezPass = '' WHERE sezId = 1"));
    bool loginShown = false;
    m_dialogs.answerModal([&](QWidget* w) {
        loginShown = w->objectName() == QLatin1String("frmAdminPass");
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
    });
    Main();
    EXPECT_TRUE(loginShown);
    EXPECT_FALSE(frmMain::exists());
    EXPECT_FALSE(anyWindowVisible());
}

TEST_F(StartupTest, NoDatabaseAndNoTemplateEndsWithTheSystemFileMessage)
{
    QFile::remove(QDir(AppPath()).filePath(QLatin1String(kNomeTemplate)));
    m_dialogs.answerMessageBox(ui::vbOK).answerFolder(QString());
    Main();
    EXPECT_EQ(m_dialogs.messages(),
              QStringList{QStringLiteral("File di sistema assente") + kCrLf + QStringLiteral("L'applicazione non verrà avviata.")});
    EXPECT_EQ(m_dialogs.requests(ui::DialogKind::Folder).size(), 1);
    EXPECT_FALSE(frmMain::exists());
    EXPECT_TRUE(DataConStr.isEmpty());
}

TEST_F(StartupTest, AnUnreachableFolderShowsOnlyTheCopyMessage)
{
    const QString missing = QDir(m_home.path()).filePath(QStringLiteral("non/esiste"));
    ScriviRegistro(HKEY_CURRENT_USER, QStringLiteral("Software\\Vantrel\\Corvessa\\Settings"), REG_SZ,
                   QStringLiteral("appset_curdb"), core::Variant(missing));
    m_dialogs.answerMessageBox(ui::vbOK).answerFolder(QString());
    Main();
    EXPECT_EQ(m_dialogs.messages(),
              QStringList{QStringLiteral("Impossibile trovare la cartella del database. Verificare la disponibilità della risorsa.")});
    EXPECT_FALSE(frmMain::exists());
}

TEST_F(StartupTest, ADamagedFileIsKeptAsideAndTheStartGoesOnFromTheTemplate)
{
    const QString folder = QFileInfo(defaultDatabasePath()).absolutePath();
    QDir().mkpath(folder);
    QFile garbage(defaultDatabasePath());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();

    m_dialogs.answerMessageBox(ui::vbOK);
    Main();

    ASSERT_EQ(m_dialogs.messages().size(), 1);
    const QStringList kept = QDir(folder).entryList({QStringLiteral("qelvo-danneggiato-*.mdb")}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(kept.first()));
    QFile keptFile(QDir(folder).filePath(kept.first()));
    ASSERT_TRUE(keptFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(keptFile.readAll(), QByteArray(4096, 'x'));
    EXPECT_TRUE(frmMain::exists());
    EXPECT_EQ(gSezId, 1);
}

TEST_F(StartupTest, AFileLockedByAnotherMachineIsNeverTouched)
{
    useFreshDatabase();
    const QByteArray before = fileHash(defaultDatabasePath());
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(defaultDatabasePath().toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    m_dialogs.answerMessageBox(ui::vbOK);
    Main();

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("in uso")));
    EXPECT_FALSE(frmMain::exists());
    EXPECT_EQ(fileHash(defaultDatabasePath()), before);
    EXPECT_TRUE(QDir(QFileInfo(defaultDatabasePath()).absolutePath())
                    .entryList({QStringLiteral("*danneggiato*")}, QDir::Files)
                    .isEmpty());
}
