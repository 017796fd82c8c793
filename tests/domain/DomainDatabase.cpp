#include "DomainDatabase.h"

#include "platform/core/Error.h"
#include "platform/database/Recordset.h"
#include "startup/Schema.h"
#include "startup/SchemaUpgrade.h"


void DomainDatabase::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("qelvo.mdb"));
    db::Connection::createDatabase(m_path);
    m_cn.setCursorLocation(db::CursorLocation::Client);
    m_cn.open(connectionString());
    for (const QString& sql : startup::templateSchemaStatements())
        m_cn.execute(sql);
    int n = 0;
    const char* const* upgrade = StatementiAggiornaDb(&n);
    for (int i = 0; i < n; ++i) {
        try {
            m_cn.execute(QString::fromUtf8(upgrade[i]));
        } catch (const core::Error&) {
            // As at every start: what exists already is refused and left.
        }
    }
}

void DomainDatabase::TearDown()
{
    if (m_cn.isOpen())
        m_cn.abandon();
}

void DomainDatabase::exec(const QString& sql) { m_cn.execute(sql); }

QVariant DomainDatabase::scalar(const QString& sql)
{
    db::Recordset rs;
    rs.open(sql, m_cn, db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
    QVariant result;
    if (!rs.eof()) {
        const core::Variant v = rs.value(0);
        if (v.isString())
            result = v.toString();
        else if (!v.isEmptyOrNull())
            result = v.toDouble();
    }
    rs.close();
    return result;
}

std::unique_ptr<WriteRefusal> DomainDatabase::refuse(const QString& action, const QString& table) const
{
    return std::make_unique<WriteRefusal>(m_path, action, table);
}

QString DomainDatabase::snapshot() const { return databaseSnapshot(m_path); }
