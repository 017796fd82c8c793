#include "reports/arpCliFor2.h"

#include "reports/LayoutKit.h"

using namespace report;
using namespace kit;

ReportLayout arpCliFor2::Struttura()
{
    // Landscape: seven columns of addresses and codes.
    ReportLayout layout = pagina(true);
    const double w = larghezza(layout);
    const FontSpec intestazione = carattere(8, true);
    const FontSpec normale = carattere(8);

    struct Colonna {
        const char* campo;
        double larghezza;
    };
    const Colonna colonne[] = {{"cliNome", 3900}, {"cliIndirizzo", 3300}, {"cliCAP", 700}, {"cliLocalita", 2500},
                               {"cliProvincia", 450}, {"cliPartitaIVA", 1700}, {"cliCodiceFiscale", 2200}};
    double x[7];
    double left = 0;
    for (int i = 0; i < 7; ++i) {
        x[i] = left;
        left += colonne[i].larghezza + 50;
    }

    ReportSection& rh = layout.section(kReportHeader);
    etichetta(rh, QStringLiteral("lblTitle"), QString(), 0, 0, w, carattere(14, true));
    rh.height = 540;

    // "Località" heads both the postcode and the town.
    ReportSection& ph = layout.section(kPageHeader);
    etichetta(ph, QStringLiteral("Label1"), QStringLiteral("Nome"), x[0], 0, colonne[0].larghezza, intestazione);
    etichetta(ph, QStringLiteral("Label2"), QStringLiteral("Indirizzo"), x[1], 0, colonne[1].larghezza, intestazione);
    etichetta(ph, QStringLiteral("Label3"), QStringLiteral("Località"), x[2], 0, colonne[2].larghezza + 50 + colonne[3].larghezza,
              intestazione);
    etichetta(ph, QStringLiteral("Label4"), QStringLiteral("PR"), x[4], 0, colonne[4].larghezza, intestazione);
    etichetta(ph, QStringLiteral("Label5"), QStringLiteral("Partita IVA"), x[5], 0, colonne[5].larghezza, intestazione);
    etichetta(ph, QStringLiteral("Label6"), QStringLiteral("Codice Fiscale"), x[6], 0, colonne[6].larghezza, intestazione);
    linea(ph, QStringLiteral("Line2"), 0, 300, w);
    ph.height = 360;

    ReportSection& d = layout.section(kDetail);
    for (int i = 0; i < 7; ++i) {
        const QString campoDb = QString::fromLatin1(colonne[i].campo);
        campo(d, QStringLiteral("txt") + campoDb, campoDb, x[i], 0, colonne[i].larghezza, normale);
    }
    return layout;
}

Report arpCliFor2::Nuovo(bool ModoEsporta)
{
    Report rpt;
    rpt.setLayout(Struttura());
    gestoriModoEsporta(rpt, ModoEsporta);
    return rpt;
}
