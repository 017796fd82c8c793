// A saved document opened again: a header field changed alone is stored.
#include "EditorDriver.h"

#include "platform/ui/DataCombo.h"
#include "platform/ui/DateBox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>
#include <ostream>

namespace {

struct HeaderEdit {
    const char* name;
    // Edits one field of the opened editor as a user does.
    std::function<void(EditorTest&)> edit;
    const char* column;
    // The stored value expected, as text (numbers compared by value).
    std::function<QString(EditorTest&)> expected;
};

void PrintTo(const HeaderEdit& c, std::ostream* os) { *os << c.name; }

class EditorHeaderSave : public EditorTest, public ::testing::WithParamInterface<HeaderEdit> {
public:
    using EditorTest::chooseClient;
    using EditorTest::control;
    using EditorTest::focus;
    using EditorTest::key;
    using EditorTest::scalar;
    using EditorTest::type;
};

EditorHeaderSave& self(EditorTest& t) { return static_cast<EditorHeaderSave&>(t); }

template <typename T>
T* widget(EditorTest& t, const char* name)
{
    return self(t).control<T>(QString::fromLatin1(name));
}

void typeInto(EditorTest& t, QWidget* w, const QString& text)
{
    self(t).focus(w);
    self(t).type(text);
    self(t).key(Qt::Key_Tab);
}

TEST_P(EditorHeaderSave, AFieldChangedAloneIsStored)
{
    const HeaderEdit& c = GetParam();
    exec(QStringLiteral("INSERT INTO CliFor (cliNome, sezId, cliShared, SostImposta, cliPagamento) VALUES ('Zeta Studio', 1, "
                        "False, False, 0)"));
    exec(QStringLiteral("INSERT INTO Pagamenti (pagDescrizione, pagNoteFat, sezId, pagShared) VALUES ('Contanti', '', 1, "
                        "False)"));
    const std::int32_t id = saveSimpleDocument(0);
    frm_fattura::Modifica(id);
    ASSERT_TRUE(frm_fattura::IsLoaded());
    c.edit(*this);
    clickSave();
    ASSERT_FALSE(frm_fattura::IsLoaded()) << m_dialogs.messages().join(QStringLiteral(" | ")).toStdString();
    const QVariant stored = scalar(QStringLiteral("SELECT ") + QString::fromLatin1(c.column)
                                   + QStringLiteral(" FROM Fatture WHERE fatId=") + QString::number(id));
    EXPECT_EQ(stored.toString(), c.expected(*this));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, EditorHeaderSave,
    ::testing::Values(
        HeaderEdit{"Description",
                   [](EditorTest& t) { typeInto(t, widget<QLineEdit>(t, "txtData(8)"), QStringLiteral("Consulenza marzo")); },
                   "fatDescrizione", [](EditorTest&) { return QStringLiteral("Consulenza marzo"); }},
        HeaderEdit{"Notes",
                   [](EditorTest& t) { typeInto(t, widget<QPlainTextEdit>(t, "txtData(1)"), QStringLiteral("Pagato")); },
                   "fatNote", [](EditorTest&) { return QStringLiteral("Pagato"); }},
        HeaderEdit{"Date",
                   [](EditorTest& t) {
                       auto* dtp = widget<ui::DateBox>(t, "dtp");
                       self(t).focus(dtp);
                       dtp->selectAll();
                       self(t).type(QStringLiteral("20/03/2024"));
                       self(t).key(Qt::Key_Tab);
                   },
                   "Day(fatData)", [](EditorTest&) { return QStringLiteral("20"); }},
        HeaderEdit{"Client", [](EditorTest& t) { self(t).chooseClient(QStringLiteral("Z")); }, "fatCliForId",
                   [](EditorTest& t) {
                       return self(t).scalar(QStringLiteral("SELECT cliId FROM CliFor WHERE cliNome='Zeta Studio'")).toString();
                   }},
        HeaderEdit{"Payment",
                   [](EditorTest& t) {
                       self(t).focus(widget<ui::DataCombo>(t, "dtcData(1)"));
                       self(t).type(QStringLiteral("C"));
                       self(t).key(Qt::Key_Tab);
                   },
                   "fatCliForPag",
                   [](EditorTest& t) {
                       return self(t).scalar(QStringLiteral("SELECT pagId FROM Pagamenti WHERE pagDescrizione='Contanti'"))
                           .toString();
                   }},
        HeaderEdit{"Withholding",
                   [](EditorTest& t) {
                       auto* box = widget<QCheckBox>(t, "chkData(0)");
                       ASSERT_TRUE(box->isChecked());
                       self(t).focus(box);
                       self(t).key(Qt::Key_Space);
                   },
                   "fatpcRitAcc", [](EditorTest&) { return QStringLiteral("0"); }}),
    [](const ::testing::TestParamInfo<HeaderEdit>& info) { return info.param.name; });

} // namespace
