#include "output/EsportaPagine.h"

#include "platform/core/Error.h"
#include "platform/report/ExportFilter.h"
#include "platform/report/Report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

void EsportaPagine(const report::Report& rpt, const QString& classId, const QString& file,
                   const report::ProgressHandler& progress)
{
    const QFileInfo info(file);
    const QString parziale = info.absoluteDir().filePath(QStringLiteral(".") + info.fileName() + QStringLiteral(".part"));
    try {
        auto filtro = report::ExportFilter::create(classId);
        filtro->setFileName(parziale);
        filtro->setProgressHandler(progress);
        filtro->exportPages(rpt.pages());
        // One step, so an existing target stays whole until the new file takes its place.
        if (std::rename(QFile::encodeName(parziale).constData(), QFile::encodeName(file).constData()) != 0)
            throw core::Error(75, QStringLiteral("Impossibile scrivere il file '%1'").arg(QDir::toNativeSeparators(file)));
    } catch (const core::Error& e) {
        QFile::remove(parziale);
        // The user knows the file by the name chosen, not by the one written aside.
        throw core::Error(e.number(), QString(e.description()).replace(parziale, file), e.source());
    } catch (...) {
        QFile::remove(parziale);
        throw;
    }
}
