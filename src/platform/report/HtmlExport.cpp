#include "platform/report/HtmlExport.h"

#include "platform/report/PngBytes.h"
#include "platform/report/ReportError.h"

#include <QSaveFile>
#include <QTextStream>

namespace report {

namespace {

// CSS pixels: 96 to an inch, 15 twips each.
QString px(double twips)
{
    return QString::number(twips / 15.0, 'f', 2) + QStringLiteral("px");
}

QString css(const QColor& c)
{
    return c.isValid() ? c.name() : QStringLiteral("#000000");
}

QString textStyle(const PageItem& item)
{
    QString s = QStringLiteral("left:%1;top:%2;width:%3;height:%4;")
                    .arg(px(item.rect.left()), px(item.rect.top()), px(item.rect.width()), px(item.rect.height()));
    s += QStringLiteral("font-family:'%1';font-size:%2pt;color:%3;")
             .arg(item.font.name.toHtmlEscaped(), QString::number(item.font.size), css(item.foreColor));
    if (item.font.bold)
        s += QStringLiteral("font-weight:bold;");
    if (item.font.italic)
        s += QStringLiteral("font-style:italic;");
    if (item.font.underline || item.font.strikethrough)
        s += QStringLiteral("text-decoration:%1%2;")
                 .arg(item.font.underline ? QStringLiteral("underline ") : QString(),
                      item.font.strikethrough ? QStringLiteral("line-through") : QString());
    s += QStringLiteral("text-align:%1;").arg(item.alignment == HorizontalAlignment::Right    ? QStringLiteral("right")
                                              : item.alignment == HorizontalAlignment::Center ? QStringLiteral("center")
                                                                                               : QStringLiteral("left"));
    if (!item.wordWrap)
        s += QStringLiteral("white-space:pre;");
    else
        s += QStringLiteral("white-space:pre-wrap;");
    if (item.opaque)
        s += QStringLiteral("background:%1;").arg(css(item.backColor));
    return s;
}

} // namespace

void HtmlExport::exportPages(const ReportPages& pages)
{
    const QString path = requireFileName();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        raiseError(ErrorNumber::FileNotWritable, QStringLiteral("Impossibile scrivere il file '%1'").arg(path));
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    out << "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
        << pages.title.toHtmlEscaped() << "</title>\n<style>\n"
        << "body{background:#808080;margin:0;padding:8px;}\n"
        << ".page{position:relative;background:#fff;margin:0 auto 8px auto;overflow:hidden;}\n"
        << ".page div,.page img{position:absolute;box-sizing:border-box;}\n"
        << "@media print{body{background:#fff;padding:0}.page{margin:0;page-break-after:always;}}\n"
        << "</style>\n</head>\n<body>\n";
    for (int i = 0; i < pages.count(); ++i) {
        pageProgress(i, pages.count()); // stopped: the save file is dropped uncommitted
        const ReportPage& page = pages.page(i);
        out << "<div class=\"page\" id=\"page" << (i + 1) << "\" style=\"width:" << px(page.width)
            << ";height:" << px(page.height) << "\">\n";
        for (const auto& item : page.items) {
            switch (item.type) {
            case PageItem::Type::Text:
                if (item.text.isEmpty() && !item.opaque)
                    break;
                out << "<div style=\"" << textStyle(item) << "\">" << item.text.toHtmlEscaped() << "</div>\n";
                break;
            case PageItem::Type::Line: {
                if (item.lineWeight <= 0)
                    break;
                const QRectF box = QRectF(item.line.p1(), item.line.p2()).normalized();
                const QString weight = px(std::max(15.0, item.lineWeight * 20.0));
                out << "<div style=\"left:" << px(box.left()) << ";top:" << px(box.top()) << ";width:"
                    << (box.width() > 0 ? px(box.width()) : weight) << ";height:"
                    << (box.height() > 0 ? px(box.height()) : weight) << ";border-top:"
                    << (box.height() > 0 ? QStringLiteral("0") : weight + QStringLiteral(" solid ") + css(item.lineColor))
                    << ";border-left:"
                    << (box.height() > 0 ? weight + QStringLiteral(" solid ") + css(item.lineColor) : QStringLiteral("0"))
                    << "\"></div>\n";
                break;
            }
            case PageItem::Type::Rectangle:
            case PageItem::Type::Ellipse:
            case PageItem::Type::RoundRectangle:
                out << "<div style=\"left:" << px(item.rect.left()) << ";top:" << px(item.rect.top())
                    << ";width:" << px(item.rect.width()) << ";height:" << px(item.rect.height()) << ";";
                if (item.lineWeight > 0)
                    out << "border:" << px(std::max(15.0, item.lineWeight * 20.0)) << " solid " << css(item.lineColor) << ";";
                if (item.opaque)
                    out << "background:" << css(item.backColor) << ";";
                if (item.type == PageItem::Type::Ellipse)
                    out << "border-radius:50%;";
                else if (item.type == PageItem::Type::RoundRectangle)
                    out << "border-radius:15%;";
                out << "\"></div>\n";
                break;
            case PageItem::Type::Image: {
                const QByteArray png = pngBytes(item.image);
                out << "<img alt=\"\" style=\"left:" << px(item.rect.left()) << ";top:" << px(item.rect.top())
                    << ";width:" << px(item.rect.width()) << ";height:" << px(item.rect.height())
                    << (item.sizeMode == PictureSizeMode::Zoom ? ";object-fit:contain;object-position:left top" : "")
                    << "\" src=\"data:image/png;base64," << png.toBase64() << "\">\n";
                break;
            }
            }
        }
        out << "</div>\n";
    }
    out << "</body>\n</html>\n";
    out.flush();
    if (out.status() != QTextStream::Ok || !file.commit())
        raiseError(ErrorNumber::FileNotWritable, QStringLiteral("Impossibile scrivere il file '%1'").arg(path));
}

} // namespace report
