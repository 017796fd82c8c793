#include "reports/EsportaReport.h"

#include "platform/core/Error.h"
#include "platform/report/ExportFilter.h"
#include "platform/report/Report.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MsgBoxStyle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <exception>

namespace {

const FormatoEsportazione kFormati[] = {
    {kModoExcel, QStringLiteral(".xlsx"), QStringLiteral("Microsoft Excel (*.xlsx)|*.xlsx"),
     QString::fromLatin1(report::ExportFilter::kExcelClassId), QStringLiteral("Excel")},
    {kModoRtf, QStringLiteral(".rtf"), QStringLiteral("Rich Text Format (*.rtf)|*.rtf"),
     QString::fromLatin1(report::ExportFilter::kRtfClassId), QStringLiteral("RTF")},
    {kModoPdf, QStringLiteral(".pdf"), QStringLiteral("Acrobat reader (*.pdf)|*.pdf"),
     QString::fromLatin1(report::ExportFilter::kPdfClassId), QStringLiteral("PDF")},
    {kModoHtml, QStringLiteral(".html"), QStringLiteral("Formato HTML (*.html)|*.html"),
     QString::fromLatin1(report::ExportFilter::kHtmlClassId), QStringLiteral("HTML")},
};

void avvisa(const QString& testo)
{
    ui::msgBox(testo, ui::vbOKOnly | ui::vbExclamation);
}

// Puts the finished file in place of the target in one step (the target may exist).
void sostituisci(const QString& parziale, const QString& file)
{
    if (std::rename(QFile::encodeName(parziale).constData(), QFile::encodeName(file).constData()) != 0)
        throw core::Error(75, QStringLiteral("Impossibile scrivere il file '%1'").arg(QDir::toNativeSeparators(file)));
}

} // namespace

const FormatoEsportazione* FormatoDi(int modo)
{
    for (const auto& f : kFormati)
        if (f.modo == modo)
            return &f;
    return nullptr;
}

bool EsportaReport(report::Report& rpt, int modo)
{
    const FormatoEsportazione* formato = FormatoDi(modo);
    if (!formato)
        return false;
    const QString errore = QStringLiteral("Esportazione in %1 non riuscita: ").arg(formato->nome);
    try {
        if (!rpt.hasRun())
            rpt.run();
    } catch (const core::Error& e) {
        avvisa(errore + e.description());
        return false;
    }

    ui::FileDialogOptions opzioni;
    opzioni.defaultExt = formato->estensione;
    opzioni.filter = formato->filtro;
    const QString file = ui::getSaveFileName(opzioni);
    if (file.isEmpty())
        return false;

    const QFileInfo info(file);
    const QString parziale = info.absoluteDir().filePath(QStringLiteral(".") + info.fileName() + QStringLiteral(".part"));
    try {
        auto filtro = report::ExportFilter::create(formato->classe);
        filtro->setFileName(parziale);
        filtro->exportPages(rpt.pages());
        sostituisci(parziale, file);
        return true;
    } catch (const core::Error& e) {
        QFile::remove(parziale);
        // The user knows the file by the name chosen, not by the one written aside.
        avvisa(errore + QString(e.description()).replace(parziale, file));
    } catch (const std::exception& e) {
        QFile::remove(parziale);
        avvisa(errore + QString::fromLocal8Bit(e.what()));
    }
    return false;
}
