#include "printing/finModelli.h"

#include "platform/core/Error.h"
#include "platform/report/LayoutFormat.h"
#include "platform/report/ReportControl.h"
#include "platform/report/ReportSection.h"
#include "printing/finarpFatBase.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <optional>

namespace {

using namespace report;

const QString kSans = QStringLiteral("DejaVu Sans");
const QString kSerif = QStringLiteral("DejaVu Serif");
const QColor kGrigio(95, 95, 95);
const QColor kGrigioChiaro(215, 215, 215);

// The print width of an A4 page between the margins of the document report.
constexpr double kW = 11906 - 2000;

struct Tema {
    QColor accento;
    QColor chiaro; // light tint of the accent for the column headings
};

Tema temaDi(std::int32_t tipo)
{
    switch (tipo) {
    case 1: return {QColor(128, 32, 32), QColor(245, 230, 230)};
    case 2: return {QColor(45, 95, 70), QColor(228, 240, 233)};
    default: return {QColor(28, 58, 110), QColor(226, 233, 245)};
    }
}

FontSpec font(double size, bool bold = false, bool italic = false, const QString& name = kSans)
{
    FontSpec f;
    f.name = name;
    f.size = size;
    f.bold = bold;
    f.italic = italic;
    return f;
}

ReportControl& place(ReportControl& c, double left, double top, double width, double height)
{
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    return c;
}

ReportControl& label(ReportSection& s, const QString& name, const QString& caption, double left, double top, double width,
                     double height, const FontSpec& f, HorizontalAlignment a = HorizontalAlignment::Left,
                     QColor color = QColor(0, 0, 0))
{
    auto& c = place(s.addControl(ControlKind::Label, name), left, top, width, height);
    c.caption = caption;
    c.font = f;
    c.alignment = a;
    c.foreColor = color;
    c.wordWrap = false;
    return c;
}

// A field shows the print column of its own name (as the designer makes them).
ReportControl& field(ReportSection& s, const QString& dataField, double left, double top, double width, double height,
                     const FontSpec& f, HorizontalAlignment a = HorizontalAlignment::Left, QColor color = QColor(0, 0, 0))
{
    auto& c = place(s.addControl(ControlKind::Field, QStringLiteral("txt") + dataField), left, top, width, height);
    c.dataField = dataField;
    c.caption = QStringLiteral(".") + dataField;
    c.font = f;
    c.alignment = a;
    c.foreColor = color;
    c.wordWrap = false;
    return c;
}

ReportControl& line(ReportSection& s, const QString& name, double left, double top, double width, QColor color, double weight)
{
    auto& c = place(s.addControl(ControlKind::Line, name), left, top, width, 0);
    c.lineColor = color;
    c.lineWeight = weight;
    return c;
}

ReportControl& box(ReportSection& s, const QString& name, double left, double top, double width, double height,
                   QColor lineColor, std::optional<QColor> fill, ShapeStyle style = ShapeStyle::Rectangle)
{
    auto& c = place(s.addControl(ControlKind::Shape, name), left, top, width, height);
    c.shapeStyle = style;
    c.lineColor = lineColor;
    c.lineWeight = 0.75;
    if (fill) {
        c.backStyle = BackStyle::Opaque;
        c.backColor = *fill;
    }
    return c;
}

// Heading: the professional's logo or text logo and heading lines on the
// left, the document box and the client on the right, then the description
// and the headings of the line columns.
void testa(ReportSection& s, const Tema& t)
{
    s.height = 3950;
    auto& logo = place(s.addControl(ControlKind::Picture, QStringLiteral("imgLogo")), 0, 0, 3800, 1150);
    logo.sizeMode = PictureSizeMode::Zoom;
    field(s, QStringLiteral("Intestazione1"), 0, 0, 5300, 440, font(16, true, false, kSerif), HorizontalAlignment::Left, t.accento);
    field(s, QStringLiteral("Intestazione2"), 0, 450, 5300, 300, font(10, false, true, kSerif), HorizontalAlignment::Left, kGrigio);
    for (int i = 0; i < 4; ++i)
        field(s, QStringLiteral("Intestazione%1").arg(3 + i), 0, 1250 + i * 230, 5300, 230, font(8.5), HorizontalAlignment::Left,
              QColor(50, 50, 50));

    // The document box.
    box(s, QStringLiteral("shpDocumento"), 5600, 0, kW - 5600, 1000, t.accento, t.chiaro, ShapeStyle::RoundRectangle);
    field(s, QStringLiteral("TipoDoc"), 5700, 140, 2950, 380, font(13, true), HorizontalAlignment::Right, t.accento);
    field(s, QStringLiteral("NumDoc"), 8720, 140, kW - 8720 - 100, 380, font(13, true), HorizontalAlignment::Left, t.accento);
    label(s, QStringLiteral("lblData"), QStringLiteral("Data"), 5750, 600, 1500, 260, font(9), HorizontalAlignment::Left, kGrigio);
    field(s, QStringLiteral("DataDoc"), 7250, 600, kW - 7250 - 150, 260, font(10, true), HorizontalAlignment::Right);

    // The client.
    box(s, QStringLiteral("shpCliente"), 5600, 1150, kW - 5600, 1700, kGrigioChiaro, std::nullopt, ShapeStyle::RoundRectangle);
    label(s, QStringLiteral("lblCliente"), QStringLiteral("Spett.le"), 5750, 1220, 2000, 220, font(8), HorizontalAlignment::Left, kGrigio);
    field(s, QStringLiteral("Cliente_Nome"), 5750, 1450, kW - 5750 - 100, 290, font(10.5, true));
    field(s, QStringLiteral("Cliente_Indirizzo"), 5750, 1760, kW - 5750 - 100, 250, font(9.5));
    field(s, QStringLiteral("Cliente_Localita"), 5750, 2010, kW - 5750 - 100, 250, font(9.5));
    label(s, QStringLiteral("lblPartitaIva"), QStringLiteral("P. IVA"), 5750, 2300, 900, 230, font(8), HorizontalAlignment::Left, kGrigio);
    field(s, QStringLiteral("Cliente_PartitaIVA"), 6650, 2300, kW - 6650 - 100, 230, font(9));
    label(s, QStringLiteral("lblCodiceFiscale"), QStringLiteral("C.F."), 5750, 2540, 900, 230, font(8), HorizontalAlignment::Left, kGrigio);
    field(s, QStringLiteral("Cliente_CodiceFiscale"), 6650, 2540, kW - 6650 - 100, 230, font(9));

    // What the document is for, up to two lines.
    auto& oggetto = field(s, QStringLiteral("DescrizioneDocumento"), 0, 3000, kW, 500, font(9.5, true));
    oggetto.wordWrap = true;

    // Headings of the line columns.
    box(s, QStringLiteral("shpColonne"), 0, 3620, kW, 300, t.chiaro, t.chiaro);
    const FontSpec h = font(8.5, true);
    label(s, QStringLiteral("lblDescrizione"), QStringLiteral("Descrizione"), 80, 3660, 4700, 240, h, HorizontalAlignment::Left, t.accento);
    label(s, QStringLiteral("lblQuantita"), QStringLiteral("Quantità"), 4900, 3660, 1000, 240, h, HorizontalAlignment::Right, t.accento);
    label(s, QStringLiteral("lblPrezzo"), QStringLiteral("Prezzo unitario"), 5950, 3660, 1550, 240, h, HorizontalAlignment::Right, t.accento);
    label(s, QStringLiteral("lblImporto"), QStringLiteral("Importo"), 7550, 3660, 1550, 240, h, HorizontalAlignment::Right, t.accento);
    label(s, QStringLiteral("lblIva"), QStringLiteral("IVA"), 9150, 3660, kW - 9150, 240, h, HorizontalAlignment::Center, t.accento);
}

void dettaglio(ReportSection& s)
{
    s.height = 300;
    line(s, QStringLiteral("linRiga"), 0, 0, kW, QColor(225, 225, 225), 0.5);
    auto& descrizione = field(s, QStringLiteral("Descrizione"), 80, 45, 4700, 240, font(9));
    descrizione.wordWrap = true;
    descrizione.canGrow = true;
    field(s, QStringLiteral("Quantita"), 4900, 45, 1000, 240, font(9), HorizontalAlignment::Right);
    field(s, QStringLiteral("ImportoUnitario"), 5950, 45, 1550, 240, font(9), HorizontalAlignment::Right);
    field(s, QStringLiteral("ImportoRiga"), 7550, 45, 1550, 240, font(9), HorizontalAlignment::Right);
    field(s, QStringLiteral("CodIVA"), 9150, 45, kW - 9150, 240, font(9), HorizontalAlignment::Center);
}

// Closing: the VAT summary by code, payment and bank, notes, and the totals
// down to the net amount due.
void calce(ReportSection& s, const Tema& t, std::int32_t tipo)
{
    s.height = 4100;
    line(s, QStringLiteral("linCalce"), 0, 60, kW, t.accento, 1);

    label(s, QStringLiteral("lblRiepilogo"), QStringLiteral("Riepilogo IVA"), 0, 180, 3000, 250, font(8.5, true),
          HorizontalAlignment::Left, t.accento);
    box(s, QStringLiteral("shpRiepilogo"), 0, 450, kW, 250, t.chiaro, t.chiaro);
    const FontSpec h = font(7.5, true);
    const FontSpec r = font(8);
    struct Colonna {
        const char* campo;
        const char* titolo;
    };
    const Colonna importi[] = {{"Importo", "Importo"}, {"RitPre", "Rivalsa"}, {"Imponibile", "Imponibile"},
                               {"Iva", "Imposta"}, {"Totale", "Totale"}};
    label(s, QStringLiteral("lblCIva"), QStringLiteral("Cod."), 80, 480, 600, 220, h, HorizontalAlignment::Left, t.accento);
    label(s, QStringLiteral("lblDescrizioneIva"), QStringLiteral("Descrizione"), 700, 480, 2750, 220, h, HorizontalAlignment::Left, t.accento);
    const double colonna = (kW - 3500) / 5;
    for (int c = 0; c < 5; ++c)
        label(s, QStringLiteral("lbl") + QString::fromLatin1(importi[c].campo) + QStringLiteral("Iva"),
              QString::fromLatin1(importi[c].titolo), 3500 + c * colonna, 480, colonna - 80, 220, h, HorizontalAlignment::Right,
              t.accento);
    for (int n = 1; n <= 4; ++n) {
        const double y = 740 + (n - 1) * 225;
        const QString sn = QString::number(n);
        field(s, QStringLiteral("CIva") + sn, 80, y, 600, 220, r);
        field(s, QStringLiteral("DescrizioneIva") + sn, 700, y, 2750, 220, r);
        for (int c = 0; c < 5; ++c)
            field(s, QString::fromLatin1(importi[c].campo) + sn, 3500 + c * colonna, y, colonna - 80, 220, r,
                  HorizontalAlignment::Right);
    }
    line(s, QStringLiteral("linRiepilogo"), 0, 1660, kW, kGrigioChiaro, 0.5);

    // Payment, bank and notes.
    const FontSpec etichetta = font(8, true);
    label(s, QStringLiteral("lblPagamento"), QStringLiteral("Pagamento"), 0, 1820, 1600, 240, etichetta, HorizontalAlignment::Left, kGrigio);
    field(s, QStringLiteral("Cliente_Pagamento"), 1800, 1820, 3700, 240, font(9));
    label(s, QStringLiteral("lblBanca"), QStringLiteral("Banca d'appoggio"), 0, 2080, 1600, 240, etichetta, HorizontalAlignment::Left, kGrigio);
    field(s, QStringLiteral("Cliente_BancaAppoggio"), 1800, 2080, 3700, 240, font(9));
    label(s, QStringLiteral("lblAbi"), QStringLiteral("ABI"), 1800, 2330, 450, 230, font(8), HorizontalAlignment::Left, kGrigio);
    field(s, QStringLiteral("Cliente_ABI"), 2250, 2330, 900, 230, font(9));
    label(s, QStringLiteral("lblCab"), QStringLiteral("CAB"), 3150, 2330, 450, 230, font(8), HorizontalAlignment::Left, kGrigio);
    field(s, QStringLiteral("Cliente_CAB"), 3600, 2330, 900, 230, font(9));
    label(s, QStringLiteral("lblNote"), QStringLiteral("Note"), 0, 2650, 1600, 240, etichetta, HorizontalAlignment::Left, kGrigio);
    auto& note = field(s, QStringLiteral("Note"), 0, 2890, 5500, 240, font(8.5));
    note.wordWrap = true;
    note.canGrow = true;

    // Totals.
    const double lx = 5900, vx = 8000, vw = kW - 8000 - 80;
    struct Riga {
        const char* etichetta; // a caption, or the field that carries it
        bool campo;
        const char* valore;
    };
    const Riga righe[] = {{"Totale prestazioni", false, "TotImporto"}, {"IntSog", true, "TotSoggettivo"},
                          {"Totale imponibile", false, "TotImponibile"}, {"IVA", false, "TotImposta"},
                          {"Totale documento", false, "TotDoc"},      {"IntRitAcc", true, "TotRitAcc"}};
    for (int i = 0; i < 6; ++i) {
        const double y = 1820 + i * 255;
        const bool forte = i == 4;
        const QString valore = QString::fromLatin1(righe[i].valore);
        if (forte)
            line(s, QStringLiteral("linTotale"), lx, y - 30, kW - lx, kGrigioChiaro, 0.75);
        if (righe[i].campo)
            field(s, QString::fromLatin1(righe[i].etichetta), lx, y, vx - lx, 240, font(8.5), HorizontalAlignment::Left, kGrigio);
        else
            label(s, QStringLiteral("lbl") + valore, QString::fromUtf8(righe[i].etichetta), lx, y, vx - lx, 240,
                  font(8.5, forte), HorizontalAlignment::Left, forte ? QColor(0, 0, 0) : kGrigio);
        field(s, valore, vx, y, vw, 240, font(9, forte), HorizontalAlignment::Right);
    }
    box(s, QStringLiteral("shpNetto"), lx - 100, 3380, kW - lx + 100, 400, t.accento, t.accento);
    label(s, QStringLiteral("lblTotNetto"), QStringLiteral("Netto dovuto"), lx, 3440, vx - lx, 300, font(10.5, true),
          HorizontalAlignment::Left, QColor(255, 255, 255));
    field(s, QStringLiteral("TotNetto"), vx, 3440, vw, 300, font(10.5, true), HorizontalAlignment::Right, QColor(255, 255, 255));

    QString dicitura;
    if (tipo == 1)
        dicitura = QStringLiteral("Nota di variazione ai sensi dell'art. 26 del D.P.R. 633/1972.");
    else if (tipo == 2)
        dicitura = QStringLiteral("Documento privo di valore fiscale: la fattura sarà emessa al momento del pagamento "
                                  "(art. 6 del D.P.R. 633/1972).");
    if (!dicitura.isEmpty())
        label(s, QStringLiteral("lblDicitura"), dicitura, 0, 3870, kW, 220, font(7.5, false, true), HorizontalAlignment::Left, kGrigio);
}

// Page footer: the professional's footer lines and the page of the document.
void piede(ReportSection& s)
{
    s.height = 1150;
    line(s, QStringLiteral("linPiede"), 0, 0, kW, kGrigioChiaro, 0.5);
    for (int i = 0; i < 6; ++i)
        field(s, QStringLiteral("Intestazione%1").arg(7 + i), 0, 70 + i * 175, 7900, 175, font(7), HorizontalAlignment::Left, kGrigio);
    label(s, QStringLiteral("lblPagina"), QStringLiteral("Pagina"), kW - 1640, 70, 800, 220, font(8), HorizontalAlignment::Right, kGrigio);
    auto& pagina = field(s, QStringLiteral("PAGINA"), kW - 820, 70, 320, 220, font(8), HorizontalAlignment::Center, kGrigio);
    pagina.dataField.clear();
    pagina.summaryType = SummaryType::PageCount;
    pagina.summaryRunning = SummaryRunning::Group;
    pagina.summaryGroup = finarpFatBase::kTesta;
    pagina.name = QStringLiteral("PAGINA");
    label(s, QStringLiteral("lblDi"), QStringLiteral("di"), kW - 500, 70, 200, 220, font(8), HorizontalAlignment::Center, kGrigio);
    auto& pagine = field(s, QStringLiteral("PAGINE"), kW - 300, 70, 300, 220, font(8), HorizontalAlignment::Center, kGrigio);
    pagine.dataField.clear();
    pagine.summaryType = SummaryType::PageCount;
    pagine.summaryRunning = SummaryRunning::None;
    pagine.summaryGroup = finarpFatBase::kTesta;
    pagine.name = QStringLiteral("PAGINE");
}

} // namespace

report::ReportLayout finModelli::Vuoto()
{
    return finarpFatBase::Struttura();
}

report::ReportLayout finModelli::Documento(std::int32_t tipo)
{
    ReportLayout layout = finarpFatBase::Struttura();
    const Tema t = temaDi(tipo);
    testa(layout.section(finarpFatBase::kTesta), t);
    dettaglio(layout.section(finarpFatBase::kDettaglio));
    calce(layout.section(finarpFatBase::kCalce), t, tipo);
    piede(layout.section(finarpFatBase::kPiePagina));
    layout.validate();
    return layout;
}

QString finModelli::FileDocumento(std::int32_t tipo)
{
    return QStringLiteral("tarvix_m%1.rpx").arg(tipo);
}

bool finModelli::ScriviFile(const QString& cartella, QString* errore)
{
    const QDir dir(cartella);
    auto scrivi = [&](const QString& nome, const ReportLayout& layout) {
        QSaveFile file(dir.filePath(nome));
        if (!file.open(QIODevice::WriteOnly) || file.write(LayoutFormat::write(layout)) < 0 || !file.commit()) {
            if (errore)
                *errore = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
            return false;
        }
        return true;
    };
    for (std::int32_t tipo = 0; tipo < 3; ++tipo)
        if (!scrivi(FileDocumento(tipo), Documento(tipo)))
            return false;
    return scrivi(kFilePredefinito, Documento(0)) && scrivi(kFileVuoto, Vuoto());
}
