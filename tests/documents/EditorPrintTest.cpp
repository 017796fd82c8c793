// The main road end to end: an invoice typed into the editor, saved by its
// PDF button and read back from the file.
#include "EditorDriver.h"

#include "platform/ui/MsgBoxStyle.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {

QString pdfText(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    p.waitForFinished(30000);
    QString text = QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

} // namespace

class EditorPrintTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        // The default layouts, as a first start stores them.
        int n = 0;
        const ModelloPredefinito* modelli = ModelliPredefiniti(&n);
        for (int t = 0; t < n; ++t) {
            const QString file = QString::fromUtf8(modelli[t].file);
            ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(CORVESSA_PROGRAM_DIR)).filePath(file), QDir(AppPath()).filePath(file)));
        }
        CaricaModelli();
    }
};

TEST_F(EditorPrintTest, AnInvoiceTypedInTheEditorComesOutAsAPdf)
{
    frm_fattura::Nuovo(0);
    ASSERT_TRUE(frm_fattura::IsLoaded());
    chooseClient(QStringLiteral("D'A"));
    enterLine({}, QStringLiteral("2"), QStringLiteral("Consulenza"), QStringLiteral("500"));
    enterLine(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("Relazione"), QStringLiteral("250"));

    const QString pdf = QDir(m_home.path()).filePath(QStringLiteral("fattura-1.pdf"));
    m_dialogs.answerSaveFile(pdf);
    QTest::mouseClick(control<QPushButton>(QStringLiteral("cmdPDF")), Qt::LeftButton);

    EXPECT_FALSE(frm_fattura::IsLoaded()) << "the editor closes after the export";
    ASSERT_TRUE(QFileInfo::exists(pdf)) << m_dialogs.messages().join(QLatin1Char('\n')).toStdString();
    if (qEnvironmentVariableIsSet("CORVESSA_KEEP_PDF"))
        QFile::copy(pdf, qEnvironmentVariable("CORVESSA_KEEP_PDF"));
    const QString text = pdfText(pdf);
    // 22: 1000 + 40 surcharge = 1040, VAT 228,80, withholding 200.
    // 10: 250 + 10 surcharge = 260, VAT 26,00, withholding 50.
    for (const char* expected : {"Fattura", "05/03/2024", "D'Amico", "Consulenza", "Relazione", "1.000,00", "250,00",
                                 "Riepilogo IVA", "228,80", "26,00", "50,00", "1.300,00", "254,80", "1.554,80", "250,00",
                                 "Netto dovuto", "1.304,80", "Pagina 1 di 1"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatTipo=0")), 1);
}
