#pragma once

// The program's windows over a database holding a bit of everything (layouts,
// a client, an invoice and a pro forma, a second professional), the main window
// open, and each window opened as the program opens it.
#include "common/comfrmAbout.h"
#include "common/comfrmManData.h"
#include "documents/frmIncassi.h"
#include "documents/frmMakeInvoice.h"
#include "documents/frm_Pattuito.h"
#include "documents/frm_fattura.h"
#include "layouts/finfrmArdFat.h"
#include "layouts/finfrmMargini.h"
#include "layouts/finfrmRepRels.h"
#include "layouts/finfrmReps.h"
#include "mainwindow/InstalledPrinters.h"
#include "mainwindow/frmMain.h"
#include "masterdata/frm_io_Clienti.h"
#include "masterdata/frm_io_IVA.h"
#include "masterdata/frm_io_Pagamenti.h"
#include "masterdata/frm_io_Prestazioni.h"
#include "masterdata/frm_list_Prestazioni.h"
#include "platform/ui/MsgBoxStyle.h"
#include "printing/PrintFixture.h"
#include "printing/finclsTarvix.h"
#include "reports/frmPrintReportMov.h"
#include "sections/frmAdminPass.h"
#include "sections/frmNewProf.h"
#include "sections/frmOptions.h"
#include "sections/frmProfElimina.h"
#include "sections/frmProfessionisti.h"
#include "sections/frm_setup.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <functional>

struct Window {
    const char* name;
    // Opens the window as the program does; `check` runs on it while it is on screen.
    std::function<void(std::function<void(QWidget*)> check)> open;
};

class WindowsFixture : public PrintFixture {
protected:
    void SetUp() override
    {
        PrintFixture::SetUp();
        session().regKeySettings = QStringLiteral("Software\\Vantrel\\Corvessa\\Settings");
        session().regKeySettings2 = session().regKeySettings;
        session().regKeyPrinters = QStringLiteral("Software\\Vantrel\\Corvessa\\Printers");
        setInstalledPrintersSource([] {
            return InstalledPrinters{{{QStringLiteral("Laser"), QStringLiteral("HP LaserJet")}}, QStringLiteral("Laser")};
        });
        exec(QStringLiteral("INSERT INTO Sezioni (sezId, sezTitolo, sezNome, sezCognome) VALUES (2, '', 'Maria', 'Verdi')"));
        m_fattura = inserisci(fattura());
        Documento proForma = fattura();
        proForma.tipo = 2;
        proForma.numero = QStringLiteral("3");
        m_proForma = inserisci(proForma);
        frmMain::Visualizza();
        m_main = frmMain::instance();
        ASSERT_NE(m_main, nullptr);
        QApplication::setActiveWindow(m_main);
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_main));
    }
    void TearDown() override
    {
        frm_fattura::Unload();
        frm_io_Clienti::Unload();
        frm_io_IVA::Unload();
        frm_io_Pagamenti::Unload();
        frm_io_Prestazioni::Unload();
        frm_list_Prestazioni::Unload();
        finfrmArdFat::Unload();
        frmPrintReportMov::Unload();
        comfrmManData::Unload();
        settle();
        frmMain::Unload();
        setInstalledPrintersSource({});
        PrintFixture::TearDown();
    }

    // A modal window: its script checks it, then the seam closes it.
    std::function<void(std::function<void(QWidget*)>)> modal(std::function<void()> open)
    {
        return [this, open](std::function<void(QWidget*)> check) {
            m_dialogs.answerModal(check);
            open();
        };
    }
    // A modeless window, found once open.
    static std::function<void(std::function<void(QWidget*)>)> modeless(std::function<QWidget*()> open)
    {
        return [open](std::function<void(QWidget*)> check) {
            QWidget* w = open();
            ASSERT_NE(w, nullptr);
            ASSERT_TRUE(w->isVisible());
            check(w);
        };
    }

    QList<Window> windows()
    {
        const std::int32_t cli = cliente();
        return {
            {"editor, new invoice", modeless([] { frm_fattura::Nuovo(0); return frm_fattura::current(); })},
            {"editor, saved invoice", modeless([this] { frm_fattura::Modifica(m_fattura); return frm_fattura::current(); })},
            {"collections", modal([this] { frmIncassi::Apri(m_fattura, m_main); })},
            {"invoice from pro forma", modal([this] { frmMakeInvoice::Apri(m_proForma, m_main); })},
            {"agreed amount", modal([this] { frm_Pattuito::Apri(m_main); })},
            {"client", modeless([] { frm_io_Clienti::Nuovo(0); return frm_io_Clienti::instance(); })},
            {"client, modal", modal([] { frm_io_Clienti::Nuovo(1); })},
            {"VAT code", modeless([] { frm_io_IVA::Apri(QStringLiteral("22"), 0); return frm_io_IVA::instance(); })},
            {"payment", modeless([] { frm_io_Pagamenti::Nuovo(0); return frm_io_Pagamenti::instance(); })},
            {"service", modeless([] { frm_io_Prestazioni::Nuovo(0); return frm_io_Prestazioni::instance(); })},
            {"service picker", modal([cli] { frm_list_Prestazioni::Apri(cli); })},
            {"setup", modal([] { frm_setup::Apri(1); })},
            {"options", modal([] { frmOptions::ApriContab(); })},
            {"working date", modal([] { frmOptions::ApriWorkingDate(); })},
            {"professionals", modal([this] { frmProfessionisti::Mostra(m_main); })},
            {"new professional", modal([this] { frmNewProf::Mostra(m_main); })},
            {"professional deletion", modal([this] { frmProfElimina::Elimina(2, m_main); })},
            {"login", modal([] { frmAdminPass::Apri(); })},
            {"about", modal([this] { comfrmAbout::About(m_main, session().dataConStr); })},
            {"table browser", modal([this] { comfrmManData::Mostra(m_main, session().dataConStr); })},
            {"layout list", modal([this] { finfrmReps::Mostra(m_main); })},
            {"layout assignment", modal([] { finfrmRepRels::Apri(1); })},
            {"margins", modal([] { finfrmMargini::Apri(850, 1440, 0, 567); })},
            {"layout designer", modeless([] {
                 const finclsTarvix motore;
                 finfrmArdFat::Apri(motore.Campi, 2, 1);
                 return finfrmArdFat::instance();
             })},
            {"report chooser", modeless([] {
                 frmPrintReportMov::Stampa(QStringLiteral("Laser"));
                 return frmPrintReportMov::instance();
             })},
        };
    }

    std::int32_t m_fattura = 0;
    std::int32_t m_proForma = 0;
    frmMain* m_main = nullptr;
};
