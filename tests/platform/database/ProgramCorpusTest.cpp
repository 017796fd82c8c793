#include "DatabaseFixture.h"

#include "platform/database/Catalog.h"
#include "startup/Schema.h"

#include <QFile>
#include <QTextStream>

// Every statement the program sends, run through connections and recordsets on a
// file built from the template schema and brought up to date.
namespace {

struct Entry {
    QString origin;
    QString sql;
    int line = 0;
};

std::vector<Entry> readCorpus()
{
    QFile file(QStringLiteral(CORVESSA_TEST_DATA_DIR "/jetsql/program_sql.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    std::vector<Entry> entries;
    QString origin;
    int number = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++number;
        if (line.trimmed().isEmpty())
            continue;
        if (line.startsWith(QLatin1String("# "))) {
            origin = line.mid(2);
            continue;
        }
        entries.push_back({origin, line, number});
    }
    return entries;
}

bool isSchemaChange(const QString& sql)
{
    const QString upper = sql.trimmed().toUpper();
    return upper.startsWith(QLatin1String("CREATE ")) || upper.startsWith(QLatin1String("ALTER "))
        || upper.startsWith(QLatin1String("DROP "));
}

class ProgramCorpusTest : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        for (const QString& sql : startup::templateSchemaStatements())
            ASSERT_NO_THROW(connection.execute(sql)) << sql.toStdString();
        corpus = readCorpus();
        ASSERT_GT(corpus.size(), 150u) << "corpus file missing or truncated";
    }

    static std::string where(const Entry& e)
    {
        return QStringLiteral("line %1 (%2): %3").arg(e.line).arg(e.origin, e.sql).toStdString();
    }

    std::vector<Entry> corpus;
};

TEST_F(ProgramCorpusTest, EveryStatementRunsThroughTheLayer)
{
    std::vector<const Entry*> others;
    for (const auto& e : corpus) {
        if (!isSchemaChange(e.sql)) {
            others.push_back(&e);
            continue;
        }
        try {
            connection.execute(e.sql);
        } catch (const db::DbError& error) {
            ADD_FAILURE() << where(e) << ": " << error.text().toStdString();
        }
    }
    // The widened description kept its rows and its place in the schema.
    const db::TableInfo services = connection.catalog().table(QStringLiteral("Prestazioni"));
    for (const auto& column : services.columns) {
        if (column.name == QLatin1String("preDescrizione"))
            EXPECT_EQ(column.definedSize, 255);
    }

    for (const Entry* e : others) {
        const QString upper = e->sql.trimmed().toUpper();
        try {
            if (upper.startsWith(QLatin1String("SELECT")) && !upper.contains(QLatin1String(" INTO "))) {
                db::Recordset rs;
                rs.open(e->sql, connection, db::CursorType::Static, db::LockType::BatchOptimistic);
                for (int i = 0; i < rs.fieldCount(); ++i)
                    EXPECT_FALSE(rs.field(i).name().isEmpty()) << where(*e);
                rs.close();
            } else {
                connection.execute(e->sql);
            }
        } catch (const db::DbError& error) {
            ADD_FAILURE() << where(*e) << ": " << error.text().toStdString();
        }
    }
}

TEST_F(ProgramCorpusTest, EveryTemplateTableOpensDirectlyAndTakesARow)
{
    for (const auto& e : corpus) {
        if (isSchemaChange(e.sql))
            connection.execute(e.sql);
    }
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

} // namespace
