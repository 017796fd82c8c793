#include "platform/database/jet/JetSql.h"

#include "platform/database/jet/JetParser.h"
#include "platform/database/jet/SqliteEmitter.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace db::jet {

Translation translate(const QString& jetSql, const SchemaLookup& schema)
{
    // The engine reads a statement only up to that character.
    if (jetSql.contains(QChar(0)))
        throw DbError(ErrorKind::Syntax, ErrorNumber::Syntax,
                      QStringLiteral("L'istruzione SQL contiene un carattere nullo (codice 0): un testo con questo "
                                     "carattere non può essere memorizzato."));
    const ast::Statement statement = JetParser::parseStatement(jetSql);
    return SqliteEmitter::emit(statement, schema);
}

std::optional<core::DateValue> parseDateLiteral(const QString& textBetweenHashes)
{
    static const QRegularExpression re(QStringLiteral(
        "^\\s*(?:(\\d{1,4})([/\\-.])(\\d{1,2})\\2(\\d{1,4}))?\\s*"
        "(?:(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*([AaPp][Mm])?)?\\s*$"));
    const auto m = re.match(textBetweenHashes);
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(5).isEmpty()))
        return std::nullopt;

    double serial = 0.0;
    if (!m.captured(1).isEmpty()) {
        int month = 0;
        int day = 0;
        int year = 0;
        const QString first = m.captured(1);
        if (first.size() > 2) { // year first: yyyy-mm-dd
            year = first.toInt();
            month = m.captured(3).toInt();
            day = m.captured(4).toInt();
            if (m.captured(4).size() > 2)
                return std::nullopt;
        } else {
            month = first.toInt();
            day = m.captured(3).toInt();
            const QString y = m.captured(4);
            year = y.toInt();
            if (y.size() <= 2)
                year += year < 30 ? 2000 : 1900;
            else if (y.size() == 3)
                return std::nullopt;
        }
        const QDate date(year, month, day);
        if (!date.isValid())
            return std::nullopt;
        serial = core::dateSerial(date);
    }
    if (!m.captured(5).isEmpty()) {
        int hour = m.captured(5).toInt();
        const int minute = m.captured(6).toInt();
        const int second = m.captured(7).isEmpty() ? 0 : m.captured(7).toInt();
        const QString ampm = m.captured(8).toUpper();
        if (!ampm.isEmpty()) {
            if (hour < 1 || hour > 12)
                return std::nullopt;
            if (ampm == QLatin1String("PM") && hour != 12)
                hour += 12;
            else if (ampm == QLatin1String("AM") && hour == 12)
                hour = 0;
        }
        if (hour > 23 || minute > 59 || second > 59)
            return std::nullopt;
        const double fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
        serial = serial < 0 ? serial - fraction : serial + fraction;
    }
    return core::DateValue{serial};
}

} // namespace db::jet
