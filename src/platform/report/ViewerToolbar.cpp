#include "platform/report/ViewerToolbar.h"

#include "platform/report/ReportError.h"

namespace report {

namespace {

struct StandardToolText {
    const char* caption;
    const char* toolTip;
    bool separator;
};

const StandardToolText kStandardTools[kStandardToolCount] = {
    {"Indice", "Mostra o nasconde l'indice", false},
    {"", "", true},
    {"Print", "Stampa il documento", false},
    {"", "", true},
    {"Copia", "Copia la pagina", false},
    {"", "", true},
    {"Trova", "Trova un testo", false},
    {"", "", true},
    {"Pagina singola", "Una pagina alla volta", false},
    {"Più pagine", "Più pagine alla volta", false},
    {"", "", true},
    {"Riduci", "Riduci lo zoom", false},
    {"Ingrandisci", "Aumenta lo zoom", false},
    {"Zoom", "Zoom", false},
    {"", "", true},
    {"Pagina precedente", "Pagina precedente", false},
    {"Pagina successiva", "Pagina successiva", false},
    {"Pagina", "Numero di pagina", false},
    {"", "", true},
    {"Indietro", "Torna alla vista precedente", false},
    {"Avanti", "Vai alla vista successiva", false},
};

const double kZoomScales[] = {1.0, 0.0, 0.0, 0.5, 0.75, 1.5, 2.0, 4.0};

} // namespace

ViewerToolbar::ViewerToolbar()
{
    for (int i = 0; i < kStandardToolCount; ++i) {
        PreviewTool t;
        t.id = i;
        t.caption = QString::fromUtf8(kStandardTools[i].caption);
        t.toolTip = QString::fromUtf8(kStandardTools[i].toolTip);
        t.separator = kStandardTools[i].separator;
        m_tools.push_back(t);
    }
    m_zoomCaptions = {QStringLiteral("100%"), QStringLiteral("Page Width"), QStringLiteral("Whole Page"),
                      QStringLiteral("50%"),  QStringLiteral("75%"),        QStringLiteral("150%"),
                      QStringLiteral("200%"), QStringLiteral("400%")};
}

PreviewTool& ViewerToolbar::tool(int index)
{
    if (index < 0 || index >= count())
        raiseError(ErrorNumber::ItemNotFound, QStringLiteral("Strumento %1 inesistente nella barra di anteprima").arg(index));
    return m_tools[index];
}

const PreviewTool& ViewerToolbar::tool(int index) const
{
    return const_cast<ViewerToolbar*>(this)->tool(index);
}

int ViewerToolbar::addTool(const QString& caption, const QString& toolTip)
{
    PreviewTool t;
    t.id = 1000 + (count() - kStandardToolCount);
    t.caption = caption;
    t.toolTip = toolTip.isEmpty() ? caption : toolTip;
    m_tools.push_back(t);
    return count() - 1;
}

void ViewerToolbar::setZoomCaption(int index, const QString& caption)
{
    if (index < 0 || index >= m_zoomCaptions.size())
        raiseError(ErrorNumber::ItemNotFound, QStringLiteral("Voce %1 inesistente nell'elenco dello zoom").arg(index));
    m_zoomCaptions[index] = caption;
}

double ViewerToolbar::zoomScale(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(kZoomScales)))
        return 1.0;
    return kZoomScales[index];
}

} // namespace report
