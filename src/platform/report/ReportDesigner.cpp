#include "platform/report/ReportDesigner.h"

#include "platform/report/LayoutFormat.h"

#include <QUndoStack>

namespace report {

class ReportDesigner::Private {
public:
    Report own;
    Report* report = &own;
    QUndoStack stack;
    double zoom = 1.0;
    double grid = 120;
    QString tool;
};

ReportDesigner::ReportDesigner(QWidget* parent) : QAbstractScrollArea(parent), d(std::make_unique<Private>()) {}
ReportDesigner::~ReportDesigner() = default;

void ReportDesigner::attachReport(Report* r) { d->report = r ? r : &d->own; }
Report& ReportDesigner::report() { return *d->report; }
const Report& ReportDesigner::report() const { return *d->report; }
const ReportLayout& ReportDesigner::layout() const { return d->report->layout(); }
void ReportDesigner::setLayout(const ReportLayout& l) { d->report->setLayout(l); }
void ReportDesigner::loadLayout(const QByteArray& bytes) { d->report->loadLayout(bytes); }
void ReportDesigner::loadLayout(const QString& path) { d->report->loadLayout(path); }
QByteArray ReportDesigner::saveLayout() const { return LayoutFormat::write(layout()); }
QUndoStack* ReportDesigner::undoStack() const { return &d->stack; }
bool ReportDesigner::isModified() const { return !d->stack.isClean(); }
void ReportDesigner::setModified(bool) {}
void ReportDesigner::undo() {}
void ReportDesigner::redo() {}
void ReportDesigner::executeCommand(int) {}
int ReportDesigner::commandState(int) const { return 0; }
bool ReportDesigner::isLocked() const { return false; }
int ReportDesigner::selectionCount() const { return 0; }
const ReportControl* ReportDesigner::selectedControl(int) const { return nullptr; }
QString ReportDesigner::selectedSectionName(int) const { return {}; }
bool ReportDesigner::selectControl(const QString&, bool) { return false; }
void ReportDesigner::selectAll() {}
void ReportDesigner::clearSelection() {}
void ReportDesigner::deleteSelection() {}
bool ReportDesigner::setInsertTool(const QString& c) { d->tool = c; return true; }
QString ReportDesigner::insertTool() const { return d->tool; }
QString ReportDesigner::addControl(const QString&, const ReportControl&) { return {}; }
void ReportDesigner::setSelectionFont(const FontSpec&, const QStringList&) {}
void ReportDesigner::setSelectionFontName(const QString&, const QStringList&) {}
void ReportDesigner::setSelectionFontSize(double, const QStringList&) {}
void ReportDesigner::setSelectionForeColor(const QColor&, const QStringList&) {}
void ReportDesigner::setSelectionBackColor(const QColor&, const QStringList&) {}
void ReportDesigner::setSelectionLineColor(const QColor&, const QStringList&) {}
void ReportDesigner::setSelectionProperty(const QString&, const QVariant&, const QStringList&) {}
void ReportDesigner::setControlProperty(int, const QString&, const QVariant&) {}
void ReportDesigner::setSectionHeight(const QString&, double) {}
void ReportDesigner::setPageSettings(const PageSettings&) {}
double ReportDesigner::zoom() const { return d->zoom; }
void ReportDesigner::setZoom(double z) { d->zoom = z; }
double ReportDesigner::pixelsPerTwip() const { return d->zoom * 96.0 / 1440.0; }
double ReportDesigner::gridSize() const { return d->grid; }
void ReportDesigner::setGridSize(double t) { d->grid = t; }
QWidget* ReportDesigner::surface() const { return viewport(); }
QString ReportDesigner::sectionAt(const QPoint&) const { return {}; }
QPointF ReportDesigner::toTwips(const QPoint& p, QString*) const { return p; }
QPoint ReportDesigner::fromTwips(const QString&, const QPointF& t) const { return t.toPoint(); }
QRect ReportDesigner::controlRect(const QString&) const { return {}; }
bool ReportDesigner::dropAt(const QPoint&, const QMimeData*, QObject*) { return false; }
bool ReportDesigner::viewportEvent(QEvent* e) { return QAbstractScrollArea::viewportEvent(e); }
void ReportDesigner::keyPressEvent(QKeyEvent* e) { QAbstractScrollArea::keyPressEvent(e); }
void ReportDesigner::resizeEvent(QResizeEvent* e) { QAbstractScrollArea::resizeEvent(e); }
void ReportDesigner::scrollContentsBy(int dx, int dy) { QAbstractScrollArea::scrollContentsBy(dx, dy); }

} // namespace report
