#pragma once

#include <QDate>

// 31 December of the year before the date's year.
QDate FineAnnoPrecedente(const QDate& date);
// 31 December of the date's year.
QDate FineAnno(const QDate& date);
