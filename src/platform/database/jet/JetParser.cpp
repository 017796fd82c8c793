#include "platform/database/jet/JetParser.h"

#include "platform/database/jet/JetSql.h"

#include <QSet>

namespace db::jet {

using namespace ast;

namespace {

// Words that end an expression or a name where an alias could stand.
const QSet<QString>& reservedWords()
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"), QStringLiteral("FROM"), QStringLiteral("WHERE"), QStringLiteral("GROUP"),
        QStringLiteral("ORDER"), QStringLiteral("BY"), QStringLiteral("HAVING"), QStringLiteral("AND"),
        QStringLiteral("OR"), QStringLiteral("NOT"), QStringLiteral("AS"), QStringLiteral("ON"),
        QStringLiteral("JOIN"), QStringLiteral("INNER"), QStringLiteral("LEFT"), QStringLiteral("RIGHT"),
        QStringLiteral("OUTER"), QStringLiteral("UNION"), QStringLiteral("SET"), QStringLiteral("VALUES"),
        QStringLiteral("INTO"), QStringLiteral("IS"), QStringLiteral("NULL"), QStringLiteral("LIKE"),
        QStringLiteral("BETWEEN"), QStringLiteral("IN"), QStringLiteral("ASC"), QStringLiteral("DESC"),
        QStringLiteral("DISTINCT"), QStringLiteral("TOP"), QStringLiteral("MOD"), QStringLiteral("XOR"),
        QStringLiteral("EQV"), QStringLiteral("IMP"), QStringLiteral("EXISTS"), QStringLiteral("WITH"),
        QStringLiteral("TRUE"), QStringLiteral("FALSE"),
    };
    return words;
}

bool isReserved(const Token& t)
{
    return t.kind == Token::Kind::Name && reservedWords().contains(t.text.toUpper());
}

// Binding powers of the infix operators; 0 = not an infix operator here.
int infixPower(const Token& t, const Token& after)
{
    if (t.kind == Token::Kind::Symbol) {
        const QString& s = t.text;
        if (s == QLatin1String("^"))
            return 90;
        if (s == QLatin1String("*") || s == QLatin1String("/"))
            return 80;
        if (s == QLatin1String("\\"))
            return 70;
        if (s == QLatin1String("+") || s == QLatin1String("-"))
            return 50;
        if (s == QLatin1String("&"))
            return 40;
        if (s == QLatin1String("=") || s == QLatin1String("<>") || s == QLatin1String("<") || s == QLatin1String(">")
            || s == QLatin1String("<=") || s == QLatin1String(">="))
            return 30;
        return 0;
    }
    if (t.kind != Token::Kind::Name)
        return 0;
    if (t.isWord("MOD"))
        return 60;
    if (t.isWord("LIKE") || t.isWord("IS") || t.isWord("BETWEEN") || t.isWord("IN"))
        return 30;
    if (t.isWord("NOT") && (after.isWord("LIKE") || after.isWord("BETWEEN") || after.isWord("IN")))
        return 30;
    if (t.isWord("AND"))
        return 20;
    if (t.isWord("OR") || t.isWord("XOR") || t.isWord("EQV") || t.isWord("IMP"))
        return 10;
    return 0;
}

ExprPtr make(Expr::Kind kind, int position)
{
    auto e = std::make_shared<Expr>(kind);
    e->position = position;
    return e;
}

} // namespace

JetParser::JetParser(const QString& text) : m_text(text), m_tokens(JetLexer::tokenize(text)) {}

Statement JetParser::parseStatement(const QString& text)
{
    JetParser p(text);
    Statement s = p.statement();
    while (p.acceptSymbol(";")) {
    }
    if (p.peek().kind != Token::Kind::End)
        p.fail();
    return s;
}

ExprPtr JetParser::parseExpression(const QString& text)
{
    JetParser p(text);
    ExprPtr e = p.expression();
    if (p.peek().kind != Token::Kind::End)
        p.fail();
    return e;
}

const Token& JetParser::peek(int ahead) const
{
    const int i = std::min<int>(m_pos + ahead, m_tokens.size() - 1);
    return m_tokens.at(i);
}

const Token& JetParser::next()
{
    const Token& t = peek();
    if (m_pos < m_tokens.size() - 1)
        ++m_pos;
    return t;
}

bool JetParser::acceptWord(const char* word)
{
    if (peek().isWord(word)) {
        next();
        return true;
    }
    return false;
}

bool JetParser::acceptSymbol(const char* symbol)
{
    if (peek().isSymbol(symbol)) {
        next();
        return true;
    }
    return false;
}

void JetParser::expectWord(const char* word)
{
    if (!acceptWord(word))
        fail();
}

void JetParser::expectSymbol(const char* symbol)
{
    if (!acceptSymbol(symbol))
        fail();
}

void JetParser::fail() const
{
    const Token& t = peek();
    QString near;
    if (t.kind != Token::Kind::End)
        near = m_text.mid(t.position, 30).section(QLatin1Char('\n'), 0, 0);
    throwSyntaxError(m_text, t.position, near);
}

bool JetParser::atName() const
{
    const Token& t = peek();
    return t.kind == Token::Kind::QuotedName || (t.kind == Token::Kind::Name && !isReserved(t));
}

bool JetParser::atAlias() const
{
    // An alias without AS: a name that cannot start a clause.
    return atName();
}

QString JetParser::name()
{
    const Token& t = peek();
    if (t.kind == Token::Kind::QuotedName || t.kind == Token::Kind::Name) {
        // Reserved words are accepted as names where only a name can stand.
        next();
        return t.text;
    }
    fail();
}

// ---- statements ----

Statement JetParser::statement()
{
    const Token& t = peek();
    if (t.isWord("SELECT")) {
        Statement s;
        s.kind = Statement::Kind::Select;
        s.select = select();
        return s;
    }
    if (t.isSymbol("(") && peek(1).isWord("SELECT")) {
        next();
        Statement s;
        s.kind = Statement::Kind::Select;
        s.select = select();
        expectSymbol(")");
        return s;
    }
    if (t.isWord("INSERT"))
        return insert();
    if (t.isWord("UPDATE"))
        return update();
    if (t.isWord("DELETE"))
        return deleteStatement();
    if (t.isWord("CREATE"))
        return create();
    if (t.isWord("ALTER"))
        return alter();
    if (t.isWord("DROP"))
        return drop();
    fail();
}

SelectPtr JetParser::select()
{
    expectWord("SELECT");
    auto s = std::make_shared<Select>();
    if (acceptWord("DISTINCT") || acceptWord("DISTINCTROW"))
        s->distinct = true;
    else
        acceptWord("ALL");
    if (acceptWord("TOP")) {
        if (peek().kind != Token::Kind::Number)
            fail();
        bool ok = false;
        s->top = next().text.toLongLong(&ok);
        if (!ok)
            fail();
        if (peek().isWord("PERCENT"))
            fail(); // not supported by the engine's LIMIT
    }
    do {
        SelectItem item;
        if (peek().isSymbol("*")) {
            const int pos = next().position;
            item.expr = make(Expr::Kind::Star, pos);
        } else {
            item.expr = expression();
            if (acceptWord("AS"))
                item.alias = name();
            else if (atAlias())
                item.alias = name();
        }
        s->items.push_back(item);
    } while (acceptSymbol(","));

    if (acceptWord("FROM"))
        s->from = tableList();
    if (acceptWord("WHERE"))
        s->where = expression();
    if (acceptWord("GROUP")) {
        expectWord("BY");
        do
            s->groupBy.push_back(expression());
        while (acceptSymbol(","));
    }
    if (acceptWord("HAVING"))
        s->having = expression();
    if (peek().isWord("UNION")) {
        next();
        s->unionAll = acceptWord("ALL");
        if (peek().isSymbol("(")) {
            next();
            s->unionNext = select();
            expectSymbol(")");
        } else {
            s->unionNext = select();
        }
        return s;
    }
    if (acceptWord("ORDER")) {
        expectWord("BY");
        do {
            OrderItem o;
            o.expr = expression();
            if (acceptWord("DESC"))
                o.descending = true;
            else
                acceptWord("ASC");
            s->orderBy.push_back(o);
        } while (acceptSymbol(","));
    }
    return s;
}

std::vector<TableRefPtr> JetParser::tableList()
{
    std::vector<TableRefPtr> list;
    do
        list.push_back(tableExpression());
    while (acceptSymbol(","));
    return list;
}

TableRefPtr JetParser::tableExpression()
{
    TableRefPtr left = tablePrimary();
    for (;;) {
        TableRef::JoinKind kind;
        if (peek().isWord("INNER") && peek(1).isWord("JOIN")) {
            kind = TableRef::JoinKind::Inner;
            next();
        } else if (peek().isWord("LEFT") || peek().isWord("RIGHT")) {
            kind = peek().isWord("LEFT") ? TableRef::JoinKind::Left : TableRef::JoinKind::Right;
            next();
            acceptWord("OUTER");
        } else if (peek().isWord("JOIN")) {
            kind = TableRef::JoinKind::Inner;
        } else {
            break;
        }
        expectWord("JOIN");
        auto join = std::make_shared<TableRef>();
        join->kind = TableRef::Kind::Join;
        join->join = kind;
        join->left = left;
        join->right = tablePrimary();
        expectWord("ON");
        join->on = expression();
        left = join;
    }
    return left;
}

TableRefPtr JetParser::tablePrimary()
{
    if (acceptSymbol("(")) {
        if (peek().isWord("SELECT")) {
            auto ref = std::make_shared<TableRef>();
            ref->kind = TableRef::Kind::Subquery;
            ref->subquery = select();
            expectSymbol(")");
            if (acceptWord("AS") || atAlias())
                ref->alias = name();
            return ref;
        }
        TableRefPtr inner = tableExpression();
        expectSymbol(")");
        return inner;
    }
    if (!atName())
        fail();
    auto ref = std::make_shared<TableRef>();
    ref->kind = TableRef::Kind::Table;
    ref->name = name();
    if (acceptWord("AS"))
        ref->alias = name();
    else if (atAlias())
        ref->alias = name();
    return ref;
}

Statement JetParser::insert()
{
    expectWord("INSERT");
    expectWord("INTO");
    Statement s;
    s.kind = Statement::Kind::Insert;
    s.table = name();
    if (peek().isSymbol("(") && !peek(1).isWord("SELECT"))
        s.columns = parenthesisedNames();
    if (acceptWord("VALUES")) {
        do {
            expectSymbol("(");
            std::vector<ExprPtr> row;
            do
                row.push_back(expression());
            while (acceptSymbol(","));
            expectSymbol(")");
            s.values.push_back(row);
        } while (acceptSymbol(","));
    } else if (peek().isWord("SELECT")) {
        s.select = select();
    } else if (peek().isSymbol("(") && peek(1).isWord("SELECT")) {
        next();
        s.select = select();
        expectSymbol(")");
    } else {
        fail();
    }
    return s;
}

Statement JetParser::update()
{
    expectWord("UPDATE");
    Statement s;
    s.kind = Statement::Kind::Update;
    s.updateFrom.push_back(tableExpression());
    if (s.updateFrom.front()->kind == TableRef::Kind::Table)
        s.table = s.updateFrom.front()->name;
    expectWord("SET");
    do {
        Assignment a;
        a.column = name();
        if (acceptSymbol(".") || acceptSymbol("!"))
            a.column = name();
        expectSymbol("=");
        a.value = expression();
        s.assignments.push_back(a);
    } while (acceptSymbol(","));
    if (acceptWord("WHERE"))
        s.where = expression();
    return s;
}

Statement JetParser::deleteStatement()
{
    expectWord("DELETE");
    Statement s;
    s.kind = Statement::Kind::Delete;
    // What stands between DELETE and FROM ("*", "t.*", column names) names the
    // table's rows only; Jet deletes whole rows either way.
    while (!peek().isWord("FROM")) {
        if (peek().kind == Token::Kind::End)
            fail();
        next();
    }
    expectWord("FROM");
    s.updateFrom.push_back(tableExpression());
    if (s.updateFrom.front()->kind != TableRef::Kind::Table)
        fail(); // deleting through a join is not supported
    s.table = s.updateFrom.front()->name;
    if (acceptWord("WHERE"))
        s.where = expression();
    return s;
}

QStringList JetParser::parenthesisedNames()
{
    QStringList names;
    expectSymbol("(");
    do
        names << name();
    while (acceptSymbol(","));
    expectSymbol(")");
    return names;
}

QString JetParser::typeName()
{
    if (peek().kind != Token::Kind::Name)
        fail();
    QString type = next().text;
    // Two-word spellings of the same types.
    if (type.compare(QLatin1String("DOUBLE"), Qt::CaseInsensitive) == 0 && acceptWord("PRECISION")) {
    } else if (type.compare(QLatin1String("LONG"), Qt::CaseInsensitive) == 0 && peek().isWord("BINARY")) {
        next();
        type = QStringLiteral("LONGBINARY");
    } else if (type.compare(QLatin1String("LONG"), Qt::CaseInsensitive) == 0 && peek().isWord("TEXT")) {
        next();
        type = QStringLiteral("LONGTEXT");
    }
    if (acceptSymbol("(")) {
        QStringList sizes;
        do {
            if (peek().kind != Token::Kind::Number)
                fail();
            sizes << next().text;
        } while (acceptSymbol(","));
        expectSymbol(")");
        type += QLatin1Char('(') + sizes.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    return type;
}

ColumnDef JetParser::columnDefinition()
{
    ColumnDef c;
    c.name = name();
    c.jetType = typeName();
    for (;;) {
        if (acceptWord("NOT")) {
            expectWord("NULL");
            c.notNull = true;
        } else if (acceptWord("NULL")) {
        } else if (acceptWord("CONSTRAINT")) {
            name();
        } else if (acceptWord("PRIMARY")) {
            expectWord("KEY");
            c.primaryKey = true;
        } else if (acceptWord("UNIQUE")) {
            c.unique = true;
        } else if (acceptWord("WITH")) {
            if (!acceptWord("COMPRESSION"))
                expectWord("COMP");
        } else {
            break;
        }
    }
    return c;
}

Statement JetParser::create()
{
    expectWord("CREATE");
    Statement s;
    if (acceptWord("TABLE")) {
        s.kind = Statement::Kind::CreateTable;
        s.table = name();
        expectSymbol("(");
        do {
            if (acceptWord("CONSTRAINT")) {
                TableConstraint k;
                k.name = name();
                if (acceptWord("PRIMARY")) {
                    expectWord("KEY");
                    k.primaryKey = true;
                } else {
                    expectWord("UNIQUE");
                }
                k.columns = parenthesisedNames();
                s.constraints.push_back(k);
            } else if (peek().isWord("PRIMARY") && peek(1).isWord("KEY")) {
                next();
                next();
                TableConstraint k;
                k.primaryKey = true;
                k.columns = parenthesisedNames();
                s.constraints.push_back(k);
            } else {
                s.columnDefs.push_back(columnDefinition());
            }
        } while (acceptSymbol(","));
        expectSymbol(")");
        return s;
    }
    s.kind = Statement::Kind::CreateIndex;
    s.uniqueIndex = acceptWord("UNIQUE");
    expectWord("INDEX");
    s.indexName = name();
    expectWord("ON");
    s.table = name();
    expectSymbol("(");
    do {
        s.columns << name();
        bool desc = false;
        if (acceptWord("DESC"))
            desc = true;
        else
            acceptWord("ASC");
        s.descendingColumns.push_back(desc);
    } while (acceptSymbol(","));
    expectSymbol(")");
    if (acceptWord("WITH")) {
        do {
            if (acceptWord("PRIMARY")) {
                s.primaryIndex = true;
            } else if (acceptWord("DISALLOW")) {
                expectWord("NULL");
                s.disallowNull = true;
            } else if (acceptWord("IGNORE")) {
                expectWord("NULL");
                s.ignoreNull = true;
            } else {
                fail();
            }
        } while (!peek().isSymbol(";") && peek().kind != Token::Kind::End);
    }
    return s;
}

Statement JetParser::alter()
{
    expectWord("ALTER");
    expectWord("TABLE");
    Statement s;
    s.table = name();
    if (acceptWord("ADD")) {
        acceptWord("COLUMN");
        s.kind = Statement::Kind::AddColumn;
        s.columnDefs.push_back(columnDefinition());
    } else if (acceptWord("ALTER")) {
        acceptWord("COLUMN");
        s.kind = Statement::Kind::AlterColumn;
        s.columnDefs.push_back(columnDefinition());
    } else if (acceptWord("DROP")) {
        acceptWord("COLUMN");
        s.kind = Statement::Kind::DropColumn;
        ColumnDef c;
        c.name = name();
        s.columnDefs.push_back(c);
    } else {
        fail();
    }
    return s;
}

Statement JetParser::drop()
{
    expectWord("DROP");
    Statement s;
    if (acceptWord("TABLE")) {
        s.kind = Statement::Kind::DropTable;
        s.table = name();
        return s;
    }
    expectWord("INDEX");
    s.kind = Statement::Kind::DropIndex;
    s.indexName = name();
    expectWord("ON");
    s.table = name();
    return s;
}

// ---- expressions ----

ExprPtr JetParser::expression(int minPower)
{
    ExprPtr left = prefix();
    for (;;) {
        const Token& op = peek();
        const int power = infixPower(op, peek(1));
        if (power == 0 || power <= minPower)
            break;
        const int pos = op.position;
        if (op.isWord("IS")) {
            next();
            auto e = make(Expr::Kind::IsNull, pos);
            e->negated = acceptWord("NOT");
            expectWord("NULL");
            e->args.push_back(left);
            left = e;
            continue;
        }
        bool negated = false;
        if (op.isWord("NOT")) {
            next();
            negated = true;
        }
        const Token& word = peek();
        if (word.isWord("LIKE")) {
            next();
            auto e = make(Expr::Kind::Like, pos);
            e->negated = negated;
            e->args = {left, expression(power)};
            left = e;
        } else if (word.isWord("BETWEEN")) {
            next();
            auto e = make(Expr::Kind::Between, pos);
            e->negated = negated;
            ExprPtr low = expression(power);
            expectWord("AND");
            ExprPtr high = expression(power);
            e->args = {left, low, high};
            left = e;
        } else if (word.isWord("IN")) {
            next();
            expectSymbol("(");
            if (peek().isWord("SELECT")) {
                auto e = make(Expr::Kind::InSelect, pos);
                e->negated = negated;
                e->args.push_back(left);
                e->subquery = select();
                left = e;
            } else {
                auto e = make(Expr::Kind::In, pos);
                e->negated = negated;
                e->args.push_back(left);
                do
                    e->args.push_back(expression());
                while (acceptSymbol(","));
                left = e;
            }
            expectSymbol(")");
        } else {
            next();
            auto e = make(Expr::Kind::Binary, pos);
            e->text = op.kind == Token::Kind::Name ? op.text.toUpper() : op.text;
            e->args = {left, expression(power)};
            left = e;
        }
    }
    return left;
}

ExprPtr JetParser::prefix()
{
    const Token& t = peek();
    const int pos = t.position;
    switch (t.kind) {
    case Token::Kind::Number: {
        next();
        auto e = make(Expr::Kind::Number, pos);
        e->text = t.text;
        e->number = t.text.toDouble();
        return e;
    }
    case Token::Kind::Text: {
        next();
        auto e = make(Expr::Kind::Text, pos);
        e->text = t.text;
        return e;
    }
    case Token::Kind::Date: {
        const auto date = parseDateLiteral(t.text);
        if (!date)
            fail();
        next();
        auto e = make(Expr::Kind::Date, pos);
        e->number = date->serial;
        e->text = t.text;
        return e;
    }
    case Token::Kind::QuotedName:
        return nameExpression();
    case Token::Kind::Name:
        if (t.isWord("TRUE") || t.isWord("FALSE")) {
            next();
            auto e = make(Expr::Kind::Boolean, pos);
            e->number = t.isWord("TRUE") ? -1 : 0;
            return e;
        }
        if (t.isWord("NULL")) {
            next();
            return make(Expr::Kind::Null, pos);
        }
        if (t.isWord("NOT")) {
            next();
            auto e = make(Expr::Kind::Unary, pos);
            e->text = QStringLiteral("NOT");
            e->args.push_back(expression(25));
            return e;
        }
        if (t.isWord("EXISTS")) {
            next();
            expectSymbol("(");
            auto e = make(Expr::Kind::Exists, pos);
            e->subquery = select();
            expectSymbol(")");
            return e;
        }
        if (isReserved(t) && !((t.isWord("LEFT") || t.isWord("RIGHT")) && peek(1).isSymbol("(")))
            fail();
        return nameExpression();
    case Token::Kind::Symbol:
        if (t.isSymbol("(")) {
            next();
            if (peek().isWord("SELECT")) {
                auto e = make(Expr::Kind::Subquery, pos);
                e->subquery = select();
                expectSymbol(")");
                return e;
            }
            ExprPtr inner = expression();
            expectSymbol(")");
            return inner;
        }
        if (t.isSymbol("-") || t.isSymbol("+")) {
            next();
            auto e = make(Expr::Kind::Unary, pos);
            e->text = t.text;
            e->args.push_back(expression(85));
            return e;
        }
        if (t.isSymbol("?")) {
            next();
            auto e = make(Expr::Kind::Parameter, pos);
            e->text = QStringLiteral("?");
            return e;
        }
        break;
    case Token::Kind::End:
        break;
    }
    fail();
}

ExprPtr JetParser::nameExpression()
{
    const Token first = next();
    const int pos = first.position;
    if (first.kind == Token::Kind::Name && peek().isSymbol("(")) {
        next();
        auto e = make(Expr::Kind::Function, pos);
        e->text = first.text;
        if (peek().isSymbol("*")) {
            next();
            e->args.push_back(make(Expr::Kind::Star, pos));
            expectSymbol(")");
            return e;
        }
        acceptWord("DISTINCT"); // not in Jet; tolerated
        if (!acceptSymbol(")")) {
            do
                e->args.push_back(expression());
            while (acceptSymbol(","));
            expectSymbol(")");
        }
        return e;
    }
    if (peek().isSymbol(".") || peek().isSymbol("!")) {
        next();
        if (peek().isSymbol("*")) {
            next();
            auto e = make(Expr::Kind::Star, pos);
            e->qualifier = first.text;
            return e;
        }
        auto e = make(Expr::Kind::Column, pos);
        e->qualifier = first.text;
        e->text = name();
        return e;
    }
    auto e = make(Expr::Kind::Column, pos);
    e->text = first.text;
    return e;
}

} // namespace db::jet
