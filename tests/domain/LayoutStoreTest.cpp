#include "domain/LayoutStore.h"

#include "platform/core/Error.h"
#include "platform/core/Variant.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/FirstValue.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// A database holding only the two layout tables, with three layouts and
// the assignments of section 1 to layouts 1 and 2.
class LayoutStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = QDir(m_dir.path()).filePath(QStringLiteral("layouts.mdb"));
        db::Connection::createDatabase(m_path);
        m_conn = db::Connection::connectionStringFor(m_path);
        cn.open(m_conn);
        for (const char* sql : {"CREATE TABLE finData ( finId COUNTER, finNome TEXT(80), finLay MEMO )",
                                "CREATE INDEX PrimaryKey ON finData (finId) WITH PRIMARY",
                                "CREATE TABLE finRel ( sezId INTEGER, fnrId COUNTER, fnrfinId INTEGER, fnrDocType INTEGER )",
                                "CREATE INDEX PrimaryKey ON finRel (fnrId) WITH PRIMARY",
                                "INSERT INTO finData (finNome, finLay) VALUES ('Modello fattura', 'uno')",
                                "INSERT INTO finData (finNome, finLay) VALUES ('Modello nota di credito', 'due')",
                                "INSERT INTO finData (finNome, finLay) VALUES ('Modello pro forma', 'tre')",
                                "INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (1, 1, 0)",
                                "INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (1, 2, 1)"})
            cn.execute(QString::fromLatin1(sql));
    }
    void TearDown() override
    {
        if (cn.isOpen())
            cn.close();
    }

    core::Variant scalar(const QString& sql)
    {
        return db::firstValue(cn, sql);
    }
    long count(const char* table) { return scalar(QStringLiteral("SELECT Count(*) FROM ") + QLatin1String(table)).toLong(); }

    QTemporaryDir m_dir;
    QString m_path;
    QString m_conn;
    db::Connection cn;
};

// Accepts any bytes; the refusing check throws.
const LayoutCheck kAccept = [](const QByteArray&) {};
const LayoutCheck kRefuse = [](const QByteArray&) { throw core::Error(1, QStringLiteral("non stampabile")); };

} // namespace

TEST_F(LayoutStoreTest, DeletionIsRefusedForTheOnlyLayoutAnAssignedOneOrOneGone)
{
    cn.execute(QStringLiteral("INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (7, 3, 2)"));
    cn.execute(QStringLiteral("INSERT INTO finData (finNome, finLay) VALUES ('Libero', 'quattro')"));
    struct Case {
        std::int32_t finId;
        LayoutDeletion outcome;
        const char* why;
    };
    const Case cases[] = {
        {1, LayoutDeletion::Assigned, "assigned to section 1"},
        {3, LayoutDeletion::Assigned, "assigned only to another professional"},
        {99, LayoutDeletion::Missing, "no such row"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(checkLayoutDeletion(cn, c.finId), c.outcome) << c.why;
        EXPECT_EQ(deleteLayout(cn, c.finId), c.outcome) << c.why;
        EXPECT_EQ(count("finData"), 4) << c.why;
    }
    EXPECT_EQ(deleteLayout(cn, 4), LayoutDeletion::Allowed);
    EXPECT_TRUE(scalar(QStringLiteral("SELECT finId FROM finData WHERE finId=4")).isNull());
    EXPECT_EQ(count("finRel"), 3) << "assignments are never touched";

    // Down to one layout, assigned to nobody: still refused.
    cn.execute(QStringLiteral("DELETE * FROM finRel"));
    EXPECT_EQ(deleteLayout(cn, 1), LayoutDeletion::Allowed);
    EXPECT_EQ(deleteLayout(cn, 2), LayoutDeletion::Allowed);
    EXPECT_EQ(checkLayoutDeletion(cn, 3), LayoutDeletion::OnlyLayout);
    EXPECT_EQ(deleteLayout(cn, 3), LayoutDeletion::OnlyLayout);
    EXPECT_EQ(count("finData"), 1);
    EXPECT_FALSE(cn.inTransaction());
}

TEST_F(LayoutStoreTest, AnAssignmentMadeAfterTheCheckStillStopsTheDeletion)
{
    ASSERT_EQ(checkLayoutDeletion(cn, 3), LayoutDeletion::Allowed);
    // Meanwhile, on another machine, a professional assigns the layout.
    db::Connection other;
    other.open(m_conn);
    other.execute(QStringLiteral("INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (2, 3, 2)"));
    other.close();

    EXPECT_EQ(deleteLayout(cn, 3), LayoutDeletion::Assigned);
    EXPECT_FALSE(scalar(QStringLiteral("SELECT finId FROM finData WHERE finId=3")).isNull());
}

TEST_F(LayoutStoreTest, AFailedDeletionIsRolledBack)
{
    // A database that refuses the delete itself, after the checks have run.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(m_path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "CREATE TRIGGER nodelete BEFORE DELETE ON finData BEGIN SELECT RAISE(ABORT, 'no'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);

    EXPECT_THROW(deleteLayout(cn, 3), core::Error);
    EXPECT_FALSE(cn.inTransaction());
    EXPECT_EQ(count("finData"), 3);
    // No lock is left behind: another connection can write at once.
    db::Connection other;
    other.open(m_conn);
    EXPECT_NO_THROW(other.execute(QStringLiteral("UPDATE finData SET finNome='x' WHERE finId=2")));
    other.close();
}

TEST_F(LayoutStoreTest, ANewLayoutIsWrittenOnlyWithAValidNameAndWhenItPrints)
{
    const QByteArray bytes = QByteArrayLiteral("{\"format\": \"x\", \"è\": 1}\n\x01");
    const QString name80(80, QLatin1Char('n'));
    EXPECT_EQ(checkLayoutName(name80), LayoutName::Valid);
    EXPECT_EQ(checkLayoutName(name80 + QLatin1Char('n')), LayoutName::TooLong);
    EXPECT_EQ(checkLayoutName(QString()), LayoutName::Empty);

    for (const QString& refused : {QString(), name80 + QLatin1Char('n')})
        EXPECT_THROW(insertLayout(cn, refused, bytes, kAccept), core::Error);
    EXPECT_THROW(insertLayout(cn, QStringLiteral("Rotto"), bytes, kRefuse), core::Error);
    EXPECT_THROW(insertLayout(cn, QStringLiteral("Vuoto"), QByteArray(), kAccept), core::Error);
    EXPECT_EQ(count("finData"), 3) << "nothing written for a refused name or layout";

    const std::int32_t id = insertLayout(cn, name80, bytes, kAccept);
    EXPECT_GT(id, 3);
    EXPECT_EQ(readLayout(cn, id), bytes) << "the bytes come back as they were written";
    EXPECT_EQ(scalar(QStringLiteral("SELECT finNome FROM finData WHERE finId=") + QString::number(id)).toString(), name80);
    EXPECT_EQ(count("finRel"), 2) << "a new layout gets no assignment";
    // Two layouts may bear the same name.
    EXPECT_NO_THROW(insertLayout(cn, name80, bytes, kAccept));
    EXPECT_FALSE(cn.inTransaction());
}

TEST_F(LayoutStoreTest, ReplacingRewritesOnlyTheBytesOfThatRow)
{
    const QByteArray bytes = QByteArrayLiteral("nuovo");
    EXPECT_THROW(replaceLayout(cn, 2, bytes, kRefuse), core::Error);
    EXPECT_EQ(readLayout(cn, 2), QByteArrayLiteral("due"));

    EXPECT_EQ(replaceLayout(cn, 2, bytes, kAccept), 2);
    EXPECT_EQ(readLayout(cn, 2), bytes);
    EXPECT_EQ(scalar(QStringLiteral("SELECT finNome FROM finData WHERE finId=2")).toString(),
              QStringLiteral("Modello nota di credito"));
    EXPECT_EQ(readLayout(cn, 1), QByteArrayLiteral("uno"));

    // Deleted from another machine meanwhile: a conflict, and no new row.
    EXPECT_THROW(replaceLayout(cn, 99, bytes, kAccept), core::Error);
    EXPECT_THROW(readLayout(cn, 99), core::Error);
    EXPECT_EQ(count("finData"), 3);
}

TEST_F(LayoutStoreTest, AGuardedRewriteWritesOnlyOverTheBytesReadAtOpening)
{
    const QByteArray mine = QByteArrayLiteral("mio");
    // Saved meanwhile from another program: nothing is written over it.
    cn.execute(QStringLiteral("UPDATE finData SET finLay='altro' WHERE finId=2"));
    EXPECT_EQ(rewriteLayout(cn, 2, QByteArrayLiteral("due"), mine, kAccept), LayoutRewrite::Changed);
    EXPECT_EQ(readLayout(cn, 2), QByteArrayLiteral("altro"));
    EXPECT_FALSE(cn.inTransaction());

    EXPECT_EQ(rewriteLayout(cn, 2, QByteArrayLiteral("altro"), mine, kAccept), LayoutRewrite::Written);
    EXPECT_EQ(readLayout(cn, 2), mine);
    EXPECT_EQ(readLayout(cn, 1), QByteArrayLiteral("uno"));

    EXPECT_EQ(rewriteLayout(cn, 99, QByteArrayLiteral("x"), mine, kAccept), LayoutRewrite::Gone);
    EXPECT_EQ(count("finData"), 3) << "no row is made in place of one gone";
    EXPECT_THROW(rewriteLayout(cn, 1, QByteArrayLiteral("uno"), mine, kRefuse), core::Error);
    EXPECT_EQ(readLayout(cn, 1), QByteArrayLiteral("uno"));
}
