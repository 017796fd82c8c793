#pragma once

#include "mainwindow/cSubNodi.h"

#include "platform/core/Variant.h"

#include <QString>
#include <cstdint>
#include <memory>

// One view of the main window: its code, captions, icon, keyboard letter and
// the SELECT that fills the list, with optional sub-filters.
class cNodo {
public:
    cNodo() = default;

    // Sets the seven fields at once; the only writer the main window uses.
    void Setta(std::int16_t GroupIndex, const QString& Codice, const QString& Descrizione, const QString& DescrizioneNew,
               const core::Variant& IconIndex, const QString& SqlString, const QString& mnuViewShorCut);

    // Created empty on first read, so a node never answers with no collection.
    std::shared_ptr<cSubNodi> SubNodi();
    void setSubNodi(std::shared_ptr<cSubNodi> value) { m_subNodi = std::move(value); }

    std::int16_t GroupIndex() const { return m_groupIndex; }
    void setGroupIndex(std::int16_t value) { m_groupIndex = value; }
    QString SqlString() const { return m_sqlString; }
    void setSqlString(const QString& value) { m_sqlString = value; }
    QString DescrizioneNew() const { return m_descrizioneNew; }
    void setDescrizioneNew(const QString& value) { m_descrizioneNew = value; }
    QString Descrizione() const { return m_descrizione; }
    void setDescrizione(const QString& value) { m_descrizione = value; }
    QString Codice() const { return m_codice; }
    void setCodice(const QString& value) { m_codice = value; }
    core::Variant IconIndex() const { return m_iconIndex; }
    void setIconIndex(const core::Variant& value) { m_iconIndex = value; }
    // Bits matched against the Tags of the grid menu items.
    std::int32_t mnuGridEnable() const { return m_mnuGridEnable; }
    void setmnuGridEnable(std::int32_t value) { m_mnuGridEnable = value; }
    QString mnuViewShorCut() const { return m_mnuViewShorCut; }
    void setmnuViewShorCut(const QString& value) { m_mnuViewShorCut = value; }

private:
    QString m_codice;
    QString m_descrizione;
    QString m_descrizioneNew;
    QString m_sqlString;
    std::int16_t m_groupIndex = 0;
    // Every grid command but grouping, expanding and collapsing.
    std::int32_t m_mnuGridEnable = 123;
    std::shared_ptr<cSubNodi> m_subNodi;
    core::Variant m_iconIndex;
    QString m_mnuViewShorCut;
};
