#include "reports/arpIncassi.h"

#include "reports/LayoutKit.h"

using namespace report;
using namespace kit;

namespace {
const QString kFormato = QStringLiteral("#,#0.00");
const char* const kColonne[] = {"Netto dovuto", "Incassato", "Da incassare"};
} // namespace

ReportLayout arpIncassi::Struttura()
{
    ReportLayout layout = pagina();
    const double w = larghezza(layout);
    const FontSpec filtro = carattere(9, false, true);
    const FontSpec intestazione = carattere(8, true);
    const FontSpec normale = carattere(8);
    const FontSpec grassetto = carattere(8, true);
    const double col = 1400;
    const double xImporti = w - 3 * col;

    ReportSection& rh = layout.section(kReportHeader);
    etichetta(rh, QStringLiteral("Label11"), QStringLiteral("Incassi"), 0, 0, w, carattere(14, true));
    etichetta(rh, QStringLiteral("lblFilter1"), QString(), 0, 420, w, filtro);
    etichetta(rh, QStringLiteral("lblFilter2"), QString(), 0, 680, w, filtro);
    rh.height = 1080;

    ReportSection& ph = layout.section(kPageHeader);
    etichetta(ph, QStringLiteral("Label1"), QStringLiteral("Data Fattura"), 200, 0, 1150, intestazione);
    etichetta(ph, QStringLiteral("Label2"), QStringLiteral("Numero"), 1400, 0, 900, intestazione);
    etichetta(ph, QStringLiteral("Label3"), QStringLiteral("Pagamento pattuito"), 2350, 0, xImporti - 2400, intestazione);
    for (int i = 0; i < 3; ++i)
        etichetta(ph, QStringLiteral("Label%1").arg(4 + i), QString::fromLatin1(kColonne[i]), xImporti + i * col, 0, col,
                  intestazione, HorizontalAlignment::Right);
    linea(ph, QStringLiteral("Line2"), 0, 300, w);
    ph.height = 360;

    ReportSection& gh = layout.addGroup(kGroupHeader, kGroupFooter, QStringLiteral("Cliente"));
    campo(gh, QStringLiteral("txtCliente"), QStringLiteral("Cliente"), 0, 60, w, carattere(9, true));
    linea(gh, QStringLiteral("Line8"), 0, 360, w, 0.25);
    gh.height = 400;

    ReportSection& d = layout.section(kDetail);
    campo(d, QStringLiteral("txtData"), QStringLiteral("Data"), 200, 0, 1150, normale);
    campo(d, QStringLiteral("txtNumero"), QStringLiteral("Numero"), 1400, 0, 900, normale);
    campo(d, QStringLiteral("txtDescrizione"), QStringLiteral("Descrizione"), 2350, 0, xImporti - 2400, normale);
    const char* nomi[] = {"Field1", "txtIncassato", "Field2"};
    for (int i = 0; i < 3; ++i)
        importo(d, QString::fromLatin1(nomi[i]), QString::fromLatin1(kColonne[i]), xImporti + i * col, 0, col, normale,
                kFormato);

    ReportSection& gf = layout.section(kGroupFooter);
    etichetta(gf, QStringLiteral("Label12"), QStringLiteral("Totali Cliente"), 2350, 40, xImporti - 2400, grassetto,
              HorizontalAlignment::Right);
    const char* somme[] = {"txtClienteNetto", "txtClienteIncassato", "txtClienteDaIncassare"};
    for (int i = 0; i < 3; ++i)
        importo(gf, QString::fromLatin1(somme[i]), QString::fromLatin1(kColonne[i]), xImporti + i * col, 40, col, grassetto,
                kFormato, SummaryType::SubTotal, kGroupHeader);
    linea(gf, QStringLiteral("Line7"), 0, 340, w, 0.25);
    gf.height = 420;

    ReportSection& rf = layout.section(kReportFooter);
    linea(rf, QStringLiteral("Line6"), 0, 60, w);
    etichetta(rf, QStringLiteral("Label13"), QStringLiteral("Totali stampa"), 2350, 120, xImporti - 2400, grassetto,
              HorizontalAlignment::Right);
    const char* totali[] = {"txtTotaleNetto", "txtTotaleIncassato", "txtTotaleDaIncassare"};
    for (int i = 0; i < 3; ++i)
        importo(rf, QString::fromLatin1(totali[i]), QString::fromLatin1(kColonne[i]), xImporti + i * col, 120, col, grassetto,
                kFormato, SummaryType::GrandTotal);
    return layout;
}

Report arpIncassi::Nuovo(bool ModoEsporta)
{
    Report rpt;
    rpt.setCaption(QStringLiteral("Incassi"));
    rpt.setLayout(Struttura());
    gestoriModoEsporta(rpt, ModoEsporta);
    // Detail_Format does nothing.
    return rpt;
}
