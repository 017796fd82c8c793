#pragma once

#include "domain/Document.h"
#include "platform/core/Currency.h"
#include "platform/core/Variant.h"

#include <QSet>
#include <QVector>
#include <QWidget>
#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace grid {
class GridEx;
}
namespace ui {
class DataBinding;
class DataCombo;
class DateBox;
} // namespace ui

// The document editor for invoices (0), credit notes (1) and pro formas (2);
// one shared instance, shown modeless.
class frm_fattura : public QWidget {
    Q_OBJECT
public:
    static void Nuovo(std::int32_t tipo);
    static void Modifica(std::int32_t id);
    // True while the editor is open.
    static bool IsLoaded();
    // Hides the editor and deletes it once control is back in the event loop, so
    // a handler that unloads it never runs on inside a destroyed object.
    static void Unload();
    // The open editor, or nullptr (never creates one).
    static frm_fattura* current();

    // Look-ups of the VAT-code and payment-term tables.
    static double AliquotaIVA(const QString& codice);
    static bool EsenzioneIVA(const QString& codice);
    static bool NoRitenutaIVA(const QString& codice);
    static QString NotaPagamento(std::int32_t pagId);
    // Address lines, bank, payment term and withholding flag of a client; throws
    // core::Error for an unknown client.
    static std::array<core::Variant, 7> DatiCliente(std::int32_t cliId);

    // 1: a new document never saved; 3: an existing document.
    std::int32_t Modo() const { return m_modo; }
    std::int32_t documentId() const { return m_id; }
    std::int32_t savedKind() const { return m_tipoSalvato; }

    void CaricaDocumento();
    void CaricaCombo();
    // The VAT codes of the table into the code column's list; false (after
    // saying why) when they could not be read, and the lines then wait for it.
    bool CaricaCodiciIVA();
    void NuovoCliente();
    void NuovoPagamento();
    // Writes the document in one transaction; false (after its message, with the
    // editor and its edits as they were) when nothing was stored.
    bool Salva();
    void CalcolaRiepilogoIVA(double& RitPrePerc, double& RitAccPerc);
    void CalcolaTotali();
    // Moves the unit price of grid row `Riga` so the net due comes out at `Pattuito`.
    void CalcolaDaPattuito(core::Currency Pattuito, std::int32_t Riga);

    void cmdSave_Click();
    void cmdPreview_Click();
    void cmdPrint_Click();
    void cmdPDF_Click();
    void cmdMakeInvoice_Click();
    void cmdIncassi_Click();
    void cmdImportoPattuito_Click();
    void cmdCliAdd_Click();
    void cmdClose_Click();

    // The document being edited: what the controls show and change.
    const Document& document() const { return m_doc; }
    Document& document() { return m_doc; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class Output { Preview, Print, Pdf };

    frm_fattura(QWidget* parent);
    ~frm_fattura() override;
    static frm_fattura* instance();
    static bool refuseSecondDocument();

    void buildControls();
    QLabel* newLabel(int index, const QString& text);
    void createFields();
    void createButtons();
    void createGrids();
    QWidget* layoutHeader();
    QGroupBox* layoutTotals();
    void layoutWindow(QWidget* header, QGroupBox* totals);
    // Enter as Tab, field hints and the Tab order.
    void setUpKeys(QWidget* header, QGroupBox* totals);
    void connectCommands();
    void connectLineGrid();
    // The detail grid's keys: Enter, Esc, F4 and Delete as the lines need them.
    void onLineGridKey(int& keyCode, int shift);
    void bindControls();
    void configureLineGrid();
    void configureVatGrid();
    // The VAT summary as high as its rows.
    void fitVatGrid();
    // The code list's columns to the code column of the lines.
    void sizeCodeList();
    void printOutput(Output output);
    void recalculate();
    // The save of cmdSave_Click; true when the document was stored and the editor closed.
    bool saveAndClose();
    void showKind(int tipo);
    void showClientAddress(const std::array<core::Variant, 7>& dati);
    void clientChosen(const core::Variant& value);
    void applyClientData(const std::array<core::Variant, 7>& dati);
    void paymentChosen(const core::Variant& value);
    void withholdingChanged();
    void applyClientPayment();
    void prefixEdited();
    bool checkLine();
    bool linesHaveVatCodes();
    bool commitPendingLine();
    void openServicePicker();
    // F4 on a VAT code at rest: the cell's list, open.
    void openVatCodeList();
    void onFocusChanged(QWidget* old, QWidget* now);
    void setHint(const QString& text);
    QString columnHint(int position) const;
    bool clientChosenInCombo() const;
    void setHeader(const QString& field, const core::Variant& value);
    bool deleteNeverSaved();

    std::int32_t m_modo = 0;
    std::int32_t m_id = 0;
    std::int32_t m_tipoSalvato = 0;
    bool m_bound = false;
    bool m_loading = false;
    bool m_lineRefusalExplained = false;
    bool m_gridKeptFocus = false;
    QSet<QString> m_codes; // the VAT codes of the table, upper case
    bool m_codesLoaded = false;
    bool m_replayingKey = false;
    // The client whose default payment term was last applied: leaving the combo
    // without choosing another client keeps the payment term the user chose.
    core::Variant m_clientApplied;

    Document m_doc;
    ui::DataBinding* m_binding = nullptr;

public:
    // Controls, named as the form names them.
    QVector<QLineEdit*> txtData;  // element 1 is the multi-line notes box txtNote
    QPlainTextEdit* txtNote = nullptr; // objectName "txtData(1)"
    QVector<QLabel*> lblData;
    QVector<QLabel*> lblDataCli;
    QVector<QComboBox*> cmbData;
    QVector<ui::DataCombo*> dtcData;
    QVector<QCheckBox*> chkData;
    ui::DateBox* dtp = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdPreview = nullptr;
    QPushButton* cmdPDF = nullptr;
    QPushButton* cmdMakeInvoice = nullptr;
    QPushButton* cmdIncassi = nullptr;
    QPushButton* cmdImportoPattuito = nullptr;
    QPushButton* cmdCliAdd = nullptr;
    grid::GridEx* gexdet = nullptr;
    grid::GridEx* gexDetIVA = nullptr;
    grid::GridEx* gexIVA = nullptr;
    QStatusBar* sb = nullptr;
    QLabel* lblTotSoggettivo = nullptr; // captions of the surcharge and withholding totals
    QLabel* lblTotRitAcc = nullptr;
};
