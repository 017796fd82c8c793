#pragma once

#include "platform/database/Connection.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestApplication.h"

// A test with a database file of its own, empty, in a folder that goes with
// the test, and a connection open on it. A derived SetUp calls this one first
// and makes its tables through `connection`.
class GridDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bareTestApplication();
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("qelvo.mdb"));
        db::Connection::createDatabase(path);
        connectionString = db::Connection::connectionStringFor(path);
        connection.open(connectionString);
    }

    QTemporaryDir dir;
    QString connectionString;
    db::Connection connection;
};
