#pragma once

#include <QString>

// One sub-filter of a view: its key, the text the filter combo shows and its SQL.
class cSubNodo {
public:
    QString SqlString() const { return m_sqlString; }
    void setSqlString(const QString& value) { m_sqlString = value; }
    QString Descrizione() const { return m_descrizione; }
    void setDescrizione(const QString& value) { m_descrizione = value; }
    QString Chiave() const { return m_chiave; }
    void setChiave(const QString& value) { m_chiave = value; }

private:
    QString m_sqlString;
    QString m_descrizione;
    QString m_chiave;
};
