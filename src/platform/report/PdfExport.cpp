#include "platform/report/PdfExport.h"

#include "platform/report/PageBuffers.h"
#include "platform/report/PagePainter.h"
#include "platform/report/ReportError.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace report {

namespace {

QPageSize pageSizeOf(const ReportPage& page)
{
    return QPageSize(QSizeF(page.width / 20.0, page.height / 20.0), QPageSize::Point, QString(),
                     QPageSize::ExactMatch);
}

} // namespace

void PdfExport::exportPages(const ReportPages& pages)
{
    const QString path = requireFileName();
    QSaveFile file(path);
    const PageBuffersKept buffers;
    if (!file.open(QIODevice::WriteOnly))
        raiseError(ErrorNumber::FileNotWritable, QStringLiteral("Impossibile scrivere il file '%1'").arg(path));
    {
        QPdfWriter writer(&file);
        writer.setTitle(pages.title);
        writer.setCreator(QStringLiteral("Corvessa"));
        writer.setResolution(1440 / 2); // device units of two twips
        const double scale = writer.resolution() / 1440.0;
        if (!pages.isEmpty())
            writer.setPageLayout(QPageLayout(pageSizeOf(pages.page(0)), QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        PaintCache cache;
        if (!painter.begin(&writer))
            raiseError(ErrorNumber::ExportFailed, QStringLiteral("Impossibile creare il file PDF '%1'").arg(path));
        for (int i = 0; i < pages.count(); ++i) {
            // A stopped export ends here: the save file is dropped uncommitted.
            pageProgress(i, pages.count());
            if (i > 0) {
                writer.setPageLayout(QPageLayout(pageSizeOf(pages.page(i)), QPageLayout::Portrait, QMarginsF()));
                writer.newPage();
            }
            painter.save();
            painter.scale(scale, scale);
            paintPage(painter, pages.page(i), &cache);
            painter.restore();
        }
        painter.end();
    }
    if (!file.commit())
        raiseError(ErrorNumber::FileNotWritable, QStringLiteral("Impossibile scrivere il file '%1'").arg(path));
}

} // namespace report
