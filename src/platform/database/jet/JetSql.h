#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Types.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <optional>

// The Jet SQL dialect: parsing, translation to the engine's SQL, and evaluation
// of filter criteria in memory. Only the translation's output is engine-specific.
namespace db::jet {

// What the translator needs to know about the stored schema (case-insensitive names).
class SchemaLookup {
public:
    virtual ~SchemaLookup() = default;
    // The Jet type of table.column, or nullopt when the table or column is unknown.
    virtual std::optional<DataType> columnType(const QString& table, const QString& column) const = 0;
    // The columns of a table in stored order (empty when unknown).
    virtual QStringList columns(const QString& table) const = 0;
};

enum class StatementKind {
    Select,
    Insert,
    Update,
    Delete,
    CreateTable,
    CreateIndex,
    AlterTableAddColumn,
    AlterTableAlterColumn,
    AlterTableDropColumn,
    DropTable,
    DropIndex,
};

// ALTER TABLE t ALTER COLUMN c <type>: the engine cannot change a column in
// place, so the connection rebuilds the table from this description.
struct AlterColumn {
    QString table;
    QString column;
    QString jetType;       // as written, e.g. "TEXT(255)"
    QString columnDefinition; // the engine's column definition for it (StorageTypes)
};

struct Translation {
    StatementKind kind = StatementKind::Select;
    // The statement in the engine's dialect, ready to prepare. Empty for ALTER COLUMN.
    QString sql;
    // SELECT only: for each result column, the Jet type that the expression has
    // where it can be told (a plain column, or a sum or difference of currency
    // columns), so stored values come back as Currency, Date or Boolean.
    // A "*" or "t.*" counts one entry per column of the table. Empty when a "*"
    // names a table the schema does not know (the columns cannot be counted).
    // Unnamed expressions are named "Expr1000", "Expr1001", ...; where two
    // tables of a "*" share a column name, both come as "Table.column".
    QVector<std::optional<DataType>> resultTypes;
    // The tables named in FROM (SELECT) or the target table (others), in order.
    QStringList tables;
    std::optional<AlterColumn> alterColumn;
};

// Translates one statement. Throws DbError(ErrorKind::Syntax) for a text it
// cannot read, naming the offending position.
Translation translate(const QString& jetSql, const SchemaLookup& schema);

// Reads a date literal as written between "#" signs: month/day/year with a two-
// or four-digit year (two digits: 00-29 are 20xx, 30-99 are 19xx), optional time.
std::optional<core::DateValue> parseDateLiteral(const QString& textBetweenHashes);

// The value of a column in one row, for criteria evaluation.
class RowValues {
public:
    virtual ~RowValues() = default;
    // nullopt when the row has no such column (an error in the criteria).
    virtual std::optional<core::Variant> value(const QString& column) const = 0;
};

// A filter criteria text, as recordset filters take it: comparisons of a column
// with a literal joined by AND / OR, with parentheses, LIKE with * or % as
// wildcards, IS NULL. Text compares without regard to case.
class Criteria {
public:
    // Throws DbError(ErrorKind::Syntax) for a text it cannot read.
    static Criteria parse(const QString& text);
    bool matches(const RowValues& row) const;
    // The column names the criteria refers to.
    QStringList columns() const;

    ~Criteria();
    Criteria(Criteria&&) noexcept;
    Criteria& operator=(Criteria&&) noexcept;
    Criteria(const Criteria&);
    Criteria& operator=(const Criteria&);

    struct Node;
private:
    explicit Criteria(std::shared_ptr<const Node> root);
    std::shared_ptr<const Node> m_root;
};

} // namespace db::jet
