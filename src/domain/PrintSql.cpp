#include "domain/PrintSql.h"

QString documentPrintSql(std::int32_t fatId)
{
    return QStringLiteral("SELECT Fatture.*, CliFor.*, Pagamenti.* FROM (Fatture INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId)")
         + QStringLiteral(" LEFT JOIN Pagamenti ON Fatture.fatCliForPag = Pagamenti.pagId WHERE Fatture.fatId=")
         + QString::number(fatId);
}
