// The main window's start, its six views and what each lists.
#include "mainwindow/MainWindowFixture.h"

#include "mainwindow/frmMain.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QBrush>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace {

QString italianDate(const QDate& d)
{
    static const char* giorni[] = {"lunedì", "martedì", "mercoledì", "giovedì", "venerdì", "sabato", "domenica"};
    static const char* mesi[] = {"gennaio", "febbraio", "marzo",     "aprile",  "maggio",   "giugno",
                                 "luglio",  "agosto",   "settembre", "ottobre", "novembre", "dicembre"};
    return QStringLiteral(" %1 - %2 %3 %4 ")
        .arg(QString::fromUtf8(giorni[d.dayOfWeek() - 1]))
        .arg(d.day())
        .arg(QString::fromUtf8(mesi[d.month() - 1]))
        .arg(d.year());
}

} // namespace

TEST_F(MainWindowFixture, StartsWithTheStartPanelAndNoCommands)
{
    open();
    EXPECT_EQ(m_main->vistaCorrente(), -1);
    EXPECT_TRUE(child(QStringLiteral("picStart"))->isVisible());
    EXPECT_FALSE(grid()->isVisible());
    for (const char* name : {"mnuFileItem(0)", "mnuFileItem(4)", "mnuFileItem(5)", "mnuFileItem(11)", "tbButton(1)",
                             "tbButton(2)", "tbButton(3)", "tbButton(5)"})
        EXPECT_FALSE(action(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_FALSE(child(QStringLiteral("txtFind"))->isEnabled());
    EXPECT_EQ(qobject_cast<QLabel*>(child(QStringLiteral("lblTitle")))->text(), QStringLiteral("Corvessa"));

    // The working date is today's, in Italian; the administrator has no title, so a blank leads.
    EXPECT_EQ(session().dataLavoro, QDate::currentDate());
    EXPECT_EQ(qobject_cast<QLabel*>(child(QStringLiteral("WorkData")))->text(), italianDate(QDate::currentDate()));
    EXPECT_EQ(qobject_cast<QLabel*>(child(QStringLiteral("Professionista")))->text(), QStringLiteral(" Amministratore  "));

    // F5 with no view chosen does nothing: the item is disabled.
    QTest::keyClick(m_main, Qt::Key_F5);
    EXPECT_TRUE(m_calls.isEmpty());
}

TEST_F(MainWindowFixture, MenuCaptionsComeFromTheViews)
{
    open();
    EXPECT_EQ(action(QStringLiteral("mnuViewItem(2)"))->text(), QStringLiteral("Clienti\tCTRL+MAIUSC+C"));
    EXPECT_EQ(action(QStringLiteral("mnuViewItem(0)"))->text(), QStringLiteral("Pro-Forma\tCTRL+MAIUSC+P"));
    EXPECT_EQ(action(QStringLiteral("mnuNewItem(1)"))->text(), QStringLiteral("Fattura - Nota di credito\tCTRL+F"));
    EXPECT_EQ(action(QStringLiteral("mnuNewItem(5)"))->text(), QStringLiteral("Pagamento\tCTRL+G"));
    EXPECT_FALSE(action(QStringLiteral("mnuViewItem(6)"))->isVisible());
    EXPECT_FALSE(action(QStringLiteral("mnuNewItem(38)"))->isVisible());
    // Once a view has loaded, the list title reads the caption set at load time.
    action(QStringLiteral("mnuViewItem(2)"))->trigger();
    action(QStringLiteral("mnuViewItem(0)"))->trigger();
    EXPECT_EQ(qobject_cast<QLabel*>(child(QStringLiteral("lblTitle")))->text(), QStringLiteral("Pro Forma"));
    EXPECT_EQ(action(QStringLiteral("mnuViewItem(0)"))->text(), QStringLiteral("Pro-Forma\tCTRL+MAIUSC+P"));
}

TEST_F(MainWindowFixture, EachWayOfSwitchingViewsMakesTheViewCurrent)
{
    open();
    struct Case {
        const char* how;
        int view;
        const char* title;
    };
    const Case cases[] = {
        {"bar", 2, "Clienti"},          {"menu", 3, "Prestazioni"}, {"key", 4, "Codici IVA"},
        {"key", 5, "Pagamenti"},        {"bar", 1, "Fatture"},      {"menu", 0, "Pro Forma"},
        {"key", 2, "Clienti"},          {"key", 0, "Pro Forma"},    {"key", 1, "Fatture"},
        {"key", 3, "Prestazioni"},
    };
    const char letters[] = {'P', 'F', 'C', 'R', 'I', 'G'};
    for (const Case& c : cases) {
        const QString how = QString::fromLatin1(c.how);
        if (how == QLatin1String("bar"))
            clickViewBar(c.view);
        else if (how == QLatin1String("menu"))
            action(QStringLiteral("mnuViewItem(%1)").arg(c.view))->trigger();
        else
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : m_main,
                            Qt::Key(Qt::Key_A + (letters[c.view] - 'A')), Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(m_main->vistaCorrente(), c.view) << c.how << c.view;
        EXPECT_EQ(qobject_cast<QLabel*>(child(QStringLiteral("lblTitle")))->text(), QString::fromUtf8(c.title));
        for (int i = 0; i < frmMain::kNumeroViste; ++i)
            EXPECT_EQ(action(QStringLiteral("mnuViewItem(%1)").arg(i))->isChecked(), i == c.view);
        EXPECT_FALSE(child(QStringLiteral("picStart"))->isVisible());
        EXPECT_TRUE(grid()->isVisible());
        EXPECT_TRUE(action(QStringLiteral("mnuFileItem(0)"))->isEnabled());
        EXPECT_TRUE(action(QStringLiteral("tbButton(5)"))->isEnabled()); // the report chooser, a printer being installed
    }
    EXPECT_TRUE(m_calls.isEmpty());
}

TEST_F(MainWindowFixture, ListsTheCurrentProfessionalsRowsWithSharedOnes)
{
    addSection2();
    session().sezId = 2;
    addClient(QStringLiteral("Bianchi"), 2);
    addClient(QStringLiteral("D'Amico"), 1, true);
    addClient(QStringLiteral("Privato dell'altro"), 1, false);
    addPayment(QStringLiteral("Rimessa diretta"), 2);
    addPayment(QStringLiteral("Bonifico 30 gg"), 1, true);
    addPayment(QStringLiteral("Riservato"), 1, false);
    exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) "
                        "VALUES ('Consulenza', '22', 1234.5, 2, 0)"));
    exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) "
                        "VALUES ('Altrui', '22', 10, 1, 0)"));
    open();
    EXPECT_EQ(qobject_cast<QLabel*>(child(QStringLiteral("Professionista")))->text(), QStringLiteral(" Maria D'Amico "));

    action(QStringLiteral("mnuViewItem(2)"))->trigger();
    EXPECT_EQ(columnTexts(2), (QStringList{QStringLiteral("Bianchi"), QStringLiteral("D'Amico")}));
    action(QStringLiteral("mnuViewItem(5)"))->trigger();
    EXPECT_EQ(columnTexts(2), (QStringList{QStringLiteral("Bonifico 30 gg"), QStringLiteral("Rimessa diretta")}));
    action(QStringLiteral("mnuViewItem(3)"))->trigger();
    EXPECT_EQ(columnTexts(2), QStringList{QStringLiteral("Consulenza")});
    // Amounts of the price list show with the amount format.
    EXPECT_EQ(grid()->cellText(1, 4), QStringLiteral("1.234,50"));
    // VAT codes belong to everyone; the flags read Sì when the code bears the charge.
    action(QStringLiteral("mnuViewItem(4)"))->trigger();
    EXPECT_EQ(grid()->rowCount(), 8);
    auto rowOf = [&](const QString& code) {
        for (int r = 1; r <= grid()->rowCount(); ++r)
            if (grid()->cellText(r, 1) == code)
                return r;
        return 0;
    };
    ASSERT_GT(rowOf(QStringLiteral("N1")), 0);
    EXPECT_EQ(grid()->cellText(rowOf(QStringLiteral("N1")), 3), QStringLiteral("No"));
    EXPECT_EQ(grid()->cellText(rowOf(QStringLiteral("N1")), 4), QStringLiteral("No"));
    EXPECT_EQ(grid()->cellText(rowOf(QStringLiteral("22")), 3), QStringLiteral("Sì"));
    EXPECT_EQ(grid()->column(3).caption(), QStringLiteral("Rit. Prev."));
    EXPECT_EQ(grid()->column(4).caption(), QStringLiteral("Rit. Acc."));
}

TEST_F(MainWindowFixture, DocumentViewsFollowTheWorkingYear)
{
    const int cli = addClient(QStringLiteral("Rossi"), 1);
    const int orfano = 9999; // a document whose client row is gone does not list
    struct Doc {
        int tipo;
        QDate data;
        int cliente;
    };
    const Doc docs[] = {
        {2, QDate(2025, 5, 1), cli},  {2, QDate(2026, 12, 31), cli}, {2, QDate(2027, 1, 1), cli},
        {0, QDate(2025, 12, 31), cli}, {0, QDate(2026, 1, 1), cli},   {1, QDate(2026, 6, 1), cli},
        {0, QDate(2026, 7, 1), orfano}, {2, QDate(2031, 2, 1), cli},   {0, QDate(2031, 2, 1), cli},
    };
    for (const Doc& d : docs)
        addDocument(1, d.tipo, d.data, d.cliente);
    open();

    struct Case {
        QDate lavoro;
        int proForma;
        int fatture;
    };
    // From 2030 on a two-digit year would read as 19xx and empty the pro forma list.
    const Case cases[] = {{QDate(2026, 3, 15), 2, 2}, {QDate(2025, 1, 1), 1, 1}, {QDate(2031, 6, 30), 4, 1}};
    for (const Case& c : cases) {
        ImpostaDataLavoro(c.lavoro);
        action(QStringLiteral("mnuViewItem(0)"))->trigger();
        EXPECT_EQ(grid()->rowCount(), c.proForma) << c.lavoro.toString().toStdString();
        action(QStringLiteral("mnuViewItem(1)"))->trigger();
        EXPECT_EQ(grid()->rowCount(), c.fatture) << c.lavoro.toString().toStdString();
    }
}

TEST_F(MainWindowFixture, RowStylesMarkOpenProFormasAndCreditNotes)
{
    const int cli = addClient(QStringLiteral("Rossi"), 1);
    const QDate d = QDate::currentDate();
    addDocument(1, 2, d, cli, 1, false);
    addDocument(1, 2, d.addDays(-1), cli, 2, true);
    addDocument(1, 0, QDate(d.year(), 1, 1), cli, 1);
    addDocument(1, 1, QDate(d.year(), 1, 1), cli, 2);
    open();
    QAbstractItemModel* model = grid()->view()->model();
    auto bold = [&](int row) { return model->data(model->index(row - 1, 1), Qt::FontRole).value<QFont>().bold(); };
    auto red = [&](int row) {
        return model->data(model->index(row - 1, 1), Qt::ForegroundRole).value<QBrush>().color() == QColor(Qt::red);
    };

    action(QStringLiteral("mnuViewItem(0)"))->trigger();
    ASSERT_EQ(grid()->rowCount(), 2);
    // Sorted by date: the invoiced one (yesterday) first, plain; the open one bold.
    EXPECT_FALSE(bold(1));
    EXPECT_TRUE(bold(2));
    action(QStringLiteral("mnuViewItem(1)"))->trigger();
    ASSERT_EQ(grid()->rowCount(), 2);
    EXPECT_FALSE(red(1));
    EXPECT_TRUE(red(2));
    EXPECT_EQ(grid()->cellText(1, 6), QStringLiteral("100,00"));
}

TEST_F(MainWindowFixture, ColumnSettingsAndWidthsPerView)
{
    open();
    action(QStringLiteral("mnuViewItem(1)"))->trigger();
    QTableView* view = grid()->view();
    // Keys and the kind column are hidden; the prefix column has no caption and a fixed width.
    EXPECT_TRUE(view->isColumnHidden(0));
    EXPECT_TRUE(view->isColumnHidden(7) || grid()->column(8).width() > 0);
    EXPECT_EQ(grid()->column(3).caption(), QString());
    EXPECT_EQ(view->horizontalHeader()->sectionResizeMode(2), QHeaderView::Fixed);
    EXPECT_EQ(view->horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
    EXPECT_EQ(grid()->column(2).width(), 1000);
    EXPECT_EQ(grid()->column(4).width(), 1170);
    // The client column takes half of what the fixed columns leave, the amounts a quarter each.
    EXPECT_NEAR(grid()->column(5).width(), 2 * grid()->column(6).width(), 2);

    action(QStringLiteral("mnuViewItem(5)"))->trigger();
    EXPECT_TRUE(view->isColumnHidden(0));
    EXPECT_EQ(view->horizontalHeader()->sectionResizeMode(2 - 1), QHeaderView::Interactive);
    const int ampia = grid()->column(2).width();
    EXPECT_GT(ampia, 3000);

    // Narrower than its fixed columns, the free width counts as nothing: no negative widths.
    action(QStringLiteral("mnuViewItem(4)"))->trigger();
    m_main->resize(m_main->minimumSize());
    grid()->resize(40, grid()->height());
    m_main->resize(m_main->minimumWidth(), m_main->minimumHeight() + 1);
    EXPECT_GE(grid()->column(2).width(), 0);
    EXPECT_EQ(grid()->column(1).width(), 960);
}

TEST_F(MainWindowFixture, ResizingBelowTheMinimumSnapsBackInThatDirectionOnly)
{
    open();
    const QSize minimo = m_main->minimumSize();
    EXPECT_EQ(minimo.width(), m_main->logicalDpiX() * 9405 / 1440);
    m_main->resize(100, minimo.height() + 200);
    EXPECT_EQ(m_main->width(), minimo.width());
    EXPECT_EQ(m_main->height(), minimo.height() + 200);
    m_main->resize(minimo.width() + 300, 50);
    EXPECT_EQ(m_main->width(), minimo.width() + 300);
    EXPECT_EQ(m_main->height(), minimo.height());
}

TEST_F(MainWindowFixture, SetLayWithoutAViewRefreshesOnlyTheStatusBar)
{
    open();
    ImpostaDataLavoro(QDate(2031, 1, 6));
    exec(QStringLiteral("UPDATE Sezioni SET sezTitolo='Dott.' WHERE sezId=1"));
    frmMain::SetLay();
    EXPECT_TRUE(child(QStringLiteral("picStart"))->isVisible());
    EXPECT_FALSE(action(QStringLiteral("mnuFileItem(0)"))->isEnabled());
    EXPECT_EQ(qobject_cast<QLabel*>(child(QStringLiteral("WorkData")))->text(),
              QString::fromUtf8(" lunedì - 6 gennaio 2031 "));
    EXPECT_EQ(qobject_cast<QLabel*>(child(QStringLiteral("Professionista")))->text(),
              QStringLiteral("Dott. Amministratore  "));
}
