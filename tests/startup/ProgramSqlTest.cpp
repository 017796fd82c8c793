// Every SQL text the program sends, run through the data-access layer against a
// database made from the built template: the schema statements first, as a
// start runs them, then every query and write. What the program builds through
// named functions is built here by those same functions; the corpus file holds
// only the statements still written inside window code.
#include "domain/Deletion.h"
#include "domain/DocumentStore.h"
#include "domain/PrintSql.h"
#include "domain/VatCodes.h"
#include "domain/ViewSql.h"
#include "platform/database/Catalog.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"
#include "support/ProgramFixture.h"

#include <QDate>
#include <QSet>
#include <algorithm>

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace {

struct Statement {
    QString origin;
    QString sql;
};

// The working date, section, document, client, payment term and service of the built statements.
const QDate kLavoro(2024, 3, 5);
constexpr std::int32_t kSez = 1;
constexpr std::int32_t kDoc = 5;

QVector<Statement> builtStatements()
{
    QVector<Statement> result;
    int n = 0;
    const char* const* upgrade = StatementiAggiornaDb(&n);
    for (int i = 0; i < n; ++i)
        result.push_back({QStringLiteral("AggiornaDb statement %1").arg(i + 1), QString::fromUtf8(upgrade[i])});
    result.push_back({QStringLiteral("pro forma view"), proFormaViewSql(kSez, kLavoro)});
    result.push_back({QStringLiteral("invoice view"), invoiceViewSql(kSez, kLavoro)});
    result.push_back({QStringLiteral("client view"), clientViewSql(kSez)});
    result.push_back({QStringLiteral("service view"), serviceViewSql(kSez)});
    result.push_back({QStringLiteral("VAT code view"), vatCodeViewSql()});
    result.push_back({QStringLiteral("payment term view"), paymentTermViewSql(kSez)});
    result.push_back({QStringLiteral("counter of the main series"), counterQuery(kSez, 2024, QString())});
    result.push_back({QStringLiteral("counter of a prefixed series"), counterQuery(kSez, 2024, QStringLiteral("A"))});
    result.push_back({QStringLiteral("document print query"), documentPrintSql(kDoc)});
    const std::pair<ListRecord, core::Variant> records[] = {
        {ListRecord::Document, core::Variant(kDoc)},         {ListRecord::Client, core::Variant(7)},
        {ListRecord::VatCode, core::Variant(QStringLiteral("22"))}, {ListRecord::PaymentTerm, core::Variant(3)},
        {ListRecord::Service, core::Variant(9)}};
    for (const auto& [kind, key] : records) {
        for (const QString& sql : referenceChecks(kind, key))
            result.push_back({QStringLiteral("deletion check"), sql});
        for (const QString& sql : deletionStatements(kind, key))
            result.push_back({QStringLiteral("deletion"), sql});
    }
    return result;
}

QVector<Statement> programStatements()
{
    QVector<Statement> result = builtStatements();
    QFile file(QStringLiteral(CORVESSA_TEST_DATA_DIR "/jetsql/program_sql.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QString origin;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(QLatin1String("# "))) {
            origin = line.mid(2);
        } else if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1Char('#'))) {
            result.push_back({origin, line});
            origin.clear();
        }
    }
    return result;
}

bool isSchemaStatement(const QString& sql)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(CREATE|ALTER|DROP)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

bool isQuery(const QString& sql)
{
    return sql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive);
}

} // namespace

class ProgramSqlTest : public ProgramFixture {};

TEST_F(ProgramSqlTest, EveryStatementRunsOnADatabaseFromTheTemplate)
{
    const QVector<Statement> statements = programStatements();
    ASSERT_GT(statements.size(), 150);
    useFreshDatabase();
    db::Connection cn;
    cn.open(session().dataConStr);

    // The schema statements bring the template to the full schema; run twice,
    // the second pass fails on every object that exists, and changes nothing.
    for (int pass = 0; pass < 2; ++pass) {
        for (const Statement& s : statements) {
            if (!isSchemaStatement(s.sql))
                continue;
            try {
                cn.execute(s.sql);
                // Changing a column's type to what it has is the one schema statement that may repeat.
                if (!s.sql.contains(QLatin1String("ALTER COLUMN"), Qt::CaseInsensitive)) {
                    EXPECT_EQ(pass, 0) << "ran twice: " << s.sql.toStdString();
                }
            } catch (const db::DbError& e) {
                if (pass == 0)
                    ADD_FAILURE() << s.origin.toStdString() << ": " << s.sql.toStdString() << "\n  " << e.text().toStdString();
                else
                    EXPECT_EQ(e.kind(), db::ErrorKind::AlreadyExists) << s.sql.toStdString();
            }
        }
    }

    for (const Statement& s : statements) {
        if (isSchemaStatement(s.sql))
            continue;
        try {
            if (isQuery(s.sql)) {
                db::Recordset rs;
                rs.open(s.sql, cn, db::CursorType::Static, db::LockType::ReadOnly);
                rs.close();
            } else {
                // Written and taken back: every statement meets the same data.
                db::Transaction tx(cn);
                cn.execute(s.sql);
                tx.rollback();
            }
        } catch (const core::Error& e) {
            ADD_FAILURE() << s.origin.toStdString() << ": " << s.sql.toStdString() << "\n  " << e.text().toStdString();
        }
    }
}

TEST_F(ProgramSqlTest, EveryTemplateTableOpensDirectlyAndTakesARow)
{
    useUpgradedDatabase();
    db::Connection connection;
    connection.open(session().dataConStr);
    const QVector<db::TableInfo> tables = connection.catalog().tables();
    ASSERT_GE(tables.size(), 10);
    for (const auto& table : tables) {
        db::Recordset rs;
        rs.open(table.name, connection, db::CursorType::Static, db::LockType::BatchOptimistic, db::CommandType::Table);
        EXPECT_EQ(rs.fieldCount(), table.columns.size()) << table.name.toStdString();
        const int before = rs.recordCount();
        rs.requery();
        EXPECT_EQ(rs.recordCount(), before) << table.name.toStdString();
    }
}

// A small world of two sections, and what the program's key queries give on it.
class ProgramQueriesTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        useUpgradedDatabase();
        exec(QStringLiteral("INSERT INTO Sezioni (sezId, sezNome) VALUES (2, 'Maria')"));
        exec(QStringLiteral("INSERT INTO CliFor (cliId, cliNome, cliLocalita, sezId, cliShared) VALUES (7, 'Rossi', 'Roma', 1, False)"));
        exec(QStringLiteral("INSERT INTO CliFor (cliId, cliNome, cliLocalita, sezId, cliShared) VALUES (8, 'Condiviso', 'Bari', 2, True)"));
        exec(QStringLiteral("INSERT INTO CliFor (cliId, cliNome, cliLocalita, sezId, cliShared) VALUES (9, 'Altrui', 'Pisa', 2, False)"));
        exec(QStringLiteral("INSERT INTO Pagamenti (pagId, pagDescrizione, pagNoteFat, sezId, pagShared) VALUES (3, 'Bonifico', 'IBAN', 1, False)"));
        exec(QStringLiteral("INSERT INTO Pagamenti (pagId, pagDescrizione, sezId, pagShared) VALUES (4, 'Condiviso', 2, True)"));
        exec(QStringLiteral("INSERT INTO Pagamenti (pagId, pagDescrizione, sezId, pagShared) VALUES (5, 'Altrui', 2, False)"));
        // fatId, section, kind, date, client, payment term
        const char* const documents[] = {
            "11, 1, 0, #03/01/2024#, 7, 3", // an invoice of the working year
            "12, 1, 1, #12/31/2024#, 8, 0", // a credit note to a shared client
            "13, 1, 0, #12/31/2023#, 7, 3", // last year's invoice
            "14, 2, 0, #03/01/2024#, 9, 5", // another section's
            "15, 1, 2, #06/30/2022#, 7, 3", // an old pro forma
            "16, 1, 2, #12/31/2024#, 7, 0", // a pro forma on the year's last day
            "17, 1, 2, #01/01/2025#, 7, 3", // a pro forma of next year
            "18, 1, 0, #03/02/2024#, 99, 3", // a document whose client is gone
        };
        for (const char* d : documents)
            exec(QStringLiteral("INSERT INTO Fatture (fatId, sezId, fatTipo, fatData, fatCliForId, fatCliForPag) VALUES (%1)")
                     .arg(QLatin1String(d)));
        exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, Null, 2024, 4)"));
        exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, '', 2024, 4)"));
        exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, 'A', 2024, 9)"));
        exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, Null, 2023, 30)"));
        exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (2, Null, 2024, 2)"));
    }
    // The first column of every row.
    QSet<int> firstColumn(const QString& sql) const
    {
        db::Recordset rs;
        rs.open(sql, session().dataConStr, db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
        QSet<int> values;
        for (; !rs.eof(); rs.moveNext())
            values.insert(rs.value(0).toLong());
        rs.close();
        return values;
    }
    int rows(const QString& sql) const
    {
        db::Recordset rs;
        rs.open(sql, session().dataConStr, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
        const int n = rs.recordCount();
        rs.close();
        return n;
    }
};

TEST_F(ProgramQueriesTest, TheViewsHoldTheirSectionsRowsOfTheWorkingYear)
{
    EXPECT_EQ(firstColumn(invoiceViewSql(1, kLavoro)), (QSet<int>{11, 12}));
    EXPECT_EQ(firstColumn(invoiceViewSql(1, QDate(2023, 7, 1))), (QSet<int>{13}));
    EXPECT_EQ(firstColumn(proFormaViewSql(1, kLavoro)), (QSet<int>{15, 16}));
    EXPECT_EQ(firstColumn(clientViewSql(1)), (QSet<int>{7, 8}));
    EXPECT_EQ(firstColumn(paymentTermViewSql(1)), (QSet<int>{3, 4}));
    EXPECT_EQ(firstColumn(paymentTermViewSql(2)), (QSet<int>{4, 5}));
}

TEST_F(ProgramQueriesTest, TheCounterOfASeriesIsFoundWithEitherMainPrefix)
{
    EXPECT_EQ(rows(counterQuery(1, 2024, QString())), 2);
    EXPECT_EQ(firstColumn(QString(counterQuery(1, 2024, QStringLiteral("A"))).replace(QStringLiteral("SELECT *"),
                                                                                      QStringLiteral("SELECT parNum1"))),
              (QSet<int>{9}));
    EXPECT_EQ(rows(counterQuery(1, 2024, QStringLiteral("B"))), 0);
    EXPECT_EQ(rows(counterQuery(2, 2023, QString())), 0);
}

TEST_F(ProgramQueriesTest, ThePrintQueryJoinsTheClientAndKeepsADocumentWithoutPaymentTerm)
{
    EXPECT_EQ(rows(documentPrintSql(11)), 1);
    EXPECT_EQ(rows(documentPrintSql(16)), 1); // no payment term
    EXPECT_EQ(rows(documentPrintSql(18)), 0); // no client: nothing to print
    db::Recordset rs;
    rs.open(documentPrintSql(11), session().dataConStr, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
    EXPECT_EQ(rs.value(QStringLiteral("cliNome")).toString(), QStringLiteral("Rossi"));
    EXPECT_EQ(rs.value(QStringLiteral("pagNoteFat")).toString(), QStringLiteral("IBAN"));
    rs.close();
}

TEST_F(ProgramQueriesTest, TheVatCodeReadsSeeTheTemplatesCodes)
{
    const QVector<VatCode> codes = readVatCodes(session().dataConStr);
    ASSERT_FALSE(codes.isEmpty());
    for (qsizetype i = 1; i < codes.size(); ++i)
        EXPECT_LT(codes[i - 1].code, codes[i].code);
    const auto it = std::find_if(codes.begin(), codes.end(), [](const VatCode& c) { return c.code == QLatin1String("22"); });
    ASSERT_NE(it, codes.end());
    EXPECT_DOUBLE_EQ(it->rate, vatCodeRate(session().dataConStr, QStringLiteral("22")));
    EXPECT_EQ(it->noSurcharge, vatCodeExempt(session().dataConStr, QStringLiteral("22")));
    EXPECT_EQ(it->noWithholding, vatCodeNoWithholding(session().dataConStr, QStringLiteral("22")));
    EXPECT_EQ(paymentTermNote(session().dataConStr, 3), QStringLiteral("IBAN"));
    EXPECT_EQ(paymentTermNote(session().dataConStr, 42), QString());
}
