#include "DatabaseFixture.h"

#include <QDate>

using core::Currency;
using core::Variant;
using db::ErrorKind;
using db::LockType;

namespace {

class RecordsetTest : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        createDocuments();
    }

    void insertDoc(int no, const QString& desc, const QString& total, const QDate& date)
    {
        connection.execute(QStringLiteral("INSERT INTO Doc (docNo, docDesc, docTot, docData, docPagata) "
                                          "VALUES (%1, '%2', %3, #%4#, False)")
                               .arg(no)
                               .arg(desc, total, date.toString(QStringLiteral("MM/dd/yyyy"))));
    }

    QVector<int> numbers(db::Recordset rs)
    {
        QVector<int> result;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            result << rs.value(QStringLiteral("docNo")).toLong();
        return result;
    }
};

TEST_F(RecordsetTest, EmptyRecordsetIsAtBothEnds)
{
    db::Recordset rs;
    rs.open(QStringLiteral("Doc"), connection, db::CursorType::Static, LockType::ReadOnly, db::CommandType::Table);
    EXPECT_TRUE(rs.eof());
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_EQ(rs.absolutePosition(), 0);
    EXPECT_EQ(rs.fieldCount(), 7);
    EXPECT_DB_ERROR(rs.value(0), ErrorKind::InvalidOperation);
    EXPECT_DB_ERROR(rs.moveNext(), ErrorKind::InvalidOperation);
}

TEST_F(RecordsetTest, NavigatesFetchedRowsAndKeepsNoStatementOpen)
{
    for (int i = 1; i <= 3; ++i)
        insertDoc(i, QStringLiteral("d%1").arg(i), QStringLiteral("1"), QDate(2024, 1, i));
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Doc ORDER BY docNo"), connection, db::CursorType::ForwardOnly);
    // The rows are in memory: another machine may write at once.
    db::Connection other = otherConnection();
    other.beginTrans();
    other.execute(QStringLiteral("DELETE * FROM Doc"));
    other.commitTrans();

    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.absolutePosition(), 1);
    const db::Bookmark first = rs.bookmark();
    rs.moveLast();
    EXPECT_EQ(rs.value(QStringLiteral("docno")).toLong(), 3);
    rs.movePrevious();
    EXPECT_EQ(rs.absolutePosition(), 2);
    rs.moveNext();
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    rs.setBookmark(first);
    EXPECT_EQ(rs.value(1).toLong(), 1);
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
    rs.setAbsolutePosition(2);
    EXPECT_EQ(rs.value(1).toLong(), 2);
    rs.move(5);
    EXPECT_TRUE(rs.eof());
    EXPECT_DB_ERROR(rs.field(QStringLiteral("nessuno")), ErrorKind::NoSuchObject);
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("nessuno")), -1);
}

TEST_F(RecordsetTest, ValuesComeBackWithTheirJetTypes)
{
    connection.execute(QStringLiteral("INSERT INTO Doc (docNo, docDesc, docTot, docData, docPagata, docNote) "
                                      "VALUES (7, '', 1234.5678, #03/15/2024 10:30:00#, True, Null)"));
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Doc"), connection);
    EXPECT_EQ(rs.value(QStringLiteral("docId")), Variant(std::int32_t(1)));
    EXPECT_EQ(rs.value(QStringLiteral("docNo")), Variant(std::int32_t(7)));
    EXPECT_EQ(rs.value(QStringLiteral("docDesc")), Variant(QString()));
    EXPECT_TRUE(rs.value(QStringLiteral("docDesc")).isString());
    EXPECT_EQ(rs.value(QStringLiteral("docTot")), Variant(Currency::fromRaw(12345678)));
    EXPECT_EQ(rs.value(QStringLiteral("docData")).toDateTime(), QDateTime(QDate(2024, 3, 15), QTime(10, 30)));
    EXPECT_EQ(rs.value(QStringLiteral("docPagata")), Variant(true));
    EXPECT_EQ(rs.value(QStringLiteral("docPagata")).toLong(), -1);
    EXPECT_TRUE(rs.value(QStringLiteral("docNote")).isNull());

    const db::Field desc = rs.field(QStringLiteral("docDesc"));
    EXPECT_EQ(desc.type(), db::DataType::VarWChar);
    EXPECT_EQ(desc.definedSize(), 10);
    EXPECT_EQ(desc.actualSize(), 0);
    EXPECT_TRUE(rs.field(0).isAutoIncrement());
    EXPECT_EQ(rs.field(QStringLiteral("docTot")).type(), db::DataType::Currency);
    EXPECT_EQ(rs.field(QStringLiteral("docNote")).actualSize(), 0);
}

TEST_F(RecordsetTest, MoneyStaysExact)
{
    insertDoc(1, QStringLiteral("a"), QStringLiteral("0.1"), QDate(2024, 1, 1));
    insertDoc(2, QStringLiteral("b"), QStringLiteral("0.2"), QDate(2024, 1, 1));
    insertDoc(3, QStringLiteral("c"), QStringLiteral("1234567.0001"), QDate(2024, 1, 1));
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT SUM(docTot) AS tot FROM Doc"), connection);
    EXPECT_EQ(rs.value(QStringLiteral("tot")), Variant(Currency::fromRaw(12345673001)));
    EXPECT_EQ(rs.field(QStringLiteral("tot")).type(), db::DataType::Currency);
}

// A name that matches no column fails, as ADO does, and never reads as Null
// or as a text: by name on the recordset, and in the SQL text itself.
TEST_F(RecordsetTest, UnknownFieldNamesFail)
{
    insertDoc(1, QStringLiteral("d1"), QStringLiteral("1"), QDate(2024, 1, 1));
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Doc"), connection, db::CursorType::Static, LockType::Optimistic);
    auto expectItemNotFound = [](auto&& call) {
        try {
            call();
            ADD_FAILURE() << "no error for an unknown field";
        } catch (const db::DbError& error) {
            EXPECT_EQ(error.number(), db::ErrorNumber::ItemNotFound);
            EXPECT_EQ(error.description(), QStringLiteral("Elemento 'docNumero' non trovato nell'insieme corrispondente al nome o "
                                                   "al numero richiesto."));
        }
    };
    expectItemNotFound([&] { rs.value(QStringLiteral("docNumero")); });
    expectItemNotFound([&] { rs.field(QStringLiteral("docNumero")).value(); });
    expectItemNotFound([&] { rs.setValue(QStringLiteral("docNumero"), Variant(1)); });
    EXPECT_EQ(rs.value(QStringLiteral("DOCNO")).toLong(), 1) << "names ignore case";

    for (const char* sql : {"SELECT docNumero FROM Doc", "SELECT [docNumero] FROM Doc", "SELECT docNo FROM Doc WHERE docNumero = 1",
                            "SELECT docNo FROM Doc ORDER BY docNumero"}) {
        db::Recordset bad;
        SCOPED_TRACE(sql);
        EXPECT_DB_ERROR(bad.open(QString::fromLatin1(sql), connection), ErrorKind::NoSuchObject);
    }
    EXPECT_DB_ERROR(connection.execute(QStringLiteral("UPDATE Doc SET docDesc = 'x' WHERE docNumero = 1")), ErrorKind::NoSuchObject);
    EXPECT_EQ(rs.value(QStringLiteral("docDesc")).toString(), QStringLiteral("d1"));
}

TEST_F(RecordsetTest, ReadOnlyRefusesEdits)
{
    insertDoc(1, QStringLiteral("a"), QStringLiteral("1"), QDate(2024, 1, 1));
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Doc"), connection, db::CursorType::ForwardOnly, LockType::ReadOnly);
    EXPECT_DB_ERROR(rs.setValue(QStringLiteral("docNo"), 2), ErrorKind::InvalidOperation);
    EXPECT_DB_ERROR(rs.addNew(), ErrorKind::InvalidOperation);
    EXPECT_DB_ERROR(rs.deleteRecord(), ErrorKind::InvalidOperation);
}

TEST_F(RecordsetTest, OptimisticWritesOnUpdateAndOnMovingOffTheRow)
{
    insertDoc(1, QStringLiteral("a"), QStringLiteral("1"), QDate(2024, 1, 1));
    insertDoc(2, QStringLiteral("b"), QStringLiteral("2"), QDate(2024, 1, 2));
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Doc ORDER BY docNo"), connection, db::CursorType::Static, LockType::Optimistic);
    rs.setValue(QStringLiteral("docDesc"), QStringLiteral("primo"));
    EXPECT_EQ(rs.editMode(), db::EditMode::InProgress);
    EXPECT_EQ(rs.field(QStringLiteral("docDesc")).originalValue(), Variant(QStringLiteral("a")));
    rs.moveNext(); // implicit update
    EXPECT_EQ(rs.editMode(), db::EditMode::None);
    rs.setValue(QStringLiteral("docTot"), Currency::fromRaw(25000));
    rs.update();

    db::Recordset check;
    check.open(QStringLiteral("SELECT docDesc, docTot FROM Doc ORDER BY docNo"), otherConnection());
    EXPECT_EQ(check.value(0), Variant(QStringLiteral("primo")));
    check.moveNext();
    EXPECT_EQ(check.value(1), Variant(Currency::fromRaw(25000)));
}

TEST_F(RecordsetTest, CancelUpdateRestoresTheRow)
{
    insertDoc(1, QStringLiteral("a"), QStringLiteral("1"), QDate(2024, 1, 1));
    db::Recordset rs = openBatch(QStringLiteral("SELECT * FROM Doc"), connection);
    rs.setValue(QStringLiteral("docDesc"), QStringLiteral("x"));
    rs.cancelUpdate();
    EXPECT_EQ(rs.value(QStringLiteral("docDesc")), Variant(QStringLiteral("a")));
    EXPECT_EQ(rs.status(), db::RecordStatus::Unmodified);
    rs.addNew();
    EXPECT_EQ(rs.recordCount(), 2);
    rs.cancelUpdate();
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.value(QStringLiteral("docDesc")), Variant(QStringLiteral("a")));
}

TEST_F(RecordsetTest, AddNewReadsTheCounterBackAndKeepsEmptyTextEmpty)
{
    db::Recordset rs;
    rs.open(QStringLiteral("Doc"), connection, db::CursorType::Static, LockType::Optimistic, db::CommandType::Table);
    for (int i = 1; i <= 2; ++i) {
        rs.addNew();
        EXPECT_EQ(rs.editMode(), db::EditMode::Add);
        rs.setValue(QStringLiteral("docNo"), i);
        rs.setValue(QStringLiteral("docDesc"), QString());
        rs.update();
        EXPECT_EQ(rs.value(QStringLiteral("docId")).toLong(), i);
    }
    // An empty row takes the defaults (the blank document of a new invoice).
    rs.addNew();
    rs.updateBatch();
    EXPECT_EQ(rs.value(QStringLiteral("docId")).toLong(), 3);
    EXPECT_TRUE(rs.value(QStringLiteral("docNo")).isNull());

    db::Recordset check;
    check.open(QStringLiteral("SELECT docDesc FROM Doc WHERE docNo = 2"), connection);
    EXPECT_TRUE(check.value(0).isString());
    EXPECT_EQ(check.value(0).toString(), QString());
}

TEST_F(RecordsetTest, AssignmentsAreCheckedAgainstTheColumn)
{
    insertDoc(1, QStringLiteral("a"), QStringLiteral("1"), QDate(2024, 1, 1));
    db::Recordset rs = openBatch(QStringLiteral("SELECT * FROM Doc"), connection);
    EXPECT_DB_ERROR(rs.setValue(QStringLiteral("docDesc"), QStringLiteral("undici car.")), ErrorKind::TooLong);
    rs.setValue(QStringLiteral("docDesc"), QStringLiteral("dieci car."));
    EXPECT_DB_ERROR(rs.setValue(QStringLiteral("docNo"), QStringLiteral("abc")), ErrorKind::Constraint);
    EXPECT_DB_ERROR(rs.setValue(QStringLiteral("docId"), 99), ErrorKind::InvalidOperation);
    // Values take the column's type: a Long column keeps a Long, a currency a Currency.
    rs.setValue(QStringLiteral("docNo"), 3.0);
    EXPECT_EQ(rs.value(QStringLiteral("docNo")), Variant(std::int32_t(3)));
    rs.setValue(QStringLiteral("docTot"), 0.1);
    EXPECT_EQ(rs.value(QStringLiteral("docTot")), Variant(Currency::fromRaw(1000)));
    rs.setValue(QStringLiteral("docPagata"), -1);
    EXPECT_EQ(rs.value(QStringLiteral("docPagata")), Variant(true));
    rs.setValue(QStringLiteral("docData"), QDate(2024, 2, 29));
    EXPECT_EQ(rs.value(QStringLiteral("docData")).toDate(), QDate(2024, 2, 29));
}

TEST_F(RecordsetTest, SortsByValue)
{
    insertDoc(1, QStringLiteral("beta"), QStringLiteral("10"), QDate(2024, 2, 1));
    insertDoc(2, QStringLiteral("Alfa"), QStringLiteral("9.5"), QDate(2023, 12, 31));
    insertDoc(3, QStringLiteral("alfa"), QStringLiteral("100"), QDate(2024, 1, 15));
    insertDoc(4, QStringLiteral("Gamma"), QStringLiteral("-1"), QDate(2024, 1, 2));
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Doc"), connection, db::CursorType::Static);

    struct Case {
        const char* sort;
        QVector<int> expected;
    };
    const Case cases[] = {
        {"docData", {2, 4, 3, 1}},              // dates as dates, not as text
        {"docTot DESC", {3, 1, 2, 4}},          // amounts as numbers
        {"docDesc, docNo DESC", {3, 2, 1, 4}},  // text without regard to case
        {"[docDesc] DESC, docNo ASC", {4, 1, 2, 3}},
    };
    for (const auto& c : cases) {
        rs.setSort(QString::fromLatin1(c.sort));
        EXPECT_EQ(numbers(rs), c.expected) << c.sort;
    }
    rs.setSort(QString());
    EXPECT_EQ(numbers(rs), (QVector<int>{1, 2, 3, 4}));
    EXPECT_DB_ERROR(rs.setSort(QStringLiteral("nessuno")), ErrorKind::NoSuchObject);
}

TEST_F(RecordsetTest, FiltersByCriteriaAndCountsVisibleRows)
{
    insertDoc(1, QStringLiteral("beta"), QStringLiteral("10"), QDate(2024, 2, 1));
    insertDoc(2, QStringLiteral("Alfa"), QStringLiteral("9.5"), QDate(2023, 12, 31));
    insertDoc(3, QStringLiteral("alfa"), QStringLiteral("100"), QDate(2024, 1, 15));
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Doc"), connection, db::CursorType::Static);

    struct Case {
        const char* filter;
        QVector<int> expected;
    };
    const Case cases[] = {
        {"docDesc='ALFA'", {2, 3}},
        {"docTot > 9.75", {1, 3}},
        {"docData >= #01/01/2024# AND docDesc LIKE 'a*'", {3}},
        {"docNo = 1 OR docNo = 3", {1, 3}},
        {"docNote IS NULL AND docNo > 5", {}},
    };
    for (const auto& c : cases) {
        rs.setFilter(QString::fromLatin1(c.filter));
        EXPECT_EQ(numbers(rs), c.expected) << c.filter;
        EXPECT_EQ(rs.recordCount(), c.expected.size()) << c.filter;
    }
    rs.setFilter(QString());
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_DB_ERROR(rs.setFilter(QStringLiteral("docNo = = 1")), ErrorKind::Syntax);
    EXPECT_DB_ERROR(rs.setFilter(QStringLiteral("nessuno = 1")), ErrorKind::NoSuchObject);
    EXPECT_EQ(rs.recordCount(), 3);
}

TEST_F(RecordsetTest, CloneSharesRowsButNotPositionFilterOrSort)
{
    insertDoc(1, QStringLiteral("a"), QStringLiteral("1"), QDate(2024, 1, 1));
    insertDoc(2, QStringLiteral("b"), QStringLiteral("2"), QDate(2024, 1, 1));
    insertDoc(3, QStringLiteral("a"), QStringLiteral("3"), QDate(2024, 1, 1));
    db::Recordset rs = openBatch(QStringLiteral("SELECT * FROM Doc ORDER BY docNo"), connection);
    rs.moveLast();
    db::Recordset clone = rs.clone();
    EXPECT_EQ(clone.lockType(), LockType::BatchOptimistic);
    EXPECT_EQ(clone.absolutePosition(), 1);
    EXPECT_EQ(rs.absolutePosition(), 3);

    clone.setFilter(QStringLiteral("docDesc = 'a'"));
    clone.setSort(QStringLiteral("docNo DESC"));
    EXPECT_EQ(numbers(clone), (QVector<int>{3, 1}));
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(rs.absolutePosition(), 3);

    // An edit through the clone shows through the original.
    clone.moveFirst();
    clone.setValue(QStringLiteral("docTot"), Currency::fromUnits(30));
    clone.update();
    EXPECT_EQ(rs.value(QStringLiteral("docTot")), Variant(Currency::fromUnits(30)));
    EXPECT_EQ(rs.status(), db::RecordStatus::Modified);

    // A row added through the filtered clone stays in sight there while it is filled in.
    clone.addNew();
    clone.setValue(QStringLiteral("docNo"), 4);
    clone.setValue(QStringLiteral("docDesc"), QStringLiteral("z"));
    clone.update();
    EXPECT_EQ(clone.value(QStringLiteral("docNo")).toLong(), 4);
    EXPECT_EQ(clone.recordCount(), 3);
    EXPECT_EQ(rs.recordCount(), 4);

    // Deleting through the clone hides the row in both until the batch is written.
    clone.moveFirst();
    clone.deleteRecord();
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(numbers(rs), (QVector<int>{1, 2, 4}));

    rs.updateBatch();
    db::Recordset check;
    check.open(QStringLiteral("SELECT docNo FROM Doc ORDER BY docNo"), connection);
    EXPECT_EQ(numbers(check), (QVector<int>{1, 2, 4}));
}

TEST_F(RecordsetTest, AHeldRowReadsTheStoredValuesAndOutlivesItsRecordset)
{
    insertDoc(1, QStringLiteral("a"), QStringLiteral("1"), QDate(2024, 1, 1));
    insertDoc(2, QStringLiteral("b"), QStringLiteral("2"), QDate(2024, 1, 2));
    db::Recordset rs = openBatch(QStringLiteral("SELECT * FROM Doc ORDER BY docNo"), connection);
    const int desc = rs.fieldIndex(QStringLiteral("docDesc"));
    rs.moveLast();
    const db::RowHandle held = rs.currentRow();
    EXPECT_EQ(held.bookmark(), rs.bookmark());
    EXPECT_EQ(held.value(rs.fieldIndex(QStringLiteral("docNo"))).toLong(), 2);
    EXPECT_TRUE(held.value(rs.fieldCount()).isEmpty());

    // No copy: an edit through another cursor shows in the held row.
    db::Recordset clone = rs.clone();
    clone.moveLast();
    clone.setValue(QStringLiteral("docDesc"), QStringLiteral("nuova"));
    clone.update();
    EXPECT_EQ(held.value(desc).toString(), QStringLiteral("nuova"));

    rs.close();
    clone.close();
    EXPECT_EQ(held.value(desc).toString(), QStringLiteral("nuova"));
    EXPECT_TRUE(db::RowHandle().value(0).isEmpty());

    db::Recordset empty;
    empty.open(QStringLiteral("SELECT * FROM Doc WHERE docNo = 9"), connection);
    EXPECT_DB_ERROR(empty.currentRow(), ErrorKind::InvalidOperation);
}

TEST_F(RecordsetTest, FabricatedRecordsetHoldsRowsInMemory)
{
    db::Recordset rs;
    rs.appendField({QStringLiteral("fatId"), db::DataType::Integer, 0, true});
    for (int i = 1; i <= 76; ++i)
        rs.appendField({QStringLiteral("campo%1").arg(i), db::DataType::VarWChar, 20, true});
    rs.openFabricated();
    EXPECT_TRUE(rs.eof() && rs.bof());
    EXPECT_EQ(rs.fieldCount(), 77);
    EXPECT_TRUE(rs.activeConnection().isNull());
    for (int row = 0; row < 3; ++row) {
        rs.addNew();
        rs.setValue(0, row + 1);
        for (int i = 1; i <= 76; ++i)
            rs.setValue(i, QStringLiteral("r%1c%2").arg(row).arg(i));
        rs.update();
    }
    EXPECT_DB_ERROR(rs.setValue(5, QString(21, QLatin1Char('x'))), ErrorKind::TooLong);
    EXPECT_EQ(rs.recordCount(), 3);
    rs.moveFirst();
    EXPECT_EQ(rs.value(QStringLiteral("campo76")), Variant(QStringLiteral("r0c76")));
    EXPECT_EQ(rs.field(3).definedSize(), 20);
    rs.setSort(QStringLiteral("fatId DESC"));
    EXPECT_EQ(rs.value(0).toLong(), 3);
}

TEST_F(RecordsetTest, ChunksOfLongBinaryAndMemo)
{
    connection.execute(QStringLiteral("CREATE TABLE Lay (layId COUNTER, layData LONGBINARY, layNote MEMO)"));
    db::Recordset rs;
    rs.open(QStringLiteral("Lay"), connection, db::CursorType::Static, LockType::Optimistic, db::CommandType::Table);
    rs.addNew();
    QByteArray bytes;
    for (int i = 0; i < 1000; ++i)
        bytes.append(static_cast<char>(i % 256));
    rs.field(QStringLiteral("layData")).appendChunk(bytes.left(300));
    rs.field(QStringLiteral("layData")).appendChunk(bytes.mid(300));
    rs.setValue(QStringLiteral("layNote"), QByteArray("\x01\x02", 2));
    rs.update();

    db::Recordset back;
    back.open(QStringLiteral("SELECT * FROM Lay"), connection);
    db::Field data = back.field(QStringLiteral("layData"));
    EXPECT_EQ(data.actualSize(), 1000);
    const QByteArray head = data.getChunk(600);
    const QByteArray tail = data.getChunk(600);
    EXPECT_EQ(head + tail, bytes);
    EXPECT_TRUE(data.getChunk(10).isEmpty());
    EXPECT_EQ(back.value(QStringLiteral("layNote")), Variant(QByteArray("\x01\x02", 2)));
}

} // namespace
