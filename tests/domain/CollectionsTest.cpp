#include "WriteFixture.h"

#include "domain/Collections.h"
#include "platform/core/Error.h"
#include "platform/database/Recordset.h"
#include "platform/database/Types.h"
#include "support/Money.h"

namespace {

class CollectionsTest : public WriteFixture {
protected:
    void SetUp() override
    {
        WriteFixture::SetUp();
        for (int fatId : {7, 8})
            exec(QStringLiteral("INSERT INTO Fatture (fatId, sezId, fatTipo, fatNo, fatData) VALUES (%1, 1, 0, %1, #03/01/2024#)").arg(fatId));
        for (const char* row : {"7, #03/01/2024#, 100.10, 'Bonifico'", "7, #03/15/2024#, 200.20, 'Assegno'",
                                "8, #03/02/2024#, 99, 'Altro documento'"})
            exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto, incDescrizione) VALUES (")
                 + QString::fromUtf8(row) + QStringLiteral(")"));
    }

    // The document's collections as the window holds them: fetched, then disconnected.
    db::Recordset openCollections(std::int32_t fatId)
    {
        db::Recordset rs;
        rs.setCursorLocation(db::CursorLocation::Client);
        rs.open(QStringLiteral("SELECT * FROM Incassi WHERE incFatId=") + QString::number(fatId), m_cn,
                db::CursorType::Static, db::LockType::BatchOptimistic);
        rs.disconnect();
        return rs;
    }

    // Adds a row, changes the first amount, deletes the second row.
    void edit(db::Recordset& rs)
    {
        rs.addNew();
        rs.setValue(QStringLiteral("incData"), core::Variant(QDate(2024, 4, 2)));
        rs.setValue(QStringLiteral("incImporto"), core::Variant(money("50.05")));
        rs.update();
        rs.moveFirst();
        rs.setValue(QStringLiteral("incImporto"), core::Variant(money("150.10")));
        rs.update();
        rs.moveNext();
        rs.deleteRecord();
        rs.moveFirst();
    }

    QString rowsOf(int fatId)
    {
        QString out;
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT incFatId, incImporto FROM Incassi WHERE incFatId=") + QString::number(fatId)
                    + QStringLiteral(" ORDER BY incData"),
                m_cn, db::CursorType::Static, db::LockType::ReadOnly);
        for (; !rs.eof(); rs.moveNext())
            out += rs.value(0).toString() + QLatin1Char(':') + rs.value(1).toCurrency().toPlainString() + QLatin1Char(' ');
        rs.close();
        return out.trimmed();
    }
};

} // namespace

TEST_F(CollectionsTest, AdditionsChangesAndDeletionsAreSavedTogetherUnderTheDocument)
{
    db::Recordset rs = openCollections(7);
    edit(rs);
    saveCollections(rs, m_cn, 7);
    EXPECT_EQ(rowsOf(7), QStringLiteral("7:150.1 7:50.05"));
    EXPECT_EQ(rowsOf(8), QStringLiteral("8:99"));
    EXPECT_FALSE(rs.isConnected());
}

TEST_F(CollectionsTest, AFailedSaveStoresNothingAndKeepsEveryEditForAnotherTry)
{
    for (const char* table : {"INSERT", "UPDATE", "DELETE"}) {
        SCOPED_TRACE(table);
        db::Recordset rs = openCollections(7);
        edit(rs);
        const QString before = snapshot();
        {
            const auto refusal = refuse(QString::fromLatin1(table), QStringLiteral("Incassi"));
            EXPECT_THROW(saveCollections(rs, m_cn, 7), core::Error);
        }
        EXPECT_EQ(snapshot(), before);
        EXPECT_FALSE(m_cn.inTransaction());
        EXPECT_FALSE(rs.isConnected());
        // The same edits, still pending, are written by the next try.
        EXPECT_EQ(unpaidAmount(money("300.30"), collectionAmounts(rs)), money("100.15"));
        saveCollections(rs, m_cn, 7);
        EXPECT_EQ(rowsOf(7), QStringLiteral("7:150.1 7:50.05"));
        // Back to the fixture's rows for the next round.
        exec(QStringLiteral("DELETE FROM Incassi WHERE incFatId=7"));
        exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto) VALUES (7, #03/01/2024#, 100.10)"));
        exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto) VALUES (7, #03/15/2024#, 200.20)"));
    }
}

TEST_F(CollectionsTest, ARowChangedOrDeletedByAnotherMachineIsAConflictNeverOverwritten)
{
    struct Case {
        const char* what;
        const char* other;
        const char* after;
    };
    const Case cases[] = {
        {"changed", "UPDATE Incassi SET incImporto = 120 WHERE incFatId=7 AND incImporto = 100.10", "7:120 7:200.2"},
        {"deleted", "DELETE FROM Incassi WHERE incFatId=7 AND incImporto = 100.10", "7:200.2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        db::Recordset rs = openCollections(7);
        edit(rs);
        db::Connection other;
        other.open(connectionString());
        other.execute(QString::fromLatin1(c.other));
        other.close();
        try {
            saveCollections(rs, m_cn, 7);
            ADD_FAILURE() << "saved over another user's change";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.kind(), db::ErrorKind::Conflict);
        }
        EXPECT_EQ(rowsOf(7), QString::fromLatin1(c.after));
        exec(QStringLiteral("DELETE FROM Incassi WHERE incFatId=7"));
        exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto) VALUES (7, #03/01/2024#, 100.10)"));
        exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto) VALUES (7, #03/15/2024#, 200.20)"));
    }
}

TEST_F(CollectionsTest, ADocumentDeletedByAnotherMachineIsAConflictAndNothingIsStored)
{
    db::Recordset rs = openCollections(7);
    rs.addNew();
    rs.setValue(QStringLiteral("incData"), core::Variant(QDate(2024, 4, 2)));
    rs.setValue(QStringLiteral("incImporto"), core::Variant(money("50.05")));
    rs.update();
    db::Connection other;
    other.open(connectionString());
    other.execute(QStringLiteral("DELETE FROM Fatture WHERE fatId=7"));
    other.close();
    const QString before = snapshot();
    try {
        saveCollections(rs, m_cn, 7);
        ADD_FAILURE() << "saved the collections of a document that is gone";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.kind(), db::ErrorKind::Conflict);
    }
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(m_cn.inTransaction());
    EXPECT_FALSE(rs.isConnected());
    EXPECT_EQ(collectionAmounts(rs).size(), 3);
}

TEST_F(CollectionsTest, RowsCarryTheirDocumentWhateverTheyHeld)
{
    db::Recordset rs = openCollections(7);
    rs.addNew();
    rs.setValue(QStringLiteral("incFatId"), core::Variant(std::int32_t(8)));
    rs.setValue(QStringLiteral("incData"), core::Variant(QDate(2024, 4, 2)));
    rs.setValue(QStringLiteral("incImporto"), core::Variant(money("1")));
    rs.update();
    rs.addNew();
    rs.setValue(QStringLiteral("incData"), core::Variant(QDate(2024, 4, 3)));
    rs.setValue(QStringLiteral("incImporto"), core::Variant(money("2")));
    rs.update();
    saveCollections(rs, m_cn, 7);
    EXPECT_EQ(rowsOf(7), QStringLiteral("7:100.1 7:200.2 7:1 7:2"));
    EXPECT_EQ(rowsOf(8), QStringLiteral("8:99"));
}

TEST_F(CollectionsTest, UnpaidAmountIsExact)
{
    struct Case {
        const char* net;
        QVector<const char*> collected;
        const char* unpaid;
    };
    const Case cases[] = {
        {"300.30", {"100.10", "200.20"}, "0"},
        {"300.30", {}, "300.30"},
        {"0.3", {"0.1", "0.1", "0.1"}, "0"},
        {"100", {"60", "50"}, "-10"}, // collected more than due
    };
    for (const Case& c : cases) {
        QVector<core::Currency> amounts;
        for (const char* a : c.collected)
            amounts.append(money(a));
        EXPECT_EQ(unpaidAmount(money(c.net), amounts).raw(), money(c.unpaid).raw()) << c.net;
    }
    // What the window sums: the rows as they stand, the deleted one left out.
    db::Recordset rs = openCollections(7);
    EXPECT_EQ(unpaidAmount(money("300.30"), collectionAmounts(rs)).raw(), 0);
    rs.moveFirst();
    rs.deleteRecord();
    EXPECT_EQ(unpaidAmount(money("300.30"), collectionAmounts(rs)), money("100.10"));
}
