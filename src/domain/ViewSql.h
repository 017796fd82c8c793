#pragma once

#include <QDate>
#include <QString>
#include <cstdint>

// The SQL of the main window's six views, for one section. The two document
// views are rebuilt at every load from the working date, so a change of
// working date shows at the next refresh.

// Pro formas of the section dated up to the end of the working year (earlier years included).
QString proFormaViewSql(std::int32_t sezId, const QDate& workingDate);
// Invoices and credit notes of the section dated in the working year.
QString invoiceViewSql(std::int32_t sezId, const QDate& workingDate);
// The section's clients and those shared by every section.
QString clientViewSql(std::int32_t sezId);
// The section's services with their client, if any.
QString serviceViewSql(std::int32_t sezId);
// Every VAT code (the table belongs to no section).
QString vatCodeViewSql();
// The section's payment terms and those shared by every section.
QString paymentTermViewSql(std::int32_t sezId);
