#include "common/comDateLib.h"

QDate FineAnnoPrecedente(const QDate& date)
{
    return date.isValid() ? QDate(date.year() - 1, 12, 31) : QDate();
}

QDate FineAnno(const QDate& date)
{
    return date.isValid() ? QDate(date.year(), 12, 31) : QDate();
}
