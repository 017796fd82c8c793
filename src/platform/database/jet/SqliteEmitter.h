#pragma once

#include "platform/database/jet/JetAst.h"
#include "platform/database/jet/JetSql.h"

#include <QString>
#include <optional>

namespace db::jet {

// Writes a parsed Jet statement as SQLite SQL, with the storage conventions of
// StorageTypes.h and the functions of SqliteExtensions.h. Infers the Jet type of
// every expression from the schema, so currency arithmetic is rounded to four
// decimals where it is computed and the result columns carry their types.
class SqliteEmitter {
public:
    static Translation emit(const ast::Statement& statement, const SchemaLookup& schema);

    struct Scope;
    struct Emitted {
        QString text;
        int level = 0; // binding strength of the outermost SQLite operator
        std::optional<DataType> type;
        bool bareColumn = false;
        bool boolean = false; // a truth value (SQLite gives 1/0 where Jet gives -1/0)
    };
    enum class Context { Value, Condition };

private:
    explicit SqliteEmitter(const SchemaLookup& schema) : m_schema(schema) {}

    QString select(const ast::Select& s, const Scope* parent, Translation* top);
    // `rightAsLeft`: write A RIGHT JOIN B ON c as B LEFT JOIN A ON c (the same
    // rows; the caller keeps the select list's column order).
    QString tableRef(const ast::TableRef& ref, const Scope& scope, bool rightAsLeft = false);
    void collectSources(const ast::TableRef& ref, Scope& scope, const Scope* parent);
    Emitted expr(const ast::Expr& e, const Scope& scope, Context ctx);
    Emitted exprRaw(const ast::Expr& e, const Scope& scope);
    Emitted function(const ast::Expr& e, const Scope& scope);
    Emitted binary(const ast::Expr& e, const Scope& scope);
    std::optional<Emitted> yearRange(const ast::Expr& e, const Scope& scope);
    QString concatOperand(const ast::Expr& e, const Scope& scope);
    QString value(const ast::Expr& e, const Scope& scope, int minLevel);
    QString condition(const ast::Expr& e, const Scope& scope, int minLevel);
    std::optional<DataType> columnType(const Scope& scope, const QString& qualifier, const QString& column) const;

    const SchemaLookup& m_schema;
};

} // namespace db::jet
