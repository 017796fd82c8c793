#include "platform/report/ReportControl.h"

#include "platform/report/ReportError.h"

namespace report {

namespace {

struct KindNames {
    ControlKind kind;
    const char* typeName;
};

constexpr KindNames kKindNames[] = {
    {ControlKind::Label, "Label"},   {ControlKind::Field, "Field"},     {ControlKind::Line, "Line"},
    {ControlKind::Shape, "Shape"},   {ControlKind::Picture, "Image"},   {ControlKind::Checkbox, "Checkbox"},
};

const QString kClassPrefix = QStringLiteral("DDActiveReports2.");

[[noreturn]] void badValue(const QString& propertyName)
{
    raiseError(ErrorNumber::InvalidProperty,
               QStringLiteral("Valore non valido per la proprietà '%1'").arg(propertyName));
}

double toNumber(const QVariant& value, const QString& propertyName)
{
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok)
        badValue(propertyName);
    return d;
}

int toInt(const QVariant& value, const QString& propertyName, int lowest, int highest)
{
    const double d = toNumber(value, propertyName);
    const int i = static_cast<int>(d);
    if (i != d || i < lowest || i > highest)
        badValue(propertyName);
    return i;
}

QColor toColor(const QVariant& value, const QString& propertyName)
{
    if (value.canConvert<QColor>() && value.typeId() == QMetaType::QColor)
        return value.value<QColor>();
    // A number is a colour as the layout files keep it: 0x00BBGGRR.
    const double d = toNumber(value, propertyName);
    if (d < 0 || d > 0xFFFFFF)
        badValue(propertyName);
    const auto bgr = static_cast<unsigned>(d);
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

int colorToBgr(const QColor& c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

} // namespace

QString ReportControl::typeName() const
{
    for (const auto& k : kKindNames)
        if (k.kind == kind)
            return QString::fromLatin1(k.typeName);
    return {};
}

QString ReportControl::className() const
{
    return kClassPrefix + typeName();
}

std::optional<ControlKind> ReportControl::kindFromTypeName(const QString& typeName)
{
    for (const auto& k : kKindNames)
        if (typeName.compare(QLatin1String(k.typeName), Qt::CaseInsensitive) == 0)
            return k.kind;
    return std::nullopt;
}

std::optional<ControlKind> ReportControl::kindFromClassName(const QString& className)
{
    if (!className.startsWith(kClassPrefix, Qt::CaseInsensitive))
        return std::nullopt;
    return kindFromTypeName(className.mid(kClassPrefix.size()));
}

QVariant ReportControl::property(const QString& p) const
{
    const auto is = [&p](const char* n) { return p.compare(QLatin1String(n), Qt::CaseInsensitive) == 0; };
    if (is("Name")) return name;
    if (is("Caption") || is("Text")) return caption;
    if (is("DataField")) return dataField;
    if (is("OutputFormat")) return outputFormat;
    if (is("Left")) return left;
    if (is("Top")) return top;
    if (is("Width")) return width;
    if (is("Height")) return height;
    if (is("Visible")) return visible;
    if (is("ForeColor")) return colorToBgr(foreColor);
    if (is("BackColor")) return colorToBgr(backColor);
    if (is("LineColor")) return colorToBgr(lineColor);
    if (is("BackStyle")) return static_cast<int>(backStyle);
    if (is("LineWeight")) return lineWeight;
    if (is("Alignment")) return static_cast<int>(alignment);
    if (is("VerticalAlignment")) return static_cast<int>(verticalAlignment);
    if (is("WordWrap")) return wordWrap;
    if (is("CanGrow")) return canGrow;
    if (is("Font.Name")) return font.name;
    if (is("Font.Size")) return font.size;
    if (is("Font.Bold")) return font.bold;
    if (is("Font.Italic")) return font.italic;
    if (is("Font.Underline")) return font.underline;
    if (is("Font.Strikethrough")) return font.strikethrough;
    if (is("SummaryType")) return static_cast<int>(summaryType);
    if (is("SummaryFunc")) return static_cast<int>(summaryFunc);
    if (is("SummaryRunning")) return static_cast<int>(summaryRunning);
    if (is("SummaryGroup")) return summaryGroup;
    if (is("Shape")) return static_cast<int>(shapeStyle);
    if (is("SizeMode")) return static_cast<int>(sizeMode);
    if (is("Checked")) return checked;
    if (is("Tag")) return tag;
    raiseError(ErrorNumber::InvalidProperty, QStringLiteral("Proprietà sconosciuta: '%1'").arg(p));
}

void ReportControl::setProperty(const QString& p, const QVariant& v)
{
    const auto is = [&p](const char* n) { return p.compare(QLatin1String(n), Qt::CaseInsensitive) == 0; };
    if (is("Name")) name = v.toString();
    else if (is("Caption") || is("Text")) caption = v.toString();
    else if (is("DataField")) dataField = v.toString();
    else if (is("OutputFormat")) outputFormat = v.toString();
    else if (is("Left")) left = toNumber(v, p);
    else if (is("Top")) top = toNumber(v, p);
    else if (is("Width")) width = std::max(0.0, toNumber(v, p));
    else if (is("Height")) height = std::max(0.0, toNumber(v, p));
    else if (is("Visible")) visible = v.toBool();
    else if (is("ForeColor")) foreColor = toColor(v, p);
    else if (is("BackColor")) backColor = toColor(v, p);
    else if (is("LineColor")) lineColor = toColor(v, p);
    else if (is("BackStyle")) backStyle = static_cast<BackStyle>(toInt(v, p, 0, 1));
    else if (is("LineWeight")) lineWeight = std::max(0.0, toNumber(v, p));
    else if (is("Alignment")) alignment = static_cast<HorizontalAlignment>(toInt(v, p, 0, 2));
    else if (is("VerticalAlignment")) verticalAlignment = static_cast<VerticalAlignment>(toInt(v, p, 0, 2));
    else if (is("WordWrap")) wordWrap = v.toBool();
    else if (is("CanGrow")) canGrow = v.toBool();
    else if (is("Font.Name")) font.name = v.toString();
    else if (is("Font.Size")) {
        const double s = toNumber(v, p);
        if (s <= 0 || s > 1638)
            badValue(p);
        font.size = s;
    }
    else if (is("Font.Bold")) font.bold = v.toBool();
    else if (is("Font.Italic")) font.italic = v.toBool();
    else if (is("Font.Underline")) font.underline = v.toBool();
    else if (is("Font.Strikethrough")) font.strikethrough = v.toBool();
    else if (is("SummaryType")) summaryType = static_cast<SummaryType>(toInt(v, p, 0, 4));
    else if (is("SummaryFunc")) summaryFunc = static_cast<SummaryFunc>(toInt(v, p, 0, 4));
    else if (is("SummaryRunning")) summaryRunning = static_cast<SummaryRunning>(toInt(v, p, 0, 2));
    else if (is("SummaryGroup")) summaryGroup = v.toString();
    else if (is("Shape")) shapeStyle = static_cast<ShapeStyle>(toInt(v, p, 0, 2));
    else if (is("SizeMode")) sizeMode = static_cast<PictureSizeMode>(toInt(v, p, 0, 2));
    else if (is("Checked")) checked = v.toBool();
    else if (is("Tag")) tag = v.toString();
    else
        raiseError(ErrorNumber::InvalidProperty, QStringLiteral("Proprietà sconosciuta: '%1'").arg(p));
}

} // namespace report
