#pragma once

#include "platform/report/Report.h"
#include "platform/report/ReportTypes.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class QMimeData;
class QUndoStack;

namespace report {

struct ReportControl;

// The designer's command numbers, as the toolbars of a designer window store
// them in their buttons.
namespace DesignerCommand {
enum : int {
    AlignLefts = 22,
    AlignRights = 23,
    AlignCenters = 24,
    AlignTops = 25,
    AlignMiddles = 26,
    AlignBottoms = 27,
    AlignToGrid = 28,
    SameWidth = 30,
    SameHeight = 31,
    SameSize = 32,
    BringToFront = 39,
    SendToBack = 40,
    LockControls = 41,
    Font = 43,     // state only: the selection has text to format
    FontSize = 44, // state only
    Bold = 45,
    Italic = 46,
    TextAlignLeft = 47,
    TextAlignCenter = 48,
    TextAlignRight = 49,
    ForeColor = 50, // state only
    BackColor = 51, // state only
    LineColor = 53, // state only
    Underline = 58,
};
} // namespace DesignerCommand

// Bits of a command's state.
namespace DesignerCommandState {
enum : int { Available = 1, InForce = 2 };
} // namespace DesignerCommandState

// What the designer asks before an edit through its query signal.
namespace DesignerQuery {
enum : int { DeleteControls = 1, InsertControl = 2 };
} // namespace DesignerQuery

// The design surface of a report layout: the sections one under the other,
// each with a title bar and its height (drag its lower edge to change it),
// and the controls at their places in twips, drawn by the same routine as the
// preview and the printed page. The user selects (click, Ctrl+click, a
// rubber band), moves and resizes with the mouse (the handles) or the arrow
// keys (Shift+arrows resize), deletes with Delete, and inserts controls with
// the insert tool by a click or a drag on a section.
//
// Every edit is a command on the designer's undo stack (Ctrl+Z, Ctrl+Y); the
// layout is modified while the stack is away from its clean state. Changing
// the attached report's layout behind the designer's back is not supported:
// load layouts through the designer, or call setLayout().
//
// Mouse and drop events go to surface() (the scroll area's viewport); keys go
// to the designer itself. Points on the surface are surface coordinates.
class ReportDesigner : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ReportDesigner(QWidget* parent = nullptr);
    ~ReportDesigner() override;

    // --- The report being designed -------------------------------------
    // The designer edits the layout of the attached report; it does not own
    // it, and the report must outlive the attachment. nullptr attaches the
    // designer's own report (an empty standard layout at first). Attaching
    // or loading clears the selection and the undo stack and unlocks.
    void attachReport(Report* report);
    Report& report();
    const Report& report() const;
    const ReportLayout& layout() const;
    // Replace the attached report's layout; throws core::Error (the design
    // stays as it was) for a layout that does not validate.
    void setLayout(const ReportLayout& layout);
    void loadLayout(const QByteArray& bytes);
    void loadLayout(const QString& path);
    // The layout in the layout format. Throws core::Error when the bytes
    // would not load back into the same layout, so nothing unloadable is
    // ever handed out for saving.
    QByteArray saveLayout() const;

    // --- Edits ---------------------------------------------------------
    QUndoStack* undoStack() const;
    bool isModified() const;
    // false marks the current state as saved.
    void setModified(bool modified);
    void undo();
    void redo();

    // Runs a command by number; numbers that are not available now, or
    // unknown, do nothing.
    void executeCommand(int command);
    // Bit 1 available, bit 2 in force; 0 for unknown numbers.
    int commandState(int command) const;
    bool isLocked() const;

    // --- Selection -----------------------------------------------------
    // Index 0 is the primary control: the one the alignment and size
    // commands take as their reference, and whose format the states show.
    int selectionCount() const;
    // nullptr outside 0 .. selectionCount() - 1.
    const ReportControl* selectedControl(int index) const;
    QString selectedSectionName(int index) const;
    // By control name (ignoring case); add keeps the current selection.
    // false when no control has that name.
    bool selectControl(const QString& controlName, bool add = false);
    void selectAll();
    void clearSelection();
    void deleteSelection();

    // --- Insert tool ---------------------------------------------------
    // A control class name ("DDActiveReports2.Label", ...) or a type name;
    // empty text (or an unknown class, which returns false) selects. After a
    // control is made the tool goes back to select.
    bool setInsertTool(const QString& className);
    QString insertTool() const;
    // Shapes every control the insert tool makes before it is added, so what
    // it sets is part of the insert's undo step.
    void setInsertDefaults(std::function<void(ReportControl&)> defaults);

    // Adds a control to a section as one undoable edit and selects it. Its
    // left and top are taken as given (twips from the section's corner); a
    // name that is empty or already used in the layout is replaced by the
    // first free "<Type>n". Returns the name given, or empty text when the
    // section does not exist.
    QString addControl(const QString& sectionName, const ReportControl& control);

    // --- Formatting the selection (one undoable edit each) ---------------
    // typeNames limits the edit to the selected controls of those type names
    // ("Label", "Field", ...); empty means every selected control. An edit
    // that would change nothing is not recorded.
    void setSelectionFont(const FontSpec& font, const QStringList& typeNames = {});
    void setSelectionFontName(const QString& name, const QStringList& typeNames = {});
    void setSelectionFontSize(double points, const QStringList& typeNames = {});
    void setSelectionForeColor(const QColor& color, const QStringList& typeNames = {});
    // Also makes the controls opaque, or the colour would not show.
    void setSelectionBackColor(const QColor& color, const QStringList& typeNames = {});
    void setSelectionLineColor(const QColor& color, const QStringList& typeNames = {});
    // Any property by its name (ReportControl::setProperty); throws
    // core::Error for an unknown name or a bad value, changing nothing.
    void setSelectionProperty(const QString& propertyName, const QVariant& value,
                              const QStringList& typeNames = {});
    // One selected control's property. Consecutive edits of the same
    // property of the same control (typing a caption) make one undo step.
    void setControlProperty(int selectionIndex, const QString& propertyName, const QVariant& value);

    // --- Sections and page ---------------------------------------------
    void setSectionHeight(const QString& sectionName, double twips);
    void setPageSettings(const PageSettings& page);

    // --- View ----------------------------------------------------------
    // 1.0 shows the page at its printed size on a 96 dpi screen; kept
    // between 0.25 and 4. Ctrl+wheel and Ctrl+plus / Ctrl+minus change it.
    double zoom() const;
    void setZoom(double zoom);
    // Device pixels of the surface per twip at the current zoom.
    double pixelsPerTwip() const;
    // Spacing of the grid that AlignToGrid snaps to, in twips.
    double gridSize() const;
    void setGridSize(double twips);

    QWidget* surface() const;
    // The name of the section whose body lies under a surface point; empty
    // text outside every section.
    QString sectionAt(const QPoint& surfacePos) const;
    // A surface point in twips from the top-left corner of the section whose
    // title bar or body holds its height (y is negative on the title bar;
    // empty name and the point unchanged outside every section), and back.
    QPointF toTwips(const QPoint& surfacePos, QString* sectionName = nullptr) const;
    QPoint fromTwips(const QString& sectionName, const QPointF& twips) const;
    // Where a control stands on the surface (empty when there is no such control).
    QRect controlRect(const QString& controlName) const;

    // What a drop onto the surface does, for drops that do not come through
    // the platform's drag and drop (tests, programmatic moves): emits
    // dropped() when the point lies on a section and returns whether it did.
    bool dropAt(const QPoint& surfacePos, const QMimeData* data, QObject* source = nullptr);

Q_SIGNALS:
    // Something was dropped on a section: position in twips from the
    // section's top-left corner. The designer adds nothing itself.
    void dropped(const QString& sectionName, const QPointF& position, const QMimeData* data, QObject* source);
    void commandStateChanged(int command);
    // Asked before an edit of the kind `what` (DesignerQuery); the answer
    // arrives true, and a receiver that clears it refuses the edit.
    void query(int what, bool* answer);
    void selectionChanged();
    // After every edit, undo and redo, and after a new layout.
    void layoutEdited();
    void modifiedChanged(bool modified);
    void zoomChanged(double zoom);
    void insertToolChanged(const QString& className);

protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace report
