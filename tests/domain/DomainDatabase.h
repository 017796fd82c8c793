#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/FirstValue.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A database of the program's full schema (the template as a start upgrades
// it, built with the tests) in a temporary folder, for the domain's rules.
class DomainDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("qelvo.mdb"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(CORVESSA_TEST_DATABASE), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        m_cs = db::Connection::connectionStringFor(path);
    }

    void exec(const QString& sql) const
    {
        db::Connection cn;
        cn.open(m_cs);
        cn.execute(sql);
        cn.close();
    }
    // The first column of the first row; Null when there is none.
    core::Variant scalar(const QString& sql) const
    {
        return db::firstValue(m_cs, sql);
    }
    int count(const QString& sql) const { return scalar(QStringLiteral("SELECT COUNT(*) FROM ") + sql).toLong(); }

    QTemporaryDir m_dir;
    QString m_cs;
};
