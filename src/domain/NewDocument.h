#pragma once

#include "platform/core/Variant.h"

#include <QDate>
#include <QPair>
#include <QString>
#include <QVector>
#include <cstdint>
#include <functional>

// The blank header row of a new document: written when the editor opens a new
// document (it exists in the database from then on, with a provisional number
// and no lines) and deleted again when that document is cancelled unsaved.

struct NewDocument {
    std::int32_t sezId = 0;             // the current section
    QDate date;                         // the working date
    std::int32_t kind = 0;              // fatTipo: 0 invoice, 1 credit note, 2 pro forma
    std::int32_t provisionalNumber = 0; // the main series' last number + 1
    // The section's defaults the document starts with.
    double surchargePercent = 0.0;       // sezRitPrePerc
    QString surchargeDescription;        // sezRitPreDesc
    QString withholdingDescription;      // sezRitAccDesc
    double withholdingBasePercent = 0.0; // sezRitAccPercSuImp
    bool withholdingOnSurcharge = false; // sezRitAccSuRitPre
};

// The columns of the new Fatture row and their values, in the order written.
// The withholding starts off (its percentage 0) whatever the section's default.
QVector<QPair<QString, core::Variant>> newDocumentFields(const NewDocument& document);

// Adds the row and returns its fatId. The id is taken first (the counter moved
// past it in a transaction of its own, so no machine is ever given it again)
// and handed to `remember` before the row is written: a program killed at any
// moment leaves either no row or a row its next start knows about. What
// `remember` throws stops the creation with no row written.
std::int32_t createNewDocument(const QString& connectionString, const NewDocument& document,
                               const std::function<void(std::int32_t)>& remember = {});
