#include "platform/report/RtfExport.h"

#include "platform/report/PngBytes.h"
#include "platform/report/ReportError.h"

#include <QSaveFile>
#include <QStringList>
#include <cmath>

namespace report {

namespace {

int tw(double twips)
{
    return static_cast<int>(std::lround(twips));
}

// RTF is 7-bit: escape the syntax characters and write other characters as \u.
QByteArray escaped(const QString& text)
{
    QByteArray out;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')) {
            out += '\\';
            out += static_cast<char>(u);
        } else if (c == QLatin1Char('\n')) {
            out += "\\line ";
        } else if (c == QLatin1Char('\t')) {
            out += "\\tab ";
        } else if (u == '\r') {
            continue;
        } else if (u >= 0x20 && u < 0x80) {
            out += static_cast<char>(u);
        } else if (u >= 0x20) {
            out += "\\u" + QByteArray::number(static_cast<short>(u)) + '?';
        }
    }
    return out;
}

class Tables {
public:
    int font(const QString& name)
    {
        int i = m_fonts.indexOf(name);
        if (i < 0) {
            m_fonts << name;
            i = m_fonts.size() - 1;
        }
        return i;
    }
    int color(const QColor& c)
    {
        const QString key = c.isValid() ? c.name() : QStringLiteral("#000000");
        int i = m_colors.indexOf(key);
        if (i < 0) {
            m_colors << key;
            i = m_colors.size() - 1;
        }
        return i + 1; // entry 0 is the automatic colour
    }
    QByteArray header() const
    {
        QByteArray h = "{\\fonttbl";
        for (int i = 0; i < m_fonts.size(); ++i)
            h += "{\\f" + QByteArray::number(i) + "\\fswiss " + escaped(m_fonts[i]) + ";}";
        h += "}\n{\\colortbl ;";
        for (const auto& name : m_colors) {
            const QColor c(name);
            h += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue"
                 + QByteArray::number(c.blue()) + ";";
        }
        h += "}\n";
        return h;
    }

private:
    QStringList m_fonts;
    QStringList m_colors;
};

QByteArray frame(const QRectF& r)
{
    return "\\pard\\pvpg\\phpg\\posx" + QByteArray::number(tw(r.left())) + "\\posy" + QByteArray::number(tw(r.top()))
           + "\\absw" + QByteArray::number(std::max(1, tw(r.width()))) + "\\absh-"
           + QByteArray::number(std::max(1, tw(r.height()))) + "\\nowrap";
}

QByteArray drawingObject(const PageItem& item)
{
    QRectF box = item.type == PageItem::Type::Line ? QRectF(item.line.p1(), item.line.p2()) : item.rect;
    QByteArray d = "{\\*\\do\\dobxpage\\dobypage\\dodhgt0";
    if (item.type == PageItem::Type::Line) {
        d += "\\dpline\\dpptx0\\dppty0\\dpptx" + QByteArray::number(tw(box.width())) + "\\dppty"
             + QByteArray::number(tw(box.height()));
        box = box.normalized();
    } else {
        d += item.type == PageItem::Type::Ellipse ? "\\dpellipse" : item.type == PageItem::Type::RoundRectangle
                                                                        ? "\\dprect\\dproundr"
                                                                        : "\\dprect";
    }
    const QColor line = item.lineColor.isValid() ? item.lineColor : QColor(Qt::black);
    d += "\\dpx" + QByteArray::number(tw(box.left())) + "\\dpy" + QByteArray::number(tw(box.top())) + "\\dpxsize"
         + QByteArray::number(tw(box.width())) + "\\dpysize" + QByteArray::number(tw(box.height()));
    if (item.lineWeight > 0)
        d += "\\dplinew" + QByteArray::number(tw(item.lineWeight * 20)) + "\\dplinecor" + QByteArray::number(line.red())
             + "\\dplinecog" + QByteArray::number(line.green()) + "\\dplinecob" + QByteArray::number(line.blue())
             + "\\dplinesolid";
    else
        d += "\\dplinehollow";
    if (item.opaque)
        d += "\\dpfillfgcr" + QByteArray::number(item.backColor.red()) + "\\dpfillfgcg"
             + QByteArray::number(item.backColor.green()) + "\\dpfillfgcb" + QByteArray::number(item.backColor.blue())
             + "\\dpfillpat1";
    else
        d += "\\dpfillpat0";
    d += "}\n";
    return d;
}

} // namespace

void RtfExport::exportPages(const ReportPages& pages)
{
    const QString path = requireFileName();
    Tables tables;
    tables.font(QStringLiteral("Arial"));
    tables.color(QColor(Qt::black));
    QByteArray body;
    for (int i = 0; i < pages.count(); ++i) {
        pageProgress(i, pages.count()); // stopped before any byte is written
        const ReportPage& page = pages.page(i);
        if (i > 0)
            body += "\\pard\\plain\\page\n";
        else
            body += "\\paperw" + QByteArray::number(tw(page.width)) + "\\paperh" + QByteArray::number(tw(page.height))
                    + "\\margl0\\margr0\\margt0\\margb0\n";
        for (const auto& item : page.items) {
            switch (item.type) {
            case PageItem::Type::Text: {
                if (item.text.isEmpty())
                    break;
                body += "{" + frame(item.rect);
                body += item.alignment == HorizontalAlignment::Right    ? "\\qr"
                        : item.alignment == HorizontalAlignment::Center ? "\\qc"
                                                                        : "\\ql";
                body += "\\plain\\f" + QByteArray::number(tables.font(item.font.name)) + "\\fs"
                        + QByteArray::number(static_cast<int>(std::lround(item.font.size * 2))) + "\\cf"
                        + QByteArray::number(tables.color(item.foreColor));
                if (item.opaque)
                    body += "\\cbpat" + QByteArray::number(tables.color(item.backColor));
                if (item.font.bold)
                    body += "\\b";
                if (item.font.italic)
                    body += "\\i";
                if (item.font.underline)
                    body += "\\ul";
                if (item.font.strikethrough)
                    body += "\\strike";
                body += " " + escaped(item.text) + "\\par}\n";
                break;
            }
            case PageItem::Type::Line:
            case PageItem::Type::Rectangle:
            case PageItem::Type::Ellipse:
            case PageItem::Type::RoundRectangle:
                if (item.type == PageItem::Type::Line && item.lineWeight <= 0)
                    break;
                body += drawingObject(item);
                break;
            case PageItem::Type::Image: {
                const QByteArray png = pngBytes(item.image);
                body += "{" + frame(item.rect) + "{\\pict\\pngblip\\picw" + QByteArray::number(item.image.width())
                        + "\\pich" + QByteArray::number(item.image.height()) + "\\picwgoal"
                        + QByteArray::number(tw(item.rect.width())) + "\\pichgoal"
                        + QByteArray::number(tw(item.rect.height())) + "\n" + png.toHex() + "}\\par}\n";
                break;
            }
            }
        }
    }
    QByteArray document = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n" + tables.header();
    if (!pages.title.isEmpty())
        document += "{\\info{\\title " + escaped(pages.title) + "}}\n";
    document += body + "}\n";

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size() || !file.commit())
        raiseError(ErrorNumber::FileNotWritable, QStringLiteral("Impossibile scrivere il file '%1'").arg(path));
}

} // namespace report
