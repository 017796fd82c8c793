#pragma once

#include "platform/report/ReportTypes.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QVariant>
#include <optional>

namespace report {

// One control of a section. A plain value: the designer edits it, the
// paginator reads it, the layout format stores every member.
// Positions and sizes are twips relative to the section's top-left corner.
// A line runs from (left, top) to (left + width, top + height).
struct ReportControl {
    ControlKind kind = ControlKind::Label;
    QString name;
    double left = 0;
    double top = 0;
    double width = 1440;
    double height = 285;
    bool visible = true;

    // Label: the caption printed. Field: the text shown when it has no data field
    // (or in the designer). Checkbox: its caption.
    QString caption;
    // Field: the report field printed, by name (ignoring case).
    QString dataField;
    // Field: the output format, in the layouts' pattern language ("#,##0.00", "dd/mm/yy").
    QString outputFormat;

    FontSpec font;
    QColor foreColor = QColor(0, 0, 0);
    QColor backColor = QColor(255, 255, 255);
    BackStyle backStyle = BackStyle::Transparent;
    QColor lineColor = QColor(0, 0, 0);
    double lineWeight = 1; // points
    HorizontalAlignment alignment = HorizontalAlignment::Left;
    VerticalAlignment verticalAlignment = VerticalAlignment::Top;
    bool wordWrap = true;
    bool canGrow = false;

    // Field: summaries over the rows (see SummaryType). summaryGroup names the
    // group header whose group the summary or page count belongs to.
    SummaryType summaryType = SummaryType::None;
    SummaryFunc summaryFunc = SummaryFunc::Sum;
    SummaryRunning summaryRunning = SummaryRunning::None;
    QString summaryGroup;

    ShapeStyle shapeStyle = ShapeStyle::Rectangle;
    // Picture: its own image; a picture without one shows the report's picture.
    QImage picture;
    PictureSizeMode sizeMode = PictureSizeMode::Zoom;
    bool checked = false;
    QString tag;

    friend bool operator==(const ReportControl&, const ReportControl&) = default;

    // "Label", "Field", "Line", "Shape", "Image", "Checkbox": the type names the
    // designer matches against its lists of control types.
    QString typeName() const;
    // "DDActiveReports2.Label" and the like: the class names the designer's
    // insert tool and the section's addControl take.
    QString className() const;
    static std::optional<ControlKind> kindFromClassName(const QString& className);
    static std::optional<ControlKind> kindFromTypeName(const QString& typeName);

    // Properties by name, for the designer's generic edits: "Caption", "Text",
    // "DataField", "OutputFormat", "Left", "Top", "Width", "Height", "Visible",
    // "ForeColor", "BackColor", "BackStyle", "LineColor", "LineWeight",
    // "Alignment", "VerticalAlignment", "WordWrap", "CanGrow", "Font.Name",
    // "Font.Size", "Font.Bold", "Font.Italic", "Font.Underline",
    // "Font.Strikethrough", "SummaryType", "SummaryFunc", "SummaryRunning",
    // "SummaryGroup", "Shape", "SizeMode", "Checked", "Tag", "Name".
    // An unknown name or a value that does not fit throws core::Error.
    QVariant property(const QString& propertyName) const;
    void setProperty(const QString& propertyName, const QVariant& value);
};

} // namespace report
