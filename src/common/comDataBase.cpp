#include "common/comDataBase.h"

#include "platform/core/Error.h"

#include <cmath>

QString SqlData(const QDate& date)
{
    if (!date.isValid())
        throw core::Error(5, QStringLiteral("Invalid procedure call or argument"));
    // Fixed digits, never the locale's separator.
    return QStringLiteral("#%1/%2/%3#")
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString SqlData(const core::Variant& date)
{
    if (date.isNull())
        throw core::Error(94, QStringLiteral("Invalid use of Null"));
    if (date.isEmpty())
        return SqlData(core::dateFromSerial(0.0));
    QDate day = date.toDate();
    if (!day.isValid() && date.isString())
        day = QDate::fromString(date.toString().trimmed(), QStringLiteral("d/M/yyyy"));
    if (!day.isValid())
        throw core::Error(13, QStringLiteral("Type mismatch"));
    return SqlData(day);
}

QString SqlText(const QString& text)
{
    QString doubled = text;
    return doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
}

QString SqlQuoted(const QString& text)
{
    if (text.contains(QChar(u'\0')))
        throw core::Error(5, QStringLiteral("Il testo contiene un carattere non ammesso (NUL) e non può essere usato."));
    return QLatin1Char('\'') + SqlText(text) + QLatin1Char('\'');
}

QString SqlNumber(double value)
{
    if (!std::isfinite(value))
        throw core::Error(6, QStringLiteral("Overflow"));
    if (value == 0.0)
        return QStringLiteral("0"); // also for -0
    return QString::number(value, 'g', 15);
}

QString SqlNumber(const core::Currency& value)
{
    return value.toPlainString();
}
