#pragma once

#include "mainwindow/cNodo.h"

#include "platform/core/Variant.h"

#include "common/MainWindowLink.h"

#include <QMainWindow>
#include <QString>
#include <QVector>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QStyledItemDelegate;
class QToolBar;
class QWidget;

namespace grid {
class GridEx;
}

// The main window: six views of the current professional's data (pro formas,
// invoices and credit notes, clients, services, VAT codes, payment terms) in
// one list, with the view bar, menus, toolbar, find box and status bar from
// which every other window of the program is reached.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Builds the main window, refreshes it and shows it modeless; returns at once.
    static void Visualizza();
    // Reloads the current section's settings and the current view. Does nothing
    // once the main window has closed.
    static void SetLay();
    static frmMain* instance();
    // True while the main window is open (created and not closed).
    static bool exists();
    // Destroys the window without asking (end of the program, tests).
    static void Unload();
    ~frmMain() override;

    // The calls to other windows go through here: the text names the call
    // ("frm_fattura::Modifica(12)", "frm_io_IVA::Apri('22', 0)"). When the hook
    // is set and returns true the call counts as made and the window is not
    // opened; tests use it to see what a command opens.
    using FormOpener = std::function<bool(const QString& call)>;
    static void setFormOpener(FormOpener opener);

    static constexpr int kNumeroViste = 6;
    // The View and New menus are arrays of this many items; those past the six views stay hidden.
    static constexpr int kVociVista = 39;

    // Views by index: 0 pro formas, 1 invoices, 2 clients, 3 services, 4 VAT codes, 5 payment terms; -1 none.
    int vistaCorrente() const { return m_vistaCorrente; }
    cNodo& Vista(int index);

    // Commands, as the menus, the toolbar and the keys reach them.
    void Nuovo(int vista);
    void Apri();
    void Elimina();
    void Stampa();
    void Esci();
    // After a save of document `id`: a document view reads that one row again.
    void DocumentoSalvato(std::int32_t id);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // How lower windows reach this one (refresh, parent) without including it.
    struct Link : MainWindowLink {
        explicit Link(frmMain* w) : window(w) {}
        void SetLay() override { frmMain::SetLay(); }
        void DocumentSaved(std::int32_t id) override { window->DocumentoSalvato(id); }
        QWidget* widget() override { return window; }
        frmMain* window;
    };
    Link m_link{this};

    frmMain();

    struct Menu;
    struct VoceMenu;
    struct VociMenu;
    static const QVector<Menu>& tabellaMenu();
    static const QVector<VociMenu>& tabellaVoci();

    void creaControlli();
    void creaMenu();
    void creaVoce(const VociMenu& gruppo, const VoceMenu& voce, int indice);
    void creaToolbar();
    void creaBarraViste();
    void creaPannelloIniziale();
    void creaBarraStato();

    void CreaViste();
    void Refresh();
    void CaricaVista();
    void OnVistaCaricata() {}
    void Ridimensiona();
    void LarghezzaColonne();
    void AggiornaTrova();
    void AbilitaComandi(bool b);
    void ImpostaStampanti();
    void SalvaPercorso();
    void impostaColonne();

    void scegliVista(int vista);
    void TastiRapidi(int keyCode, int shift);
    bool schedeDatiAperte() const;
    bool apriFinestra(const QString& call, const std::function<void()>& open);

    void mnuFileItem_Click(int index);
    void mnuNewItem_Click(int index);
    void mnuViewItem_Click(int index);
    void mnuDbItem_Click(int index);
    void mnuHelpItem_Click(int index);
    void mnuProf_Click(int index);
    void CambiaDatabase();
    void ApriTabelle();
    void ApriProfessionista();
    void ApriDataLavoro();
    void sb_PanelClick(const QString& key);
    void bb_ItemClick(QListWidgetItem* item);

    void gexView_OnColumnHeaderClick(int column);
    void gexView_OnKeyDown(int& keyCode, int shift);
    void gexView_OnKeyPress(int& keyAscii);
    void gexView_OnFormatRow(int row, QString& styleName);
    void txtFind_Change();
    bool txtFind_KeyDown(int key);
    void cmbFilter_Click();

    int twipsX(int pixels) const;
    int twipsY(int pixels) const;
    int pixelsX(int twips) const;
    int pixelsY(int twips) const;

    std::array<std::unique_ptr<cNodo>, kNumeroViste> m_viste;
    std::array<int, kNumeroViste> m_filtro{};
    int m_vistaCorrente = -1;
    bool m_caricaLayout = true;
    bool m_collassaVista = true;
    bool m_stampanti = true;
    bool m_chiusa = false;
    bool m_visteCreate = false;
    QString m_fileGuida;

    QWidget* m_centro = nullptr;
    QToolBar* tb = nullptr;
    QVector<QAction*> tbButtons; // 1-based, as the toolbar numbers its buttons
    QFrame* picSep = nullptr;
    QFrame* frmSep = nullptr;
    QFrame* shpTitle = nullptr;
    QLabel* imgTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QWidget* m_barra = nullptr; // the view bar with its group caption
    QListWidget* bb = nullptr;
    grid::GridEx* gexView = nullptr;
    QFrame* picStart = nullptr;
    QLabel* m_lblGuida = nullptr;
    QWidget* picFilter = nullptr;
    QLabel* lblView = nullptr;
    QComboBox* cmbFilter = nullptr;
    QWidget* picFind = nullptr;
    QLabel* lblFind = nullptr;
    QLineEdit* txtFind = nullptr;
    QLabel* m_pannelloData = nullptr;
    QLabel* m_pannelloProfessionista = nullptr;

    QMenu* mnuFile = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuGrid = nullptr;
    QMenu* mnuTools = nullptr;
    QMenu* mnuDb = nullptr;
    QMenu* mnuHelp = nullptr;
    QMenu* m_menuNuovo = nullptr;
    QMenu* m_menuProf = nullptr;
    QVector<QAction*> mnuFileItem;
    QVector<QAction*> mnuNewItem;
    QVector<QAction*> mnuProf;
    QVector<QAction*> mnuViewItem;
    QVector<QAction*> mnuGridItem;
    QVector<QAction*> mnuToolItem;
    QVector<QAction*> mnuDbItem;
    QVector<QAction*> mnuHelpItem;

    QStyledItemDelegate* m_centrato = nullptr;
    QStyledItemDelegate* m_aDestra = nullptr;
};
