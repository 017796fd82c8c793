#pragma once

#include "platform/database/Connection.h"
#include "support/DatabaseFile.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>

// A database file of the program's full schema in a temporary folder, with
// an open connection, for the rules that work on a connection given to them.
class DomainDatabase : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString connectionString() const { return db::Connection::connectionStringFor(m_path); }
    void exec(const QString& sql);
    QVariant scalar(const QString& sql);
    int count(const QString& sql) { return scalar(sql).toInt(); }
    // Every row of every table, as text: two equal snapshots mean nothing was stored.
    QString snapshot() const;
    // The engine refuses every `action` ("INSERT", "UPDATE", "DELETE") on `table`
    // while the returned object lives.
    std::unique_ptr<WriteRefusal> refuse(const QString& action, const QString& table) const;

    QTemporaryDir m_dir;
    QString m_path;
    db::Connection m_cn;
};
