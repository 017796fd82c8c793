#pragma once

#include <QColor>
#include <QString>

namespace report {

// Lengths are twips throughout the model: 1440 to an inch, 20 to a point.
constexpr double kTwipsPerInch = 1440.0;

// The band kinds, in the order a report lays them out.
enum class SectionKind {
    ReportHeader,
    PageHeader,
    GroupHeader,
    Detail,
    GroupFooter,
    PageFooter,
    ReportFooter,
};

enum class ControlKind { Label, Field, Line, Shape, Picture, Checkbox };

enum class HorizontalAlignment { Left = 0, Right = 1, Center = 2 };
enum class VerticalAlignment { Top = 0, Middle = 1, Bottom = 2 };
enum class BackStyle { Transparent = 0, Opaque = 1 };
enum class ShapeStyle { Rectangle = 0, Ellipse = 1, RoundRectangle = 2 };
// How a picture fills its box: clipped at its own size, stretched, or zoomed keeping its proportions.
enum class PictureSizeMode { Clip = 0, Stretch = 1, Zoom = 2 };

// Where a band forces a page break.
enum class NewPage { None = 0, Before = 1, After = 2, BeforeAfter = 3 };

// Summary fields. The numbers follow the component the layouts were first
// written for, so a layout converted by hand keeps its values.
enum class SummaryType { None = 0, GrandTotal = 1, SubTotal = 2, PageTotal = 3, PageCount = 4 };
enum class SummaryRunning { None = 0, Group = 1, All = 2 };
enum class SummaryFunc { Sum = 0, Avg = 1, Count = 2, Min = 3, Max = 4 };

struct FontSpec {
    // "Arial" is what layouts name; fontconfig maps it to a metric-compatible
    // or close substitute where the font itself is missing.
    QString name = QStringLiteral("Arial");
    double size = 10.0; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct Margins {
    double left = 1440;
    double right = 1440;
    double top = 1440;
    double bottom = 1440;
    friend bool operator==(const Margins&, const Margins&) = default;
};

enum class Orientation { Portrait = 1, Landscape = 2 };

// Paper and margins of a report, in twips. A4 portrait with one-inch margins by default.
struct PageSettings {
    double paperWidth = 11906;
    double paperHeight = 16838;
    Orientation orientation = Orientation::Portrait;
    Margins margins;
    friend bool operator==(const PageSettings&, const PageSettings&) = default;

    double pageWidth() const { return orientation == Orientation::Portrait ? paperWidth : paperHeight; }
    double pageHeight() const { return orientation == Orientation::Portrait ? paperHeight : paperWidth; }
};

} // namespace report
