#include "DomainFixture.h"

#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

#include <QDir>
#include <QFile>

void DomainFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    const QString path = QDir(m_dir.path()).filePath(QStringLiteral("qelvo.mdb"));
    ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(CORVESSA_PROGRAM_DIR)).filePath(QStringLiteral("master.gen")), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    m_cs = db::Connection::connectionStringFor(path);
    for (const char* sql : {
             "ALTER TABLE Sezioni ADD COLUMN sezPass TEXT(255)",
             "ALTER TABLE CliFor ADD COLUMN cliPagamento LONG",
             "ALTER TABLE CliFor ADD COLUMN cliShared YESNO",
             "ALTER TABLE CliFor ADD COLUMN sezId INTEGER",
             "ALTER TABLE Pagamenti ADD COLUMN sezId INTEGER",
             "ALTER TABLE Pagamenti ADD COLUMN pagShared YESNO",
             "ALTER TABLE Prestazioni ADD COLUMN preCliId INTEGER",
             "CREATE TABLE Incassi (incId COUNTER, incFatId INTEGER, incData DATETIME, incImporto CURRENCY, incDescrizione TEXT(50))",
             "CREATE INDEX PrimaryKey ON Incassi (incId) WITH PRIMARY",
             "CREATE TABLE Media ( medfatId INTEGER, medId COUNTER, medForId INTEGER, medDescrizione TEXT(50), medImporto CURRENCY, medImportoVersato CURRENCY)",
             "CREATE INDEX PrimaryKey ON Media (medId) WITH PRIMARY",
             "CREATE TABLE MediaPagamenti ( medpagmedId INTEGER, medpagId COUNTER, medpagData DATETIME, medpagImporto CURRENCY)",
             "CREATE INDEX PrimaryKey ON MediaPagamenti (medpagId) WITH PRIMARY",
             "CREATE TABLE finData ( finId COUNTER, finNome TEXT(80), finLay MEMO )",
             "CREATE INDEX PrimaryKey ON finData (finId) WITH PRIMARY",
             "CREATE TABLE finRel ( sezId INTEGER, fnrId COUNTER, fnrfinId INTEGER, fnrDocType INTEGER )",
             "CREATE INDEX PrimaryKey ON finRel (fnrId) WITH PRIMARY",
         })
        exec(QString::fromLatin1(sql));
}

void DomainFixture::exec(const QString& sql)
{
    db::Connection cn;
    cn.open(m_cs);
    cn.execute(sql);
    cn.close();
}

core::Variant DomainFixture::scalar(const QString& sql)
{
    db::Recordset rs;
    rs.open(sql, m_cs, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    const core::Variant v = rs.eof() ? core::Variant::null() : rs.value(0);
    rs.close();
    return v;
}

void DomainFixture::addDefaultLayouts()
{
    for (int t = 0; t < 3; ++t) {
        exec(QStringLiteral("INSERT INTO finData (finId, finNome, finLay) VALUES (%1, 'Modello %1', 'x')").arg(t + 1));
        exec(QStringLiteral("INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (1, %1, %2)").arg(t + 1).arg(t));
    }
}
