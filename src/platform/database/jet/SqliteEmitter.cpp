#include "platform/database/jet/SqliteEmitter.h"

#include "platform/database/jet/JetLexer.h"
#include "platform/database/jet/StorageTypes.h"
#include "platform/core/Variant.h"

#include <QHash>
#include <cmath>

namespace db::jet {

using namespace ast;

namespace {

// SQLite's operator binding strengths, weakest first.
enum Level {
    kOr = 0,
    kAnd = 1,
    kNot = 2,
    kEquality = 3, // = <> IS IN LIKE BETWEEN
    kRelation = 4, // < <= > >=
    kAdd = 7,
    kMultiply = 8,
    kConcat = 9,
    kUnary = 10,
    kAtom = 11,
};

QString quoted(const QString& name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString textLiteral(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QString numberText(double value)
{
    if (value == static_cast<double>(static_cast<long long>(value)) && std::abs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(value, 'g', 17);
}

QString wrap(const SqliteEmitter::Emitted& e, int minLevel)
{
    return e.level >= minLevel ? e.text : QLatin1Char('(') + e.text + QLatin1Char(')');
}

bool isInteger(std::optional<DataType> t)
{
    return t && (*t == DataType::SmallInt || *t == DataType::Integer || *t == DataType::UnsignedTinyInt
                 || *t == DataType::Boolean || *t == DataType::BigInt);
}

bool isFloating(std::optional<DataType> t)
{
    return t && (*t == DataType::Double || *t == DataType::Single);
}

bool isText(std::optional<DataType> t)
{
    return t && (*t == DataType::VarWChar || *t == DataType::LongVarWChar);
}

bool isNumeric(std::optional<DataType> t)
{
    return isInteger(t) || isFloating(t) || (t && *t == DataType::Currency);
}

// The type of a value that may come from either of two expressions (IIf, Nz).
std::optional<DataType> mergeTypes(std::optional<DataType> a, std::optional<DataType> b, bool bIsNull)
{
    if (bIsNull || !b)
        return a;
    if (!a)
        return b;
    if (*a == *b)
        return a;
    if ((*a == DataType::Currency && isInteger(b)) || (*b == DataType::Currency && isInteger(a)))
        return DataType::Currency;
    if (isText(a) && isText(b))
        return DataType::VarWChar;
    if (isNumeric(a) && isNumeric(b))
        return isInteger(a) && isInteger(b) ? DataType::Integer : DataType::Double;
    return std::nullopt;
}

SqliteEmitter::Emitted atom(QString text, std::optional<DataType> type = std::nullopt)
{
    SqliteEmitter::Emitted e;
    e.text = std::move(text);
    e.level = kAtom;
    e.type = type;
    return e;
}

// A truth value (a comparison, a test, AND / OR) whose outermost operator binds at `level`.
SqliteEmitter::Emitted truth(QString text, int level)
{
    SqliteEmitter::Emitted e;
    e.text = std::move(text);
    e.level = level;
    e.boolean = true;
    e.type = DataType::Boolean;
    return e;
}

SqliteEmitter::Emitted roundedCurrency(SqliteEmitter::Emitted e)
{
    e.text = QStringLiteral("round(") + e.text + QStringLiteral(", 4)");
    e.level = kAtom;
    e.type = DataType::Currency;
    e.bareColumn = false;
    return e;
}

// Text in the program's statements compares and sorts as Jet's text does:
// without regard to case, beyond ASCII. The stored columns declare SQLite's own
// NOCASE so that any SQLite tool can read the file; the finer rule is spelled
// out in every statement the layer emits.
QString jetCollated(const SqliteEmitter::Emitted& e)
{
    return wrap(e, kAtom) + QStringLiteral(" COLLATE JETTEXT");
}

// A value that takes part in a comparison with `other`: collated when either is text.
QString comparand(const SqliteEmitter::Emitted& e, const SqliteEmitter::Emitted& other, int minLevel)
{
    return isText(e.type) || isText(other.type) ? jetCollated(e) : wrap(e, minLevel);
}

bool isAggregateName(const QString& upper)
{
    return upper == QLatin1String("SUM") || upper == QLatin1String("COUNT") || upper == QLatin1String("MIN")
        || upper == QLatin1String("MAX") || upper == QLatin1String("AVG") || upper == QLatin1String("FIRST")
        || upper == QLatin1String("LAST");
}

[[noreturn]] void unsupported(const Expr& e, const QString& what)
{
    throwSyntaxError(QString(), e.position, what);
}

bool isFunction(const Expr& e, const char* upperName)
{
    return e.kind == Expr::Kind::Function && e.text.compare(QLatin1String(upperName), Qt::CaseInsensitive) == 0;
}

// The year a comparison's other side stands for when it is known while
// translating: a whole number, or Year() of a date literal. Only years whose
// first day has a positive serial: there the date part of a serial is its
// floor, so a year is exactly a half-open range of serials.
std::optional<int> constantYear(const Expr& e)
{
    std::optional<long long> year;
    if (e.kind == Expr::Kind::Number) {
        bool ok = false;
        const long long n = e.text.toLongLong(&ok);
        if (ok)
            year = n;
    } else if (isFunction(e, "YEAR") && e.args.size() == 1 && e.args[0]->kind == Expr::Kind::Date) {
        year = core::dateFromSerial(std::trunc(e.args[0]->number)).year();
    }
    if (!year || *year < 1900 || *year > 9998)
        return std::nullopt;
    return static_cast<int>(*year);
}

} // namespace

// Year(column) = y (or <>) of a plain date column, written as a range on the
// column so that an index on it serves the filter. The same rows pass: a Null
// date gives Null either way, and a value that is no number (text written by
// another tool) sorts above every number, so it fails = and passes <> as
// jet_year's 1899 does.
std::optional<SqliteEmitter::Emitted> SqliteEmitter::yearRange(const Expr& e, const Scope& scope)
{
    if (e.text != QLatin1String("=") && e.text != QLatin1String("<>"))
        return std::nullopt;
    for (int side = 0; side < 2; ++side) {
        const Expr& call = *e.args[side];
        if (!isFunction(call, "YEAR") || call.args.size() != 1 || call.args[0]->kind != Expr::Kind::Column)
            continue;
        const std::optional<int> year = constantYear(*e.args[1 - side]);
        if (!year)
            continue;
        const Emitted column = exprRaw(*call.args[0], scope);
        if (column.type != DataType::Date)
            continue;
        const QString first = numberText(core::dateSerial(QDate(*year, 1, 1)));
        const QString next = numberText(core::dateSerial(QDate(*year + 1, 1, 1)));
        Emitted out;
        if (e.text == QLatin1String("=")) {
            out.text = column.text + QStringLiteral(" >= ") + first + QStringLiteral(" AND ") + column.text + QStringLiteral(" < ") + next;
            out.level = kAnd;
        } else {
            out.text = column.text + QStringLiteral(" < ") + first + QStringLiteral(" OR ") + column.text + QStringLiteral(" >= ") + next;
            out.level = kOr;
        }
        out.boolean = true;
        out.type = DataType::Boolean;
        return out;
    }
    return std::nullopt;
}

namespace {

} // namespace

struct SqliteEmitter::Scope {
    struct Source {
        QString name;  // the table, empty for a subquery
        QString alias; // as written, or the table name
        QStringList columns;
        QVector<std::optional<DataType>> types;
        bool known = false; // columns and types listed
    };
    std::vector<Source> sources;
    const Scope* parent = nullptr;

    const Source* find(const QString& qualifier) const
    {
        for (const auto& s : sources)
            if (s.alias.compare(qualifier, Qt::CaseInsensitive) == 0)
                return &s;
        for (const auto& s : sources)
            if (!s.name.isEmpty() && s.name.compare(qualifier, Qt::CaseInsensitive) == 0)
                return &s;
        return nullptr;
    }
};

// ---- names and types ----

std::optional<DataType> SqliteEmitter::columnType(const Scope& scope, const QString& qualifier,
                                                  const QString& column) const
{
    auto fromSource = [&](const Scope::Source& s) -> std::optional<DataType> {
        if (!s.name.isEmpty())
            return m_schema.columnType(s.name, column);
        for (int i = 0; i < s.columns.size(); ++i)
            if (s.columns.at(i).compare(column, Qt::CaseInsensitive) == 0)
                return s.types.value(i);
        return std::nullopt;
    };
    for (const Scope* sc = &scope; sc; sc = sc->parent) {
        if (!qualifier.isEmpty()) {
            if (const auto* s = sc->find(qualifier))
                return fromSource(*s);
            continue;
        }
        for (const auto& s : sc->sources)
            if (auto t = fromSource(s))
                return t;
    }
    return std::nullopt;
}

// ---- expressions ----

QString SqliteEmitter::value(const Expr& e, const Scope& scope, int minLevel)
{
    return wrap(expr(e, scope, Context::Value), minLevel);
}

QString SqliteEmitter::condition(const Expr& e, const Scope& scope, int minLevel)
{
    return wrap(expr(e, scope, Context::Condition), minLevel);
}

SqliteEmitter::Emitted SqliteEmitter::expr(const Expr& e, const Scope& scope, Context ctx)
{
    Emitted out = exprRaw(e, scope);
    if (out.boolean && ctx == Context::Value) {
        // Jet's True is -1; SQLite's comparisons give 1.
        out.text = QStringLiteral("-(") + out.text + QLatin1Char(')');
        out.level = kUnary;
    }
    return out;
}

SqliteEmitter::Emitted SqliteEmitter::exprRaw(const Expr& e, const Scope& scope)
{
    Emitted out;
    switch (e.kind) {
    case Expr::Kind::Number:
        return atom(e.text, e.text.contains(QLatin1Char('.')) || e.text.contains(QLatin1Char('e'), Qt::CaseInsensitive)
                                ? DataType::Double
                                : DataType::Integer);
    case Expr::Kind::Text:
        return atom(textLiteral(e.text), DataType::VarWChar);
    case Expr::Kind::Date:
        return atom(numberText(e.number), DataType::Date);
    case Expr::Kind::Boolean:
        return atom(numberText(e.number), DataType::Boolean);
    case Expr::Kind::Null:
        return atom(QStringLiteral("NULL"));
    case Expr::Kind::Parameter:
        return atom(QStringLiteral("?"));
    case Expr::Kind::Column: {
        out = atom(e.qualifier.isEmpty() ? quoted(e.text) : quoted(e.qualifier) + QLatin1Char('.') + quoted(e.text),
                   columnType(scope, e.qualifier, e.text));
        out.bareColumn = true;
        return out;
    }
    case Expr::Kind::Star:
        return atom(e.qualifier.isEmpty() ? QStringLiteral("*") : quoted(e.qualifier) + QStringLiteral(".*"));
    case Expr::Kind::Unary: {
        const Expr& a = *e.args.at(0);
        if (e.text == QLatin1String("NOT")) {
            return truth(QStringLiteral("NOT ") + condition(a, scope, kNot), kNot);
        }
        Emitted inner = expr(a, scope, Context::Value);
        if (e.text == QLatin1String("+"))
            return inner;
        out.text = QStringLiteral("-") + wrap(inner, kUnary);
        out.level = kUnary;
        out.type = inner.type;
        if (out.type == DataType::Boolean)
            out.type = DataType::SmallInt;
        return out;
    }
    case Expr::Kind::Binary:
        return binary(e, scope);
    case Expr::Kind::Function:
        return function(e, scope);
    case Expr::Kind::Between: {
        const Emitted subject = expr(*e.args[0], scope, Context::Value);
        const Emitted low = expr(*e.args[1], scope, Context::Value);
        const Emitted high = expr(*e.args[2], scope, Context::Value);
        Emitted bounds = low;
        if (!isText(bounds.type))
            bounds.type = high.type;
        return truth(comparand(subject, bounds, kEquality + 1) + (e.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN "))
            + wrap(low, kEquality + 1) + QStringLiteral(" AND ") + wrap(high, kEquality + 1), kEquality);
    }
    case Expr::Kind::In: {
        QStringList items;
        Emitted listType;
        for (size_t i = 1; i < e.args.size(); ++i) {
            const Emitted item = expr(*e.args[i], scope, Context::Value);
            if (isText(item.type))
                listType.type = item.type;
            items << wrap(item, kOr);
        }
        return truth(comparand(expr(*e.args[0], scope, Context::Value), listType, kEquality + 1)
            + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN ("))
            + items.join(QStringLiteral(", ")) + QLatin1Char(')'), kEquality);
    }
    case Expr::Kind::InSelect: {
        Translation inner;
        const QString subquery = select(*e.subquery, &scope, &inner);
        Emitted innerType;
        if (!inner.resultTypes.isEmpty())
            innerType.type = inner.resultTypes.front();
        return truth(comparand(expr(*e.args[0], scope, Context::Value), innerType, kEquality + 1)
            + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) + subquery + QLatin1Char(')'), kEquality);
    }
    case Expr::Kind::Exists: {
        return truth((e.negated ? QStringLiteral("NOT EXISTS (") : QStringLiteral("EXISTS (")) + select(*e.subquery, &scope, nullptr)
            + QLatin1Char(')'), kAtom);
    }
    case Expr::Kind::Subquery: {
        Translation inner;
        out.text = QLatin1Char('(') + select(*e.subquery, &scope, &inner) + QLatin1Char(')');
        out.level = kAtom;
        if (!inner.resultTypes.isEmpty())
            out.type = inner.resultTypes.front();
        return out;
    }
    case Expr::Kind::IsNull: {
        return truth(value(*e.args[0], scope, kEquality + 1) + (e.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL")), kEquality);
    }
    case Expr::Kind::Like: {
        Emitted subject = expr(*e.args[0], scope, Context::Value);
        const Expr& pattern = *e.args[1];
        // A literal pattern that only uses * ? % _ becomes SQLite's LIKE (the
        // registered like() folds case beyond ASCII); anything else goes through
        // the dialect's own matcher.
        if (pattern.kind == Expr::Kind::Text && !pattern.text.contains(QLatin1Char('#'))
            && !pattern.text.contains(QLatin1Char('['))) {
            QString p = pattern.text;
            p.replace(QLatin1Char('*'), QLatin1Char('%')).replace(QLatin1Char('?'), QLatin1Char('_'));
            out.text = wrap(subject, kEquality + 1) + (e.negated ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE ")) + textLiteral(p);
            out.level = kEquality;
        } else {
            out.text = QStringLiteral("jet_like(") + subject.text + QStringLiteral(", ") + value(pattern, scope, kOr) + QLatin1Char(')');
            out.level = kAtom;
            if (e.negated) {
                out.text = QStringLiteral("NOT ") + out.text;
                out.level = kNot;
            }
        }
        out.boolean = true;
        out.type = DataType::Boolean;
        return out;
    }
    }
    unsupported(e, e.text);
}

QString SqliteEmitter::concatOperand(const Expr& e, const Scope& scope)
{
    if (e.kind == Expr::Kind::Binary && e.text == QLatin1String("&"))
        return binary(e, scope).text; // already text, never Null
    if (e.kind == Expr::Kind::Text)
        return textLiteral(e.text);
    Emitted v = expr(e, scope, Context::Value);
    if (isText(v.type))
        return QStringLiteral("ifnull(") + v.text + QStringLiteral(", '')");
    if (v.type == DataType::Date)
        return QStringLiteral("jet_datetext(") + v.text + QLatin1Char(')');
    return QStringLiteral("jet_str(") + v.text + QLatin1Char(')');
}

SqliteEmitter::Emitted SqliteEmitter::binary(const Expr& e, const Scope& scope)
{
    const QString& op = e.text;
    const Expr& a = *e.args[0];
    const Expr& b = *e.args[1];
    Emitted out;

    if (op == QLatin1String("&")) {
        // Jet's concatenation: Null counts as empty text, numbers as their digits.
        out.text = concatOperand(a, scope) + QStringLiteral(" || ") + concatOperand(b, scope);
        out.level = kConcat;
        out.type = DataType::VarWChar;
        return out;
    }
    if (op == QLatin1String("AND") || op == QLatin1String("OR")) {
        const int level = op == QLatin1String("AND") ? kAnd : kOr;
        return truth(condition(a, scope, level) + QLatin1Char(' ') + op + QLatin1Char(' ') + condition(b, scope, level + 1), level);
    }
    if (op == QLatin1String("XOR") || op == QLatin1String("EQV") || op == QLatin1String("IMP")) {
        const QString x = QLatin1Char('(') + condition(a, scope, kOr) + QStringLiteral(") IS NOT 0");
        const QString y = QLatin1Char('(') + condition(b, scope, kOr) + QStringLiteral(") IS NOT 0");
        if (op == QLatin1String("IMP"))
            return truth(QStringLiteral("NOT (") + x + QStringLiteral(") OR (") + y + QLatin1Char(')'), kOr);
        return truth(QLatin1Char('(') + x + (op == QLatin1String("XOR") ? QStringLiteral(") <> (") : QStringLiteral(") = (")) + y + QLatin1Char(')'), kOr);
    }

    if (auto range = yearRange(e, scope))
        return *range;

    Emitted x = expr(a, scope, Context::Value);
    Emitted y = expr(b, scope, Context::Value);

    if (op == QLatin1String("=") || op == QLatin1String("<>") || op == QLatin1String("<") || op == QLatin1String(">")
        || op == QLatin1String("<=") || op == QLatin1String(">=")) {
        const int level = (op == QLatin1String("=") || op == QLatin1String("<>")) ? kEquality : kRelation;
        return truth(comparand(x, y, level) + QLatin1Char(' ') + op + QLatin1Char(' ') + wrap(y, level + 1), level);
    }
    if (op == QLatin1String("+") || op == QLatin1String("-")) {
        const bool plus = op == QLatin1String("+");
        if (plus && isText(x.type) && isText(y.type)) {
            out.text = wrap(x, kConcat) + QStringLiteral(" || ") + wrap(y, kConcat + 1);
            out.level = kConcat;
            out.type = DataType::VarWChar;
            return out;
        }
        out.text = wrap(x, kAdd) + QLatin1Char(' ') + op + QLatin1Char(' ') + wrap(y, kAdd + 1);
        out.level = kAdd;
        if (x.type == DataType::Date || y.type == DataType::Date)
            out.type = (!plus && x.type == DataType::Date && y.type == DataType::Date) ? DataType::Double : DataType::Date;
        else if ((x.type == DataType::Currency && (isInteger(y.type) || y.type == DataType::Currency || !y.type))
                 || (y.type == DataType::Currency && (isInteger(x.type) || !x.type)))
            return roundedCurrency(out);
        else if (isFloating(x.type) || isFloating(y.type) || x.type == DataType::Currency || y.type == DataType::Currency)
            out.type = DataType::Double;
        else if (isInteger(x.type) && isInteger(y.type))
            out.type = DataType::Integer;
        return out;
    }
    if (op == QLatin1String("*")) {
        out.text = wrap(x, kMultiply) + QStringLiteral(" * ") + wrap(y, kMultiply + 1);
        out.level = kMultiply;
        if ((x.type == DataType::Currency && (isInteger(y.type) || y.type == DataType::Currency))
            || (y.type == DataType::Currency && isInteger(x.type)))
            return roundedCurrency(out);
        if (isInteger(x.type) && isInteger(y.type))
            out.type = DataType::Integer;
        else if (isNumeric(x.type) && isNumeric(y.type))
            out.type = DataType::Double;
        return out;
    }
    if (op == QLatin1String("/")) {
        // Jet divides as doubles; SQLite would divide integers as integers.
        out.text = QStringLiteral("CAST(") + x.text + QStringLiteral(" AS REAL) / ") + wrap(y, kMultiply + 1);
        out.level = kMultiply;
        out.type = DataType::Double;
        return out;
    }
    if (op == QLatin1String("\\") || op == QLatin1String("MOD") || op == QLatin1String("^")) {
        const QString fn = op == QLatin1String("\\") ? QStringLiteral("jet_intdiv")
            : op == QLatin1String("MOD")             ? QStringLiteral("jet_mod")
                                                     : QStringLiteral("jet_pow");
        out = atom(fn + QLatin1Char('(') + x.text + QStringLiteral(", ") + y.text + QLatin1Char(')'),
                   op == QLatin1String("^") ? DataType::Double : DataType::Integer);
        return out;
    }
    unsupported(e, op);
}

SqliteEmitter::Emitted SqliteEmitter::function(const Expr& e, const Scope& scope)
{
    const QString name = e.text.toUpper();
    const auto& args = e.args;
    auto arg = [&](size_t i) { return expr(*args.at(i), scope, Context::Value); };
    auto need = [&](size_t low, size_t high) {
        if (args.size() < low || args.size() > high)
            unsupported(e, e.text);
    };
    auto call = [&](const QString& fn, std::optional<DataType> type) {
        QStringList parts;
        for (const auto& a : args)
            parts << expr(*a, scope, Context::Value).text;
        return atom(fn + QLatin1Char('(') + parts.join(QStringLiteral(", ")) + QLatin1Char(')'), type);
    };

    if (name == QLatin1String("IIF")) {
        need(3, 3);
        Emitted yes = arg(1);
        Emitted no = arg(2);
        Emitted out = atom(QStringLiteral("CASE WHEN ") + condition(*args[0], scope, kOr) + QStringLiteral(" THEN ") + yes.text
                               + QStringLiteral(" ELSE ") + no.text + QStringLiteral(" END"),
                           mergeTypes(yes.type, no.type, args[2]->kind == Expr::Kind::Null));
        if (args[1]->kind == Expr::Kind::Null)
            out.type = no.type;
        return out;
    }
    if (name == QLatin1String("ISNULL")) {
        need(1, 1);
        Emitted out;
        return truth(value(*args[0], scope, kEquality + 1) + QStringLiteral(" IS NULL"), kEquality);
    }
    if (name == QLatin1String("NZ")) {
        need(1, 2);
        Emitted x = arg(0);
        if (args.size() == 1)
            return atom(QStringLiteral("ifnull(") + x.text + (isNumeric(x.type) ? QStringLiteral(", 0)") : QStringLiteral(", '')")), x.type);
        Emitted y = arg(1);
        return atom(QStringLiteral("ifnull(") + x.text + QStringLiteral(", ") + y.text + QLatin1Char(')'),
                    mergeTypes(x.type, y.type, false));
    }
    if (isAggregateName(name)) {
        need(1, 1);
        if (args[0]->kind == Expr::Kind::Star) {
            if (name != QLatin1String("COUNT"))
                unsupported(e, e.text);
            return atom(QStringLiteral("count(*)"), DataType::Integer);
        }
        Emitted x = arg(0);
        if (isText(x.type) && (name == QLatin1String("MIN") || name == QLatin1String("MAX"))) {
            x.text = jetCollated(x);
            x.level = kAtom;
        }
        static const QHash<QString, QString> names = {
            {QStringLiteral("SUM"), QStringLiteral("sum")},         {QStringLiteral("COUNT"), QStringLiteral("count")},
            {QStringLiteral("MIN"), QStringLiteral("min")},         {QStringLiteral("MAX"), QStringLiteral("max")},
            {QStringLiteral("AVG"), QStringLiteral("avg")},         {QStringLiteral("FIRST"), QStringLiteral("jet_first")},
            {QStringLiteral("LAST"), QStringLiteral("jet_last")},
        };
        Emitted out = atom(names.value(name) + QLatin1Char('(') + x.text + QLatin1Char(')'), x.type);
        if (name == QLatin1String("COUNT"))
            out.type = DataType::Integer;
        else if (name == QLatin1String("AVG") && x.type != DataType::Currency)
            out.type = DataType::Double;
        else if (x.type == DataType::Boolean && name == QLatin1String("SUM"))
            out.type = DataType::Integer;
        if ((name == QLatin1String("SUM") || name == QLatin1String("AVG")) && x.type == DataType::Currency)
            return roundedCurrency(out);
        return out;
    }
    if (name == QLatin1String("YEAR") || name == QLatin1String("MONTH") || name == QLatin1String("DAY")
        || name == QLatin1String("HOUR") || name == QLatin1String("MINUTE") || name == QLatin1String("SECOND")
        || name == QLatin1String("WEEKDAY")) {
        need(1, 1);
        return call(QStringLiteral("jet_") + name.toLower(), DataType::SmallInt);
    }
    if (name == QLatin1String("DATE") || name == QLatin1String("NOW") || name == QLatin1String("TIME")) {
        need(0, 0);
        return atom(QStringLiteral("jet_") + name.toLower() + QStringLiteral("()"), DataType::Date);
    }
    if (name == QLatin1String("DATESERIAL")) {
        need(3, 3);
        return call(QStringLiteral("jet_dateserial"), DataType::Date);
    }
    if (name == QLatin1String("DATEVALUE") || name == QLatin1String("INT") || name == QLatin1String("FIX")) {
        need(1, 1);
        Emitted x = arg(0);
        std::optional<DataType> type = name == QLatin1String("DATEVALUE") ? std::optional(DataType::Date) : x.type;
        if (type == DataType::Boolean)
            type = DataType::SmallInt;
        return atom((name == QLatin1String("FIX") ? QStringLiteral("jet_fix(") : QStringLiteral("jet_int(")) + x.text + QLatin1Char(')'), type);
    }
    if (name == QLatin1String("FORMAT")) {
        need(1, 2);
        Emitted x = arg(0);
        if (args.size() == 1)
            return atom((x.type == DataType::Date ? QStringLiteral("jet_datetext(") : QStringLiteral("jet_str(")) + x.text + QLatin1Char(')'),
                        DataType::VarWChar);
        return atom(QStringLiteral("jet_format(") + x.text + QStringLiteral(", ") + arg(1).text
                        + (x.type == DataType::Date ? QStringLiteral(", 1)") : QStringLiteral(", 0)")),
                    DataType::VarWChar);
    }
    if (name == QLatin1String("CSTR")) {
        need(1, 1);
        Emitted x = arg(0);
        return atom((x.type == DataType::Date ? QStringLiteral("jet_datetext(") : QStringLiteral("jet_str(")) + x.text + QLatin1Char(')'),
                    DataType::VarWChar);
    }
    if (name == QLatin1String("CLNG") || name == QLatin1String("CINT") || name == QLatin1String("CBYTE")) {
        need(1, 1);
        return call(QStringLiteral("jet_clng"), name == QLatin1String("CLNG") ? DataType::Integer
                                                 : name == QLatin1String("CINT") ? DataType::SmallInt
                                                                                 : DataType::UnsignedTinyInt);
    }
    if (name == QLatin1String("CDBL") || name == QLatin1String("CSNG") || name == QLatin1String("VAL")) {
        need(1, 1);
        return atom(QStringLiteral("CAST(") + arg(0).text + QStringLiteral(" AS REAL)"), DataType::Double);
    }
    if (name == QLatin1String("CDATE")) {
        need(1, 1);
        return atom(QStringLiteral("CAST(") + arg(0).text + QStringLiteral(" AS REAL)"), DataType::Date);
    }
    if (name == QLatin1String("CCUR")) {
        need(1, 1);
        return roundedCurrency(arg(0));
    }
    if (name == QLatin1String("CBOOL")) {
        need(1, 1);
        return atom(QStringLiteral("-(") + arg(0).text + QStringLiteral(" <> 0)"), DataType::Boolean);
    }
    if (name == QLatin1String("ABS")) {
        need(1, 1);
        Emitted x = arg(0);
        return atom(QStringLiteral("abs(") + x.text + QLatin1Char(')'), x.type);
    }
    if (name == QLatin1String("SGN")) {
        need(1, 1);
        return call(QStringLiteral("sign"), DataType::SmallInt);
    }
    if (name == QLatin1String("ROUND")) {
        need(1, 2);
        Emitted x = arg(0);
        return atom(QStringLiteral("jet_round(") + x.text + QStringLiteral(", ") + (args.size() == 2 ? arg(1).text : QStringLiteral("0"))
                        + QLatin1Char(')'),
                    x.type == DataType::Currency ? DataType::Currency : DataType::Double);
    }
    if (name == QLatin1String("LEN")) {
        need(1, 1);
        return atom(QStringLiteral("length(") + concatOperand(*args[0], scope) + QLatin1Char(')'), DataType::Integer);
    }
    if (name == QLatin1String("LEFT")) {
        need(2, 2);
        return atom(QStringLiteral("substr(") + arg(0).text + QStringLiteral(", 1, ") + arg(1).text + QLatin1Char(')'), DataType::VarWChar);
    }
    if (name == QLatin1String("RIGHT")) {
        need(2, 2);
        return call(QStringLiteral("jet_right"), DataType::VarWChar);
    }
    if (name == QLatin1String("MID")) {
        need(2, 3);
        return call(QStringLiteral("substr"), DataType::VarWChar);
    }
    if (name == QLatin1String("UCASE") || name == QLatin1String("LCASE")) {
        need(1, 1);
        return call(name == QLatin1String("UCASE") ? QStringLiteral("jet_ucase") : QStringLiteral("jet_lcase"), DataType::VarWChar);
    }
    if (name == QLatin1String("TRIM") || name == QLatin1String("LTRIM") || name == QLatin1String("RTRIM")) {
        need(1, 1);
        return atom(name.toLower() + QLatin1Char('(') + arg(0).text + QStringLiteral(", ' ')"), DataType::VarWChar);
    }
    if (name == QLatin1String("SPACE")) {
        need(1, 1);
        return call(QStringLiteral("jet_space"), DataType::VarWChar);
    }
    if (name == QLatin1String("INSTR")) {
        need(2, 3);
        return call(QStringLiteral("jet_instr"), DataType::Integer);
    }
    if (name == QLatin1String("REPLACE")) {
        need(3, 3);
        return call(QStringLiteral("replace"), DataType::VarWChar);
    }
    unsupported(e, e.text);
}

// ---- tables and SELECT ----

namespace {

bool hasRightJoin(const TableRef& ref)
{
    return ref.kind == TableRef::Kind::Join
        && (ref.join == TableRef::JoinKind::Right || hasRightJoin(*ref.left) || hasRightJoin(*ref.right));
}

} // namespace

void SqliteEmitter::collectSources(const TableRef& ref, Scope& scope, const Scope* parent)
{
    if (ref.kind == TableRef::Kind::Join) {
        collectSources(*ref.left, scope, parent);
        collectSources(*ref.right, scope, parent);
        return;
    }
    Scope::Source s;
    if (ref.kind == TableRef::Kind::Table) {
        s.name = ref.name;
        s.alias = ref.alias.isEmpty() ? ref.name : ref.alias;
        s.columns = m_schema.columns(ref.name);
        s.known = !s.columns.isEmpty();
        for (const auto& c : s.columns)
            s.types.push_back(m_schema.columnType(ref.name, c));
    } else {
        Translation inner;
        select(*ref.subquery, parent, &inner);
        s.alias = ref.alias;
        s.columns = inner.tables; // output names, see select()
        s.types = inner.resultTypes;
        s.known = s.columns.size() == s.types.size() && !s.columns.isEmpty();
    }
    scope.sources.push_back(s);
}

QString SqliteEmitter::tableRef(const TableRef& ref, const Scope& scope, bool rightAsLeft)
{
    switch (ref.kind) {
    case TableRef::Kind::Table:
        return ref.alias.isEmpty() ? quoted(ref.name) : quoted(ref.name) + QStringLiteral(" AS ") + quoted(ref.alias);
    case TableRef::Kind::Subquery:
        return QLatin1Char('(') + select(*ref.subquery, scope.parent, nullptr) + QLatin1Char(')')
            + (ref.alias.isEmpty() ? QString() : QStringLiteral(" AS ") + quoted(ref.alias));
    case TableRef::Kind::Join: {
        // The engine runs a RIGHT JOIN by scanning the left side against the
        // whole right one, materialised when it is a join in parentheses: with
        // the sides exchanged it drives from the kept side and looks the other
        // up through its index.
        const bool swap = rightAsLeft && ref.join == TableRef::JoinKind::Right;
        const TableRef& first = swap ? *ref.right : *ref.left;
        const TableRef& second = swap ? *ref.left : *ref.right;
        const QString kind = ref.join == TableRef::JoinKind::Inner ? QStringLiteral(" INNER JOIN ")
            : ref.join == TableRef::JoinKind::Left || swap         ? QStringLiteral(" LEFT JOIN ")
                                                                   : QStringLiteral(" RIGHT JOIN ");
        auto side = [&](const TableRef& r) {
            const QString text = tableRef(r, scope, rightAsLeft);
            return r.kind == TableRef::Kind::Join ? QLatin1Char('(') + text + QLatin1Char(')') : text;
        };
        // A join on the left reads the same without parentheses; keep them
        // only where Jet needs them, on the right.
        const QString left = first.kind == TableRef::Kind::Join ? tableRef(first, scope, rightAsLeft) : side(first);
        return left + kind + side(second) + QStringLiteral(" ON ") + condition(*ref.on, scope, kOr);
    }
    }
    return {};
}

// Emits one SELECT. When `out` is given, it receives the result types and, in
// `tables`, the output column names (the caller moves the FROM tables there).
QString SqliteEmitter::select(const Select& s, const Scope* parent, Translation* out)
{
    Scope scope;
    scope.parent = parent;
    for (const auto& ref : s.from)
        collectSources(*ref, scope, parent);

    // Output names first, so stars expand with Jet's "Table.column" names where
    // two tables bring the same column.
    struct Column {
        QString sql;
        QString name;
        std::optional<DataType> type;
    };
    std::vector<Column> columns;
    bool typesComplete = true;
    int exprNumber = 1000;
    bool expandStars = false;
    for (const auto& item : s.items)
        if (item.expr->kind == Expr::Kind::Star)
            expandStars = true;

    // A RIGHT JOIN is written with its sides exchanged; a bare "*" must then
    // list the columns itself, in Jet's order, and where it cannot (a table
    // the schema does not know) the join stays as written.
    bool rightAsLeft = false;
    for (const auto& ref : s.from)
        rightAsLeft = rightAsLeft || hasRightJoin(*ref);
    bool listBareStar = false;
    for (const auto& item : s.items) {
        if (!rightAsLeft || item.expr->kind != Expr::Kind::Star || !item.expr->qualifier.isEmpty())
            continue;
        listBareStar = true;
        for (const auto& src : scope.sources)
            rightAsLeft = rightAsLeft && src.known && !src.alias.isEmpty();
    }
    listBareStar = listBareStar && rightAsLeft;

    QHash<QString, int> nameCount;
    if (expandStars) {
        for (const auto& item : s.items) {
            const Expr& e = *item.expr;
            if (e.kind == Expr::Kind::Star) {
                for (const auto& src : scope.sources)
                    if (e.qualifier.isEmpty() || scope.find(e.qualifier) == &src)
                        for (const auto& c : src.columns)
                            ++nameCount[c.toLower()];
            } else {
                const QString n = !item.alias.isEmpty() ? item.alias : e.kind == Expr::Kind::Column ? e.text : QString();
                if (!n.isEmpty())
                    ++nameCount[n.toLower()];
            }
        }
    }

    for (const auto& item : s.items) {
        const Expr& e = *item.expr;
        if (e.kind == Expr::Kind::Star) {
            std::vector<const Scope::Source*> sources;
            if (e.qualifier.isEmpty()) {
                for (const auto& src : scope.sources)
                    sources.push_back(&src);
            } else if (const auto* src = scope.find(e.qualifier)) {
                sources.push_back(src);
            }
            bool known = !sources.empty();
            for (const auto* src : sources)
                known = known && src->known;
            if (!known) {
                typesComplete = false;
                columns.push_back({exprRaw(e, scope).text, QString(), std::nullopt});
                continue;
            }
            bool duplicate = false;
            for (const auto* src : sources)
                for (const auto& c : src->columns)
                    duplicate = duplicate || nameCount.value(c.toLower()) > 1;
            if (!duplicate && !(listBareStar && e.qualifier.isEmpty())) {
                // Plain star: the engine lists the same columns in the same order.
                bool first = true;
                for (const auto* src : sources)
                    for (int i = 0; i < src->columns.size(); ++i) {
                        columns.push_back({first ? exprRaw(e, scope).text : QString(), src->columns.at(i), src->types.value(i)});
                        first = false;
                    }
                continue;
            }
            for (const auto* src : sources) {
                for (int i = 0; i < src->columns.size(); ++i) {
                    const QString& c = src->columns.at(i);
                    const QString outName = nameCount.value(c.toLower()) > 1 ? src->alias + QLatin1Char('.') + c : c;
                    columns.push_back({quoted(src->alias) + QLatin1Char('.') + quoted(c) + QStringLiteral(" AS ") + quoted(outName), outName,
                                       src->types.value(i)});
                }
            }
            continue;
        }
        Emitted v = expr(e, scope, Context::Value);
        QString outName = item.alias;
        QString sql = v.text;
        if (outName.isEmpty() && e.kind == Expr::Kind::Column) {
            outName = e.text;
        } else if (outName.isEmpty()) {
            outName = QStringLiteral("Expr%1").arg(exprNumber++);
            sql += QStringLiteral(" AS ") + quoted(outName);
        } else {
            sql += QStringLiteral(" AS ") + quoted(outName);
        }
        columns.push_back({sql, outName, v.type});
    }

    QStringList list;
    for (const auto& c : columns)
        if (!c.sql.isEmpty())
            list << c.sql;
    QString sql = QStringLiteral("SELECT ");
    if (s.distinct)
        sql += QStringLiteral("DISTINCT ");
    sql += list.join(QStringLiteral(", "));
    if (!s.from.empty()) {
        QStringList from;
        for (const auto& ref : s.from)
            from << tableRef(*ref, scope, rightAsLeft);
        sql += QStringLiteral(" FROM ") + from.join(QStringLiteral(", "));
    }
    if (s.where)
        sql += QStringLiteral(" WHERE ") + condition(*s.where, scope, kOr);
    if (!s.groupBy.empty()) {
        QStringList g;
        for (const auto& e : s.groupBy) {
            const Emitted v = expr(*e, scope, Context::Value);
            g << (isText(v.type) ? jetCollated(v) : wrap(v, kOr));
        }
        sql += QStringLiteral(" GROUP BY ") + g.join(QStringLiteral(", "));
    }
    if (s.having)
        sql += QStringLiteral(" HAVING ") + condition(*s.having, scope, kOr);
    if (s.unionNext)
        sql += (s.unionAll ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ")) + select(*s.unionNext, parent, nullptr);
    if (!s.orderBy.empty()) {
        QStringList o;
        for (const auto& item : s.orderBy) {
            Emitted v = expr(*item.expr, scope, Context::Value);
            const QString text = isText(v.type) ? jetCollated(v) : wrap(v, kOr);
            o << text + (item.descending ? QStringLiteral(" DESC") : QString());
        }
        sql += QStringLiteral(" ORDER BY ") + o.join(QStringLiteral(", "));
    }
    if (s.top)
        sql += QStringLiteral(" LIMIT %1").arg(*s.top);

    if (out) {
        out->resultTypes.clear();
        out->tables.clear();
        if (typesComplete) {
            for (const auto& c : columns) {
                out->resultTypes.push_back(c.type);
                out->tables << c.name;
            }
        }
    }
    return sql;
}

// ---- statements ----

namespace {

void collectTableNames(const TableRef& ref, QStringList& names)
{
    if (ref.kind == TableRef::Kind::Join) {
        collectTableNames(*ref.left, names);
        collectTableNames(*ref.right, names);
    } else if (ref.kind == TableRef::Kind::Table) {
        names << ref.name;
    }
}

QString columnDefinition(const ColumnDef& c, bool primaryKey)
{
    bool ok = false;
    QString def = declaredColumn(c.name, c.jetType, &ok);
    if (!ok)
        throwSyntaxError(QString(), 0, c.jetType);
    if (c.notNull || primaryKey)
        def += QStringLiteral(" NOT NULL");
    if (primaryKey)
        def += QStringLiteral(" PRIMARY KEY");
    else if (c.unique || c.primaryKey)
        def += QStringLiteral(" UNIQUE");
    return def;
}

bool isCounter(const QString& jetType)
{
    return declaredColumn(QStringLiteral("x"), jetType).contains(QLatin1String("AUTOINCREMENT"));
}

} // namespace

Translation SqliteEmitter::emit(const Statement& st, const SchemaLookup& schema)
{
    SqliteEmitter em(schema);
    Translation t;
    auto targetScope = [&]() {
        Scope scope;
        for (const auto& ref : st.updateFrom)
            em.collectSources(*ref, scope, nullptr);
        if (st.updateFrom.empty() && !st.table.isEmpty()) {
            Scope::Source s;
            s.name = st.table;
            s.alias = st.table;
            scope.sources.push_back(s);
        }
        return scope;
    };

    switch (st.kind) {
    case Statement::Kind::Select: {
        t.kind = StatementKind::Select;
        Translation out;
        t.sql = em.select(*st.select, nullptr, &out);
        t.resultTypes = out.resultTypes;
        for (const auto& ref : st.select->from)
            collectTableNames(*ref, t.tables);
        break;
    }
    case Statement::Kind::Insert: {
        t.kind = StatementKind::Insert;
        t.tables << st.table;
        QString sql = QStringLiteral("INSERT INTO ") + quoted(st.table);
        if (!st.columns.isEmpty()) {
            QStringList cols;
            for (const auto& c : st.columns)
                cols << quoted(c);
            sql += QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
        if (st.select) {
            sql += QLatin1Char(' ') + em.select(*st.select, nullptr, nullptr);
        } else {
            Scope empty;
            QStringList rows;
            for (const auto& row : st.values) {
                QStringList values;
                for (const auto& v : row)
                    values << em.value(*v, empty, kOr);
                rows << QLatin1Char('(') + values.join(QStringLiteral(", ")) + QLatin1Char(')');
            }
            sql += QStringLiteral(" VALUES ") + rows.join(QStringLiteral(", "));
        }
        t.sql = sql;
        break;
    }
    case Statement::Kind::Update: {
        t.kind = StatementKind::Update;
        if (st.updateFrom.front()->kind != TableRef::Kind::Table)
            throwSyntaxError(QString(), 0, QStringLiteral("UPDATE ... JOIN"));
        t.tables << st.table;
        const Scope scope = targetScope();
        QStringList sets;
        for (const auto& a : st.assignments)
            sets << quoted(a.column) + QStringLiteral(" = ") + em.value(*a.value, scope, kOr);
        t.sql = QStringLiteral("UPDATE ") + em.tableRef(*st.updateFrom.front(), scope) + QStringLiteral(" SET ")
            + sets.join(QStringLiteral(", "));
        if (st.where)
            t.sql += QStringLiteral(" WHERE ") + em.condition(*st.where, scope, kOr);
        break;
    }
    case Statement::Kind::Delete: {
        t.kind = StatementKind::Delete;
        t.tables << st.table;
        const Scope scope = targetScope();
        t.sql = QStringLiteral("DELETE FROM ") + em.tableRef(*st.updateFrom.front(), scope);
        if (st.where)
            t.sql += QStringLiteral(" WHERE ") + em.condition(*st.where, scope, kOr);
        break;
    }
    case Statement::Kind::CreateTable: {
        t.kind = StatementKind::CreateTable;
        t.tables << st.table;
        bool hasCounter = false;
        int primaryDeclarations = 0;
        for (const auto& c : st.columnDefs) {
            hasCounter = hasCounter || isCounter(c.jetType);
            primaryDeclarations += c.primaryKey ? 1 : 0;
        }
        for (const auto& k : st.constraints)
            primaryDeclarations += k.primaryKey ? 1 : 0;
        // The engine's own primary key belongs to a counter column when there is
        // one; any other Jet primary key is kept as a unique constraint.
        const bool primaryAllowed = !hasCounter && primaryDeclarations == 1;
        QStringList parts;
        for (const auto& c : st.columnDefs)
            parts << columnDefinition(c, primaryAllowed && c.primaryKey && !isCounter(c.jetType));
        for (const auto& k : st.constraints) {
            QStringList cols;
            for (const auto& c : k.columns)
                cols << quoted(c);
            QString text;
            if (!k.name.isEmpty())
                text = QStringLiteral("CONSTRAINT ") + quoted(k.name) + QLatin1Char(' ');
            text += (k.primaryKey && primaryAllowed ? QStringLiteral("PRIMARY KEY (") : QStringLiteral("UNIQUE ("))
                + cols.join(QStringLiteral(", ")) + QLatin1Char(')');
            parts << text;
        }
        t.sql = QStringLiteral("CREATE TABLE ") + quoted(st.table) + QStringLiteral(" (") + parts.join(QStringLiteral(", "))
            + QLatin1Char(')');
        break;
    }
    case Statement::Kind::CreateIndex: {
        t.kind = StatementKind::CreateIndex;
        t.tables << st.table;
        QStringList cols;
        for (int i = 0; i < st.columns.size(); ++i)
            cols << quoted(st.columns.at(i)) + (st.descendingColumns.at(i) ? QStringLiteral(" DESC") : QString());
        t.sql = QStringLiteral("CREATE ") + (st.uniqueIndex || st.primaryIndex ? QStringLiteral("UNIQUE ") : QString())
            + QStringLiteral("INDEX ") + quoted(indexStorageName(st.table, st.indexName)) + QStringLiteral(" ON ")
            + quoted(st.table) + QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + QLatin1Char(')');
        break;
    }
    case Statement::Kind::AddColumn:
        t.kind = StatementKind::AlterTableAddColumn;
        t.tables << st.table;
        t.sql = QStringLiteral("ALTER TABLE ") + quoted(st.table) + QStringLiteral(" ADD COLUMN ")
            + columnDefinition(st.columnDefs.front(), false);
        break;
    case Statement::Kind::AlterColumn: {
        t.kind = StatementKind::AlterTableAlterColumn;
        t.tables << st.table;
        AlterColumn a;
        a.table = st.table;
        a.column = st.columnDefs.front().name;
        a.jetType = st.columnDefs.front().jetType;
        a.columnDefinition = columnDefinition(st.columnDefs.front(), false);
        t.alterColumn = a;
        break;
    }
    case Statement::Kind::DropColumn:
        t.kind = StatementKind::AlterTableDropColumn;
        t.tables << st.table;
        t.sql = QStringLiteral("ALTER TABLE ") + quoted(st.table) + QStringLiteral(" DROP COLUMN ") + quoted(st.columnDefs.front().name);
        break;
    case Statement::Kind::DropTable:
        t.kind = StatementKind::DropTable;
        t.tables << st.table;
        t.sql = QStringLiteral("DROP TABLE ") + quoted(st.table);
        break;
    case Statement::Kind::DropIndex:
        t.kind = StatementKind::DropIndex;
        t.tables << st.table;
        t.sql = QStringLiteral("DROP INDEX ") + quoted(indexStorageName(st.table, st.indexName));
        break;
    }
    return t;
}

} // namespace db::jet
