#include "reports/arpCliFor3.h"

#include "reports/LayoutKit.h"

using namespace report;
using namespace kit;

namespace {

// The six sums of the query, in print order, with the captions of their columns.
const char* const kSomme[] = {"SommaDifciImporto", "SommaDifciSoggettivo", "SommaDifciImponibile",
                              "SommaDifciImposta", "SommaDifciTotRiga", "SommaDifciRit01"};
const char* const kTitoli[] = {"Importo", "Soggettivo", "Imponibile", "Imposta", "Totale", "Rit. d'acconto"};

} // namespace

ReportLayout arpCliFor3::Struttura()
{
    ReportLayout layout = pagina();
    const double w = larghezza(layout);
    const FontSpec titolo = carattere(14, true);
    const FontSpec filtro = carattere(9, false, true);
    const FontSpec intestazione = carattere(8, true);
    const FontSpec normale = carattere(8);
    const FontSpec grassetto = carattere(8, true);

    const double col = 1300;
    const double xSomme = w - 6 * col;

    ReportSection& rh = layout.section(kReportHeader);
    etichetta(rh, QStringLiteral("Label7"), QStringLiteral("Totale Importi per Cliente"), 0, 0, w, titolo);
    etichetta(rh, QStringLiteral("lblFilter1"), QString(), 0, 420, w, filtro);
    etichetta(rh, QStringLiteral("lblFilter2"), QString(), 0, 680, w, filtro);
    rh.height = 1080;

    // Two heading lines: the client's columns, then the VAT code's and the sums.
    ReportSection& ph = layout.section(kPageHeader);
    etichetta(ph, QStringLiteral("Label1"), QStringLiteral("Cliente"), 0, 0, 4400, intestazione);
    etichetta(ph, QStringLiteral("Label2"), QStringLiteral("Codice fiscale"), 4450, 0, 2000, intestazione);
    etichetta(ph, QStringLiteral("Label3"), QStringLiteral("Partita IVA"), 6500, 0, 2000, intestazione);
    etichetta(ph, QStringLiteral("Label4"), QStringLiteral("Codice IVA"), 200, 280, xSomme - 250, intestazione);
    for (int i = 0; i < 6; ++i)
        etichetta(ph, QStringLiteral("Label%1").arg(5 + i), QString::fromUtf8(kTitoli[i]), xSomme + i * col, 280, col,
                  intestazione, HorizontalAlignment::Right);
    linea(ph, QStringLiteral("Line1"), 0, 560, w);
    linea(ph, QStringLiteral("Line5"), 0, 600, w);
    ph.height = 660;

    ReportSection& gh = layout.addGroup(kGroupHeader, kGroupFooter, QStringLiteral("cliNome"));
    campo(gh, QStringLiteral("txtcliNome"), QStringLiteral("cliNome"), 0, 60, 4400, grassetto);
    campo(gh, QStringLiteral("txtcliCodiceFiscale"), QStringLiteral("cliCodiceFiscale"), 4450, 60, 2000, normale);
    campo(gh, QStringLiteral("txtcliPartitaIVA"), QStringLiteral("cliPartitaIVA"), 6500, 60, 2000, normale);
    linea(gh, QStringLiteral("Line4"), 0, 340, w, 0.25);
    gh.height = 380;

    ReportSection& d = layout.section(kDetail);
    campo(d, QStringLiteral("txtfciCodiceIva"), QStringLiteral("fciCodiceIva"), 200, 0, 500, normale);
    campo(d, QStringLiteral("txtcdiDescrizione"), QStringLiteral("cdiDescrizione"), 750, 0, xSomme - 800, normale);
    for (int i = 0; i < 6; ++i) {
        const QString somma = QString::fromLatin1(kSomme[i]);
        importo(d, QStringLiteral("txt") + somma, somma, xSomme + i * col, 0, col, normale);
    }

    ReportSection& gf = layout.section(kGroupFooter);
    for (int i = 0; i < 6; ++i) {
        const QString somma = QString::fromLatin1(kSomme[i]);
        importo(gf, QStringLiteral("txtCliente") + somma.mid(5), somma, xSomme + i * col, 40, col, grassetto, kImporti,
                SummaryType::SubTotal, kGroupHeader);
    }
    linea(gf, QStringLiteral("Line2"), 0, 340, w, 0.25);
    gf.height = 420;

    ReportSection& rf = layout.section(kReportFooter);
    linea(rf, QStringLiteral("Line3"), 0, 60, w);
    etichetta(rf, QStringLiteral("Label8"), QStringLiteral("Totali"), 0, 120, 2000, grassetto);
    for (int i = 0; i < 6; ++i) {
        const QString somma = QString::fromLatin1(kSomme[i]);
        importo(rf, QStringLiteral("txtTotale") + somma.mid(5), somma, xSomme + i * col, 120, col, grassetto, kImporti,
                SummaryType::GrandTotal);
    }
    return layout;
}

Report arpCliFor3::Nuovo()
{
    Report rpt;
    rpt.setCaption(QStringLiteral("Fatturato"));
    rpt.setLayout(Struttura());
    return rpt;
}
