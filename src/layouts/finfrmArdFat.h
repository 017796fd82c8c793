#pragma once

#include "platform/report/Report.h"

#include <QMainWindow>
#include <QVector>
#include <array>
#include <cstdint>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMimeData;
class QTabWidget;
class QToolBar;
class finclsCampi;
namespace report {
class ReportDesigner;
}

// The layout designer: edits one print layout of the document report on the
// design surface `ard`. Two lists beside it hold the print fields (document
// and page fields, line fields); dragging a name onto a section makes a field
// bound to it. Saving writes the layout into finData, as a new row under a
// name the user types or over the row being edited.
class finfrmArdFat : public QMainWindow {
    Q_OBJECT
public:
    // How Salva ended.
    enum class Esito { Salvato, Annullato, NonSalvato };

    // Opens the designer on a new layout (mode 0, id 0), on a copy of layout
    // `id` (mode 1) or on layout `id` itself (mode 2); shown not modal and
    // without owner. False, after a message, when the layout cannot be read,
    // or when the user keeps the unsaved changes of the layout already open.
    static bool Apri(const finclsCampi& campi, std::int16_t mode, std::int32_t id);
    static finfrmArdFat* instance();
    static bool exists();
    static void Unload();

    // Saves into finData; the window is unloaded after a save.
    Esito Salva();

    std::int32_t mode() const { return m_mode; }
    std::int32_t id() const { return m_id; }

    report::ReportDesigner* ard = nullptr;
    QTabWidget* SSTab1 = nullptr;
    // 0: document and page fields ("Testa/Calce"); 1: line fields ("Dettaglio").
    std::array<QListWidget*, 2> lstFields{};
    // Carries the field name (its text) and the list it came from (its "tag"
    // property, "0" or "1") while a name is dragged.
    QLabel* lblDrag = nullptr;
    QLineEdit* txtLabel = nullptr;
    QComboBox* cboFoFontName = nullptr;
    QComboBox* cboFoFontSize = nullptr;
    QToolBar* tbStandard = nullptr;
    QToolBar* tbFormat = nullptr;
    QToolBar* tbAlign = nullptr;
    QToolBar* tbToolbox = nullptr;

    // A toolbar button by its key ("tFoBold"); nullptr when none.
    QAction* pulsante(const QString& key) const;

    // The drag of a field name: the list's selected item is put on lblDrag
    // (false when the list has none); the drop is the designer's.
    bool preparaTrascinamento(int index);
    void ard_OnDragDrop(const QString& sectionName, const QPointF& position, const QMimeData* data, QObject* source);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    finfrmArdFat();
    void Form_Load();
    void creaToolbar();
    void ImpostaComandi();
    bool caricaModello(std::int16_t mode, std::int32_t id);
    void riempiListe(const finclsCampi& campi);

    void tbStandard_OnButtonClick(QAction* button);
    void tbFormat_OnButtonClick(QAction* button);
    void tbAlign_OnButtonClick(QAction* button);
    void tbToolbox_OnButtonClick(QAction* button);
    void eseguiTag(QAction* button);
    void ard_OnCommandStateChange(int command);
    void ard_OnSelectionChange();
    void AggiornaPulsante(QAction* button, int command);
    void txtLabel_Change(const QString& text);
    // Undo or redo of the design, from any widget of the window.
    void annullaRipeti(bool ripeti);
    // The property boxes show the selected control's current values.
    void mostraValori();
    void cboFoFontName_Click(const QString& text);
    void cboFoFontSize_Click(const QString& text);
    void dialogoCarattere();
    void dialogoColore(const QString& key);
    void margini();
    void trascina(int index);
    Esito chiediNome(QString& nome);
    Esito comeNuovo(const QByteArray& bytes);
    Esito riscrivi(const QByteArray& bytes);

    std::int32_t m_mode = 0;
    std::int32_t m_id = 0;
    // The stored bytes as read at opening (modes 1 and 2): a save over the row
    // first checks that nobody saved it meanwhile.
    QByteArray m_letti;
    // The report being designed: the window's own, attached to the designer.
    report::Report m_report;
    QVector<QAction*> m_pulsanti;
    // Set while the program itself closes the window (after a save): no question.
    bool m_chiusuraProgramma = false;
    QPoint m_pressione;
};
