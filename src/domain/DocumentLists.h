#pragma once

#include "platform/core/Error.h"
#include "platform/core/Variant.h"
#include "platform/database/Recordset.h"

#include <QString>
#include <array>
#include <cstdint>

// What the document editor lists and looks up beside the document: the
// clients and payment terms of its combos, the VAT codes of the lines' list
// and a client's data. Each read is in memory (disconnected) when returned.

// The clients of section `sezId` and the shared ones, by name (cliId, cliNome).
db::Recordset readClientList(const QString& connectionString, std::int32_t sezId);

// The payment terms of section `sezId` and the shared ones, by description,
// after a blank first row (pagId 0): (pagId, pagDescrizione), the descriptions
// held in full up to 255 characters.
db::Recordset readPaymentList(const QString& connectionString, std::int32_t sezId);

// The VAT codes of the table by code (cdiCodice, cdiDescrizione).
db::Recordset readVatCodeList(const QString& connectionString);

// The error number of readClientData for a client that is not there.
constexpr long kClientNotFound = 3021;

// Address lines (" street", " CAP town province"), the three bank lines, the
// payment term and the withholding flag (SostImposta) of a client. Throws
// core::Error kClientNotFound for an unknown client.
std::array<core::Variant, 7> readClientData(const QString& connectionString, std::int32_t cliId);

// The client's payment term (cliPagamento); Null when the client is not there.
core::Variant clientPaymentTerm(const QString& connectionString, std::int32_t cliId);
