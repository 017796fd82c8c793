#include "DomainFixture.h"

#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/FirstValue.h"

#include <QDir>
#include <QFile>

void DomainFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    const QString path = QDir(m_dir.path()).filePath(QStringLiteral("qelvo.mdb"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(CORVESSA_TEST_DATABASE), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    m_cs = db::Connection::connectionStringFor(path);
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
    return db::firstValue(m_cs, sql);
}

void DomainFixture::addDefaultLayouts()
{
    for (int t = 0; t < 3; ++t) {
        exec(QStringLiteral("INSERT INTO finData (finId, finNome, finLay) VALUES (%1, 'Modello %1', 'x')").arg(t + 1));
        exec(QStringLiteral("INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (1, %1, %2)").arg(t + 1).arg(t));
    }
}
