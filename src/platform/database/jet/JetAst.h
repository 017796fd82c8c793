#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

// The syntax tree of a Jet statement, as the parser builds it and the emitter reads it.
namespace db::jet::ast {

struct Select;
struct Expr;
using ExprPtr = std::shared_ptr<Expr>;
using SelectPtr = std::shared_ptr<Select>;

struct Expr {
    enum class Kind {
        Number,   // text: the digits as written
        Text,     // text: the value
        Date,     // number: the day serial
        Boolean,  // number: -1 or 0
        Null,
        Column,   // qualifier (may be empty) and text (the column name)
        Star,     // qualifier: "t.*" or "*" inside Count(*)
        Unary,    // text: "-", "+", "NOT"
        Binary,   // text: operator in upper case ("+", "&", "AND", "MOD", "=", ...)
        Function, // text: name as written; args
        Between,  // args: value, low, high; negated
        In,       // args: value, then the list; negated
        InSelect, // args: value; subquery; negated
        Exists,   // subquery; negated
        Subquery, // subquery (a scalar)
        IsNull,   // args: value; negated for Is Not Null
        Like,     // args: value, pattern; negated
        Parameter // text: the name, "?" for a positional one
    };
    Kind kind;
    QString text;
    QString qualifier;
    double number = 0.0;
    bool negated = false;
    std::vector<ExprPtr> args;
    SelectPtr subquery;
    int position = 0;

    explicit Expr(Kind k) : kind(k) {}
};

struct TableRef;
using TableRefPtr = std::shared_ptr<TableRef>;

struct TableRef {
    enum class Kind { Table, Join, Subquery };
    enum class JoinKind { Inner, Left, Right };
    Kind kind = Kind::Table;
    QString name;  // Table
    QString alias; // Table and Subquery
    JoinKind join = JoinKind::Inner;
    TableRefPtr left, right;
    ExprPtr on;
    SelectPtr subquery;
};

struct SelectItem {
    ExprPtr expr;
    QString alias;
};

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
};

struct Select {
    bool distinct = false;
    std::optional<long long> top;
    std::vector<SelectItem> items;
    std::vector<TableRefPtr> from; // comma-separated entries
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::vector<OrderItem> orderBy;
    // UNION [ALL] continuation
    SelectPtr unionNext;
    bool unionAll = false;
};

struct Assignment {
    QString column; // the bare column; a table qualifier is dropped
    ExprPtr value;
};

struct ColumnDef {
    QString name;
    QString jetType; // as written, e.g. "TEXT(50)"
    bool notNull = false;
    bool primaryKey = false;
    bool unique = false;
};

struct TableConstraint {
    QString name;
    bool primaryKey = false; // else unique
    QStringList columns;
};

struct Statement {
    enum class Kind { Select, Insert, Update, Delete, CreateTable, CreateIndex, AddColumn, AlterColumn, DropColumn, DropTable, DropIndex };
    Kind kind = Kind::Select;
    SelectPtr select;             // Select; Insert ... SELECT
    QString table;                // target of every other kind
    QStringList columns;          // Insert, CreateIndex
    std::vector<std::vector<ExprPtr>> values; // Insert ... VALUES rows
    std::vector<Assignment> assignments;      // Update
    std::vector<TableRefPtr> updateFrom;      // Update: the table expression (one table, or joins)
    ExprPtr where;                // Update, Delete
    std::vector<ColumnDef> columnDefs;        // CreateTable; one for Add/AlterColumn
    std::vector<TableConstraint> constraints; // CreateTable
    QString indexName;            // CreateIndex, DropIndex
    bool uniqueIndex = false;
    bool primaryIndex = false;
    bool disallowNull = false;
    bool ignoreNull = false;
    std::vector<bool> descendingColumns; // CreateIndex
};

} // namespace db::jet::ast
