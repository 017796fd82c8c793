// Every SQL text the program sends, run through the data-access layer against a
// database made from the built template: the schema statements first, as a
// start runs them, then every query and write.
#include "platform/database/Catalog.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "startup/SharedState.h"
#include "support/ProgramFixture.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace {

struct Statement {
    QString origin;
    QString sql;
};

QVector<Statement> programStatements()
{
    QFile file(QStringLiteral(CORVESSA_TEST_DATA_DIR "/jetsql/program_sql.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QVector<Statement> result;
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
    cn.open(DataConStr);

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
                cn.beginTrans();
                cn.execute(s.sql);
                cn.rollbackTrans();
            }
        } catch (const core::Error& e) {
            if (cn.inTransaction())
                cn.rollbackTrans();
            ADD_FAILURE() << s.origin.toStdString() << ": " << s.sql.toStdString() << "\n  " << e.text().toStdString();
        }
    }
}

TEST_F(ProgramSqlTest, EveryTemplateTableOpensDirectlyAndTakesARow)
{
    useUpgradedDatabase();
    db::Connection connection;
    connection.open(DataConStr);
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
