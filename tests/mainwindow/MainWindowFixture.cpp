#include "mainwindow/MainWindowFixture.h"

#include "common/comDataBase.h"
#include "mainwindow/InstalledPrinters.h"
#include "mainwindow/frmMain.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/grid/GridEx.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTest>

void MainWindowFixture::SetUp()
{
    ProgramFixture::SetUp();
    session().regKeySettings = QStringLiteral("Software\\Vantrel\\Corvessa\\Settings");
    session().regKeySettings2 = session().regKeySettings;
    session().regKeyPrinters = QStringLiteral("Software\\Vantrel\\Corvessa\\Printers");
    useUpgradedDatabase();
    session().sezId = 1;
    setInstalledPrintersSource([] {
        return InstalledPrinters{{{QStringLiteral("Laser"), QStringLiteral("HP LaserJet")}}, QStringLiteral("Laser")};
    });
    frmMain::setFormOpener([this](const QString& call) {
        m_calls << call;
        return true;
    });
}

void MainWindowFixture::TearDown()
{
    frmMain::Unload();
    frmMain::setFormOpener({});
    setInstalledPrintersSource({});
    ProgramFixture::TearDown();
}

void MainWindowFixture::addSection2()
{
    exec(QStringLiteral("INSERT INTO Sezioni (sezId, sezTitolo, sezNome, sezCognome, sezPreIVA) "
                        "VALUES (2, '', 'Maria', 'D''Amico', '10')"));
}

namespace {
int lastId(const QString& table, const QString& column)
{
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT MAX(%1) AS m FROM %2").arg(column, table), session().dataConStr);
    const int id = rs.value(0).toLong();
    rs.close();
    return id;
}
} // namespace

int MainWindowFixture::addClient(const QString& nome, int sezId, bool shared, const QString& localita)
{
    exec(QStringLiteral("INSERT INTO CliFor (cliNome, cliLocalita, sezId, cliShared) VALUES (%1, %2, %3, %4)")
             .arg(SqlQuoted(nome), SqlQuoted(localita))
             .arg(sezId)
             .arg(shared ? QStringLiteral("True") : QStringLiteral("False")));
    return lastId(QStringLiteral("CliFor"), QStringLiteral("cliId"));
}

int MainWindowFixture::addPayment(const QString& descrizione, int sezId, bool shared)
{
    exec(QStringLiteral("INSERT INTO Pagamenti (pagDescrizione, sezId, pagShared) VALUES (%1, %2, %3)")
             .arg(SqlQuoted(descrizione))
             .arg(sezId)
             .arg(shared ? QStringLiteral("True") : QStringLiteral("False")));
    return lastId(QStringLiteral("Pagamenti"), QStringLiteral("pagId"));
}

int MainWindowFixture::addDocument(int sezId, int tipo, const QDate& data, int cliId, int numero, bool pagata,
                                   const QString& prefisso)
{
    exec(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatPrefisso, fatData, fatCliForId, fatTotDoc, "
                        "fatTotNetto, fatPagata) VALUES (%1, %2, %3, %4, %5, %6, 100, 80, %7)")
             .arg(sezId)
             .arg(tipo)
             .arg(numero)
             .arg(prefisso.isEmpty() ? QStringLiteral("Null") : SqlQuoted(prefisso))
             .arg(SqlData(data))
             .arg(cliId)
             .arg(pagata ? QStringLiteral("True") : QStringLiteral("False")));
    return lastId(QStringLiteral("Fatture"), QStringLiteral("fatId"));
}

int MainWindowFixture::count(const QString& sql)
{
    db::Recordset rs;
    rs.open(sql, session().dataConStr);
    const int n = rs.recordCount();
    rs.close();
    return n;
}

frmMain* MainWindowFixture::open()
{
    frmMain::Visualizza();
    m_main = frmMain::instance();
    QApplication::setActiveWindow(m_main);
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_main));
    return m_main;
}

QAction* MainWindowFixture::action(const QString& name) const
{
    auto* a = m_main->findChild<QAction*>(name);
    EXPECT_NE(a, nullptr) << name.toStdString();
    return a;
}

grid::GridEx* MainWindowFixture::grid() const
{
    return m_main->findChild<grid::GridEx*>(QStringLiteral("gexView"));
}

QWidget* MainWindowFixture::child(const QString& name) const
{
    auto* w = m_main->findChild<QWidget*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

void MainWindowFixture::clickViewBar(int view)
{
    auto* bb = m_main->findChild<QListWidget*>(QStringLiteral("bb"));
    ASSERT_NE(bb, nullptr);
    QListWidgetItem* item = nullptr;
    for (int i = 0; i < bb->count(); ++i) {
        if (bb->item(i)->data(Qt::UserRole).toString() == QString::number(view))
            item = bb->item(i);
    }
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(bb->viewport(), Qt::LeftButton, {}, bb->visualItemRect(item).center());
}

QStringList MainWindowFixture::columnTexts(int column) const
{
    QStringList texts;
    for (int r = 1; r <= grid()->rowCount(); ++r)
        texts << grid()->cellText(r, column);
    return texts;
}
