// The editor by keyboard: a typed date, the required client, Enter on
// the save button and a client found by a name with a space.
#include "EditorDriver.h"
#include "support/TypedNumbers.h"

#include "platform/ui/DataCombo.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/MsgBoxStyle.h"

#include "platform/grid/GridEx.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTableView>
#include <QPlainTextEdit>
#include <QApplication>
#include <QPushButton>
#include <QTest>

TEST_F(EditorTest, TheDocumentDateIsTypedAndAnImpossibleOneRefused)
{
    frm_fattura::Nuovo(0);
    auto* dtp = control<ui::DateBox>(QStringLiteral("dtp"));
    EXPECT_EQ(dtp->text(), QStringLiteral("05/03/2024"));
    focus(dtp);
    dtp->selectAll();
    type(QStringLiteral("30022024"));
    m_dialogs.answerMessageBox(ui::vbOK);
    key(Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(editor()->document().header(QStringLiteral("fatData")).toDate(), QDate(2024, 3, 5));
    EXPECT_EQ(dtp->text(), QStringLiteral("05/03/2024"));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("febbraio 2024 ha 29 giorni")));
    // The client combo, reached by that Enter, keeps the focus until a client is chosen.
    EXPECT_EQ(focused(), control<ui::DataCombo>(QStringLiteral("dtcData(0)")));

    chooseClient(QStringLiteral("D'A"));
    focus(dtp);
    dtp->selectAll();
    type(QStringLiteral("15/3/24"));
    key(Qt::Key_Return); // Enter moves on, with the date taken
    EXPECT_EQ(editor()->document().header(QStringLiteral("fatData")).toDate(), QDate(2024, 3, 15));
    EXPECT_EQ(focused(), control<ui::DataCombo>(QStringLiteral("dtcData(0)")));
}

TEST_F(EditorTest, EnterStaysInTheClientComboUntilAClientIsChosen)
{
    exec(QStringLiteral("INSERT INTO CliFor (cliNome, sezId, cliShared) VALUES ('Studio Bianchi', 1, False)"));
    exec(QStringLiteral("INSERT INTO CliFor (cliNome, sezId, cliShared) VALUES ('Studio Associato Verdi', 1, False)"));
    frm_fattura::Nuovo(0);
    auto* client = control<ui::DataCombo>(QStringLiteral("dtcData(0)"));
    focus(client);
    key(Qt::Key_Return);
    EXPECT_EQ(focused(), client);

    // A name with a space is found as typed; the list stays closed.
    type(QStringLiteral("studio b"));
    EXPECT_FALSE(client->view()->isVisible());
    EXPECT_EQ(client->listText(), QStringLiteral("Studio Bianchi"));
    key(Qt::Key_Return);
    EXPECT_EQ(focused(), control<ui::DataCombo>(QStringLiteral("dtcData(1)")));
    EXPECT_EQ(editor()->document().header(QStringLiteral("fatCliForId")).toLong(),
              scalar(QStringLiteral("SELECT cliId FROM CliFor WHERE cliNome='Studio Bianchi'")).toInt());
}

TEST_F(EditorTest, EnterOnTheFocusedSaveButtonSaves)
{
    frm_fattura::Nuovo(0);
    const std::int32_t id = editor()->documentId();
    chooseClient(QStringLiteral("D'A"));
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    // Enter on the empty new line goes to Salva; Enter there presses it.
    key(Qt::Key_Return);
    ASSERT_EQ(focused(), control<QPushButton>(QStringLiteral("cmdSave")));
    key(Qt::Key_Return);
    EXPECT_FALSE(frm_fattura::IsLoaded());
    EXPECT_EQ(count(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatId=") + QString::number(id)), 1);
}

TEST_F(EditorTest, AClientTypedWithCapitalsIsTheOneStored)
{
    for (const char* name : {"Studio Rossi", "Studio Bianchi", "Studio Bellini", "Bianchi Mario"})
        exec(QStringLiteral("INSERT INTO CliFor (cliNome, sezId, cliShared) VALUES ('%1', 1, False)").arg(QLatin1String(name)));
    frm_fattura::Nuovo(0);
    const std::int32_t id = editor()->documentId();
    focus(control<ui::DataCombo>(QStringLiteral("dtcData(0)")));
    // As a keyboard types a capital: Shift pressed alone, the letter, Shift let go.
    for (const QChar c : QStringLiteral("Studio Bianchi"))
        QTest::keyClick(focused(), c.toLatin1(), c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
    key(Qt::Key_Tab);
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    clickSave();
    EXPECT_FALSE(frm_fattura::IsLoaded());
    EXPECT_EQ(scalar(QStringLiteral("SELECT cliNome FROM Fatture INNER JOIN CliFor ON fatCliForId=cliId WHERE fatId=")
                     + QString::number(id))
                  .toString(),
              QStringLiteral("Studio Bianchi"));
}

TEST_F(EditorTest, ALinesPriceIsStoredAsTypedTheItalianWayOrRefused)
{
    for (const TypedNumber& c : typedNumbers()) {
        SCOPED_TRACE(c.typed);
        // The cell filters no comma nor point: a text the boxes would cut short stays whole, and unread.
        const std::optional<double> value = QLatin1String(c.typed) == QLatin1String(c.shown) ? c.value : std::nullopt;
        frm_fattura::Nuovo(0);
        const std::int32_t id = editor()->documentId();
        chooseClient(QStringLiteral("D'A"));
        enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QString::fromLatin1(c.typed));
        if (!value)
            m_dialogs.answerMessageBox(ui::vbOK);
        clickSave();
        EXPECT_EQ(frm_fattura::IsLoaded(), !value);
        if (value) {
            EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT fdtImporto FROM FattureDettaglio WHERE fdtFatId=") + QString::number(id))
                                 .toDouble(),
                             *value);
        } else {
            ASSERT_EQ(m_dialogs.messages().size(), 1);
            EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("incompleta")));
            key(Qt::Key_Escape); // drops the line being typed
            frm_fattura::Unload();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM FattureDettaglio WHERE fdtFatId=") + QString::number(id)), 0);
        }
        restartDialogs();
    }
}

TEST_F(EditorTest, AnImpossibleDateClickedAwayToSalvaIsRefusedAndTheEditorStays)
{
    frm_fattura::Nuovo(0);
    const std::int32_t id = editor()->documentId();
    chooseClient(QStringLiteral("D'A"));
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    auto* dtp = control<ui::DateBox>(QStringLiteral("dtp"));
    focus(dtp);
    dtp->selectAll();
    type(QStringLiteral("31/02/2024"));
    m_dialogs.answerMessageBox(ui::vbOK);
    clickSave(); // the mouse, with the text still in the box
    ASSERT_TRUE(frm_fattura::IsLoaded()) << "closed as if saved";
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("febbraio 2024 ha 29 giorni")));
    EXPECT_EQ(focused(), dtp);
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM FattureDettaglio WHERE fdtFatId=") + QString::number(id)), 0)
        << "saved";
    // The date typed again is taken by the same click.
    dtp->selectAll();
    type(QStringLiteral("29/02/2024"));
    clickSave();
    EXPECT_FALSE(frm_fattura::IsLoaded());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Format(fatData, 'dd/mm/yyyy') FROM Fatture WHERE fatId=") + QString::number(id)).toString(),
              QStringLiteral("29/02/2024"));
}

TEST_F(EditorTest, F4OnAVatCodeAtRestOpensItsListAndThePickIsKept)
{
    const std::int32_t id = saveSimpleDocument(0);
    frm_fattura::Modifica(id);
    ASSERT_TRUE(frm_fattura::IsLoaded());
    auto* grid = control<grid::GridEx>(QStringLiteral("gexdet"));
    focus(control<QPlainTextEdit>(QStringLiteral("txtData(1)")));
    key(Qt::Key_Tab); // into the lines, on the new line's VAT code
    key(Qt::Key_Up);  // the saved line, its VAT code at rest
    ASSERT_EQ(grid->row(), 1);
    ASSERT_EQ(focused(), static_cast<QWidget*>(grid->view()));

    key(Qt::Key_F4);
    QComboBox* list = nullptr;
    for (auto* combo : grid->findChildren<QComboBox*>()) {
        if (combo->view()->isVisible())
            list = combo;
    }
    ASSERT_NE(list, nullptr) << "F4 opened no list";
    // Another code than the line's own (the default, 22); the list shows code and description.
    int other = -1;
    for (int i = 0; i < list->count() && other < 0; ++i) {
        if (!list->itemText(i).isEmpty() && list->itemText(i).section(QLatin1Char(' '), 0, 0) != QStringLiteral("22"))
            other = i;
    }
    ASSERT_GE(other, 0);
    const QString picked = list->itemText(other).section(QLatin1Char(' '), 0, 0);
    for (int i = 0; i < list->count() && list->view()->currentIndex().row() != other; ++i)
        key(list->view()->currentIndex().row() < other ? Qt::Key_Down : Qt::Key_Up);
    key(Qt::Key_Return); // picks the code; the list closes
    QCoreApplication::processEvents();
    EXPECT_FALSE(list->view()->isVisible());

    // Salva clicked with the line still in edit: the pick is written with it.
    clickSave();
    EXPECT_FALSE(frm_fattura::IsLoaded());
    EXPECT_EQ(scalar(QStringLiteral("SELECT fdtCodiceIVA FROM FattureDettaglio WHERE fdtfatId=") + QString::number(id)).toString(),
              picked);
    EXPECT_EQ(scalar(QStringLiteral("SELECT fciCodiceIva FROM FattureIVA WHERE fcifatId=") + QString::number(id)).toString(),
              picked);
}

TEST_F(EditorTest, TabFollowsTheScreenLeftToRightTopToBottom)
{
    // The name of the focused control; a cell of the lines counts as the grid.
    auto stops = [this](QWidget* from, int tabs) {
        focus(from);
        QStringList seen;
        for (int i = 0; i < tabs; ++i) {
            QString name = focused() ? focused()->objectName() : QStringLiteral("-");
            if (control<grid::GridEx>(QStringLiteral("gexdet"))->isAncestorOf(focused()))
                name = QStringLiteral("gexdet");
            if (seen.isEmpty() || seen.back() != name)
                seen << name;
            key(Qt::Key_Tab);
        }
        return seen.join(QLatin1Char(' ')).toStdString();
    };

    // A new document starts at its kind, then the series and the date.
    frm_fattura::Nuovo(0);
    EXPECT_EQ(stops(control<QWidget>(QStringLiteral("cmbData(0)")), 4), "cmbData(0) txtData(9) dtp dtcData(0)");
    chooseClient(QStringLiteral("D'A"));
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    clickSave();
    ASSERT_FALSE(frm_fattura::IsLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Opened again (kind and series fixed): the whole round, back to the date.
    frm_fattura::Modifica(static_cast<std::int32_t>(count(QStringLiteral("SELECT Max(fatId) FROM Fatture"))));
    ASSERT_TRUE(frm_fattura::IsLoaded());
    EXPECT_EQ(stops(control<QWidget>(QStringLiteral("dtp")), 22),
              "dtp dtcData(0) dtcData(1) txtData(8) txtData(1) gexdet chkData(0) cmdImportoPattuito cmdSave cmdPreview "
              "cmdPrint cmdPDF cmdIncassi cmdClose dtp dtcData(0) dtcData(1) txtData(8)");
}
