#include "DatabaseFixture.h"
#include "support/BusyTimeout.h"

using core::Currency;
using core::Variant;
using db::ErrorKind;
using db::LockType;

namespace {

class BatchTest : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        createDocuments();
        createCodes();
        for (int i = 1; i <= 3; ++i)
            connection.execute(QStringLiteral("INSERT INTO Doc (docNo, docDesc, docTot) VALUES (%1, 'd%1', %1)").arg(i));
        connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice, cdiDescr, cdiValore) VALUES ('22', 'Ordinaria', 22)"));
        connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice, cdiDescr, cdiValore) VALUES ('10', Null, 10)"));
    }

    QString stored(const QString& sql)
    {
        db::Recordset rs;
        rs.open(sql, otherConnection());
        return rs.eof() ? QStringLiteral("<none>") : rs.value(0).toString();
    }
};

TEST_F(BatchTest, UpdateKeepsEditsUntilTheBatchWritesThem)
{
    db::Recordset rs = openBatch(QStringLiteral("SELECT * FROM Doc ORDER BY docNo"), connection);
    rs.setValue(QStringLiteral("docDesc"), QStringLiteral("uno"));
    rs.update();
    EXPECT_EQ(rs.status(), db::RecordStatus::Modified);
    rs.moveNext();
    rs.deleteRecord();
    EXPECT_EQ(rs.status(), db::RecordStatus::Deleted);
    rs.addNew();
    rs.setValue(QStringLiteral("docNo"), 9);
    rs.update();
    EXPECT_EQ(rs.status(), db::RecordStatus::New);
    // Added rows show at the end; the deleted one is gone from sight.
    EXPECT_EQ(rs.recordCount(), 3);
    rs.moveLast();
    EXPECT_EQ(rs.value(QStringLiteral("docNo")).toLong(), 9);
    EXPECT_TRUE(rs.value(QStringLiteral("docId")).isNull());

    rs.setFilter(db::FilterGroup::PendingRecords);
    EXPECT_EQ(rs.recordCount(), 3);
    rs.setFilter(QString());
    EXPECT_EQ(stored(QStringLiteral("SELECT docDesc FROM Doc WHERE docNo = 1")), QStringLiteral("d1"));

    rs.updateBatch();
    EXPECT_EQ(stored(QStringLiteral("SELECT docDesc FROM Doc WHERE docNo = 1")), QStringLiteral("uno"));
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM Doc WHERE docNo = 2")), QStringLiteral("0"));
    rs.moveLast();
    EXPECT_EQ(rs.value(QStringLiteral("docId")).toLong(), 4);
    EXPECT_EQ(rs.status(), db::RecordStatus::Unmodified);
    rs.setFilter(db::FilterGroup::PendingRecords);
    EXPECT_EQ(rs.recordCount(), 0);
}

TEST_F(BatchTest, CancelBatchRestoresOriginalsAndDropsAddedRows)
{
    db::Recordset rs = openBatch(QStringLiteral("SELECT * FROM Doc ORDER BY docNo"), connection);
    rs.setValue(QStringLiteral("docTot"), Currency::fromUnits(100));
    rs.moveNext();
    rs.deleteRecord();
    rs.addNew();
    rs.setValue(QStringLiteral("docNo"), 9);
    rs.cancelBatch();
    EXPECT_EQ(rs.recordCount(), 3);
    rs.moveFirst();
    EXPECT_EQ(rs.value(QStringLiteral("docTot")), Variant(Currency::fromUnits(1)));
    rs.setFilter(db::FilterGroup::PendingRecords);
    EXPECT_EQ(rs.recordCount(), 0);
}

TEST_F(BatchTest, ChangedByAnotherMachineIsAConflictAndTheEditStays)
{
    db::Connection mine = otherConnection();
    db::Connection theirs = otherConnection();
    db::Recordset a = openBatch(QStringLiteral("SELECT * FROM Doc WHERE docNo = 1"), mine);
    db::Recordset b = openBatch(QStringLiteral("SELECT * FROM Doc WHERE docNo = 1"), theirs);
    b.setValue(QStringLiteral("docDesc"), QStringLiteral("loro"));
    b.updateBatch();

    a.setValue(QStringLiteral("docDesc"), QStringLiteral("mio"));
    try {
        a.updateBatch();
        FAIL() << "a stale row overwrote another user's change";
    } catch (const db::DbError& error) {
        EXPECT_EQ(error.kind(), ErrorKind::Conflict);
        EXPECT_EQ(error.number(), db::ErrorNumber::Conflict);
    }
    EXPECT_EQ(stored(QStringLiteral("SELECT docDesc FROM Doc WHERE docNo = 1")), QStringLiteral("loro"));
    EXPECT_EQ(a.value(QStringLiteral("docDesc")), Variant(QStringLiteral("mio")));
    EXPECT_TRUE(a.status() & db::RecordStatus::Modified);
    EXPECT_TRUE(a.status() & db::RecordStatus::ConcurrencyViolation);
    a.setFilter(db::FilterGroup::ConflictingRecords);
    EXPECT_EQ(a.recordCount(), 1);
    a.setFilter(QString());

    // Read again, edit again: the retry goes through.
    a.requery();
    EXPECT_EQ(a.value(QStringLiteral("docDesc")), Variant(QStringLiteral("loro")));
    a.setValue(QStringLiteral("docDesc"), QStringLiteral("mio"));
    a.updateBatch();
    EXPECT_EQ(stored(QStringLiteral("SELECT docDesc FROM Doc WHERE docNo = 1")), QStringLiteral("mio"));
}

TEST_F(BatchTest, AChangeOfCaseByAnotherMachineIsAConflictToo)
{
    db::Recordset a = openBatch(QStringLiteral("SELECT * FROM Codici WHERE cdiCodice = '22'"), connection);
    otherConnection().execute(QStringLiteral("UPDATE Codici SET cdiDescr = 'ORDINARIA' WHERE cdiCodice = '22'"));
    a.setValue(QStringLiteral("cdiDescr"), QStringLiteral("Ordinaria 22%"));
    EXPECT_DB_ERROR(a.updateBatch(), ErrorKind::Conflict);
}

TEST_F(BatchTest, ARowDeletedByAnotherMachineIsAConflict)
{
    struct Case {
        const char* name;
        bool deleteIt; // else change it
    };
    for (const Case c : {Case{"edit", false}, Case{"delete", true}}) {
        db::Recordset a = openBatch(QStringLiteral("SELECT * FROM Doc WHERE docNo = 2"), connection);
        otherConnection().execute(QStringLiteral("DELETE * FROM Doc WHERE docNo = 2"));
        if (c.deleteIt)
            a.deleteRecord();
        else
            a.setValue(QStringLiteral("docTot"), 5);
        EXPECT_DB_ERROR(a.updateBatch(), ErrorKind::Conflict) ;
        connection.execute(QStringLiteral("INSERT INTO Doc (docNo, docDesc, docTot) VALUES (2, 'd2', 2)"));
    }
    // Deleting a row another user changed is a conflict as well, not a silent delete.
    db::Recordset a = openBatch(QStringLiteral("SELECT * FROM Doc WHERE docNo = 3"), connection);
    otherConnection().execute(QStringLiteral("UPDATE Doc SET docTot = 33 WHERE docNo = 3"));
    a.deleteRecord();
    EXPECT_DB_ERROR(a.updateBatch(), ErrorKind::Conflict);
    EXPECT_EQ(stored(QStringLiteral("SELECT docTot FROM Doc WHERE docNo = 3")), QStringLiteral("33"));
}

TEST_F(BatchTest, AFailingRowUndoesTheWholeBatchAndItsCounters)
{
    db::Recordset rs = openBatch(QStringLiteral("SELECT * FROM Doc ORDER BY docNo"), connection);
    rs.setValue(QStringLiteral("docDesc"), QStringLiteral("uno"));
    rs.moveNext();
    rs.setValue(QStringLiteral("docDesc"), QStringLiteral("due"));
    rs.addNew();
    rs.setValue(QStringLiteral("docNo"), 9);
    rs.update();
    const db::Bookmark added = rs.bookmark();
    rs.moveFirst();
    rs.move(2);
    rs.setValue(QStringLiteral("docDesc"), QStringLiteral("tre"));
    rs.update();
    otherConnection().execute(QStringLiteral("UPDATE Doc SET docDesc = 'altro' WHERE docNo = 3"));

    EXPECT_DB_ERROR(rs.updateBatch(), ErrorKind::Conflict);
    EXPECT_EQ(stored(QStringLiteral("SELECT docDesc FROM Doc WHERE docNo = 1")), QStringLiteral("d1"));
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM Doc")), QStringLiteral("3"));
    rs.setBookmark(added);
    EXPECT_TRUE(rs.value(QStringLiteral("docId")).isNull());
    EXPECT_EQ(rs.status(), db::RecordStatus::New);
    rs.setFilter(db::FilterGroup::PendingRecords);
    EXPECT_EQ(rs.recordCount(), 4);

    // Dropping the stale edit lets the rest through.
    rs.setFilter(QString());
    rs.moveFirst();
    rs.move(2);
    rs.cancelBatch(db::AffectRecords::Current);
    rs.updateBatch();
    EXPECT_EQ(stored(QStringLiteral("SELECT docDesc FROM Doc WHERE docNo = 2")), QStringLiteral("due"));
    EXPECT_EQ(stored(QStringLiteral("SELECT docId FROM Doc WHERE docNo = 9")), QStringLiteral("4"));
}

TEST_F(BatchTest, InsideTheCallersTransactionAFailedBatchUndoesOnlyItself)
{
    db::Recordset rs = openBatch(QStringLiteral("SELECT * FROM Codici"), connection);
    rs.addNew();
    rs.setValue(QStringLiteral("cdiCodice"), QStringLiteral("22")); // duplicate key
    rs.update();
    connection.beginTrans();
    connection.execute(QStringLiteral("UPDATE Doc SET docDesc = 'prima' WHERE docNo = 1"));
    EXPECT_DB_ERROR(rs.updateBatch(), ErrorKind::Constraint);
    EXPECT_TRUE(connection.inTransaction());
    connection.commitTrans();
    EXPECT_EQ(stored(QStringLiteral("SELECT docDesc FROM Doc WHERE docNo = 1")), QStringLiteral("prima"));
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM Codici")), QStringLiteral("2"));
}

TEST_F(BatchTest, RollingBackTheCallersTransactionMakesTheBatchPendingAgain)
{
    db::Recordset rs = openBatch(QStringLiteral("SELECT * FROM Doc ORDER BY docNo"), connection);
    rs.setValue(QStringLiteral("docDesc"), QStringLiteral("uno"));
    rs.moveNext();
    rs.deleteRecord();
    rs.addNew();
    rs.setValue(QStringLiteral("docNo"), 9);
    rs.update();
    const db::Bookmark added = rs.bookmark();

    connection.beginTrans();
    rs.updateBatch();
    EXPECT_EQ(rs.value(QStringLiteral("docId")).toLong(), 4);
    connection.rollbackTrans();

    // Nothing was stored, so nothing may look stored: the counter is gone and every edit is pending.
    EXPECT_EQ(rs.value(QStringLiteral("docId")).isNull(), true);
    EXPECT_EQ(rs.status(), db::RecordStatus::New);
    rs.setFilter(db::FilterGroup::PendingRecords);
    EXPECT_EQ(rs.recordCount(), 3);
    rs.setFilter(QString());
    EXPECT_EQ(rs.recordCount(), 3);

    rs.updateBatch();
    EXPECT_EQ(stored(QStringLiteral("SELECT docDesc FROM Doc WHERE docNo = 1")), QStringLiteral("uno"));
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM Doc WHERE docNo = 2")), QStringLiteral("0"));
    rs.setBookmark(added);
    EXPECT_EQ(rs.value(QStringLiteral("docId")).toLong(), 4);
}

TEST_F(BatchTest, ASaveThatFailsLeavesNothingStoredAndEverythingPending)
{
    // The document editor's save: header and lines read earlier and disconnected, then
    // numbered and written in one transaction on a new connection.
    connection.execute(QStringLiteral("CREATE TABLE Righe (rigId COUNTER, rigDocId LONG, rigImporto CURRENCY)"));
    connection.execute(QStringLiteral("CREATE TABLE Contatori (conId COUNTER, conNum LONG)"));
    connection.execute(QStringLiteral("INSERT INTO Contatori (conNum) VALUES (7)"));
    db::Recordset header = openBatch(QStringLiteral("SELECT * FROM Doc WHERE docId = 1"), connection);
    db::Recordset lines = openBatch(QStringLiteral("SELECT * FROM Righe WHERE rigDocId = 1"), connection);
    header.disconnect();
    lines.disconnect();
    for (int i = 1; i <= 2; ++i) {
        lines.addNew();
        lines.setValue(QStringLiteral("rigDocId"), 1);
        lines.setValue(QStringLiteral("rigImporto"), Currency::fromUnits(i * 10));
        lines.update();
    }
    header.setValue(QStringLiteral("docTot"), Currency::fromUnits(30));

    auto save = [&]() {
        db::Connection conn = otherConnection();
        header.setActiveConnection(conn);
        lines.setActiveConnection(conn);
        conn.beginTrans();
        try {
            db::Recordset counter;
            counter.open(QStringLiteral("SELECT * FROM Contatori"), conn, db::CursorType::Static, LockType::Optimistic);
            counter.setValue(QStringLiteral("conNum"), counter.value(QStringLiteral("conNum")).toLong() + 1);
            counter.update();
            header.setValue(QStringLiteral("docNo"), counter.value(QStringLiteral("conNum")));
            counter.close();
            lines.updateBatch();
            header.updateBatch();
            conn.commitTrans();
        } catch (const db::DbError&) {
            conn.rollbackTrans();
            throw;
        }
    };

    otherConnection().execute(QStringLiteral("UPDATE Doc SET docTot = 99 WHERE docId = 1"));
    EXPECT_DB_ERROR(save(), ErrorKind::Conflict);
    EXPECT_EQ(stored(QStringLiteral("SELECT conNum FROM Contatori")), QStringLiteral("7"));
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM Righe")), QStringLiteral("0"));
    lines.setFilter(db::FilterGroup::PendingRecords);
    EXPECT_EQ(lines.recordCount(), 2);
    lines.moveFirst();
    EXPECT_TRUE(lines.value(QStringLiteral("rigId")).isNull());
    lines.setFilter(QString());

    // The user takes the other's total and saves again: everything goes through once.
    header.cancelBatch();
    header.setActiveConnection(otherConnection());
    header.requery();
    header.setValue(QStringLiteral("docTot"), Currency::fromUnits(30));
    save();
    EXPECT_EQ(stored(QStringLiteral("SELECT docNo FROM Doc WHERE docId = 1")), QStringLiteral("8"));
    EXPECT_EQ(stored(QStringLiteral("SELECT SUM(rigImporto) FROM Righe")), QStringLiteral("30"));
    EXPECT_EQ(stored(QStringLiteral("SELECT conNum FROM Contatori")), QStringLiteral("8"));
}

TEST_F(BatchTest, CounterNumberingNeverGivesTheSameNumberTwice)
{
    // Two machines read and raise one counter inside their own transaction.
    connection.execute(QStringLiteral("CREATE TABLE Contatori (conId COUNTER, conNum LONG)"));
    connection.execute(QStringLiteral("INSERT INTO Contatori (conNum) VALUES (0)"));
    const BusyTimeout shortWait(100);
    db::Connection one = otherConnection();
    db::Connection two = otherConnection();
    one.beginTrans();
    db::Recordset counter;
    counter.open(QStringLiteral("SELECT * FROM Contatori"), one, db::CursorType::Static, LockType::Optimistic);
    counter.setValue(QStringLiteral("conNum"), counter.value(QStringLiteral("conNum")).toLong() + 1);
    counter.update();
    // The second machine cannot even start until the first one commits.
    EXPECT_DB_ERROR(two.beginTrans(), ErrorKind::Busy);
    one.commitTrans();
    two.beginTrans();
    db::Recordset second;
    second.open(QStringLiteral("SELECT * FROM Contatori"), two, db::CursorType::Static, LockType::Optimistic);
    EXPECT_EQ(second.value(QStringLiteral("conNum")).toLong(), 1);
    second.setValue(QStringLiteral("conNum"), 2);
    second.update();
    two.commitTrans();
}

TEST_F(BatchTest, DisconnectedRecordsetIsWrittenThroughAnotherConnection)
{
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Doc WHERE docNo = 1"), connectionString(), db::CursorType::Static,
            LockType::BatchOptimistic);
    rs.disconnect();
    EXPECT_FALSE(rs.isConnected());
    EXPECT_TRUE(rs.activeConnection().isNull());
    rs.setValue(QStringLiteral("docDesc"), QStringLiteral("offline"));
    rs.update();
    EXPECT_DB_ERROR(rs.updateBatch(), ErrorKind::InvalidOperation);
    EXPECT_EQ(rs.value(QStringLiteral("docDesc")), Variant(QStringLiteral("offline")));

    db::Connection later = otherConnection();
    rs.setActiveConnection(later);
    later.beginTrans();
    rs.updateBatch();
    later.commitTrans();
    EXPECT_EQ(stored(QStringLiteral("SELECT docDesc FROM Doc WHERE docNo = 1")), QStringLiteral("offline"));
}

TEST_F(BatchTest, ATooLongTextIsRefusedAtTheWriteWhenTheFileIsNarrower)
{
    db::Recordset rs = openBatch(QStringLiteral("SELECT * FROM Doc WHERE docNo = 1"), connection);
    rs.setValue(QStringLiteral("docDesc"), QStringLiteral("dieci car."));
    rs.update();
    // Another machine narrows the column meanwhile: the file's own check refuses the text.
    otherConnection().execute(QStringLiteral("ALTER TABLE Doc ALTER COLUMN docDesc TEXT(5)"));
    rs.setActiveConnection(otherConnection());
    EXPECT_DB_ERROR(rs.updateBatch(), ErrorKind::TooLong);
    EXPECT_EQ(rs.status() & db::RecordStatus::Modified, db::RecordStatus::Modified);
}

TEST_F(BatchTest, AJoinWritesEachChangedColumnToItsOwnTable)
{
    connection.execute(QStringLiteral("CREATE TABLE Righe (rigId COUNTER, rigDocId LONG, rigCodice TEXT(3), rigImporto CURRENCY)"));
    connection.execute(QStringLiteral("INSERT INTO Righe (rigDocId, rigCodice, rigImporto) VALUES (1, '22', 50)"));
    db::Recordset rs = openBatch(QStringLiteral("SELECT Righe.*, Doc.docDesc, Codici.cdiDescr FROM (Righe INNER JOIN Doc "
                                                "ON Righe.rigDocId = Doc.docId) INNER JOIN Codici ON Righe.rigCodice = "
                                                "Codici.cdiCodice"),
                                 connection);
    ASSERT_EQ(rs.recordCount(), 1);
    rs.setValue(QStringLiteral("rigImporto"), Currency::fromUnits(60));
    rs.setValue(QStringLiteral("docDesc"), QStringLiteral("unito"));
    rs.setValue(QStringLiteral("cdiDescr"), QStringLiteral("Aliquota 22"));
    rs.updateBatch();
    EXPECT_EQ(stored(QStringLiteral("SELECT rigImporto FROM Righe")), QStringLiteral("60"));
    EXPECT_EQ(stored(QStringLiteral("SELECT docDesc FROM Doc WHERE docId = 1")), QStringLiteral("unito"));
    EXPECT_EQ(stored(QStringLiteral("SELECT cdiDescr FROM Codici WHERE cdiCodice = '22'")), QStringLiteral("Aliquota 22"));
}

TEST_F(BatchTest, ATableWithoutKeyIsFoundByAllItsValues)
{
    connection.execute(QStringLiteral("CREATE TABLE Note (notTesto TEXT(20), notNum LONG)"));
    connection.execute(QStringLiteral("INSERT INTO Note VALUES ('a', 1)"));
    connection.execute(QStringLiteral("INSERT INTO Note VALUES ('a', 1)"));
    connection.execute(QStringLiteral("INSERT INTO Note (notNum) VALUES (2)"));
    db::Recordset rs = openBatch(QStringLiteral("SELECT * FROM Note ORDER BY notNum"), connection);
    rs.setValue(QStringLiteral("notTesto"), QStringLiteral("b")); // one of two equal rows
    rs.moveLast();
    rs.setValue(QStringLiteral("notTesto"), QStringLiteral("c")); // matched with IS NULL
    rs.updateBatch();
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM Note WHERE notTesto = 'a'")), QStringLiteral("1"));
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM Note WHERE notTesto = 'b'")), QStringLiteral("1"));
    EXPECT_EQ(stored(QStringLiteral("SELECT notTesto FROM Note WHERE notNum = 2")), QStringLiteral("c"));
}

} // namespace
