#include "ReportTestSupport.h"

#include "platform/core/Error.h"
#include "platform/report/LayoutFormat.h"
#include "platform/report/PagePainter.h"
#include "platform/report/ReportControl.h"
#include "platform/report/ReportDesigner.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>
#include <functional>
#include <limits>

namespace report::test {
namespace {

namespace Cmd = DesignerCommand;
constexpr int kAvailable = DesignerCommandState::Available;
constexpr int kInForce = DesignerCommandState::InForce;

// Page header, the group "Testa" with its footer "Calce", the detail; a label
// and a field in "Testa", a line in the detail, a shape in "Calce".
ReportLayout smallLayout()
{
    ReportLayout layout = ReportLayout::standard();
    layout.addGroup(QStringLiteral("Testa"), QStringLiteral("Calce"), QStringLiteral("fatId"), 1440, 1440);
    layout.section(QStringLiteral("Detail")).height = 720;
    auto& testa = layout.section(QStringLiteral("Testa"));
    addLabel(testa, QStringLiteral("lblA"), QStringLiteral("Cliente"), 300, 150, 1440);
    auto& b = addField(testa, QStringLiteral("txtB"), QStringLiteral("Cliente_Nome"), 2400, 600, 2000);
    b.height = 485;
    b.alignment = HorizontalAlignment::Right;
    auto& line = layout.section(QStringLiteral("Detail")).addControl(ControlKind::Line, QStringLiteral("linC"));
    line.left = 0;
    line.top = 300;
    line.width = 3000;
    auto& shape = layout.section(QStringLiteral("Calce")).addControl(ControlKind::Shape, QStringLiteral("shpD"));
    shape.left = 300;
    shape.top = 300;
    shape.height = 720;
    return layout;
}

class Designer : public ::testing::Test {
protected:
    void SetUp() override
    {
        designer.resize(1024, 768);
        designer.setLayout(smallLayout());
        designer.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&designer));
    }

    const ReportControl& control(const QString& name) { return designer.layout().control(name); }
    bool has(const QString& name)
    {
        for (const auto& s : designer.layout().sections)
            if (s.findControl(name))
                return true;
        return false;
    }
    QWidget* surface() { return designer.surface(); }
    QPoint centre(const QString& name) { return designer.controlRect(name).center(); }
    QPoint at(const QString& section, double x, double y) { return designer.fromTwips(section, {x, y}); }

    void select(std::initializer_list<const char*> names)
    {
        designer.clearSelection();
        for (const char* n : names)
            ASSERT_TRUE(designer.selectControl(QString::fromLatin1(n), true)) << n;
    }

    QStringList selectedNames()
    {
        QStringList names;
        for (int i = 0; i < designer.selectionCount(); ++i)
            names << designer.selectedControl(i)->name;
        return names;
    }

    void drag(const QPoint& from, const QPoint& to, Qt::KeyboardModifiers mods = {})
    {
        QTest::mousePress(surface(), Qt::LeftButton, mods, from);
        // Two steps, so the move passes the drag distance before it ends.
        QTest::mouseMove(surface(), (from + to) / 2);
        QTest::mouseMove(surface(), to);
        QTest::mouseRelease(surface(), Qt::LeftButton, mods, to);
    }

    ReportDesigner designer;
};

// --- Commands by number ------------------------------------------------------

struct CommandCase {
    const char* label;
    int command;
    std::vector<const char*> selection; // the first is the reference
    std::function<void(ReportLayout&)> expected;
};

TEST_F(Designer, EachCommandChangesTheLayoutAndUndoPutsItBack)
{
    auto a = [](ReportLayout& l) -> ReportControl& { return l.control(QStringLiteral("lblA")); };
    auto b = [](ReportLayout& l) -> ReportControl& { return l.control(QStringLiteral("txtB")); };
    // lblA: 300, 150, 1440 x 285; txtB: 2400, 600, 2000 x 485, aligned right.
    const std::vector<CommandCase> cases = {
        {"align lefts", Cmd::AlignLefts, {"txtB", "lblA"}, [&](ReportLayout& l) { a(l).left = 2400; }},
        {"align rights", Cmd::AlignRights, {"txtB", "lblA"}, [&](ReportLayout& l) { a(l).left = 2960; }},
        {"align centres", Cmd::AlignCenters, {"txtB", "lblA"}, [&](ReportLayout& l) { a(l).left = 2680; }},
        {"align tops", Cmd::AlignTops, {"txtB", "lblA"}, [&](ReportLayout& l) { a(l).top = 600; }},
        {"align middles", Cmd::AlignMiddles, {"txtB", "lblA"}, [&](ReportLayout& l) { a(l).top = 700; }},
        {"align bottoms", Cmd::AlignBottoms, {"txtB", "lblA"}, [&](ReportLayout& l) { a(l).top = 800; }},
        {"reference is the first selected", Cmd::AlignLefts, {"lblA", "txtB"},
         [&](ReportLayout& l) { b(l).left = 300; }},
        {"align to grid", Cmd::AlignToGrid, {"lblA"}, [&](ReportLayout& l) {
             a(l).left = 360;
             a(l).top = 120;
         }},
        {"same width", Cmd::SameWidth, {"txtB", "lblA"}, [&](ReportLayout& l) { a(l).width = 2000; }},
        {"same height", Cmd::SameHeight, {"txtB", "lblA"}, [&](ReportLayout& l) { a(l).height = 485; }},
        {"same size", Cmd::SameSize, {"txtB", "lblA"}, [&](ReportLayout& l) {
             a(l).width = 2000;
             a(l).height = 485;
         }},
        {"bring to front", Cmd::BringToFront, {"lblA"}, [](ReportLayout& l) {
             auto& c = l.section(QStringLiteral("Testa")).controls;
             std::swap(c[0], c[1]);
         }},
        {"send to back", Cmd::SendToBack, {"txtB"}, [](ReportLayout& l) {
             auto& c = l.section(QStringLiteral("Testa")).controls;
             std::swap(c[0], c[1]);
         }},
        {"bold", Cmd::Bold, {"lblA", "txtB"}, [&](ReportLayout& l) { a(l).font.bold = b(l).font.bold = true; }},
        {"italic", Cmd::Italic, {"lblA"}, [&](ReportLayout& l) { a(l).font.italic = true; }},
        {"underline", Cmd::Underline, {"lblA"}, [&](ReportLayout& l) { a(l).font.underline = true; }},
        {"bold leaves a line alone", Cmd::Bold, {"linC", "lblA"}, [&](ReportLayout& l) { a(l).font.bold = true; }},
        {"text left", Cmd::TextAlignLeft, {"txtB"},
         [&](ReportLayout& l) { b(l).alignment = HorizontalAlignment::Left; }},
        {"text centre", Cmd::TextAlignCenter, {"lblA", "txtB"}, [&](ReportLayout& l) {
             a(l).alignment = b(l).alignment = HorizontalAlignment::Center;
         }},
        {"text right", Cmd::TextAlignRight, {"lblA"},
         [&](ReportLayout& l) { a(l).alignment = HorizontalAlignment::Right; }},
    };
    const ReportLayout original = smallLayout();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        designer.setLayout(original);
        designer.clearSelection();
        for (const char* name : c.selection)
            designer.selectControl(QString::fromLatin1(name), true);
        ReportLayout expected = original;
        c.expected(expected);

        designer.executeCommand(c.command);
        EXPECT_TRUE(designer.layout() == expected);
        EXPECT_TRUE(designer.isModified());
        EXPECT_EQ(designer.undoStack()->count(), 1);
        designer.undo();
        EXPECT_TRUE(designer.layout() == original);
        EXPECT_FALSE(designer.isModified());
        designer.redo();
        EXPECT_TRUE(designer.layout() == expected);
    }
}

TEST_F(Designer, CommandsThatChangeNothingAreNotRecorded)
{
    select({"lblA"});
    designer.executeCommand(Cmd::TextAlignLeft); // already left
    designer.executeCommand(Cmd::BringToFront);  // lblA is behind txtB: this one counts
    designer.executeCommand(Cmd::BringToFront);  // now in front already
    designer.executeCommand(Cmd::AlignLefts);    // needs two controls
    designer.executeCommand(999);
    EXPECT_EQ(designer.undoStack()->count(), 1);
}

TEST_F(Designer, LockStopsMovingAndSizingAndIsUndoable)
{
    select({"lblA", "txtB"});
    designer.executeCommand(Cmd::LockControls);
    ASSERT_TRUE(designer.isLocked());
    EXPECT_EQ(designer.commandState(Cmd::LockControls), kAvailable | kInForce);

    const ReportLayout before = designer.layout();
    designer.executeCommand(Cmd::AlignLefts);
    designer.setFocus();
    QTest::keyClick(&designer, Qt::Key_Right);
    QTest::keyClick(&designer, Qt::Key_Down, Qt::ShiftModifier);
    drag(centre(QStringLiteral("lblA")), centre(QStringLiteral("lblA")) + QPoint(40, 40));
    EXPECT_TRUE(designer.layout() == before);

    designer.undo();
    EXPECT_FALSE(designer.isLocked());
    EXPECT_EQ(designer.commandState(Cmd::LockControls), kAvailable);
}

// --- Command states ----------------------------------------------------------

TEST_F(Designer, StatesFollowTheSelectionAndTheFormatOfTheFirstTextControl)
{
    struct Case {
        std::vector<const char*> selection;
        std::vector<std::pair<int, int>> states;
    };
    const std::vector<Case> cases = {
        {{},
         {{Cmd::AlignLefts, 0}, {Cmd::AlignToGrid, 0}, {Cmd::BringToFront, 0}, {Cmd::LockControls, kAvailable},
          {Cmd::Font, 0}, {Cmd::Bold, 0}, {Cmd::ForeColor, 0}, {Cmd::LineColor, 0}}},
        {{"lblA"},
         {{Cmd::AlignLefts, 0}, {Cmd::SameSize, 0}, {Cmd::AlignToGrid, kAvailable}, {Cmd::SendToBack, kAvailable},
          {Cmd::Font, kAvailable}, {Cmd::FontSize, kAvailable}, {Cmd::Bold, kAvailable},
          {Cmd::TextAlignLeft, kAvailable | kInForce}, {Cmd::TextAlignRight, kAvailable},
          {Cmd::ForeColor, kAvailable}, {Cmd::BackColor, kAvailable}, {Cmd::LineColor, 0}}},
        {{"linC"}, {{Cmd::Font, 0}, {Cmd::Bold, 0}, {Cmd::ForeColor, 0}, {Cmd::BackColor, 0}, {Cmd::LineColor, kAvailable}}},
        {{"shpD"}, {{Cmd::Font, 0}, {Cmd::BackColor, kAvailable}, {Cmd::LineColor, kAvailable}}},
        // The line comes first; the states show the first text control.
        {{"linC", "txtB"},
         {{Cmd::AlignLefts, kAvailable}, {Cmd::SameHeight, kAvailable}, {Cmd::TextAlignRight, kAvailable | kInForce},
          {Cmd::TextAlignLeft, kAvailable}, {Cmd::LineColor, kAvailable}}},
    };
    for (const auto& c : cases) {
        designer.clearSelection();
        for (const char* name : c.selection)
            designer.selectControl(QString::fromLatin1(name), true);
        for (const auto& [command, state] : c.states)
            EXPECT_EQ(designer.commandState(command), state)
                << "command " << command << " with " << selectedNames().join(QLatin1Char(',')).toStdString();
    }
}

TEST_F(Designer, ChangedStatesAreAnnounced)
{
    QSignalSpy changed(&designer, &ReportDesigner::commandStateChanged);
    select({"lblA"});
    auto announced = [&changed] {
        QList<int> commands;
        for (const auto& args : changed)
            commands << args.at(0).toInt();
        changed.clear();
        return commands;
    };
    QList<int> first = announced();
    EXPECT_TRUE(first.contains(Cmd::Bold));
    EXPECT_TRUE(first.contains(Cmd::Font));
    EXPECT_FALSE(first.contains(Cmd::LockControls)); // unchanged: available before and after

    designer.executeCommand(Cmd::Bold);
    EXPECT_EQ(designer.commandState(Cmd::Bold), kAvailable | kInForce);
    EXPECT_EQ(announced(), QList<int>{Cmd::Bold});
    designer.undo();
    EXPECT_EQ(announced(), QList<int>{Cmd::Bold});
    EXPECT_EQ(designer.commandState(Cmd::Bold), kAvailable);
}

// --- Selection with the mouse ------------------------------------------------

TEST_F(Designer, ClickCtrlClickAndRubberBandSelect)
{
    QSignalSpy changed(&designer, &ReportDesigner::selectionChanged);
    QTest::mouseClick(surface(), Qt::LeftButton, {}, centre(QStringLiteral("lblA")));
    EXPECT_EQ(selectedNames(), QStringList{QStringLiteral("lblA")});
    EXPECT_EQ(designer.selectedSectionName(0), QStringLiteral("Testa"));

    QTest::mouseClick(surface(), Qt::LeftButton, Qt::ControlModifier, centre(QStringLiteral("shpD")));
    EXPECT_EQ(selectedNames(), (QStringList{QStringLiteral("lblA"), QStringLiteral("shpD")}));
    QTest::mouseClick(surface(), Qt::LeftButton, Qt::ControlModifier, centre(QStringLiteral("lblA")));
    EXPECT_EQ(selectedNames(), QStringList{QStringLiteral("shpD")});
    EXPECT_EQ(designer.selectedControl(1), nullptr);

    // A click on an empty place of a section clears the selection.
    QTest::mouseClick(surface(), Qt::LeftButton, {}, at(QStringLiteral("Testa"), 6000, 1200));
    EXPECT_EQ(designer.selectionCount(), 0);

    // From an empty place of "Testa" across lblA and txtB, stopping short of the detail's line.
    drag(at(QStringLiteral("Testa"), 150, 60), at(QStringLiteral("Testa"), 2500, 700));
    EXPECT_EQ(selectedNames(), (QStringList{QStringLiteral("lblA"), QStringLiteral("txtB")}));
    // A line is caught by a band crossing it, across sections, with Ctrl adding.
    drag(at(QStringLiteral("Detail"), 1000, 150), at(QStringLiteral("Detail"), 1500, 450), Qt::ControlModifier);
    EXPECT_EQ(selectedNames(), (QStringList{QStringLiteral("lblA"), QStringLiteral("txtB"), QStringLiteral("linC")}));
    EXPECT_EQ(changed.count(), 6);
}

TEST_F(Designer, ClickOnAControlOfTheSelectionKeepsTheSelectionForADrag)
{
    select({"lblA", "txtB"});
    QTest::mouseClick(surface(), Qt::LeftButton, {}, centre(QStringLiteral("txtB")));
    EXPECT_EQ(designer.selectionCount(), 2);
    QTest::mouseClick(surface(), Qt::LeftButton, {}, centre(QStringLiteral("shpD")));
    EXPECT_EQ(selectedNames(), QStringList{QStringLiteral("shpD")});
}

// --- Moving and sizing -------------------------------------------------------

TEST_F(Designer, MouseMovesTheSelectionByTheTwipsOfThePixelsAtTheZoom)
{
    struct Case {
        double zoom;
        QPoint pixels;
        double twipsX, twipsY;
    };
    // At zoom 1 a pixel is 15 twips.
    for (const Case& c : {Case{1.0, {20, 10}, 300, 150}, Case{1.5, {30, -9}, 300, -90}, Case{0.5, {-5, 6}, -150, 180}}) {
        SCOPED_TRACE(c.zoom);
        designer.setLayout(smallLayout());
        designer.setZoom(c.zoom);
        select({"lblA", "txtB"});
        const QPoint from = centre(QStringLiteral("txtB"));
        drag(from, from + c.pixels);
        EXPECT_DOUBLE_EQ(control(QStringLiteral("lblA")).left, 300 + c.twipsX);
        EXPECT_DOUBLE_EQ(control(QStringLiteral("lblA")).top, 150 + c.twipsY);
        EXPECT_DOUBLE_EQ(control(QStringLiteral("txtB")).left, 2400 + c.twipsX);
        EXPECT_DOUBLE_EQ(control(QStringLiteral("txtB")).top, 600 + c.twipsY);
        EXPECT_EQ(designer.undoStack()->count(), 1);
        designer.undo();
        EXPECT_TRUE(designer.layout() == smallLayout());
    }
}

TEST_F(Designer, MovingStopsAtTheSectionsTopLeftCornerKeepingTheGroupsShape)
{
    select({"lblA", "txtB"});
    drag(centre(QStringLiteral("txtB")), centre(QStringLiteral("txtB")) + QPoint(-100, -100));
    EXPECT_DOUBLE_EQ(control(QStringLiteral("lblA")).left, 0);
    EXPECT_DOUBLE_EQ(control(QStringLiteral("lblA")).top, 0);
    EXPECT_DOUBLE_EQ(control(QStringLiteral("txtB")).left, 2100);
    EXPECT_DOUBLE_EQ(control(QStringLiteral("txtB")).top, 450);
}

TEST_F(Designer, ArrowKeysMoveAndShiftArrowsResizeByOnePixelAtTheZoom)
{
    struct Case {
        double zoom;
        double step;
    };
    for (const Case& c : {Case{1.0, 15}, Case{1.5, 10}, Case{0.5, 30}, Case{2.0, 8}}) {
        SCOPED_TRACE(c.zoom);
        designer.setLayout(smallLayout());
        designer.setZoom(c.zoom);
        select({"lblA"});
        designer.setFocus();
        QTest::keyClick(&designer, Qt::Key_Right);
        QTest::keyClick(&designer, Qt::Key_Right);
        QTest::keyClick(&designer, Qt::Key_Up);
        QTest::keyClick(&designer, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&designer, Qt::Key_Up, Qt::ShiftModifier);
        const auto& a = control(QStringLiteral("lblA"));
        EXPECT_DOUBLE_EQ(a.left, 300 + 2 * c.step);
        EXPECT_DOUBLE_EQ(a.top, 150 - c.step);
        EXPECT_DOUBLE_EQ(a.width, 1440 + c.step);
        EXPECT_DOUBLE_EQ(a.height, 285 - c.step);
        // Held keys make one step of undo for the moves and one for the sizes.
        EXPECT_EQ(designer.undoStack()->count(), 2);
        designer.undo();
        designer.undo();
        EXPECT_TRUE(designer.layout() == smallLayout());
    }
}

TEST_F(Designer, HandlesResizeAndTheLowerEdgeOfASectionSetsItsHeight)
{
    select({"lblA"});
    const QRect box = designer.controlRect(QStringLiteral("lblA"));
    drag(box.bottomRight() + QPoint(1, 1), box.bottomRight() + QPoint(16, 31));
    EXPECT_DOUBLE_EQ(control(QStringLiteral("lblA")).width, 1440 + 225);
    EXPECT_DOUBLE_EQ(control(QStringLiteral("lblA")).height, 285 + 450);
    EXPECT_DOUBLE_EQ(control(QStringLiteral("lblA")).left, 300);

    // The top-left handle moves the corner and keeps the opposite one.
    const QRect grown = designer.controlRect(QStringLiteral("lblA"));
    drag(grown.topLeft(), grown.topLeft() + QPoint(10, 4));
    EXPECT_DOUBLE_EQ(control(QStringLiteral("lblA")).left, 450);
    EXPECT_DOUBLE_EQ(control(QStringLiteral("lblA")).width, 1440 + 225 - 150);
    EXPECT_DOUBLE_EQ(control(QStringLiteral("lblA")).top, 210);

    const QPoint edge = at(QStringLiteral("Testa"), 7000, 1440);
    const QPoint detailBefore = at(QStringLiteral("Detail"), 0, 0);
    drag(edge, edge + QPoint(0, 30));
    EXPECT_DOUBLE_EQ(designer.layout().section(QStringLiteral("Testa")).height, 1440 + 450);
    // The sections below moved down with the edge.
    EXPECT_EQ(at(QStringLiteral("Detail"), 0, 0), detailBefore + QPoint(0, 30));
    designer.undo();
    EXPECT_DOUBLE_EQ(designer.layout().section(QStringLiteral("Testa")).height, 1440);
}

// --- Delete, insert, drop ----------------------------------------------------

TEST_F(Designer, DeleteRemovesTheSelectionAndUndoPutsItBackInItsPlace)
{
    select({"txtB", "shpD", "lblA"});
    designer.setFocus();
    QTest::keyClick(&designer, Qt::Key_Delete);
    EXPECT_EQ(designer.selectionCount(), 0);
    EXPECT_TRUE(designer.layout().section(QStringLiteral("Testa")).controls.empty());
    EXPECT_TRUE(designer.layout().section(QStringLiteral("Calce")).controls.empty());
    EXPECT_TRUE(has(QStringLiteral("linC")));

    QTest::keyClick(&designer, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(designer.layout() == smallLayout());
    EXPECT_EQ(designer.selectionCount(), 3);
    QTest::keyClick(&designer, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(designer.layout().section(QStringLiteral("Testa")).controls.empty());
}

TEST_F(Designer, AQueryAnsweredNoRefusesTheEdit)
{
    int asked = 0;
    QObject::connect(&designer, &ReportDesigner::query, &designer, [&asked](int, bool* answer) {
        ++asked;
        *answer = false;
    });
    select({"lblA"});
    designer.deleteSelection();
    designer.setInsertTool(QStringLiteral("DDActiveReports2.Label"));
    QTest::mouseClick(surface(), Qt::LeftButton, {}, at(QStringLiteral("Detail"), 4000, 100));
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(designer.layout() == smallLayout());
    EXPECT_EQ(designer.undoStack()->count(), 0);
}

TEST_F(Designer, TheInsertToolMakesAControlByClickOrDragAndGoesBackToSelect)
{
    QSignalSpy tool(&designer, &ReportDesigner::insertToolChanged);
    ASSERT_TRUE(designer.setInsertTool(QStringLiteral("DDActiveReports2.Label")));
    EXPECT_EQ(designer.insertTool(), QStringLiteral("DDActiveReports2.Label"));
    QTest::mouseClick(surface(), Qt::LeftButton, {}, at(QStringLiteral("Detail"), 4500, 150));
    ASSERT_EQ(designer.selectionCount(), 1);
    const ReportControl label = *designer.selectedControl(0);
    EXPECT_EQ(label.kind, ControlKind::Label);
    EXPECT_EQ(label.name, QStringLiteral("Label1"));
    EXPECT_EQ(designer.selectedSectionName(0), QStringLiteral("Detail"));
    EXPECT_DOUBLE_EQ(label.left, 4500);
    EXPECT_DOUBLE_EQ(label.top, 150);
    EXPECT_DOUBLE_EQ(label.width, 1440);
    EXPECT_DOUBLE_EQ(label.height, 285);
    EXPECT_EQ(designer.insertTool(), QString());
    EXPECT_EQ(tool.count(), 2);

    ASSERT_TRUE(designer.setInsertTool(QStringLiteral("DDActiveReports2.Shape")));
    drag(at(QStringLiteral("Calce"), 4500, 900), at(QStringLiteral("Calce"), 3000, 300));
    const ReportControl& shape = control(QStringLiteral("Shape1"));
    EXPECT_EQ(designer.selectedSectionName(0), QStringLiteral("Calce"));
    EXPECT_EQ(QRectF(shape.left, shape.top, shape.width, shape.height), QRectF(3000, 300, 1500, 600));

    // Outside every section nothing is made; an unknown class selects.
    ASSERT_TRUE(designer.setInsertTool(QStringLiteral("DDActiveReports2.Field")));
    QTest::mouseClick(surface(), Qt::LeftButton, {}, at(QStringLiteral("Testa"), 4000, -150));
    EXPECT_FALSE(has(QStringLiteral("Field1")));
    EXPECT_FALSE(designer.setInsertTool(QStringLiteral("DDActiveReports2.Barcode")));
    EXPECT_EQ(designer.insertTool(), QString());

    designer.undo();
    designer.undo();
    EXPECT_TRUE(designer.layout() == smallLayout());
}

TEST_F(Designer, ADropTellsTheSectionAndTheTwipsAndAddsNothingItself)
{
    designer.setZoom(1.5);
    designer.resize(500, 300); // small enough to scroll
    designer.verticalScrollBar()->setValue(120);
    QSignalSpy dropped(&designer, &ReportDesigner::dropped);
    QMimeData mime;
    mime.setText(QStringLiteral("Cliente_Nome"));

    const QPoint point = at(QStringLiteral("Calce"), 600, 450);
    EXPECT_EQ(designer.sectionAt(point), QStringLiteral("Calce"));
    ASSERT_TRUE(designer.dropAt(point, &mime));
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toString(), QStringLiteral("Calce"));
    EXPECT_EQ(dropped.at(0).at(1).toPointF(), QPointF(600, 450));
    EXPECT_EQ(dropped.at(0).at(2).value<const QMimeData*>(), &mime);

    // The platform's drop goes the same way.
    const QPoint other = at(QStringLiteral("Calce"), 150, 90);
    QDragEnterEvent enter(other, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(surface(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(other, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(surface(), &drop);
    ASSERT_EQ(dropped.count(), 2);
    EXPECT_EQ(dropped.at(1).at(0).toString(), QStringLiteral("Calce"));
    EXPECT_EQ(dropped.at(1).at(1).toPointF(), QPointF(150, 90));

    // On a section's title bar there is no section.
    const QPoint onBar = at(QStringLiteral("Calce"), 600, -150);
    EXPECT_EQ(designer.sectionAt(onBar), QString());
    // A drag that enters there is still taken, so it can go on to a section:
    // refused only while it stands where nothing can be dropped.
    QDragEnterEvent enterOnBar(onBar, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(surface(), &enterOnBar);
    EXPECT_TRUE(enterOnBar.isAccepted());
    QDragMoveEvent moveOnBar(onBar, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(surface(), &moveOnBar);
    EXPECT_FALSE(moveOnBar.isAccepted());
    QDragMoveEvent moveIn(other, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(surface(), &moveIn);
    EXPECT_TRUE(moveIn.isAccepted());
    EXPECT_FALSE(designer.dropAt(onBar, &mime));
    EXPECT_EQ(dropped.count(), 2);
    EXPECT_TRUE(designer.layout() == smallLayout());
}

TEST_F(Designer, AddControlIsOneUndoableEditWithAFreeName)
{
    ReportControl field;
    field.kind = ControlKind::Field;
    field.name = QStringLiteral("Cliente_Nome");
    field.caption = QStringLiteral(".Cliente_Nome");
    field.dataField = QStringLiteral("Cliente_Nome");
    field.left = 600;
    field.top = 450;
    EXPECT_EQ(designer.addControl(QStringLiteral("Testa"), field), QStringLiteral("Cliente_Nome"));
    EXPECT_EQ(selectedNames(), QStringList{QStringLiteral("Cliente_Nome")});
    EXPECT_TRUE(control(QStringLiteral("Cliente_Nome")) == field);
    // A name used anywhere in the layout is not given twice.
    field.name = QStringLiteral("linC");
    EXPECT_EQ(designer.addControl(QStringLiteral("Calce"), field), QStringLiteral("Field1"));
    EXPECT_EQ(designer.addControl(QStringLiteral("Nessuna"), field), QString());
    EXPECT_EQ(designer.undoStack()->count(), 2);
    designer.undo();
    designer.undo();
    EXPECT_TRUE(designer.layout() == smallLayout());
}

// --- Formatting calls of the window --------------------------------------------

TEST_F(Designer, FormatCallsChangeTheSelectedControlsOfTheTypesNamed)
{
    const QStringList textTypes{QStringLiteral("Label"), QStringLiteral("Field"), QStringLiteral("Checkbox")};
    select({"linC", "lblA", "shpD"});
    designer.setSelectionFontName(QStringLiteral("Courier New"), textTypes);
    designer.setSelectionFontSize(14, textTypes);
    designer.setSelectionBackColor(QColor(255, 255, 0), {QStringLiteral("Label"), QStringLiteral("Shape")});
    designer.setSelectionLineColor(QColor(0, 0, 255), {QStringLiteral("Line")});
    designer.setSelectionForeColor(QColor()); // a cancelled dialog
    EXPECT_EQ(designer.undoStack()->count(), 4);

    ReportLayout expected = smallLayout();
    auto& a = expected.control(QStringLiteral("lblA"));
    a.font.name = QStringLiteral("Courier New");
    a.font.size = 14;
    a.backColor = QColor(255, 255, 0);
    a.backStyle = BackStyle::Opaque;
    auto& d = expected.control(QStringLiteral("shpD"));
    d.backColor = QColor(255, 255, 0);
    d.backStyle = BackStyle::Opaque;
    expected.control(QStringLiteral("linC")).lineColor = QColor(0, 0, 255);
    EXPECT_TRUE(designer.layout() == expected);

    // The font of a dialog goes to every selected control.
    FontSpec font;
    font.name = QStringLiteral("Times New Roman");
    font.bold = true;
    designer.setSelectionFont(font);
    EXPECT_EQ(control(QStringLiteral("linC")).font, font);
    EXPECT_EQ(control(QStringLiteral("shpD")).font, font);

    for (int i = 0; i < 5; ++i)
        designer.undo();
    EXPECT_TRUE(designer.layout() == smallLayout());
}

TEST_F(Designer, ACaptionTypedLetterByLetterIsOneUndoStepAndABadPropertyChangesNothing)
{
    select({"lblA"});
    for (const char* text : {"C", "Cl", "Cli"})
        designer.setControlProperty(0, QStringLiteral("Caption"), QString::fromLatin1(text));
    EXPECT_EQ(control(QStringLiteral("lblA")).caption, QStringLiteral("Cli"));
    designer.setControlProperty(0, QStringLiteral("VerticalAlignment"), 1);
    EXPECT_EQ(designer.undoStack()->count(), 2);

    EXPECT_THROW(designer.setSelectionProperty(QStringLiteral("Nonesiste"), 1), core::Error);
    EXPECT_THROW(designer.setControlProperty(0, QStringLiteral("Alignment"), 7), core::Error);
    EXPECT_EQ(designer.undoStack()->count(), 2);

    designer.undo();
    designer.undo();
    EXPECT_TRUE(designer.layout() == smallLayout());
}

// --- Undo stack, modified flag, layouts in and out ------------------------------

TEST_F(Designer, TheModifiedFlagFollowsTheCleanStateOfTheUndoStack)
{
    QSignalSpy modified(&designer, &ReportDesigner::modifiedChanged);
    select({"lblA"});
    designer.setFocus();
    QTest::keyClick(&designer, Qt::Key_Down);
    EXPECT_TRUE(designer.isModified());
    designer.setModified(false); // saved
    EXPECT_FALSE(designer.isModified());
    QTest::keyClick(&designer, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(designer.isModified()); // before the save
    QTest::keyClick(&designer, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(designer.isModified());
    EXPECT_EQ(modified.count(), 4);

    designer.setPageSettings([&] {
        PageSettings page = designer.layout().page;
        page.margins.left = 25 * 56.677;
        return page;
    }());
    designer.setSectionHeight(QStringLiteral("Calce"), 2000);
    EXPECT_TRUE(designer.isModified());
    designer.loadLayout(designer.saveLayout());
    EXPECT_FALSE(designer.isModified());
    EXPECT_EQ(designer.undoStack()->count(), 0);
    EXPECT_EQ(designer.selectionCount(), 0);
    EXPECT_DOUBLE_EQ(designer.layout().page.margins.left, 25 * 56.677);
}

TEST_F(Designer, ADesignedLayoutSavesAndLoadsBackIdentically)
{
    Report report;
    report.setLayout(smallLayout());
    designer.attachReport(&report);
    select({"lblA"});
    designer.executeCommand(Cmd::Bold);
    designer.setSelectionBackColor(QColor(10, 200, 30));
    designer.setInsertTool(QStringLiteral("DDActiveReports2.Image"));
    QTest::mouseClick(surface(), Qt::LeftButton, {}, at(QStringLiteral("PageHeader"), 4000, 0));
    designer.setControlProperty(0, QStringLiteral("Caption"), QStringLiteral("Logo"));
    ReportControl picture = *designer.selectedControl(0);
    picture.name = QStringLiteral("imgLogo");
    picture.picture = samplePicture();
    designer.addControl(QStringLiteral("PageHeader"), picture);
    designer.setSectionHeight(QStringLiteral("Detail"), 333);

    // The designer edited the attached report itself.
    EXPECT_TRUE(report.layout().control(QStringLiteral("lblA")).font.bold);
    const QByteArray bytes = designer.saveLayout();
    EXPECT_TRUE(LayoutFormat::read(bytes).control(QStringLiteral("lblA")) == designer.layout().control(QStringLiteral("lblA")));

    ReportDesigner other;
    other.loadLayout(bytes);
    EXPECT_EQ(other.saveLayout(), bytes);
    const ReportLayout& back = other.layout();
    ASSERT_EQ(back.sections.size(), designer.layout().sections.size());
    for (std::size_t s = 0; s < back.sections.size(); ++s) {
        const auto& mine = designer.layout().sections[s];
        ASSERT_EQ(back.sections[s].controls.size(), mine.controls.size());
        EXPECT_DOUBLE_EQ(back.sections[s].height, mine.height);
        for (std::size_t c = 0; c < mine.controls.size(); ++c) {
            ReportControl a = back.sections[s].controls[c];
            ReportControl b = mine.controls[c];
            EXPECT_EQ(a.picture.convertToFormat(QImage::Format_ARGB32), b.picture.convertToFormat(QImage::Format_ARGB32));
            a.picture = b.picture = QImage();
            EXPECT_TRUE(a == b) << b.name.toStdString();
        }
    }
}

TEST_F(Designer, ALayoutThatDoesNotLoadLeavesTheDesignAsItWas)
{
    select({"lblA"});
    designer.executeCommand(Cmd::Italic);
    EXPECT_THROW(designer.loadLayout(QByteArray("{\"format\": \"altro\"}")), core::Error);
    ReportLayout bad = smallLayout();
    bad.sections.push_back(bad.sections.front()); // a section name twice
    EXPECT_THROW(designer.setLayout(bad), core::Error);
    EXPECT_TRUE(control(QStringLiteral("lblA")).font.italic);
    EXPECT_EQ(designer.undoStack()->count(), 1);
}

TEST_F(Designer, SavingRefusesALayoutThatWouldNotLoadBack)
{
    select({"lblA"});
    designer.setControlProperty(0, QStringLiteral("Left"), std::numeric_limits<double>::quiet_NaN());
    EXPECT_THROW(designer.saveLayout(), core::Error);
}

// --- Drawing -----------------------------------------------------------------

TEST_F(Designer, AControlIsDrawnOnTheSurfaceAsOnThePrintedPage)
{
    ReportLayout layout = smallLayout();
    auto& header = layout.section(QStringLiteral("PageHeader"));
    header.height = 1440;
    auto& label = addLabel(header, QStringLiteral("lblTitolo"), QStringLiteral("Fattura N° 15"), 1500, 300, 3000);
    label.height = 600;
    label.font.size = 16;
    label.font.bold = true;
    label.alignment = HorizontalAlignment::Center;
    label.verticalAlignment = VerticalAlignment::Middle;
    label.foreColor = QColor(0, 0, 128);
    label.backColor = QColor(255, 240, 200);
    label.backStyle = BackStyle::Opaque;
    Report report;
    report.setLayout(layout);
    report.run();
    designer.attachReport(&report);
    designer.setZoom(1.0);

    // The page at the same scale as the surface.
    const ReportPage& page = report.pages().page(0);
    const double s = designer.pixelsPerTwip();
    QImage paper(QSize(qRound(page.width * s), qRound(page.height * s)), QImage::Format_RGB32);
    paper.fill(Qt::white);
    {
        QPainter painter(&paper);
        painter.scale(s, s);
        paintPage(painter, page);
    }
    const QImage screen = designer.surface()->grab().toImage().convertToFormat(QImage::Format_ARGB32);

    const QRect onScreen = designer.controlRect(QStringLiteral("lblTitolo"));
    const QPoint onPaper(qRound((layout.page.margins.left + label.left) * s), qRound((layout.page.margins.top + label.top) * s));
    ASSERT_EQ(onScreen.size(), QSize(qRound(label.width * s), qRound(label.height * s)));
    // Inside the dotted outline the designer draws around every control.
    const QRect inner = QRect(QPoint(0, 0), onScreen.size()).adjusted(2, 2, -2, -2);
    const QImage a = screen.copy(inner.translated(onScreen.topLeft()));
    const QImage b = paper.copy(inner.translated(onPaper)).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(a, b);
    // And there is text in it, not only the back colour.
    int inked = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            inked += b.pixelColor(x, y) != label.backColor;
    EXPECT_GT(inked, 50);
}

TEST_F(Designer, ZoomIsKeptWithinItsRangeAndScalesTheSurface)
{
    // 1440 x 285 twips: an inch wide at 96 dots per inch.
    EXPECT_EQ(designer.controlRect(QStringLiteral("lblA")).size(), QSize(96, 19));
    designer.setZoom(2.0);
    EXPECT_EQ(designer.controlRect(QStringLiteral("lblA")).size(), QSize(192, 38));
    designer.setZoom(100);
    EXPECT_DOUBLE_EQ(designer.zoom(), 4.0);
    designer.setZoom(0);
    EXPECT_DOUBLE_EQ(designer.zoom(), 0.25);
}

} // namespace
} // namespace report::test

namespace report::test {
namespace {

TEST_F(Designer, AlignmentKeepsEveryControlInsideItsSection)
{
    ReportLayout wide = smallLayout();
    wide.control(QStringLiteral("txtB")).width = 4000;
    designer.setLayout(wide);
    struct Case {
        const char* label;
        int command;
        double left;
        double top;
    };
    // lblA (300, 150, 1440 x 285) is the reference of txtB (2400, 600, 4000 x 485).
    const Case cases[] = {
        {"rights", Cmd::AlignRights, 0, 600},
        {"centers", Cmd::AlignCenters, 0, 600},
        {"bottoms", Cmd::AlignBottoms, 2400, 0},
        {"middles", Cmd::AlignMiddles, 2400, 50},
    };
    for (const Case& c : cases) {
        designer.setLayout(wide);
        select({"lblA", "txtB"});
        designer.executeCommand(c.command);
        EXPECT_EQ(control(QStringLiteral("txtB")).left, c.left) << c.label;
        EXPECT_EQ(control(QStringLiteral("txtB")).top, c.top) << c.label;
        EXPECT_EQ(control(QStringLiteral("lblA")), wide.control(QStringLiteral("lblA"))) << c.label;
    }
}

TEST_F(Designer, AnEditAskedForWhileAnEditIsDoneOrUndoneIsNotRecorded)
{
    // A receiver of the selection signal that edits what it is shown.
    QObject::connect(&designer, &ReportDesigner::selectionChanged, &designer, [this] {
        if (designer.selectionCount() == 1)
            designer.setControlProperty(0, QStringLiteral("VerticalAlignment"), 1);
    });
    designer.setInsertDefaults([](ReportControl& c) {
        if (c.kind == ControlKind::Label)
            c.caption = QStringLiteral("Nuova");
    });
    const ReportLayout before = designer.layout();
    ASSERT_TRUE(designer.setInsertTool(QStringLiteral("Label")));
    QTest::mouseClick(surface(), Qt::LeftButton, {}, at(QStringLiteral("Testa"), 300, 900));
    ASSERT_EQ(designer.undoStack()->count(), 1);
    const ReportControl made = control(QStringLiteral("Label1"));
    EXPECT_EQ(made.caption, QStringLiteral("Nuova")) << "the defaults belong to the insert";
    for (int round = 0; round < 2; ++round) {
        designer.undo();
        EXPECT_EQ(designer.layout(), before);
        EXPECT_EQ(designer.selectionCount(), 0);
        designer.redo();
        EXPECT_EQ(control(QStringLiteral("Label1")), made);
        EXPECT_EQ(designer.undoStack()->count(), 1);
    }
    // Outside of an undo or redo the receiver's edit is an edit like any other.
    designer.clearSelection();
    ASSERT_TRUE(designer.selectControl(QStringLiteral("lblA")));
    EXPECT_EQ(designer.undoStack()->count(), 2);
}

} // namespace
} // namespace report::test
