// Printer slots, closing, the database folder, and the commands that wait for their windows.
#include "mainwindow/MainWindowFixture.h"

#include "common/comRegistry.h"
#include "mainwindow/InstalledPrinters.h"
#include "mainwindow/frmMain.h"
#include "platform/core/Error.h"
#include "platform/registry/RegistryStore.h"
#include "platform/ui/MsgBoxStyle.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QDir>
#include <QTest>
#include <memory>

namespace {
const QString kNessunaStampante = QStringLiteral(
    "Nessuna stampante installata.\r\nInstallare almeno una stampante per utilizzare correttamente l'applicazione");
const QString kSchedeAperte = QStringLiteral("Chiudere prima tutte le schede dati.");
} // namespace

TEST_F(MainWindowFixture, PrinterSlotsComeFromTheDefaultPrinterAndTheRegistry)
{
    struct Case {
        const char* name;
        InstalledPrinters printers;
        QStringList registry; // "001", "D001", "002", "D002"; empty entries are not written
        QStringList slotNames;
        QStringList drivers;
        bool message;
    };
    const InstalledPrinters due{{{QStringLiteral("Laser"), QStringLiteral("HP")}, {QStringLiteral("Ink"), QStringLiteral("Epson")}},
                                QStringLiteral("Ink")};
    const Case cases[] = {
        {"one printer, no values", {{{QStringLiteral("Laser"), QStringLiteral("HP")}}, QStringLiteral("Laser")}, {},
         {QStringLiteral("Laser"), QStringLiteral("Laser")}, {QStringLiteral("HP"), QStringLiteral("HP")}, false},
        {"slot 1 names a printer not installed", due, {QStringLiteral("Altrove"), QString(), QString(), QString()},
         {QStringLiteral("Altrove"), QStringLiteral("Altrove")}, {QStringLiteral("Epson"), QStringLiteral("Epson")}, false},
        {"both slots stored", due,
         {QStringLiteral("Laser"), QStringLiteral("HP"), QStringLiteral("Ink"), QStringLiteral("Epson")},
         {QStringLiteral("Laser"), QStringLiteral("Ink")}, {QStringLiteral("HP"), QStringLiteral("Epson")}, false},
        {"no printer", {}, {}, {QString(), QString()}, {QString(), QString()}, true},
        {"printers but no default", {{{QStringLiteral("Laser"), QStringLiteral("HP")}}, QString()}, {},
         {QString(), QString()}, {QString(), QString()}, true},
    };
    const QStringList names = {QStringLiteral("001"), QStringLiteral("D001"), QStringLiteral("002"), QStringLiteral("D002")};
    for (const Case& c : cases) {
        for (const QString& n : names) {
            comRegistry r;
            r.setClassKey(HKEY_CURRENT_USER);
            r.setSectionKey(session().regKeyPrinters);
            r.setValueKey(n);
            if (r.KeyExists())
                try { r.DeleteValue(); } catch (const core::Error&) {}
        }
        for (int i = 0; i < c.registry.size(); ++i) {
            if (!c.registry[i].isEmpty())
                ScriviRegistro(HKEY_CURRENT_USER, session().regKeyPrinters, REG_SZ, names[i], core::Variant(c.registry[i]));
        }
        const InstalledPrinters printers = c.printers;
        setInstalledPrintersSource([printers] { return printers; });
        restartDialogs();
        if (c.message)
            m_dialogs.answerMessageBox(ui::vbOK);
        open();
        EXPECT_EQ(session().stampanteSlot, c.slotNames) << c.name;
        EXPECT_EQ(session().stampanteSlotDriver, c.drivers) << c.name;
        EXPECT_EQ(session().numStampanti, c.printers.printers.size()) << c.name;
        EXPECT_EQ(m_dialogs.messages(), c.message ? QStringList{kNessunaStampante} : QStringList()) << c.name;
        EXPECT_TRUE(m_dialogs.unexpected().isEmpty()) << c.name;
        frmMain::Unload();
    }
    EXPECT_EQ(session().stampanti, QStringList{QStringLiteral("Laser")});
}

TEST_F(MainWindowFixture, ClosingIsRefusedWhileADataWindowIsOpen)
{
    open();
    auto scheda = std::make_unique<QWidget>();
    scheda->setObjectName(QStringLiteral("frm_io_Clienti"));
    scheda->show();

    m_dialogs.answerMessageBox(ui::vbOK);
    action(QStringLiteral("mnuFileItem(13)"))->trigger();
    EXPECT_TRUE(frmMain::exists());
    EXPECT_TRUE(m_main->isVisible());
    m_dialogs.answerMessageBox(ui::vbOK);
    EXPECT_FALSE(m_main->close());
    // The Data menu refuses as well, before it asks anything.
    m_dialogs.answerMessageBox(ui::vbOK);
    action(QStringLiteral("mnuDbItem(0)"))->trigger();
    EXPECT_EQ(m_dialogs.messages(), QStringList(3, kSchedeAperte));
    EXPECT_TRUE(m_dialogs.requests(ui::DialogKind::Folder).isEmpty());

    scheda.reset();
    QPointer<frmMain> principale = m_main;
    action(QStringLiteral("mnuFileItem(13)"))->trigger();
    EXPECT_FALSE(frmMain::exists());
    // A refresh from a form that outlived the main window does nothing.
    frmMain::SetLay();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(principale.isNull());
    frmMain::SetLay();
}

TEST_F(MainWindowFixture, ChangingTheDatabaseFolderStoresItWithoutTrailingSeparator)
{
    open();
    const QString chiave = QStringLiteral("appset_curdb");
    auto salvata = [&] {
        return LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, chiave, core::Variant(QStringLiteral("(nessuna)")))
            .toString();
    };
    // Cancelled: nothing written, nothing said.
    m_dialogs.answerFolder(QString());
    action(QStringLiteral("mnuDbItem(0)"))->trigger();
    EXPECT_EQ(salvata(), QStringLiteral("(nessuna)"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());

    const QString cartella = QDir(m_home.path()).filePath(QStringLiteral("Altro"));
    m_dialogs.answerFolder(cartella + QStringLiteral("/"));
    m_dialogs.answerMessageBox(ui::vbOK);
    action(QStringLiteral("mnuDbItem(0)"))->trigger();
    EXPECT_EQ(salvata(), cartella);
    EXPECT_EQ(m_dialogs.messages(),
              QStringList{QStringLiteral("Database selezionato o creato con successo\r\nRiavviare l'applicazione")});
    EXPECT_EQ(m_dialogs.requests(ui::DialogKind::Folder).first().text,
              QStringLiteral("Selezionare la cartella contenente un Database esistente\r\n"
                             "o la cartella nella quale creare un nuovo Database."));

    // A registry that cannot be written: a message, no success, the program goes on.
    reg::Store::setFilePath(QStringLiteral("/proc/corvessa-none/registry.json"));
    restartDialogs();
    m_dialogs.answerFolder(QDir(m_home.path()).filePath(QStringLiteral("Terza")));
    m_dialogs.answerMessageBox(ui::vbOK);
    action(QStringLiteral("mnuDbItem(0)"))->trigger();
    reg::Store::setFilePath(QDir(m_home.path()).filePath(QStringLiteral("registry.json")));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("Impossibile salvare la cartella del database")));
    EXPECT_EQ(salvata(), cartella);
    EXPECT_TRUE(frmMain::exists());
}

TEST_F(MainWindowFixture, CommandsWaitingForTheirWindowsStayDisabled)
{
    open();
    action(QStringLiteral("mnuViewItem(2)"))->trigger();
    for (const char* name : {"mnuViewItem(43)", "mnuHelpItem(0)"})
        EXPECT_FALSE(action(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_TRUE(action(QStringLiteral("mnuDbItem(0)"))->isEnabled());
    EXPECT_TRUE(m_calls.isEmpty());
}

TEST_F(MainWindowFixture, PrintOpensTheReportChooserWithTheDefaultPrinterWhenTheListHasRows)
{
    open();
    action(QStringLiteral("mnuViewItem(2)"))->trigger(); // clients: none yet
    action(QStringLiteral("mnuFileItem(11)"))->trigger();
    EXPECT_TRUE(m_calls.isEmpty());

    addClient(QStringLiteral("Bianchi S.r.l."), 1);
    frmMain::SetLay();
    for (const char* name : {"mnuFileItem(11)", "tbButton(5)"}) {
        m_calls.clear();
        ASSERT_TRUE(action(QString::fromLatin1(name))->isEnabled()) << name;
        action(QString::fromLatin1(name))->trigger();
        EXPECT_EQ(m_calls, QStringList{QStringLiteral("frmPrintReportMov::Stampa(Laser)")}) << name;
    }
}

TEST_F(MainWindowFixture, TheProfessionalsWindowsOpenForWhomTheyAreMeant)
{
    struct Case {
        int sezId;
        const char* item; // an action, or a status-bar panel
        bool enabled;
        const char* call;
    };
    const Case cases[] = {
        {1, "mnuProf(0)", true, "frm_setup::Apri(1)"},
        {1, "Professionista", true, "frm_setup::Apri(1)"},
        {1, "mnuProf(1)", true, "frmProfessionisti"},
        {1, "mnuViewItem(40)", true, "frmOptions::ApriWorkingDate()"},
        {1, "WorkData", true, "frmOptions::ApriWorkingDate()"},
        {1, "mnuViewItem(41)", true, "frmOptions::ApriContab()"},
        {1, "mnuHelpItem(7)", true, "comfrmAbout::About"},
        {2, "mnuProf(0)", true, "frm_setup::Apri(2)"},
        {2, "Professionista", true, "frm_setup::Apri(2)"},
        {2, "mnuProf(1)", false, ""},
        {2, "mnuViewItem(41)", true, "frmOptions::ApriContab()"},
        {2, "mnuHelpItem(7)", true, "comfrmAbout::About"},
    };
    addSection2();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + " as " + std::to_string(c.sezId));
        session().sezId = c.sezId;
        open();
        m_calls.clear();
        const QString item = QString::fromLatin1(c.item);
        if (QAction* a = m_main->findChild<QAction*>(item)) {
            EXPECT_EQ(a->isEnabled(), c.enabled);
            a->trigger();
        } else {
            QTest::mouseClick(child(item), Qt::LeftButton);
        }
        EXPECT_EQ(m_calls, c.enabled ? QStringList{QString::fromLatin1(c.call)} : QStringList{});
        frmMain::Unload();
    }
}

TEST_F(MainWindowFixture, TheWorkingDateWaitsUntilTheDataWindowsAreClosed)
{
    open();
    QWidget scheda;
    scheda.setObjectName(QStringLiteral("scheda"));
    scheda.show();
    m_dialogs.answerMessageBox(ui::vbOK).answerMessageBox(ui::vbOK);
    action(QStringLiteral("mnuViewItem(40)"))->trigger();
    QTest::mouseClick(child(QStringLiteral("WorkData")), Qt::LeftButton);
    EXPECT_EQ(m_dialogs.messages(), (QStringList{kSchedeAperte, kSchedeAperte}));
    EXPECT_TRUE(m_calls.isEmpty());
    scheda.hide();
    action(QStringLiteral("mnuViewItem(40)"))->trigger();
    EXPECT_EQ(m_calls, QStringList{QStringLiteral("frmOptions::ApriWorkingDate()")});
}

TEST_F(MainWindowFixture, TheLayoutListIsOfferedToTheAdministratorOnly)
{
    addSection2();
    session().sezId = 2;
    open();
    EXPECT_FALSE(action(QStringLiteral("mnuFileItem(9)"))->isEnabled());
    frmMain::Unload();
    session().sezId = 1;
    open();
    ASSERT_TRUE(action(QStringLiteral("mnuFileItem(9)"))->isEnabled());
    action(QStringLiteral("mnuFileItem(9)"))->trigger();
    EXPECT_EQ(m_calls, QStringList{QStringLiteral("finfrmReps")});
}

TEST_F(MainWindowFixture, TheTableBrowserIsOfferedToTheAdministratorOnly)
{
    addSection2();
    session().sezId = 2;
    open();
    EXPECT_FALSE(action(QStringLiteral("mnuDbItem(9)"))->isVisible());
    frmMain::Unload();
    session().sezId = 1;
    open();
    EXPECT_TRUE(action(QStringLiteral("mnuDbItem(9)"))->isVisible());
    EXPECT_TRUE(action(QStringLiteral("mnuDbItem(9)"))->isEnabled());
    // After the warning, whose default is No: only Yes opens the browser.
    m_dialogs.answerMessageBox(ui::vbNo).answerMessageBox(ui::vbYes);
    action(QStringLiteral("mnuDbItem(9)"))->trigger();
    EXPECT_TRUE(m_calls.isEmpty());
    action(QStringLiteral("mnuDbItem(9)"))->trigger();
    EXPECT_EQ(m_calls, QStringList{QStringLiteral("comfrmManData")});
    ASSERT_EQ(m_dialogs.requests(ui::DialogKind::MessageBox).size(), 2);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("Attenzione!")));
    EXPECT_TRUE(m_dialogs.requests(ui::DialogKind::MessageBox).first().style & ui::vbDefaultButton2);
}

TEST_F(MainWindowFixture, TheProgramFolderIsNotedInTheSettings)
{
    open();
    EXPECT_EQ(LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings2, REG_SZ, QStringLiteral("prgPath")).toString(),
              QDir::toNativeSeparators(AppPath()));
}
