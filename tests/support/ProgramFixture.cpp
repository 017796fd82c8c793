#include "support/ProgramFixture.h"

#include "common/comfrmAbout.h"
#include "platform/database/Connection.h"
#include "platform/registry/RegistryStore.h"
#include "startup/DatabaseFile.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"
#include "platform/database/FirstValue.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QWidget>

void ProgramFixture::SetUp()
{
    testApplication();
    ASSERT_TRUE(m_home.isValid());
    ASSERT_TRUE(m_program.isValid());
    qputenv("HOME", m_home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", QDir(m_home.path()).filePath(QStringLiteral(".config")).toLocal8Bit());
    qunsetenv("XDG_DOCUMENTS_DIR");
    reg::Store::setFilePath(QDir(m_home.path()).filePath(QStringLiteral("registry.json")));
    ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(CORVESSA_PROGRAM_DIR)).filePath(QLatin1String(kNomeTemplate)),
                            QDir(m_program.path()).filePath(QLatin1String(kNomeTemplate))));
    // Each test runs on a session of its own, so nothing it sets (section,
    // database, printers, registry keys, image folder) reaches the next one.
    m_sessionScope = std::make_unique<Session::Scope>(m_session);
    ImpostaCartellaProgramma(m_program.path());
    ImpostaDataLavoro(QDate::currentDate());
    // The splash of the main window takes no time in a test.
    comfrmAbout::setLongestSplash(0);
    m_scope = std::make_unique<ui::ScopedDialogHandler>(m_dialogs);
}

void ProgramFixture::TearDown()
{
    // A message box or dialog the test did not script is a fault, of the test
    // or of the program, and so is a scripted answer no dialog took (the checks
    // inside its script never ran). Checked before closing, whose own questions
    // are no part of the test.
    expectDialogsDone();
    for (QWidget* w : QApplication::topLevelWidgets())
        w->close();
    settle();
    m_scope.reset();
    m_sessionScope.reset();
    reg::Store::setFilePath(QString());
}

QString ProgramFixture::defaultDatabasePath() const
{
    return QDir(m_home.path()).filePath(QStringLiteral("Documents/TarvixDB/qelvo.mdb"));
}

void ProgramFixture::useFreshDatabase()
{
    const QString folder = QFileInfo(defaultDatabasePath()).absolutePath();
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(QDir(m_program.path()).filePath(QLatin1String(kNomeTemplate)), defaultDatabasePath()));
    QFile::setPermissions(defaultDatabasePath(), QFile::ReadOwner | QFile::WriteOwner);
    session().cartellaDb = folder;
    session().dataConStr = StringaConnessione(folder);
}

void ProgramFixture::useUpgradedDatabase()
{
    useFreshDatabase();
    AggiornaDb();
    CaricaUms();
    CreaTabelleFin();
}

void ProgramFixture::exec(const QString& sql)
{
    db::Connection cn;
    cn.open(session().dataConStr);
    cn.execute(sql);
    cn.close();
}

core::Variant ProgramFixture::scalar(const QString& sql)
{
    return db::firstValue(session().dataConStr, sql);
}

void ProgramFixture::settle()
{
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ProgramFixture::expectDialogsDone()
{
    EXPECT_TRUE(m_dialogs.unexpected().isEmpty())
        << "Dialogs the test did not script:\n" << m_dialogs.unexpected().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(m_dialogs.pendingAnswers(), 0) << "Scripted answers that no dialog used";
    // An error number ("-2147467259 - Il database...") means nothing to the
    // person reading the message: every message box of every test is checked.
    static const QRegularExpression rawNumber(QStringLiteral("(?:^|\\s)-?\\d{4,} - \\p{Lu}"));
    // One sentence style: a sentence goes on in small letters after a colon; a
    // cause that is a sentence of its own starts on its own line. A label at the
    // head of a line ("Professionista: Dott. ...") is no sentence.
    static const QRegularExpression capitalAfterColon(QStringLiteral("[^\\s:]+ [^\\n:]*\\p{Ll}: \\p{Lu}\\p{Ll}"));
    for (const QString& message : m_dialogs.messages()) {
        EXPECT_FALSE(rawNumber.match(message).hasMatch()) << "A message shows an error number: " << message.toStdString();
        EXPECT_FALSE(capitalAfterColon.match(message).hasMatch())
            << "A capital after a colon mid-sentence: " << message.toStdString();
    }
}

void ProgramFixture::restartDialogs()
{
    expectDialogsDone();
    m_dialogs.clear();
}
