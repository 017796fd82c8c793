#include "platform/database/jet/JetSql.h"

#include "platform/database/jet/JetLexer.h"
#include "platform/database/jet/JetText.h"

#include <QSet>

// Recordset filter criteria: a small grammar of its own (column, operator,
// literal; AND, OR, NOT, parentheses), evaluated on values in memory.
namespace db::jet {

struct Criteria::Node {
    enum class Kind { And, Or, Not, Compare, IsNull, Like };
    Kind kind = Kind::Compare;
    QString column;
    QString op; // = <> < > <= >=
    enum class LiteralKind { Text, Number, Date, Boolean };
    LiteralKind literalKind = LiteralKind::Text;
    QString text;        // Text: the value; Number: the digits as written
    double number = 0.0; // Number, Date (serial), Boolean (-1/0)
    bool negated = false;
    std::vector<std::shared_ptr<const Node>> children;
};

namespace {

using NodePtr = std::shared_ptr<const Criteria::Node>;
using Node = Criteria::Node;

class CriteriaParser {
public:
    explicit CriteriaParser(const QString& text) : m_text(text), m_tokens(JetLexer::tokenize(text)) {}

    NodePtr parse()
    {
        NodePtr root = orExpr();
        if (peek().kind != Token::Kind::End)
            fail();
        return root;
    }

private:
    const Token& peek() const { return m_tokens.at(std::min<int>(m_pos, m_tokens.size() - 1)); }
    const Token& next()
    {
        const Token& t = peek();
        if (m_pos < m_tokens.size() - 1)
            ++m_pos;
        return t;
    }
    [[noreturn]] void fail() const
    {
        const Token& t = peek();
        throwSyntaxError(m_text, t.position, t.kind == Token::Kind::End ? QString() : m_text.mid(t.position, 30));
    }

    NodePtr orExpr()
    {
        NodePtr left = andExpr();
        while (peek().isWord("OR")) {
            next();
            auto n = std::make_shared<Node>();
            n->kind = Node::Kind::Or;
            n->children = {left, andExpr()};
            left = n;
        }
        return left;
    }

    NodePtr andExpr()
    {
        NodePtr left = primary();
        while (peek().isWord("AND")) {
            next();
            auto n = std::make_shared<Node>();
            n->kind = Node::Kind::And;
            n->children = {left, primary()};
            left = n;
        }
        return left;
    }

    NodePtr primary()
    {
        if (peek().isSymbol("(")) {
            next();
            NodePtr inner = orExpr();
            if (!peek().isSymbol(")"))
                fail();
            next();
            return inner;
        }
        if (peek().isWord("NOT")) {
            next();
            auto n = std::make_shared<Node>();
            n->kind = Node::Kind::Not;
            n->children = {primary()};
            return n;
        }
        return comparison();
    }

    NodePtr comparison()
    {
        auto n = std::make_shared<Node>();
        const Token& col = peek();
        if (col.kind != Token::Kind::Name && col.kind != Token::Kind::QuotedName)
            fail();
        next();
        n->column = col.text;
        while (peek().isSymbol(".")) { // a qualified name filters on its column
            next();
            if (peek().kind != Token::Kind::Name && peek().kind != Token::Kind::QuotedName)
                fail();
            n->column = next().text;
        }
        if (peek().isWord("IS")) {
            next();
            n->kind = Node::Kind::IsNull;
            if (peek().isWord("NOT")) {
                next();
                n->negated = true;
            }
            if (!peek().isWord("NULL"))
                fail();
            next();
            return n;
        }
        if (peek().isWord("NOT")) {
            next();
            n->negated = true;
            if (!peek().isWord("LIKE"))
                fail();
        }
        if (peek().isWord("LIKE")) {
            next();
            if (peek().kind != Token::Kind::Text)
                fail();
            n->kind = Node::Kind::Like;
            n->text = next().text;
            return n;
        }
        const Token& op = peek();
        static const QSet<QString> ops = {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
                                          QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};
        if (op.kind != Token::Kind::Symbol || !ops.contains(op.text))
            fail();
        n->op = next().text;
        literal(*n);
        return n;
    }

    void literal(Node& n)
    {
        const Token& t = peek();
        bool negative = false;
        if (t.isSymbol("-") || t.isSymbol("+")) {
            negative = t.isSymbol("-");
            next();
            if (peek().kind != Token::Kind::Number)
                fail();
        }
        const Token& v = peek();
        switch (v.kind) {
        case Token::Kind::Text:
            n.literalKind = Node::LiteralKind::Text;
            n.text = v.text;
            break;
        case Token::Kind::Number:
            n.literalKind = Node::LiteralKind::Number;
            n.text = (negative ? QStringLiteral("-") : QString()) + v.text;
            n.number = n.text.toDouble();
            break;
        case Token::Kind::Date: {
            const auto d = parseDateLiteral(v.text);
            if (!d)
                fail();
            n.literalKind = Node::LiteralKind::Date;
            n.number = d->serial;
            break;
        }
        case Token::Kind::Name:
            if (v.isWord("NULL")) {
                // "= Null" reads as Is Null, "<> Null" as Is Not Null; others match nothing.
                if (n.op == QLatin1String("=") || n.op == QLatin1String("<>")) {
                    n.kind = Node::Kind::IsNull;
                    n.negated = n.op == QLatin1String("<>");
                } else {
                    n.op = QStringLiteral("null");
                }
                break;
            }
            if (v.isWord("TRUE") || v.isWord("FALSE")) {
                n.literalKind = Node::LiteralKind::Boolean;
                n.number = v.isWord("TRUE") ? -1 : 0;
                break;
            }
            fail();
        default:
            fail();
        }
        next();
    }

    QString m_text;
    QVector<Token> m_tokens;
    int m_pos = 0;
};

template <class T>
int threeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// -1/0/1, or nullopt when the two cannot be compared (Null, text that is no number).
std::optional<int> compareValue(const core::Variant& v, const Node& n)
{
    if (v.isEmptyOrNull())
        return std::nullopt;
    using LK = Node::LiteralKind;
    bool ok = true;
    switch (n.literalKind) {
    case LK::Text:
        if (v.isString())
            return v.toString().compare(n.text, Qt::CaseInsensitive) < 0 ? -1 : (v.toString().compare(n.text, Qt::CaseInsensitive) > 0 ? 1 : 0);
        if (v.isDate()) {
            const auto d = parseDateLiteral(n.text);
            if (!d)
                return std::nullopt;
            return threeWay(v.toDateSerial(), d->serial);
        }
        {
            const double d = n.text.trimmed().toDouble(&ok);
            if (!ok)
                return std::nullopt;
            if (v.type() == core::VarType::Currency)
                return threeWay(v.toCurrency(), core::Currency::fromDouble(d));
            return threeWay(v.toDouble(), d);
        }
    case LK::Number:
    case LK::Boolean:
        if (v.type() == core::VarType::Currency)
            return threeWay(v.toCurrency(), core::Currency::fromDouble(n.number));
        if (v.isDate())
            return threeWay(v.toDateSerial(), n.number);
        {
            const double d = v.toDouble(&ok);
            if (!ok)
                return std::nullopt;
            return threeWay(d, n.number);
        }
    case LK::Date: {
        const double d = v.toDateSerial(&ok);
        if (!ok)
            return std::nullopt;
        return threeWay(d, n.number);
    }
    }
    return std::nullopt;
}

bool evaluate(const Node& n, const RowValues& row)
{
    auto valueOf = [&](const QString& column) {
        const auto v = row.value(column);
        if (!v)
            throw DbError(ErrorKind::NoSuchObject, ErrorNumber::ItemNotFound,
                          QStringLiteral("Elemento non trovato nell'insieme: '%1'.").arg(column));
        return *v;
    };
    switch (n.kind) {
    case Node::Kind::And:
        return evaluate(*n.children[0], row) && evaluate(*n.children[1], row);
    case Node::Kind::Or:
        return evaluate(*n.children[0], row) || evaluate(*n.children[1], row);
    case Node::Kind::Not:
        return !evaluate(*n.children[0], row);
    case Node::Kind::IsNull:
        return valueOf(n.column).isEmptyOrNull() != n.negated;
    case Node::Kind::Like: {
        const core::Variant v = valueOf(n.column);
        if (v.isEmptyOrNull())
            return false;
        return likeMatches(v.toString(), n.text) != n.negated;
    }
    case Node::Kind::Compare: {
        if (n.op == QLatin1String("null"))
            return false;
        const auto c = compareValue(valueOf(n.column), n);
        if (!c)
            return false;
        if (n.op == QLatin1String("="))
            return *c == 0;
        if (n.op == QLatin1String("<>"))
            return *c != 0;
        if (n.op == QLatin1String("<"))
            return *c < 0;
        if (n.op == QLatin1String(">"))
            return *c > 0;
        if (n.op == QLatin1String("<="))
            return *c <= 0;
        return *c >= 0;
    }
    }
    return false;
}

void collectColumns(const Node& n, QStringList& out)
{
    if (!n.column.isEmpty() && !out.contains(n.column, Qt::CaseInsensitive))
        out << n.column;
    for (const auto& c : n.children)
        collectColumns(*c, out);
}

} // namespace

Criteria::Criteria(std::shared_ptr<const Node> root) : m_root(std::move(root)) {}
Criteria::~Criteria() = default;
Criteria::Criteria(Criteria&&) noexcept = default;
Criteria& Criteria::operator=(Criteria&&) noexcept = default;
Criteria::Criteria(const Criteria&) = default;
Criteria& Criteria::operator=(const Criteria&) = default;

Criteria Criteria::parse(const QString& text)
{
    return Criteria(CriteriaParser(text).parse());
}

bool Criteria::matches(const RowValues& row) const
{
    return m_root && evaluate(*m_root, row);
}

QStringList Criteria::columns() const
{
    QStringList out;
    if (m_root)
        collectColumns(*m_root, out);
    return out;
}

} // namespace db::jet
