#pragma once

#include "domain/VatSummary.h"

#include <QString>
#include <QVector>
#include <cstdint>

// Reads of the VAT-code and payment-term tables the document editor uses.
// Each opens its own read-only recordset on the connection string.

// Every VAT code of the table, ordered by code, as the summary needs them.
QVector<VatCode> readVatCodes(const QString& connectionString);

// cdiValore of the code through NzNum (0 for a code that does not exist).
double vatCodeRate(const QString& connectionString, const QString& code);
// cdiEsenzione set: no surcharge on the code.
bool vatCodeExempt(const QString& connectionString, const QString& code);
// cdiRitAcc set: no withholding on the code.
bool vatCodeNoWithholding(const QString& connectionString, const QString& code);
// pagNoteFat of the payment term, "" when it is Null or there is no such row.
QString paymentTermNote(const QString& connectionString, std::int32_t pagId);
