#include "app/Main.h"
#include "common/comRegistry.h"
#include "mainwindow/InstalledPrinters.h"
#include "mainwindow/frmMain.h"
#include "platform/database/Catalog.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "sections/frmAdminPass.h"
#include "startup/AttesaDatabase.h"
#include "startup/DatabaseFile.h"
#include "startup/DocumentoNuovo.h"
#include "startup/SharedState.h"
#include "platform/ui/MsgBoxStyle.h"
#include "support/DatabaseFile.h"
#include "support/PermissionBits.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <memory>
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
    cn.open(session().dataConStr);
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
    EXPECT_EQ(session().cartellaDb, QFileInfo(defaultDatabasePath()).absolutePath());
    EXPECT_EQ(session().dataConStr, StringaConnessione(session().cartellaDb));
    EXPECT_EQ(session().sezId, 1);
    EXPECT_TRUE(m_dialogs.requests().isEmpty()) << m_dialogs.messages().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(frmMain::exists());
    EXPECT_TRUE(frmMain::instance()->isVisible());
    EXPECT_EQ(frmMain::instance()->windowTitle(), QStringLiteral("Corvessa"));
    // The section's defaults reached the shared state.
    EXPECT_DOUBLE_EQ(session().ritPrePerc, 4.0);
    EXPECT_DOUBLE_EQ(session().ritAccPerc, 20.0);
    EXPECT_DOUBLE_EQ(session().ritAccPercSuImp, 100.0);
    EXPECT_FALSE(session().preIVA.isEmpty());

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
    cn.open(session().dataConStr);
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
    EXPECT_EQ(session().sezId, 5);
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
    EXPECT_TRUE(session().dataConStr.isEmpty());
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
    EXPECT_EQ(session().sezId, 1);
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

namespace {

// Overwrites the first page of a table's tree with bytes no page can hold: the
// schema still reads, the table does not.
void damageTable(const QString& path, const char* table)
{
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QByteArray("SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_master WHERE name='") + table + "'";
    ASSERT_EQ(sqlite3_prepare_v2(raw, sql.constData(), -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    const qint64 page = sqlite3_column_int64(st, 0);
    const qint64 size = sqlite3_column_int64(st, 1);
    sqlite3_finalize(st);
    sqlite3_close(raw);
    ASSERT_GT(page, 1);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek((page - 1) * size));
    file.write(QByteArray(static_cast<int>(size), '\xee'));
}

QStringList damagedCopies(const QString& databasePath)
{
    return QDir(QFileInfo(databasePath).absolutePath()).entryList({QStringLiteral("*danneggiato*")}, QDir::Files);
}

} // namespace

TEST_F(StartupTest, ADamagedTableIsFoundAtStartAndTheFileKeptAsideUnchanged)
{
    useFreshDatabase();
    damageTable(defaultDatabasePath(), "CliFor");
    const QByteArray damaged = fileHash(defaultDatabasePath());

    m_dialogs.answerMessageBox(ui::vbOK);
    Main();

    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("danneggiato")));
    const QStringList kept = damagedCopies(defaultDatabasePath());
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(fileHash(QDir(QFileInfo(defaultDatabasePath()).absolutePath()).filePath(kept.first())), damaged);
    // The start went on with a new file from the template, whose tables all read.
    EXPECT_TRUE(frmMain::exists());
    db::Connection cn;
    cn.open(session().dataConStr);
    EXPECT_EQ(cn.quickCheck(), QStringLiteral("ok"));
}

TEST_F(StartupTest, ADamagedFileInUseElsewhereIsNotTouchedAndTheStartEnds)
{
    useFreshDatabase();
    damageTable(defaultDatabasePath(), "Fatture");
    OtherMachineLock other(defaultDatabasePath(), "BEGIN; SELECT count(*) FROM sqlite_master;");
    ASSERT_TRUE(other.held());
    const QByteArray damaged = fileHash(defaultDatabasePath());

    m_dialogs.answerMessageBox(ui::vbOK);
    Main();

    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(
        QStringLiteral("Il file del database è danneggiato ed è in uso da un altro computer:") + kCrLf + defaultDatabasePath()));
    EXPECT_FALSE(frmMain::exists());
    EXPECT_EQ(fileHash(defaultDatabasePath()), damaged);
    EXPECT_TRUE(damagedCopies(defaultDatabasePath()).isEmpty());
}

TEST_F(StartupTest, AFolderOrAnUnreadableFileAtThePathIsNamedForWhatItIs)
{
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
        QString message;
    };
    const std::vector<Case> cases = {
        {"folder", [](const QString& path) { QDir().mkpath(path); },
         QStringLiteral("Al posto del file del database c'è una cartella con lo stesso nome:")},
        {"no read permission", [](const QString& path) {
             ASSERT_TRUE(QFile::copy(QDir(AppPath()).filePath(QLatin1String(kNomeTemplate)), path));
             QFile::setPermissions(path, QFileDevice::WriteOwner);
         },
         QStringLiteral("Non si dispone dell'autorizzazione a leggere il file del database:")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = defaultDatabasePath();
        QDir(QFileInfo(path).absolutePath()).removeRecursively();
        QDir().mkpath(QFileInfo(path).absolutePath());
        c.make(path);
        // The superuser reads every file: that case cannot be made here.
        if (QFileInfo(path).isFile() && QFile(path).open(QIODevice::ReadOnly))
            continue;
        restartDialogs();
        m_dialogs.answerMessageBox(ui::vbOK).answerFolder(QString());
        Main();
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_TRUE(m_dialogs.messages().first().startsWith(c.message + kCrLf + path)) << m_dialogs.messages().first().toStdString();
        EXPECT_FALSE(frmMain::exists());
        EXPECT_TRUE(damagedCopies(path).isEmpty());
    }
}

TEST_F(StartupTest, AnUpToDateFileStartsAtOnceWhileAnotherMachineSaves)
{
    Main();
    ASSERT_TRUE(frmMain::exists());
    frmMain::instance()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    OtherMachineLock saving(defaultDatabasePath(), "BEGIN IMMEDIATE");
    ASSERT_TRUE(saving.held());
    QElapsedTimer time;
    time.start();
    Main();
    // Every upgrade statement used to wait for the lock in turn, half a minute in all.
    EXPECT_LT(time.elapsed(), 3000);
    EXPECT_TRUE(frmMain::exists());
    EXPECT_TRUE(m_dialogs.requests().isEmpty()) << m_dialogs.messages().join(QLatin1Char('\n')).toStdString();
}

TEST_F(StartupTest, AnUpgradeThatMustWaitSaysSoAndGoesOnWhenTheFileIsFree)
{
    useFreshDatabase();
    ImpostaAttesaTentativo(50);
    auto saving = std::make_shared<OtherMachineLock>(defaultDatabasePath(), "BEGIN IMMEDIATE");
    ASSERT_TRUE(saving->held());
    bool windowShown = false;
    QTimer::singleShot(600, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            windowShown = windowShown || (w->objectName() == QLatin1String("frmAttesaDatabase") && w->isVisible());
        saving->release();
    });
    Main();
    ImpostaAttesaTentativo(200);
    saving->release();

    EXPECT_TRUE(windowShown);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->objectName() == QLatin1String("frmAttesaDatabase") && w->isVisible());
    db::Connection cn;
    cn.open(session().dataConStr);
    EXPECT_TRUE(cn.catalog().hasTable(QStringLiteral("Incassi")));
    EXPECT_TRUE(frmMain::exists());
}

TEST_F(StartupTest, ANeverSavedDocumentLeftByAKilledEditorGoesAtTheNextStart)
{
    Main();
    ASSERT_TRUE(frmMain::exists());
    const auto blankDocument = [&](bool withClient) {
        exec(QStringLiteral("INSERT INTO Fatture (sezId, fatCliForId, fatData) VALUES (1, %1, #06/15/2026#)").arg(withClient ? 7 : 0));
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT MAX(fatId) AS id FROM Fatture"), session().dataConStr, db::CursorType::Static, db::LockType::ReadOnly);
        const std::int32_t id = rs.value(0).toLong();
        rs.close();
        exec(QStringLiteral("INSERT INTO FattureIva (fcifatId, fciCodiceIva) VALUES (%1, '22')").arg(id));
        exec(QStringLiteral("INSERT INTO Incassi (incFatId, incImporto) VALUES (%1, 0)").arg(id));
        return id;
    };
    const auto rows = [&](const QString& sql, std::int32_t id) {
        db::Recordset r;
        r.open(sql.arg(id), session().dataConStr, db::CursorType::Static, db::LockType::ReadOnly);
        return r.recordCount();
    };
    const auto gone = [&](std::int32_t id) {
        return rows(QStringLiteral("SELECT * FROM Fatture WHERE fatId=%1"), id) == 0
            && rows(QStringLiteral("SELECT * FROM FattureIva WHERE fcifatId=%1"), id) == 0
            && rows(QStringLiteral("SELECT * FROM Incassi WHERE incFatId=%1"), id) == 0;
    };
    const auto restart = [&] {
        if (frmMain::exists())
            frmMain::instance()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Main();
        ASSERT_TRUE(frmMain::exists());
    };

    for (const bool withClient : {false, true}) {
        SCOPED_TRACE(withClient ? "saved since" : "blank");
        const std::int32_t id = blankDocument(withClient);
        RicordaDocumentoNuovo(id);
        restart();
        EXPECT_EQ(gone(id), !withClient);
        EXPECT_EQ(DocumentoNuovoRicordato(), 0) << "forgotten once judged";
    }

    {
        SCOPED_TRACE("left by an earlier release, which kept one entry");
        const std::int32_t id = blankDocument(false);
        ScriviRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, QStringLiteral("docNuovoDb"), core::Variant(PercorsoDatabase()));
        ScriviRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_DWORD, QStringLiteral("docNuovoPid"), core::Variant(std::int32_t(0)));
        ScriviRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_DWORD, QStringLiteral("docNuovoId"), core::Variant(id));
        restart();
        EXPECT_TRUE(gone(id));
        EXPECT_TRUE(LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, QStringLiteral("docNuovoDb"), core::Variant(QString()))
                        .toString()
                        .isEmpty());
    }

    {
        SCOPED_TRACE("two copies of the program, each with a new document");
        const std::int32_t theirs = blankDocument(false);
        const std::int32_t mine = blankDocument(false);
        // The other copy: a process of its own that remembers its document and
        // keeps its editor open until it is killed.
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t other = fork();
        ASSERT_GE(other, 0);
        if (other == 0) {
            RicordaDocumentoNuovo(theirs);
            const char done = 1;
            (void)!write(ready[1], &done, 1);
            for (;;)
                pause();
        }
        char done = 0;
        ASSERT_EQ(read(ready[0], &done, 1), 1);
        close(ready[0]);
        close(ready[1]);
        RicordaDocumentoNuovo(mine);

        // This copy was killed and starts again, the other still running.
        restart();
        EXPECT_TRUE(gone(mine));
        EXPECT_FALSE(gone(theirs)) << "a document another running copy has open stays";
        // Then the other copy is killed too.
        kill(other, SIGKILL);
        waitpid(other, nullptr, 0);
        restart();
        EXPECT_TRUE(gone(theirs));
    }
}

namespace {

// The file at `path` as a write cut short leaves it: changed pages in the file
// and, beside it, the journal that undoes them.
void leaveUnfinishedWrite(const QString& source, const QString& path)
{
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(source.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "PRAGMA cache_size=1; BEGIN; CREATE TABLE Ingombro (x); "
                                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                                "INSERT INTO Ingombro SELECT randomblob(500) FROM n;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_TRUE(QFile::copy(source, path));
    ASSERT_TRUE(QFile::copy(source + QStringLiteral("-journal"), path + QStringLiteral("-journal")));
    sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
}

} // namespace

TEST_F(StartupTest, ABrokenLinkAJournalBesideAReadOnlyFileAndAFullDiskAreNamedForWhatTheyAre)
{
    const QString path = defaultDatabasePath();
    const QString folder = QFileInfo(path).absolutePath();
    struct Case {
        const char* name;
        std::function<void()> make;
        QString message;
        bool asksForAFolder;
        std::function<void()> check; // what must still stand after the start
    };
    const QString target = QDir(m_home.path()).filePath(QStringLiteral("Rete/qelvo.mdb"));
    QByteArray journal;
    QByteArray file;
    const std::vector<Case> cases = {
        {"a link to a file that is not there",
         [&] { ASSERT_TRUE(QFile::link(target, path)); },
         QStringLiteral("Il file del database è un collegamento a un file che non esiste:") + kCrLf + path + kCrLf
             + QStringLiteral("Il collegamento punta a ") + target,
         true,
         [&] {
             EXPECT_EQ(QFileInfo(path).symLinkTarget(), target) << "the link is left as it was";
             EXPECT_FALSE(QFileInfo::exists(target));
         }},
        {"the journal of a write cut short beside a read-only file",
         [&] {
             const QString source = QDir(m_home.path()).filePath(QStringLiteral("lavoro.mdb"));
             ASSERT_TRUE(QFile::copy(QDir(AppPath()).filePath(QLatin1String(kNomeTemplate)), source));
             QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner);
             leaveUnfinishedWrite(source, path);
             QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
             journal = fileHash(path + QStringLiteral("-journal"));
             file = fileHash(path);
         },
         QStringLiteral("Il file del database è di sola lettura e accanto c'è il giornale di una scrittura non conclusa, "
                        "che va annullata prima di leggere i dati:")
             + kCrLf + path + kCrLf
             + QStringLiteral("Dare il permesso di scrittura al file e alla sua cartella, poi avviare di nuovo il programma. "
                              "Non cancellare il file qelvo.mdb-journal."),
         false,
         [&] {
             EXPECT_EQ(fileHash(path + QStringLiteral("-journal")), journal);
             EXPECT_EQ(fileHash(path), file);
         }},
        {"a full disk when the database is made from the template",
         [] { ImpostaCopiaFile([](const QString&, const QString&) { return ENOSPC; }); },
         QStringLiteral("Il disco del database è pieno: non c'è spazio per creare il database in") + kCrLf + folder + kCrLf
             + QStringLiteral("Liberare spazio sul disco e avviare di nuovo il programma."),
         true,
         [&] { EXPECT_FALSE(QFileInfo::exists(path)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        c.make();
        restartDialogs();
        m_dialogs.answerMessageBox(ui::vbOK);
        if (c.asksForAFolder)
            m_dialogs.answerFolder(QString());
        {
            PermissionBitsObeyed asAUser;
            Main();
        }
        ImpostaCopiaFile({});
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_TRUE(m_dialogs.messages().first().startsWith(c.message)) << m_dialogs.messages().first().toStdString();
        EXPECT_FALSE(frmMain::exists());
        EXPECT_TRUE(damagedCopies(path).isEmpty());
        c.check();
    }
}

namespace {

// The time of the last write to a file, to the nanosecond, and back.
timespec lastWrite(const QString& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(path.toLocal8Bit().constData(), &info), 0);
    return info.st_mtim;
}

void setLastWrite(const QString& path, const timespec& when)
{
    const timespec times[2] = {{0, UTIME_OMIT}, when};
    EXPECT_EQ(::utimensat(AT_FDCWD, path.toLocal8Bit().constData(), times, 0), 0);
}

} // namespace

TEST_F(StartupTest, AFileWrittenSinceItsLastCleanCheckIsCheckedAgainAndADamagedOneRefused)
{
    const auto start = [&] {
        Main();
        const bool started = frmMain::exists();
        if (started)
            frmMain::instance()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return started;
    };
    // The first start makes the file and upgrades it; the second finds it sound
    // as it now stands.
    ASSERT_TRUE(start());
    ASSERT_TRUE(start());
    const QString path = defaultDatabasePath();

    // A table no start reads, damaged by bytes that leave the header, the size
    // and (put back) the time of the last write as they were: a file unchanged
    // for the start, which opens it without reading it through.
    const timespec checked = lastWrite(path);
    damageTable(path, "Enasarco");
    setLastWrite(path, checked);
    EXPECT_TRUE(start()) << "an unchanged file is not read through again";
    EXPECT_TRUE(m_dialogs.messages().isEmpty());

    // The same bytes written as any program writes them: the file is checked
    // again, the damage found and the file kept aside.
    const QByteArray damaged = fileHash(path);
    setLastWrite(path, timespec{checked.tv_sec, checked.tv_nsec == 0 ? 1 : checked.tv_nsec - 1});
    m_dialogs.answerMessageBox(ui::vbOK);
    EXPECT_TRUE(start());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("danneggiato")));
    const QStringList kept = damagedCopies(path);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(fileHash(QDir(QFileInfo(path).absolutePath()).filePath(kept.first())), damaged);
}
