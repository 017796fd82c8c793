#include "mainwindow/cNodo.h"

void cNodo::Setta(std::int16_t GroupIndex, const QString& Codice, const QString& Descrizione,
                  const QString& DescrizioneNew, const core::Variant& IconIndex, const QString& SqlString,
                  const QString& mnuViewShorCut)
{
    m_groupIndex = GroupIndex;
    m_codice = Codice;
    m_descrizione = Descrizione;
    m_descrizioneNew = DescrizioneNew;
    m_iconIndex = IconIndex;
    m_sqlString = SqlString;
    m_mnuViewShorCut = mnuViewShorCut;
}

std::shared_ptr<cSubNodi> cNodo::SubNodi()
{
    if (!m_subNodi)
        m_subNodi = std::make_shared<cSubNodi>();
    return m_subNodi;
}
