#include "platform/database/Transaction.h"

#include "DatabaseFixture.h"

#include <stdexcept>

namespace {

class TransactionTest : public DatabaseFixture {};

TEST_F(TransactionTest, LeavingWithoutCommitRollsBackAndCommitKeeps)
{
    createDocuments();
    try {
        db::Transaction tx(connection);
        connection.execute(QStringLiteral("INSERT INTO Doc (docNo) VALUES (1)"));
        throw std::runtime_error("a step failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(count(QStringLiteral("Doc")), 0);

    {
        db::Transaction tx(connection);
        connection.execute(QStringLiteral("INSERT INTO Doc (docNo) VALUES (2)"));
        tx.commit();
    }
    EXPECT_EQ(count(QStringLiteral("Doc")), 1);
    // The write lock is gone: another machine can write at once.
    db::Connection other = otherConnection();
    EXPECT_EQ(other.execute(QStringLiteral("UPDATE Doc SET docNo = 3")), 1);
}

} // namespace
