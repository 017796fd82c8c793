// Controls bound to a recordset's row: what the user types reaches the field
// only as a sound value (a real date, text without U+0000), and a data combo
// finds its rows as the user types.
#include "support/TestApplication.h"
#include "support/TestWindow.h"

#include "platform/database/Recordset.h"
#include "platform/ui/DataBinding.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/MsgBoxStyle.h"
#include "platform/ui/ScopedDialogHandler.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using core::Variant;
using namespace ui;

namespace {

db::Recordset oneDocument(const Variant& date)
{
    db::Recordset rs;
    rs.appendField({QStringLiteral("fatData"), db::DataType::Date, 0, true});
    rs.appendField({QStringLiteral("fatDescrizione"), db::DataType::VarWChar, 50, true});
    rs.appendField({QStringLiteral("fatNote"), db::DataType::LongVarWChar, 0, true});
    rs.openFabricated();
    rs.addNew();
    rs.setValue(0, date);
    rs.update();
    rs.moveFirst();
    return rs;
}

db::Recordset clients()
{
    db::Recordset rs;
    rs.appendField({QStringLiteral("cliId"), db::DataType::Integer, 0, true});
    rs.appendField({QStringLiteral("cliNome"), db::DataType::VarWChar, 50, true});
    rs.openFabricated();
    const std::pair<int, const char*> rows[] = {
        {4, "Rossi Mario"}, {7, "Studio Associato"}, {9, "Studio Bianchi"}, {12, "Verdi"}};
    for (const auto& [id, name] : rows) {
        rs.addNew();
        rs.setValue(0, id);
        rs.setValue(1, QString::fromLatin1(name));
        rs.update();
    }
    return rs;
}

// A form of a date box, a text box, a note and a data combo, then a box to move to.
struct Form : TestWindow {
    DateBox* dtp = add<DateBox>("dtp");
    QLineEdit* txt = add<QLineEdit>("txt");
    QPlainTextEdit* note = add<QPlainTextEdit>("note");
    DataCombo* dtc = add<DataCombo>("dtc");
    QLineEdit* last = add<QLineEdit>("last");

    Form() { showActive(); }
};

class DataControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        bareTestApplication();
        form = std::make_unique<Form>();
    }
    void TearDown() override { EXPECT_TRUE(dialogs.unexpected().isEmpty()) << dialogs.unexpected().join('\n').toStdString(); }

    void typeInto(QWidget* box, const QString& text)
    {
        box->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        if (auto* line = qobject_cast<QLineEdit*>(box))
            line->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Tab);
        QApplication::processEvents();
    }

    ScriptedDialogs dialogs;
    ScopedDialogHandler scope{dialogs};
    std::unique_ptr<Form> form;
};

} // namespace

TEST_F(DataControls, ABoundDateBoxStoresTypedDatesAndNothingElse)
{
    db::Recordset rs = oneDocument(QDate(2026, 1, 10));
    DataBinding binding;
    binding.setRecordset(rs);
    binding.bind(form->dtp, QStringLiteral("fatData"));
    EXPECT_EQ(form->dtp->text(), QStringLiteral("10/01/2026"));
    QSignalSpy changed(&binding, &DataBinding::fieldChanged);

    typeInto(form->dtp, QStringLiteral("15032026"));
    EXPECT_EQ(rs.value(QStringLiteral("fatData")).toDate(), QDate(2026, 3, 15));
    EXPECT_EQ(changed.size(), 1);

    dialogs.answerMessageBox(vbOK);
    typeInto(form->dtp, QStringLiteral("31/02/2026"));
    EXPECT_EQ(rs.value(QStringLiteral("fatData")).toDate(), QDate(2026, 3, 15));
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(dialogs.messages().size(), 1);

    // A date still being typed when the form saves is read then, or refused then.
    form->dtp->selectAll();
    QTest::keyClicks(form->dtp, QStringLiteral("1/4/26"));
    binding.commit();
    EXPECT_EQ(rs.value(QStringLiteral("fatData")).toDate(), QDate(2026, 4, 1));
}

TEST_F(DataControls, ANullDateShowsEmptyAndANullableBoxStoresNull)
{
    db::Recordset rs = oneDocument(Variant::null());
    DataBinding binding;
    binding.setRecordset(rs);
    binding.bind(form->dtp, QStringLiteral("fatData"));
    EXPECT_TRUE(form->dtp->isNull());
    EXPECT_EQ(form->dtp->text(), QString());

    typeInto(form->dtp, QStringLiteral("2/5/26"));
    EXPECT_EQ(rs.value(QStringLiteral("fatData")).toDate(), QDate(2026, 5, 2));

    form->dtp->setNullable(true);
    form->dtp->setFocus();
    form->dtp->selectAll();
    QTest::keyClick(form->dtp, Qt::Key_Delete);
    QTest::keyClick(form->dtp, Qt::Key_Tab);
    EXPECT_TRUE(rs.value(QStringLiteral("fatData")).isNull());
}

TEST_F(DataControls, BoundTextBoxesNeverStoreNul)
{
    db::Recordset rs = oneDocument(QDate(2026, 1, 10));
    DataBinding binding;
    binding.setRecordset(rs);
    binding.bind(form->txt, QStringLiteral("fatDescrizione"));
    binding.bind(form->note, QStringLiteral("fatNote"));
    const QString withNul = QStringLiteral("Consulenza") + QChar(0) + QStringLiteral(" marzo");

    form->txt->setFocus();
    form->txt->insert(withNul); // a paste
    EXPECT_EQ(rs.value(QStringLiteral("fatDescrizione")).toString(), QStringLiteral("Consulenza marzo"));
    form->note->setFocus();
    form->note->insertPlainText(withNul);
    EXPECT_EQ(rs.value(QStringLiteral("fatNote")).toString(), QStringLiteral("Consulenza marzo"));
    EXPECT_EQ(form->note->toPlainText(), QStringLiteral("Consulenza marzo"));
}

TEST_F(DataControls, ADataComboFindsARowByItsNameSpacesIncluded)
{
    db::Recordset rs = clients();
    form->dtc->setRowSource(rs, QStringLiteral("cliId"), QStringLiteral("cliNome"));
    int chosen = 0;
    QObject::connect(form->dtc, &DataCombo::valueChosen, [&chosen] { ++chosen; });
    form->dtc->setFocus();
    QTest::keyClicks(form->dtc, QStringLiteral("Studio B"));
    EXPECT_FALSE(form->dtc->view()->isVisible());
    EXPECT_EQ(form->dtc->boundValue().toLong(), 9);
    EXPECT_GE(chosen, 1);
    QTest::keyClick(form->dtc, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->last);

    form->dtc->setFocus();
    QTest::keyClick(form->dtc, Qt::Key_F4);
    EXPECT_TRUE(form->dtc->view()->isVisible());
    form->dtc->hidePopup();
}
