#pragma once

#include "platform/database/Recordset.h"
#include "platform/report/Report.h"
#include "printing/finclsCampi.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

// The document print engine: turns the documents a query selects into print
// rows (one per detail line, each carrying the whole document's heading,
// client, VAT summary and totals as printed text) and prepares the document
// report with them, the layout the professional assigned to the document
// kind, and the logo.
//
// Creating an engine only builds the catalogue and the empty print recordset;
// it touches no database.
class finclsTarvix {
public:
    finclsTarvix();

    // The field catalogue and the print recordset ("fatId" and one text column
    // per catalogue entry, 77 in all).
    finclsCampi Campi;
    db::Recordset rsStampa;

    // The engine's own errors carry this source, and an Italian description
    // that can be shown as it is.
    static inline const QString kSorgente = QStringLiteral("finclsTarvix");
    // The number of VAT rows a document layout has room for.
    static constexpr int kRigheIva = 4;

    // Fills the print rows for the documents of `sSQL` (Fatture.* and CliFor.*
    // columns, one row per document in print order) and returns the prepared
    // report. Throws core::Error: with source kSorgente for the cases ordinary
    // data reaches (no print settings for the section, no layout for the kind,
    // no row to print, more VAT rows than the layout holds, a layout that
    // cannot be read); the data layer's own errors otherwise; report::Cancelled
    // when `progress` (told of every document read) says stop. Call once.
    report::Report Start(std::int32_t sezId, std::int32_t docType, const QString& sConn, const QString& sSQL,
                         const QString& sFmtImporti, const QString& sFmtQuantita,
                         const report::ProgressHandler& progress = {});

private:
    std::array<QString, 13> m_intestazioni; // 1 .. 12
    QByteArray m_layout;
};
