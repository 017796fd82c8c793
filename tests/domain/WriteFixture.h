#pragma once

#include "DomainDatabase.h"
#include "platform/database/Connection.h"
#include "support/DatabaseFile.h"

#include <QDir>
#include <memory>

// The rules that write on a connection given to them: the database of the full
// schema with that connection open, a look at every row for "nothing was
// stored", and a way to make one write of the engine fail.
class WriteFixture : public DomainDatabase {
protected:
    void SetUp() override
    {
        DomainDatabase::SetUp();
        m_path = QDir(m_dir.path()).filePath(QStringLiteral("qelvo.mdb"));
        m_cn.setCursorLocation(db::CursorLocation::Client);
        m_cn.open(m_cs);
    }
    void TearDown() override
    {
        if (m_cn.isOpen())
            m_cn.abandon();
    }

    QString connectionString() const { return m_cs; }
    // The first value of the first row as a number; 0 when there is none.
    int number(const QString& sql) const
    {
        const core::Variant v = scalar(sql);
        return v.isEmptyOrNull() ? 0 : static_cast<int>(v.toDouble());
    }
    // Every row of every table: two equal snapshots mean nothing was stored.
    QString snapshot() const { return databaseSnapshot(m_path); }
    // The engine refuses every `action` on `table` while the returned object lives.
    std::unique_ptr<WriteRefusal> refuse(const QString& action, const QString& table) const
    {
        return std::make_unique<WriteRefusal>(m_path, action, table);
    }

    QString m_path;
    db::Connection m_cn;
};
