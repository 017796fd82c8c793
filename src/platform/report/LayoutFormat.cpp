#include "platform/report/LayoutFormat.h"

#include "platform/report/PngBytes.h"
#include "platform/report/ReportError.h"

#include <cmath>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace report {

namespace {

constexpr qsizetype kMaxLayoutBytes = 64 * 1024 * 1024;

const char* sectionKindName(SectionKind kind)
{
    switch (kind) {
    case SectionKind::ReportHeader: return "ReportHeader";
    case SectionKind::PageHeader: return "PageHeader";
    case SectionKind::GroupHeader: return "GroupHeader";
    case SectionKind::Detail: return "Detail";
    case SectionKind::GroupFooter: return "GroupFooter";
    case SectionKind::PageFooter: return "PageFooter";
    case SectionKind::ReportFooter: return "ReportFooter";
    }
    return "";
}

[[noreturn]] void notALayout(const QString& why)
{
    raiseError(ErrorNumber::NotALayout, QStringLiteral("Il modello di stampa non è valido: %1").arg(why));
}

QJsonValue colorValue(const QColor& c)
{
    return c.name(c.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb);
}

QString imageValue(const QImage& image)
{
    if (image.isNull())
        return {};
    return QString::fromLatin1(pngBytes(image).toBase64());
}

// Typed readers: a missing key keeps the default, a wrong type is an error.
class Reader {
public:
    Reader(const QJsonObject& object, QString where) : m_o(object), m_where(std::move(where)) {}

    void number(const char* key, double& out) const
    {
        const auto v = m_o.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        if (!v.isDouble())
            wrong(key);
        out = v.toDouble();
    }
    void boolean(const char* key, bool& out) const
    {
        const auto v = m_o.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        if (!v.isBool())
            wrong(key);
        out = v.toBool();
    }
    void text(const char* key, QString& out) const
    {
        const auto v = m_o.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        if (!v.isString())
            wrong(key);
        out = v.toString();
    }
    void color(const char* key, QColor& out) const
    {
        QString s;
        text(key, s);
        if (s.isEmpty())
            return;
        const QColor c = QColor::fromString(s);
        if (!c.isValid())
            wrong(key);
        out = c;
    }
    template <typename E>
    void enumeration(const char* key, E& out, int lowest, int highest) const
    {
        double d = static_cast<int>(out);
        number(key, d);
        // Range and integrality first: converting a double beyond int is undefined.
        if (!(d >= lowest && d <= highest) || d != std::floor(d))
            wrong(key);
        out = static_cast<E>(static_cast<int>(d));
    }
    void image(const char* key, QImage& out) const
    {
        QString s;
        text(key, s);
        if (s.isEmpty())
            return;
        const QByteArray png = QByteArray::fromBase64(s.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        QImage img;
        if (png.isEmpty() || !img.loadFromData(png, "PNG"))
            wrong(key);
        out = img;
    }
    QJsonObject object(const char* key) const
    {
        const auto v = m_o.value(QLatin1String(key));
        if (v.isUndefined())
            return {};
        if (!v.isObject())
            wrong(key);
        return v.toObject();
    }
    QJsonArray array(const char* key) const
    {
        const auto v = m_o.value(QLatin1String(key));
        if (v.isUndefined())
            return {};
        if (!v.isArray())
            wrong(key);
        return v.toArray();
    }

private:
    [[noreturn]] void wrong(const char* key) const
    {
        notALayout(QStringLiteral("valore non valido di '%1' in %2").arg(QLatin1String(key), m_where));
    }
    QJsonObject m_o;
    QString m_where;
};

QJsonObject writeFont(const FontSpec& f)
{
    return QJsonObject{{"name", f.name},           {"size", f.size},
                       {"bold", f.bold},           {"italic", f.italic},
                       {"underline", f.underline}, {"strikethrough", f.strikethrough}};
}

FontSpec readFont(const QJsonObject& o, const QString& where)
{
    FontSpec f;
    Reader r(o, where);
    r.text("name", f.name);
    r.number("size", f.size);
    r.boolean("bold", f.bold);
    r.boolean("italic", f.italic);
    r.boolean("underline", f.underline);
    r.boolean("strikethrough", f.strikethrough);
    if (!(f.size > 0 && f.size < 2000))
        notALayout(QStringLiteral("dimensione del carattere non valida in %1").arg(where));
    return f;
}

QJsonObject writeControl(const ReportControl& c)
{
    QJsonObject o;
    o["type"] = c.typeName();
    o["name"] = c.name;
    o["left"] = c.left;
    o["top"] = c.top;
    o["width"] = c.width;
    o["height"] = c.height;
    o["visible"] = c.visible;
    o["caption"] = c.caption;
    o["dataField"] = c.dataField;
    o["outputFormat"] = c.outputFormat;
    o["font"] = writeFont(c.font);
    o["foreColor"] = colorValue(c.foreColor);
    o["backColor"] = colorValue(c.backColor);
    o["backStyle"] = static_cast<int>(c.backStyle);
    o["lineColor"] = colorValue(c.lineColor);
    o["lineWeight"] = c.lineWeight;
    o["alignment"] = static_cast<int>(c.alignment);
    o["verticalAlignment"] = static_cast<int>(c.verticalAlignment);
    o["wordWrap"] = c.wordWrap;
    o["canGrow"] = c.canGrow;
    o["summaryType"] = static_cast<int>(c.summaryType);
    o["summaryFunc"] = static_cast<int>(c.summaryFunc);
    o["summaryRunning"] = static_cast<int>(c.summaryRunning);
    o["summaryGroup"] = c.summaryGroup;
    o["shape"] = static_cast<int>(c.shapeStyle);
    o["picture"] = imageValue(c.picture);
    o["sizeMode"] = static_cast<int>(c.sizeMode);
    o["checked"] = c.checked;
    o["tag"] = c.tag;
    return o;
}

ReportControl readControl(const QJsonObject& o, const QString& sectionName)
{
    ReportControl c;
    QString type;
    Reader(o, sectionName).text("type", type);
    const auto kind = ReportControl::kindFromTypeName(type);
    if (!kind)
        notALayout(QStringLiteral("tipo di controllo sconosciuto '%1' nella sezione '%2'").arg(type, sectionName));
    c.kind = *kind;
    Reader(o, sectionName).text("name", c.name);
    const QString where = QStringLiteral("'%1'").arg(c.name);
    Reader r(o, where);
    r.number("left", c.left);
    r.number("top", c.top);
    r.number("width", c.width);
    r.number("height", c.height);
    r.boolean("visible", c.visible);
    r.text("caption", c.caption);
    r.text("dataField", c.dataField);
    r.text("outputFormat", c.outputFormat);
    c.font = readFont(r.object("font"), where);
    r.color("foreColor", c.foreColor);
    r.color("backColor", c.backColor);
    r.enumeration("backStyle", c.backStyle, 0, 1);
    r.color("lineColor", c.lineColor);
    r.number("lineWeight", c.lineWeight);
    r.enumeration("alignment", c.alignment, 0, 2);
    r.enumeration("verticalAlignment", c.verticalAlignment, 0, 2);
    r.boolean("wordWrap", c.wordWrap);
    r.boolean("canGrow", c.canGrow);
    r.enumeration("summaryType", c.summaryType, 0, 4);
    r.enumeration("summaryFunc", c.summaryFunc, 0, 4);
    r.enumeration("summaryRunning", c.summaryRunning, 0, 2);
    r.text("summaryGroup", c.summaryGroup);
    r.enumeration("shape", c.shapeStyle, 0, 2);
    r.image("picture", c.picture);
    r.enumeration("sizeMode", c.sizeMode, 0, 2);
    r.boolean("checked", c.checked);
    r.text("tag", c.tag);
    if (c.name.isEmpty())
        notALayout(QStringLiteral("controllo senza nome nella sezione '%1'").arg(sectionName));
    if (c.width < 0 || c.height < 0 || c.lineWeight < 0)
        notALayout(QStringLiteral("misure negative del controllo %1").arg(where));
    return c;
}

QJsonObject writeSection(const ReportSection& s)
{
    QJsonObject o;
    o["kind"] = QLatin1String(sectionKindName(s.kind));
    o["name"] = s.name;
    o["height"] = s.height;
    o["visible"] = s.visible;
    o["canGrow"] = s.canGrow;
    o["newPage"] = static_cast<int>(s.newPage);
    o["backStyle"] = static_cast<int>(s.backStyle);
    o["backColor"] = colorValue(s.backColor);
    o["groupDataField"] = s.groupDataField;
    o["repeatOnEveryPage"] = s.repeatOnEveryPage;
    QJsonArray controls;
    for (const auto& c : s.controls)
        controls.append(writeControl(c));
    o["controls"] = controls;
    return o;
}

ReportSection readSection(const QJsonObject& o)
{
    ReportSection s;
    QString kind;
    Reader(o, QStringLiteral("sezione")).text("kind", kind);
    bool known = false;
    for (auto k : {SectionKind::ReportHeader, SectionKind::PageHeader, SectionKind::GroupHeader, SectionKind::Detail,
                   SectionKind::GroupFooter, SectionKind::PageFooter, SectionKind::ReportFooter}) {
        if (kind == QLatin1String(sectionKindName(k))) {
            s.kind = k;
            known = true;
        }
    }
    if (!known)
        notALayout(QStringLiteral("tipo di sezione sconosciuto '%1'").arg(kind));
    Reader(o, QStringLiteral("sezione")).text("name", s.name);
    const QString where = QStringLiteral("sezione '%1'").arg(s.name);
    Reader r(o, where);
    r.number("height", s.height);
    r.boolean("visible", s.visible);
    r.boolean("canGrow", s.canGrow);
    r.enumeration("newPage", s.newPage, 0, 3);
    r.enumeration("backStyle", s.backStyle, 0, 1);
    r.color("backColor", s.backColor);
    r.text("groupDataField", s.groupDataField);
    r.boolean("repeatOnEveryPage", s.repeatOnEveryPage);
    for (const auto& c : r.array("controls")) {
        if (!c.isObject())
            notALayout(QStringLiteral("controllo non valido nella %1").arg(where));
        s.controls.push_back(readControl(c.toObject(), s.name));
    }
    return s;
}

} // namespace

QByteArray LayoutFormat::write(const ReportLayout& layout)
{
    const auto& p = layout.page;
    QJsonObject page{{"paperWidth", p.paperWidth},
                     {"paperHeight", p.paperHeight},
                     {"orientation", static_cast<int>(p.orientation)},
                     {"leftMargin", p.margins.left},
                     {"rightMargin", p.margins.right},
                     {"topMargin", p.margins.top},
                     {"bottomMargin", p.margins.bottom}};
    QJsonArray sections;
    for (const auto& s : layout.sections)
        sections.append(writeSection(s));
    QJsonObject root{{"format", QLatin1String(kFormatName)},
                     {"version", kVersion},
                     {"page", page},
                     {"printWidth", layout.printWidth},
                     {"sections", sections}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ReportLayout LayoutFormat::read(const QByteArray& bytes)
{
    if (bytes.size() > kMaxLayoutBytes)
        notALayout(QStringLiteral("file troppo grande"));
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        raiseError(ErrorNumber::NotALayout, QStringLiteral("Il file non contiene un modello di stampa"));
    const QJsonObject root = doc.object();
    if (root.value("format").toString() != QLatin1String(kFormatName))
        raiseError(ErrorNumber::NotALayout, QStringLiteral("Il file non contiene un modello di stampa"));
    const QJsonValue version = root.value("version");
    if (!version.isDouble() || version.toDouble() != kVersion)
        raiseError(ErrorNumber::UnsupportedVersion,
                   QStringLiteral("Versione del modello di stampa non supportata: %1")
                       .arg(version.isDouble() ? QString::number(version.toDouble()) : QStringLiteral("?")));

    ReportLayout layout;
    Reader r(root, QStringLiteral("modello"));
    Reader pr(r.object("page"), QStringLiteral("impostazioni di pagina"));
    auto& p = layout.page;
    pr.number("paperWidth", p.paperWidth);
    pr.number("paperHeight", p.paperHeight);
    pr.enumeration("orientation", p.orientation, 1, 2);
    pr.number("leftMargin", p.margins.left);
    pr.number("rightMargin", p.margins.right);
    pr.number("topMargin", p.margins.top);
    pr.number("bottomMargin", p.margins.bottom);
    if (!(p.paperWidth > 0 && p.paperHeight > 0) || p.margins.left < 0 || p.margins.right < 0 || p.margins.top < 0
        || p.margins.bottom < 0)
        notALayout(QStringLiteral("impostazioni di pagina non valide"));
    r.number("printWidth", layout.printWidth);
    for (const auto& s : r.array("sections")) {
        if (!s.isObject())
            notALayout(QStringLiteral("sezione non valida"));
        layout.sections.push_back(readSection(s.toObject()));
    }
    layout.validate();
    return layout;
}

ReportLayout LayoutFormat::readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        raiseError(ErrorNumber::FileNotReadable, QStringLiteral("Impossibile leggere il file del modello '%1'").arg(path));
    if (file.size() > kMaxLayoutBytes)
        notALayout(QStringLiteral("file troppo grande"));
    return read(file.readAll());
}

void LayoutFormat::writeFile(const ReportLayout& layout, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(write(layout)) < 0 || !file.commit())
        raiseError(ErrorNumber::FileNotWritable, QStringLiteral("Impossibile scrivere il file del modello '%1'").arg(path));
}

} // namespace report
