#pragma once

#include "platform/report/ReportLayout.h"

#include <QString>
#include <cstdint>

// The default document layouts the program installs beside itself, built
// through the report model (so they are never hand-edited files).
class finModelli {
public:
    // The layout of a document kind: 0 invoice, 1 credit note, 2 pro forma.
    static report::ReportLayout Documento(std::int32_t tipo);
    // The bands of the document report without controls, for a new layout.
    static report::ReportLayout Vuoto();

    // The file names in the program folder.
    static QString FileDocumento(std::int32_t tipo); // "tarvix_m0.rpx" ...
    static inline const QString kFilePredefinito = QStringLiteral("tarvix_m01.rpx");
    static inline const QString kFileVuoto = QStringLiteral("empty_mod.rpx");

    // Writes the five files into `cartella`; false (and the reason) on a failure.
    static bool ScriviFile(const QString& cartella, QString* errore = nullptr);
};
