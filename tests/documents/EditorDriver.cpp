#include "EditorDriver.h"

#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/DataCombo.h"
#include "startup/Section.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

void EditorTest::SetUp()
{
    ProgramFixture::SetUp();
    useUpgradedDatabase();
    session().sezId = 1;
    CaricaSezione();
    ImpostaDataLavoro(QDate(2024, 3, 5));
    exec(QStringLiteral("INSERT INTO CliFor (cliNome, cliIndirizzo, cliCAP, cliLocalita, cliProvincia, SostImposta, cliShared, "
                        "sezId, cliPagamento) VALUES ('D''Amico Studio', 'Via Roma 1', '00100', 'Roma', 'RM', True, False, 1, 0)"));
    m_cliId = scalar(QStringLiteral("SELECT cliId FROM CliFor WHERE cliNome='D''Amico Studio'")).toInt();
}

void EditorTest::TearDown()
{
    frm_fattura::Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ProgramFixture::TearDown();
}

QWidget* EditorTest::focused() const { return QApplication::focusWidget(); }

void EditorTest::focus(QWidget* w)
{
    editor()->activateWindow();
    QApplication::setActiveWindow(editor());
    w->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
}

void EditorTest::type(const QString& text)
{
    for (const QChar c : text) {
        QWidget* w = focused();
        ASSERT_NE(w, nullptr);
        QTest::keyClick(w, c.toLatin1());
    }
}

void EditorTest::key(int qtKey, Qt::KeyboardModifiers modifiers)
{
    QWidget* w = focused();
    ASSERT_NE(w, nullptr);
    QTest::keyClick(w, static_cast<Qt::Key>(qtKey), modifiers);
    QCoreApplication::processEvents();
}

void EditorTest::chooseClient(const QString& start)
{
    focus(control<ui::DataCombo>(QStringLiteral("dtcData(0)")));
    type(start);
    key(Qt::Key_Tab);
}

void EditorTest::enterLine(const QString& code, const QString& quantity, const QString& description, const QString& price)
{
    auto* grid = control<grid::GridEx>(QStringLiteral("gexdet"));
    if (!grid->isAncestorOf(focused())) {
        focus(control<QPlainTextEdit>(QStringLiteral("txtData(1)")));
        key(Qt::Key_Tab);
    }
    ASSERT_TRUE(grid->isAncestorOf(focused()));
    ASSERT_TRUE(grid->isNewRowLine(grid->row()));
    // Cod.IVA, Quantità, (fdtUM hidden), Descrizione, Importo, by Tab.
    if (!code.isEmpty())
        type(code);
    key(Qt::Key_Tab);
    if (!quantity.isEmpty()) {
        type(quantity);
    }
    key(Qt::Key_Tab);
    type(description);
    key(Qt::Key_Tab);
    type(price);
    key(Qt::Key_Return); // writes the line
    QCoreApplication::processEvents();
}

void EditorTest::clickSave()
{
    QTest::mouseClick(control<QPushButton>(QStringLiteral("cmdSave")), Qt::LeftButton);
    QCoreApplication::processEvents();
}

std::int32_t EditorTest::saveSimpleDocument(int kind, const QString& prefix)
{
    frm_fattura::Nuovo(kind);
    frm_fattura* f = editor();
    EXPECT_NE(f, nullptr);
    if (!f)
        return 0;
    const std::int32_t id = f->documentId();
    if (!prefix.isEmpty()) {
        focus(control<QLineEdit>(QStringLiteral("txtData(9)")));
        type(prefix);
    }
    chooseClient(QStringLiteral("D"));
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    clickSave();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frm_fattura::IsLoaded());
    return id;
}

QVariant EditorTest::scalar(const QString& sql) const
{
    db::Recordset rs;
    rs.open(sql, session().dataConStr, db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
    QVariant result;
    if (!rs.eof()) {
        const core::Variant v = rs.value(0);
        if (v.isString())
            result = v.toString();
        else if (!v.isEmptyOrNull())
            result = v.toDouble();
    }
    rs.close();
    return result;
}
