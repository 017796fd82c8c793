#pragma once

#include "common/FormLifetime.h"
#include "platform/core/Variant.h"
#include "domain/MasterRecord.h"

#include <QPointer>
#include <QString>
#include <QVector>
#include <QWidget>
#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;
class QStatusBar;
class QVBoxLayout;

namespace ui {
class DataBinding;
}

// What the four entry forms share: opening a new or an existing record on a
// connection of the form's own, showing the form modal (the saved key comes
// back) or modeless (the main window is refreshed after saving), Esc, field
// help in the status bar, fields that keep the focus while they fail their
// check, and saving with the form's messages.
class MasterDataForm : public QWidget {
    Q_OBJECT
public:
    // 1 = new record, 2 = existing record.
    std::int32_t Modo = 0;
    bool Modale = false;
    // The key of the written record after Save; Null after a cancel.
    core::Variant Risultato;

    // The record being edited, bound to the form's controls.
    db::Recordset recordset() const { return m_dati.recordset(); }
    ~MasterDataForm() override;

protected:
    MasterDataForm(const QString& name, const QString& caption);

    // The controls every form has; the derived form places them.
    QStatusBar* sb = nullptr;
    QPushButton* cmdSalva = nullptr;
    QPushButton* cmdAnnulla = nullptr;
    ui::DataBinding* m_binding = nullptr;

    // Readies the form to open a record in `modo` (1 new, 2 existing) shown
    // with modality nMode. False when the form is already open on a record
    // with unsaved edits: the open record is kept and brought to the front,
    // the user is told, and the caller returns aperturaRifiutata(nMode).
    bool preparaApertura(std::int32_t modo, std::int32_t nMode);
    // Null for a modal caller (nothing was saved), Empty for a modeless one.
    static core::Variant aperturaRifiutata(std::int32_t nMode);
    // The whole table opened as a table with a new row appended, or one row by query.
    void apriNuovo(const QString& table);
    void apriEsistente(const QString& sql);
    // Shows the form with modality nMode and returns as the protocol says:
    // modal, the result once the form hid itself; modeless, Empty at once.
    core::Variant mostra(std::int32_t nMode, QWidget* firstField);
    // Ends the form's layout with its foot: Salva and Annulla at the right of
    // a row of their own, then the status bar.
    void aggiungiPiede(QVBoxLayout* layout);
    // Widens the form so the longest field help fits the status bar.
    void larghezzaPerLaGuida();

    // A field that may not be left while `ok` is false; at Save the same check
    // puts the focus there and shows `message`.
    void aggiungiControllo(QWidget* field, std::function<bool()> ok, const QString& message);
    // True when the field's text reads as a number the Italian way.
    static bool numerico(const QString& text);
    // The same, and from 0 to 100.
    static bool percentuale(const QString& text);

    // The key column of the record (its value is the result of Save).
    virtual QString campoChiave() const = 0;
    // The message of a real save conflict (row changed or deleted by another user).
    virtual QString messaggioConflitto() const;
    // What to tell the user when the database refuses the row for another reason.
    virtual QString messaggioRifiuto(SaveRefusal refusal, const core::Error& error) const;
    // Writes the current record; forms that write more in the same save override it.
    virtual void scriviRecord();

    void cmdSalva_Click();
    void cmdAnnulla_Click();
    // Closes the record set and the connection; errors are of no interest here.
    void chiudiDati();
    // Sets the dirty flag (edits made in code, not through the binding).
    void segnaModificato() { m_modificato = true; }
    bool modificato() const { return m_modificato; }

    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    MasterRecord m_dati;

private:
    struct Controllo {
        QPointer<QWidget> field;
        std::function<bool()> ok;
        QString message;
    };
    // The check that keeps the focus where it is, when the focus may not move to `target`.
    bool focusBloccato(QWidget* target) const;
    bool controllaTutto();

    QVector<Controllo> m_controlli;
    bool m_modificato = false;
};
