#include "platform/report/ReportLayout.h"

#include "platform/report/ReportError.h"

#include <QSet>

namespace report {

ReportLayout ReportLayout::standard()
{
    ReportLayout layout;
    layout.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 360);
    layout.addSection(SectionKind::Detail, QStringLiteral("Detail"), 285);
    layout.addSection(SectionKind::PageFooter, QStringLiteral("PageFooter"), 360);
    return layout;
}

double ReportLayout::effectivePrintWidth() const
{
    if (printWidth > 0)
        return printWidth;
    return std::max(0.0, page.pageWidth() - page.margins.left - page.margins.right);
}

ReportSection* ReportLayout::findSection(const QString& sectionName)
{
    for (auto& s : sections)
        if (s.name.compare(sectionName, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

const ReportSection* ReportLayout::findSection(const QString& sectionName) const
{
    return const_cast<ReportLayout*>(this)->findSection(sectionName);
}

ReportSection& ReportLayout::section(const QString& sectionName)
{
    if (auto* s = findSection(sectionName))
        return *s;
    raiseError(ErrorNumber::ItemNotFound, QStringLiteral("Sezione '%1' non trovata").arg(sectionName));
}

const ReportSection& ReportLayout::section(const QString& sectionName) const
{
    return const_cast<ReportLayout*>(this)->section(sectionName);
}

ReportSection* ReportLayout::findSection(SectionKind kind)
{
    for (auto& s : sections)
        if (s.kind == kind)
            return &s;
    return nullptr;
}

const ReportSection* ReportLayout::findSection(SectionKind kind) const
{
    return const_cast<ReportLayout*>(this)->findSection(kind);
}

ReportControl* ReportLayout::findControl(const QString& controlName)
{
    for (auto& s : sections)
        if (auto* c = s.findControl(controlName))
            return c;
    return nullptr;
}

ReportControl& ReportLayout::control(const QString& controlName)
{
    if (auto* c = findControl(controlName))
        return *c;
    raiseError(ErrorNumber::ItemNotFound, QStringLiteral("Controllo '%1' non trovato").arg(controlName));
}

const ReportControl& ReportLayout::control(const QString& controlName) const
{
    return const_cast<ReportLayout*>(this)->control(controlName);
}

ReportSection& ReportLayout::addSection(SectionKind kind, const QString& sectionName, double height)
{
    if (kind == SectionKind::GroupHeader || kind == SectionKind::GroupFooter)
        raiseError(ErrorNumber::InvalidProperty, QStringLiteral("Le sezioni di gruppo si aggiungono a coppie"));
    if (auto* existing = findSection(kind))
        return *existing;
    ReportSection s;
    s.kind = kind;
    s.name = sectionName;
    s.height = height;
    auto it = sections.begin();
    while (it != sections.end() && static_cast<int>(it->kind) <= static_cast<int>(kind))
        ++it;
    return *sections.insert(it, std::move(s));
}

ReportSection& ReportLayout::addGroup(const QString& headerName, const QString& footerName,
                                      const QString& groupDataField, double headerHeight, double footerHeight)
{
    ReportSection header;
    header.kind = SectionKind::GroupHeader;
    header.name = headerName;
    header.height = headerHeight;
    header.groupDataField = groupDataField;
    ReportSection footer;
    footer.kind = SectionKind::GroupFooter;
    footer.name = footerName;
    footer.height = footerHeight;

    // The header goes after the last group header (or before the detail and
    // everything after it); the footer right after the detail.
    auto h = sections.begin();
    while (h != sections.end() && static_cast<int>(h->kind) <= static_cast<int>(SectionKind::GroupHeader))
        ++h;
    const auto headerIndex = h - sections.begin();
    sections.insert(h, std::move(header));
    auto f = sections.begin();
    while (f != sections.end() && static_cast<int>(f->kind) <= static_cast<int>(SectionKind::Detail))
        ++f;
    sections.insert(f, std::move(footer));
    return sections[headerIndex];
}

int ReportLayout::groupCount() const
{
    int n = 0;
    for (const auto& s : sections)
        n += s.kind == SectionKind::GroupHeader;
    return n;
}

int ReportLayout::groupHeaderIndex(int group) const
{
    int n = 0;
    for (int i = 0; i < static_cast<int>(sections.size()); ++i)
        if (sections[i].kind == SectionKind::GroupHeader && n++ == group)
            return i;
    return -1;
}

int ReportLayout::groupFooterIndex(int group) const
{
    // Footers run innermost first, so the outermost group's footer is the last one.
    std::vector<int> footers;
    for (int i = 0; i < static_cast<int>(sections.size()); ++i)
        if (sections[i].kind == SectionKind::GroupFooter)
            footers.push_back(i);
    const int k = static_cast<int>(footers.size()) - 1 - group;
    return k >= 0 && k < static_cast<int>(footers.size()) ? footers[k] : -1;
}

int ReportLayout::groupOfSection(int sectionIndex) const
{
    for (int g = 0; g < groupCount(); ++g)
        if (groupHeaderIndex(g) == sectionIndex || groupFooterIndex(g) == sectionIndex)
            return g;
    return -1;
}

int ReportLayout::groupOfHeader(const QString& headerName) const
{
    for (int g = 0; g < groupCount(); ++g) {
        const int i = groupHeaderIndex(g);
        if (sections[i].name.compare(headerName, Qt::CaseInsensitive) == 0)
            return g;
    }
    return -1;
}

void ReportLayout::validate() const
{
    QSet<QString> names;
    int previous = -1;
    int headers = 0;
    int footers = 0;
    int details = 0;
    for (const auto& s : sections) {
        const int k = static_cast<int>(s.kind);
        const bool repeatable = s.kind == SectionKind::GroupHeader || s.kind == SectionKind::GroupFooter;
        if (k < previous || (k == previous && !repeatable))
            raiseError(ErrorNumber::NotALayout, QStringLiteral("Ordine delle sezioni non valido nel modello"));
        previous = k;
        headers += s.kind == SectionKind::GroupHeader;
        footers += s.kind == SectionKind::GroupFooter;
        details += s.kind == SectionKind::Detail;
        const QString key = s.name.toLower();
        if (s.name.isEmpty() || names.contains(key))
            raiseError(ErrorNumber::NotALayout, QStringLiteral("Nome di sezione mancante o ripetuto: '%1'").arg(s.name));
        names.insert(key);
        if (s.height < 0)
            raiseError(ErrorNumber::NotALayout, QStringLiteral("Altezza negativa della sezione '%1'").arg(s.name));
    }
    if (headers != footers)
        raiseError(ErrorNumber::NotALayout, QStringLiteral("Intestazioni e piè di gruppo non sono in coppia"));
    if (details > 1)
        raiseError(ErrorNumber::NotALayout, QStringLiteral("Il modello ha più di una sezione di dettaglio"));
}

} // namespace report
