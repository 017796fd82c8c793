#pragma once

#include "support/ProgramFixture.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <vector>

// A database with the default layouts stored and assigned to section 1 (as
// the first start leaves it), a client, a payment term and the professional's
// heading, and helpers that write documents with SQL and read PDFs back.
class PrintFixture : public ProgramFixture {
protected:
    struct Riga {
        double quantita;
        QString descrizione;
        double prezzo;
        QString codiceIva = QStringLiteral("22");
    };
    struct RigaIva {
        QString codice;
        double importo, soggettivo, imponibile, imposta, totale, ritenuta;
    };
    struct Documento {
        int tipo = 0;
        QString numero = QStringLiteral("15"); // SQL text: a number or NULL
        QString prefisso = QStringLiteral("NULL"); // SQL text: 'A' or NULL
        QDate data = QDate(2024, 3, 15);
        std::int32_t cliente = 0; // 0: the fixture's client
        std::int32_t pagamento = 0; // 0: the fixture's payment term
        QString descrizione = QStringLiteral("Consulenza fiscale per l'anno 2023");
        QString note = QStringLiteral("Pagamento entro 30 giorni dalla data della fattura.");
        std::vector<Riga> righe;
        std::vector<RigaIva> iva;
        // Totals: importo, soggettivo, imponibile, imposta, doc, ritenuta, netto.
        double tot[7] = {1534.5, 61.38, 1595.88, 351.09, 1946.97, 306.9, 1640.07};
        QString ritPreDesc = QStringLiteral("Rivalsa INPS 4%");
        QString ritAccDesc = QStringLiteral("Ritenuta d'acconto 20%");
    };

    void SetUp() override;

    // The standard invoice: two lines at 22%, surcharge and withholding.
    static Documento fattura();
    std::int32_t inserisci(const Documento& d);
    std::int32_t cliente() const { return m_cliente; }
    std::int32_t pagamento() const { return m_pagamento; }

    // Runs the engine on the editor's query and exports the report to a PDF
    // in the temporary folder; returns its path ("" when nothing was written).
    QString esportaPdf(std::int32_t fatId, int tipo);
    QString esportaPdf(int tipo, const QString& sql);
    // Text of a PDF (a page of it, or all), blanks folded to single spaces.
    static QString testoPdf(const QString& path, int pagina = 0);
    // The text lines of a PDF as pdftotext reads them, without blank lines or trailing blanks.
    static QStringList righePdf(const QString& path);
    static int paginePdf(const QString& path);
    QString percorso(const QString& nome) const;

    std::int32_t m_cliente = 0;
    std::int32_t m_pagamento = 0;
};
