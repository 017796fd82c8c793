// Two users on one document: another machine saves its change first, this
// editor saves second. The second save must not overwrite the first.
#include "EditorDriver.h"

#include "platform/database/Recordset.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/MsgBoxStyle.h"

#include <QLineEdit>
#include <ostream>

namespace {

const QString kConflict = QStringLiteral("Conflitto in multiutenza - Record impegnato o eliminato da un altro utente.");
constexpr int kColImporto = 7; // fdtImporto in the detail grid

struct ConflictCase {
    const char* name;
    const char* otherUser; // %1: the document's fatId
    // What the other user's save leaves in the file, which must stay.
    const char* storedPrice;
    const char* storedDescription;
};

void PrintTo(const ConflictCase& c, std::ostream* os)
{
    *os << c.name;
}

class EditorConflict : public EditorTest, public ::testing::WithParamInterface<ConflictCase> {};

TEST_P(EditorConflict, TheSecondSaveIsRefusedWritesNothingAndKeepsItsEdits)
{
    const ConflictCase& c = GetParam();
    const std::int32_t id = saveSimpleDocument(0);
    const QString doc = QString::number(id);
    frm_fattura::Modifica(id);
    ASSERT_TRUE(frm_fattura::IsLoaded());

    // This user raises the line's price and gives the document a description...
    auto* grid = control<grid::GridEx>(QStringLiteral("gexdet"));
    grid->setRow(1);
    grid->setValue(kColImporto, core::Variant(core::Currency::fromUnits(150)));
    ASSERT_TRUE(grid->commitRowEdit());
    focus(control<QLineEdit>(QStringLiteral("txtData(8)")));
    type(QStringLiteral("Nostra"));
    key(Qt::Key_Tab);
    // ...while the other user changes the same line, or the same header field, and saves.
    exec(QString::fromLatin1(c.otherUser).arg(doc));

    m_dialogs.answerMessageBox(ui::vbOK);
    clickSave();

    EXPECT_EQ(m_dialogs.messages(), QStringList{kConflict});
    ASSERT_TRUE(frm_fattura::IsLoaded());
    // Nothing of this save is in the file: the other user's change stays, and
    // neither the line, the VAT row nor the header totals took this user's price.
    EXPECT_EQ(scalar(QStringLiteral("SELECT fdtImporto FROM FattureDettaglio WHERE fdtfatId=") + doc).toDouble(),
              QString::fromLatin1(c.storedPrice).toDouble());
    EXPECT_EQ(scalar(QStringLiteral("SELECT fatDescrizione FROM Fatture WHERE fatId=") + doc).toString(),
              QString::fromLatin1(c.storedDescription));
    EXPECT_EQ(scalar(QStringLiteral("SELECT fciImporto FROM FattureIva WHERE fcifatId=") + doc).toDouble(), 100.0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT fatTotImporto FROM Fatture WHERE fatId=") + doc).toDouble(), 100.0);
    // The editor still holds every edit, ready for the user to decide.
    EXPECT_EQ(editor()->document().lineRows().value(QStringLiteral("fdtImporto")).toDouble(), 150.0);
    EXPECT_EQ(editor()->document().header(QStringLiteral("fatDescrizione")).toString(), QStringLiteral("Nostra"));
    EXPECT_EQ(editor()->document().header(QStringLiteral("fatTotImporto")).toDouble(), 150.0);
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtData(8)"))->text(), QStringLiteral("Nostra"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditorConflict,
    ::testing::Values(
        ConflictCase{"ALine", "UPDATE FattureDettaglio SET fdtImporto = 90, fdtTotRiga = 90 WHERE fdtfatId = %1", "90", ""},
        ConflictCase{"TheHeader", "UPDATE Fatture SET fatDescrizione = 'Loro' WHERE fatId = %1", "100", "Loro"}),
    [](const ::testing::TestParamInfo<ConflictCase>& info) { return info.param.name; });

} // namespace
