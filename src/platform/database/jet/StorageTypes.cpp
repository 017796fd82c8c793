#include "platform/database/jet/StorageTypes.h"

#include <QRegularExpression>

namespace db::jet {

namespace {

int sizeInParentheses(const QString& text, int fallback)
{
    static const QRegularExpression re(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    const auto match = re.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : fallback;
}

QString quoted(const QString& name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

QString indexStorageName(const QString& table, const QString& index)
{
    return table + QLatin1Char('.') + index;
}

QString jetIndexName(const QString& table, const QString& storedName)
{
    const QString prefix = table + QLatin1Char('.');
    if (!storedName.startsWith(prefix, Qt::CaseInsensitive))
        return {};
    return storedName.mid(prefix.size());
}

QString lengthConstraintName(const QString& column)
{
    return QStringLiteral("len_") + column;
}

QString declaredColumn(const QString& column, const QString& jetType, bool* ok)
{
    if (ok)
        *ok = true;
    const QString upper = jetType.trimmed().toUpper();
    const QString base = upper.section(QLatin1Char('('), 0, 0).trimmed();
    const QString name = quoted(column);

    auto text = [&](int size) {
        return name + QStringLiteral(" VARCHAR(%1) COLLATE NOCASE CONSTRAINT %2 CHECK (length(%3) <= %1)")
                          .arg(size)
                          .arg(quoted(lengthConstraintName(column)), name);
    };

    if (base == QLatin1String("COUNTER") || base == QLatin1String("AUTOINCREMENT") || base == QLatin1String("IDENTITY"))
        return name + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    if (base == QLatin1String("LONG") || base == QLatin1String("INT") || base == QLatin1String("INTEGER4")
        || base == QLatin1String("LONGINT"))
        return name + QStringLiteral(" LONGINT");
    if (base == QLatin1String("INTEGER") || base == QLatin1String("SHORT") || base == QLatin1String("SMALLINT")
        || base == QLatin1String("INTEGER2"))
        return name + QStringLiteral(" SMALLINT");
    if (base == QLatin1String("BYTE") || base == QLatin1String("TINYINT") || base == QLatin1String("INTEGER1"))
        return name + QStringLiteral(" TINYINT");
    if (base == QLatin1String("YESNO") || base == QLatin1String("BIT") || base == QLatin1String("LOGICAL")
        || base == QLatin1String("BOOLEAN"))
        return name + QStringLiteral(" YESNO");
    if (base == QLatin1String("CURRENCY") || base == QLatin1String("MONEY"))
        return name + QStringLiteral(" CURRENCY");
    if (base == QLatin1String("DOUBLE") || base == QLatin1String("FLOAT") || base == QLatin1String("NUMBER")
        || base == QLatin1String("FLOAT8"))
        return name + QStringLiteral(" DOUBLE");
    if (base == QLatin1String("SINGLE") || base == QLatin1String("REAL") || base == QLatin1String("FLOAT4"))
        return name + QStringLiteral(" FLOAT");
    if (base == QLatin1String("DATETIME") || base == QLatin1String("DATE") || base == QLatin1String("TIME"))
        return name + QStringLiteral(" DATETIME");
    if (base == QLatin1String("TEXT") || base == QLatin1String("VARCHAR") || base == QLatin1String("CHAR")
        || base == QLatin1String("CHARACTER") || base == QLatin1String("STRING") || base == QLatin1String("ALPHANUMERIC"))
        return text(sizeInParentheses(upper, 255));
    if (base == QLatin1String("MEMO") || base == QLatin1String("LONGTEXT") || base == QLatin1String("LONGCHAR")
        || base == QLatin1String("NOTE"))
        return name + QStringLiteral(" LONGTEXT COLLATE NOCASE");
    if (base == QLatin1String("LONGBINARY") || base == QLatin1String("OLEOBJECT") || base == QLatin1String("IMAGE")
        || base == QLatin1String("GENERAL"))
        return name + QStringLiteral(" BLOB");
    if (base == QLatin1String("BINARY") || base == QLatin1String("VARBINARY"))
        return name + QStringLiteral(" VARBINARY(%1)").arg(sizeInParentheses(upper, 255));
    if (ok)
        *ok = false;
    return {};
}

StorageType storageTypeFromDeclared(const QString& declaredType, bool primaryKey)
{
    const QString upper = declaredType.trimmed().toUpper();
    const QString base = upper.section(QLatin1Char('('), 0, 0).section(QLatin1Char(' '), 0, 0).trimmed();
    StorageType result;
    if (base == QLatin1String("INTEGER")) {
        result.type = DataType::Integer;
        result.autoIncrement = primaryKey;
    } else if (base == QLatin1String("LONGINT")) {
        result.type = DataType::Integer;
    } else if (base == QLatin1String("SMALLINT")) {
        result.type = DataType::SmallInt;
    } else if (base == QLatin1String("TINYINT")) {
        result.type = DataType::UnsignedTinyInt;
    } else if (base == QLatin1String("YESNO")) {
        result.type = DataType::Boolean;
    } else if (base == QLatin1String("CURRENCY")) {
        result.type = DataType::Currency;
    } else if (base == QLatin1String("DOUBLE")) {
        result.type = DataType::Double;
    } else if (base == QLatin1String("FLOAT")) {
        result.type = DataType::Single;
    } else if (base == QLatin1String("DATETIME")) {
        result.type = DataType::Date;
    } else if (base == QLatin1String("VARCHAR")) {
        result.type = DataType::VarWChar;
        result.definedSize = sizeInParentheses(upper, 255);
        return result;
    } else if (base == QLatin1String("LONGTEXT")) {
        result.type = DataType::LongVarWChar;
        result.definedSize = 536870910;
        return result;
    } else if (base == QLatin1String("BLOB") || base.isEmpty()) {
        result.type = DataType::LongVarBinary;
        result.definedSize = 1073741823;
        return result;
    } else if (base == QLatin1String("VARBINARY")) {
        result.type = DataType::VarBinary;
        result.definedSize = sizeInParentheses(upper, 255);
        return result;
    } else {
        result.type = DataType::Variant;
    }
    result.definedSize = fixedSize(result.type);
    return result;
}

int fixedSize(DataType type)
{
    switch (type) {
    case DataType::SmallInt:
        return 2;
    case DataType::Integer:
    case DataType::Single:
        return 4;
    case DataType::Double:
    case DataType::Currency:
    case DataType::Date:
    case DataType::BigInt:
        return 8;
    case DataType::Boolean:
        return 2;
    case DataType::UnsignedTinyInt:
        return 1;
    default:
        return 0;
    }
}

} // namespace db::jet
