#pragma once

#include "platform/database/jet/JetAst.h"
#include "platform/database/jet/JetLexer.h"

#include <QString>
#include <QVector>

namespace db::jet {

// Recursive-descent reader of Jet statements; expressions by precedence climbing
// with the operator order of the dialect (^, unary -, * /, \, Mod, + -, &,
// comparisons, Not, And, Or). Throws DbError(Syntax) naming the token it stopped at.
class JetParser {
public:
    static ast::Statement parseStatement(const QString& text);
    // A lone expression, as criteria and tests use it.
    static ast::ExprPtr parseExpression(const QString& text);

private:
    explicit JetParser(const QString& text);

    ast::Statement statement();
    ast::SelectPtr select();
    ast::Statement insert();
    ast::Statement update();
    ast::Statement deleteStatement();
    ast::Statement create();
    ast::Statement alter();
    ast::Statement drop();

    ast::TableRefPtr tableExpression();
    ast::TableRefPtr tablePrimary();
    std::vector<ast::TableRefPtr> tableList();
    ast::ColumnDef columnDefinition();
    QString typeName();
    QStringList parenthesisedNames();

    ast::ExprPtr expression(int minPower = 0);
    ast::ExprPtr prefix();
    ast::ExprPtr nameExpression();
    std::vector<ast::ExprPtr> argumentList();

    const Token& peek(int ahead = 0) const;
    const Token& next();
    bool acceptWord(const char* word);
    bool acceptSymbol(const char* symbol);
    void expectWord(const char* word);
    void expectSymbol(const char* symbol);
    QString name(); // an identifier, bare or bracketed
    bool atName() const;
    bool atAlias() const;
    [[noreturn]] void fail() const;

    QString m_text;
    QVector<Token> m_tokens;
    int m_pos = 0;
};

} // namespace db::jet
