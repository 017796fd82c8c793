#include "platform/report/ReportDesigner.h"

#include "platform/report/ControlItems.h"
#include "platform/report/DesignerEdits.h"
#include "platform/report/LayoutFormat.h"
#include "platform/report/PagePainter.h"
#include "platform/report/ReportError.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QUndoStack>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>

namespace report {

namespace {

// Surface geometry in device pixels, whatever the zoom.
constexpr int kMarginLeft = 16;
constexpr int kMarginTop = 8;
constexpr int kMarginRight = 16;
constexpr int kMarginBottom = 24;
constexpr int kBarHeight = 20;
constexpr int kHandle = 6;
constexpr int kEdgeGrip = 3;
constexpr double kScreenPixelsPerTwip = 96.0 / 1440.0;
constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 4.0;

const QColor kOutside(190, 190, 190);
const QColor kBar(222, 222, 222);
const QColor kMarginStrip(238, 238, 238);
const QColor kBarText(60, 60, 60);
const QColor kOutline(150, 150, 150);
const QColor kHandleColor(0, 0, 160);

constexpr std::array kCommands = {
    DesignerCommand::AlignLefts,    DesignerCommand::AlignRights,     DesignerCommand::AlignCenters,
    DesignerCommand::AlignTops,     DesignerCommand::AlignMiddles,    DesignerCommand::AlignBottoms,
    DesignerCommand::AlignToGrid,   DesignerCommand::SameWidth,       DesignerCommand::SameHeight,
    DesignerCommand::SameSize,      DesignerCommand::BringToFront,    DesignerCommand::SendToBack,
    DesignerCommand::LockControls,  DesignerCommand::Font,            DesignerCommand::FontSize,
    DesignerCommand::Bold,          DesignerCommand::Italic,          DesignerCommand::TextAlignLeft,
    DesignerCommand::TextAlignCenter, DesignerCommand::TextAlignRight, DesignerCommand::ForeColor,
    DesignerCommand::BackColor,     DesignerCommand::LineColor,       DesignerCommand::Underline,
};

bool hasText(const ReportControl& c)
{
    return c.kind == ControlKind::Label || c.kind == ControlKind::Field || c.kind == ControlKind::Checkbox;
}

bool hasFillColors(const ReportControl& c)
{
    return hasText(c) || c.kind == ControlKind::Shape || c.kind == ControlKind::Picture;
}

bool hasLineColor(const ReportControl& c)
{
    return c.kind == ControlKind::Line || c.kind == ControlKind::Shape;
}

// What a text control shows while it is designed: its own text; a bound
// field without one shows the name of its field.
QString designText(const ReportControl& c)
{
    if (c.kind == ControlKind::Field && c.caption.isEmpty())
        return c.dataField;
    return c.caption;
}

double roundTwips(double twips)
{
    return std::round(twips);
}

// Pictures may come back from the layout format in another pixel format
// with the same pixels.
void normalisePictures(ReportLayout& layout)
{
    for (auto& s : layout.sections)
        for (auto& c : s.controls)
            if (!c.picture.isNull())
                c.picture = c.picture.convertToFormat(QImage::Format_ARGB32);
}

// Handles of a selected control: corners and edge middles clockwise from
// the top-left; a line has its two ends (its top-left and bottom-right).
enum Handle { TopLeft, Top, TopRight, Right, BottomRight, Bottom, BottomLeft, Left, HandleCount };

} // namespace

// --- Private ---------------------------------------------------------------

class ReportDesigner::Private : public DesignTarget {
public:
    explicit Private(ReportDesigner* q) : q(q) {}

    ReportDesigner* q;
    Report own;
    Report* report = &own;
    QUndoStack stack;
    std::vector<ControlRef> selection;
    bool locked = false;
    double zoom = 1.0;
    double grid = 120;
    QString tool;
    std::optional<ControlKind> toolKind;
    std::array<int, kCommands.size()> states{};
    std::function<void(ReportControl&)> insertDefaults;
    // Set while an edit is done or undone: what its signals' receivers ask
    // for then is not a step of its own (it would land inside this one).
    bool replaying = false;

    // Geometry, in content pixels (before scrolling).
    struct SectionGeometry {
        int barTop = 0;
        int bodyTop = 0;
        int bodyHeight = 0;
    };
    std::vector<SectionGeometry> geometry;
    int bodyWidth = 0;  // the print width
    int paperWidth = 0; // to the paper's right edge, where controls still print
    int contentWidth = 0;
    int contentHeight = 0;

    // What paintPage draws for each section, rebuilt when the section changes.
    std::vector<std::vector<PageItem>> items;
    std::vector<bool> itemsValid;

    // The mouse gesture in progress.
    enum class Gesture { None, Pending, Move, Resize, SectionHeight, RubberBand, Insert };
    Gesture gesture = Gesture::None;
    QPoint pressPoint;   // content pixels
    QPoint currentPoint; // content pixels
    bool pressWithCtrl = false;
    int gestureSection = -1;
    int gestureHandle = -1;
    double originalHeight = 0;
    std::vector<ControlChange> originals; // the selection as it was at the press

    ReportLayout& designLayout() override { return report->layout(); }
    const ReportLayout& layout() const { return report->layout(); }

    void controlsEdited(const std::vector<ControlRef>& select) override
    {
        invalidateAll();
        setSelection(select);
        edited();
    }

    void layoutEdited() override
    {
        invalidateAll();
        relayout();
        edited();
    }

    void setLockedState(bool value) override
    {
        locked = value;
        refreshStates(false);
    }

    void edited()
    {
        relayout();
        refreshStates(false);
        q->viewport()->update();
        Q_EMIT q->layoutEdited();
    }

    // --- Geometry ------------------------------------------------------

    double scale() const { return zoom * kScreenPixelsPerTwip; }

    QPoint offset() const { return {q->horizontalScrollBar()->value(), q->verticalScrollBar()->value()}; }
    QPoint toContent(const QPoint& surfacePos) const { return surfacePos + offset(); }

    void relayout()
    {
        const auto& l = layout();
        const double s = scale();
        geometry.resize(l.sections.size());
        int y = kMarginTop;
        for (std::size_t i = 0; i < l.sections.size(); ++i) {
            auto& g = geometry[i];
            g.barTop = y;
            g.bodyTop = y + kBarHeight;
            g.bodyHeight = static_cast<int>(std::lround(l.sections[i].height * s));
            y = g.bodyTop + g.bodyHeight;
        }
        bodyWidth = static_cast<int>(std::lround(l.effectivePrintWidth() * s));
        paperWidth = std::max(bodyWidth,
                              static_cast<int>(std::lround((l.page.pageWidth() - l.page.margins.left) * s)));
        contentWidth = kMarginLeft + paperWidth + kMarginRight;
        contentHeight = y + kMarginBottom;
        updateScrollBars();
    }

    void updateScrollBars()
    {
        const QSize view = q->viewport()->size();
        auto* h = q->horizontalScrollBar();
        auto* v = q->verticalScrollBar();
        h->setRange(0, std::max(0, contentWidth - view.width()));
        h->setPageStep(view.width());
        h->setSingleStep(20);
        v->setRange(0, std::max(0, contentHeight - view.height()));
        v->setPageStep(view.height());
        v->setSingleStep(20);
    }

    QRect bodyRect(int section) const
    {
        const auto& g = geometry[section];
        return {kMarginLeft, g.bodyTop, bodyWidth, g.bodyHeight};
    }

    QRect paperRect(int section) const
    {
        const auto& g = geometry[section];
        return {kMarginLeft, g.bodyTop, paperWidth, g.bodyHeight};
    }

    // A control's box in content pixels (a line: the box its ends span).
    QRectF controlBox(const ControlRef& ref) const
    {
        const auto& c = control(ref);
        const double s = scale();
        return {kMarginLeft + c.left * s, geometry[ref.section].bodyTop + c.top * s, c.width * s, c.height * s};
    }

    int sectionOfBody(const QPoint& content) const
    {
        for (int i = 0; i < static_cast<int>(geometry.size()); ++i) {
            const auto& g = geometry[i];
            if (content.y() >= g.bodyTop && content.y() < g.bodyTop + g.bodyHeight && content.x() >= kMarginLeft
                && content.x() < kMarginLeft + paperWidth)
                return i;
        }
        return -1;
    }

    // The section whose bar or body holds the height y.
    int sectionOfRow(int y) const
    {
        for (int i = 0; i < static_cast<int>(geometry.size()); ++i) {
            const auto& g = geometry[i];
            if (y >= g.barTop && y < g.bodyTop + std::max(1, g.bodyHeight))
                return i;
        }
        return -1;
    }

    QPointF twipsIn(int section, const QPoint& content) const
    {
        const double s = scale();
        return {(content.x() - kMarginLeft) / s, (content.y() - geometry[section].bodyTop) / s};
    }

    // The section whose lower edge lies under the point.
    int sectionEdgeAt(const QPoint& content) const
    {
        if (content.x() < kMarginLeft || content.x() >= kMarginLeft + paperWidth)
            return -1;
        for (int i = static_cast<int>(geometry.size()) - 1; i >= 0; --i) {
            const int edge = geometry[i].bodyTop + geometry[i].bodyHeight;
            if (content.y() >= edge - kEdgeGrip && content.y() <= edge + kEdgeGrip)
                return i;
        }
        return -1;
    }

    const ReportControl& control(const ControlRef& ref) const
    {
        return layout().sections[ref.section].controls[ref.index];
    }

    static double distanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b)
    {
        const QPointF ab = b - a;
        const double length2 = QPointF::dotProduct(ab, ab);
        double t = length2 > 0 ? QPointF::dotProduct(p - a, ab) / length2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        const QPointF nearest = a + t * ab;
        return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
    }

    bool hits(const ControlRef& ref, const QPoint& content) const
    {
        const QRectF box = controlBox(ref);
        if (control(ref).kind == ControlKind::Line)
            return distanceToSegment(content, box.topLeft(), box.bottomRight()) <= 3.0;
        return box.adjusted(-2, -2, 2, 2).contains(content);
    }

    // The topmost control under a point, within the body of its section.
    std::optional<ControlRef> controlAt(const QPoint& content) const
    {
        const int s = sectionOfBody(content);
        if (s < 0)
            return std::nullopt;
        const auto& controls = layout().sections[s].controls;
        for (int i = static_cast<int>(controls.size()) - 1; i >= 0; --i)
            if (hits({s, i}, content))
                return ControlRef{s, i};
        return std::nullopt;
    }

    std::vector<std::pair<int, QRectF>> handles(const ControlRef& ref) const
    {
        const QRectF b = controlBox(ref);
        const double h = kHandle;
        auto around = [h](const QPointF& p) { return QRectF(p.x() - h / 2, p.y() - h / 2, h, h); };
        if (control(ref).kind == ControlKind::Line)
            return {{TopLeft, around(b.topLeft())}, {BottomRight, around(b.bottomRight())}};
        const QPointF c = b.center();
        return {{TopLeft, around(b.topLeft())},         {Top, around({c.x(), b.top()})},
                {TopRight, around(b.topRight())},       {Right, around({b.right(), c.y()})},
                {BottomRight, around(b.bottomRight())}, {Bottom, around({c.x(), b.bottom()})},
                {BottomLeft, around(b.bottomLeft())},   {Left, around({b.left(), c.y()})}};
    }

    int handleAt(const QPoint& content) const
    {
        for (const auto& ref : selection)
            for (const auto& [handle, rect] : handles(ref))
                if (rect.adjusted(-1, -1, 1, 1).contains(content))
                    return handle;
        return -1;
    }

    // --- Items ---------------------------------------------------------

    void invalidateAll()
    {
        items.assign(layout().sections.size(), {});
        itemsValid.assign(layout().sections.size(), false);
    }

    void invalidate(int section)
    {
        if (section >= 0 && section < static_cast<int>(itemsValid.size()))
            itemsValid[section] = false;
    }

    const std::vector<PageItem>& sectionItems(int section)
    {
        if (!itemsValid[section]) {
            const auto& s = layout().sections[section];
            auto& list = items[section];
            list.clear();
            list.reserve(s.controls.size());
            for (const auto& c : s.controls) {
                const QString text = designText(c);
                appendControlItems(list, c, s.name, text, text, report->picture(), false);
            }
            itemsValid[section] = true;
        }
        return items[section];
    }

    // --- Selection and states --------------------------------------------

    bool exists(const ControlRef& ref) const
    {
        const auto& sections = layout().sections;
        return ref.section >= 0 && ref.section < static_cast<int>(sections.size()) && ref.index >= 0
               && ref.index < static_cast<int>(sections[ref.section].controls.size());
    }

    void setSelection(std::vector<ControlRef> refs)
    {
        std::erase_if(refs, [this](const ControlRef& r) { return !exists(r); });
        if (refs == selection) {
            refreshStates(false);
            return;
        }
        selection = std::move(refs);
        q->viewport()->update();
        refreshStates(false);
        Q_EMIT q->selectionChanged();
    }

    int selectedIndex(const ControlRef& ref) const
    {
        const auto it = std::find(selection.begin(), selection.end(), ref);
        return it == selection.end() ? -1 : static_cast<int>(it - selection.begin());
    }

    const ReportControl* primaryText() const
    {
        for (const auto& ref : selection)
            if (hasText(control(ref)))
                return &control(ref);
        return nullptr;
    }

    template <typename Test> bool anySelected(Test test) const
    {
        return std::any_of(selection.begin(), selection.end(), [&](const ControlRef& r) { return test(control(r)); });
    }

    int computeState(int command) const
    {
        using namespace DesignerCommand;
        using DesignerCommandState::Available;
        using DesignerCommandState::InForce;
        const int count = static_cast<int>(selection.size());
        const ReportControl* text = primaryText();
        auto available = [](bool yes) { return yes ? Available : 0; };
        auto textState = [&](auto inForce) { return text ? Available | (inForce(*text) ? InForce : 0) : 0; };
        switch (command) {
        case AlignLefts:
        case AlignRights:
        case AlignCenters:
        case AlignTops:
        case AlignMiddles:
        case AlignBottoms:
        case SameWidth:
        case SameHeight:
        case SameSize: return available(count >= 2 && !locked);
        case AlignToGrid: return available(count >= 1 && !locked);
        case BringToFront:
        case SendToBack: return available(count >= 1);
        case LockControls: return Available | (locked ? InForce : 0);
        case Font:
        case FontSize: return available(text != nullptr);
        case Bold: return textState([](const ReportControl& c) { return c.font.bold; });
        case Italic: return textState([](const ReportControl& c) { return c.font.italic; });
        case Underline: return textState([](const ReportControl& c) { return c.font.underline; });
        case TextAlignLeft:
            return textState([](const ReportControl& c) { return c.alignment == HorizontalAlignment::Left; });
        case TextAlignCenter:
            return textState([](const ReportControl& c) { return c.alignment == HorizontalAlignment::Center; });
        case TextAlignRight:
            return textState([](const ReportControl& c) { return c.alignment == HorizontalAlignment::Right; });
        case ForeColor:
        case BackColor: return available(anySelected(hasFillColors));
        case LineColor: return available(anySelected(hasLineColor));
        default: return 0;
        }
    }

    // Tells the commands whose state changed (every command with all).
    void refreshStates(bool all)
    {
        for (std::size_t i = 0; i < kCommands.size(); ++i) {
            const int state = computeState(kCommands[i]);
            if (state != states[i] || all) {
                states[i] = state;
                Q_EMIT q->commandStateChanged(kCommands[i]);
            }
        }
    }

    // --- Edits ---------------------------------------------------------

    // Every edit reaches the stack here, never while another is being done or undone.
    void push(QUndoCommand* command)
    {
        if (replaying) {
            delete command;
            return;
        }
        replaying = true;
        stack.push(command);
        replaying = false;
    }

    void replay(bool forward)
    {
        if (replaying)
            return;
        replaying = true;
        forward ? stack.redo() : stack.undo();
        replaying = false;
    }

    bool ask(int what)
    {
        bool answer = true;
        Q_EMIT q->query(what, &answer);
        return answer;
    }

    template <typename Change> void changeSelection(const QString& text, Change change, const QStringList& typeNames = {},
                                                    const QString& mergeKey = {})
    {
        std::vector<ControlChange> changes;
        for (const auto& ref : selection) {
            const auto& before = control(ref);
            if (!typeNames.isEmpty() && !typeNames.contains(before.typeName()))
                continue;
            ReportControl after = before;
            change(after);
            if (!(after == before))
                changes.push_back({ref, before, std::move(after)});
        }
        if (!changes.empty())
            push(new ChangeControlsEdit(*this, text, std::move(changes), selection, mergeKey));
    }

    // Changes that take the primary control as their reference.
    template <typename Change> void changeAgainstPrimary(const QString& text, Change change)
    {
        if (selection.empty())
            return;
        const ReportControl reference = control(selection.front());
        // As a mouse move, an alignment stops at the section's top and left edges.
        changeSelection(text, [&](ReportControl& c) {
            change(c, reference);
            c.left = std::max(0.0, c.left);
            c.top = std::max(0.0, c.top);
        });
    }

    void reorder(bool toFront)
    {
        if (selection.empty())
            return;
        const auto& l = layout();
        std::vector<ReorderControlsEdit::SectionOrder> orders;
        std::vector<ControlRef> after(selection.size());
        for (int s = 0; s < static_cast<int>(l.sections.size()); ++s) {
            const auto& controls = l.sections[s].controls;
            std::vector<int> chosen;
            std::vector<int> others;
            for (int i = 0; i < static_cast<int>(controls.size()); ++i)
                (selectedIndex({s, i}) >= 0 ? chosen : others).push_back(i);
            if (chosen.empty())
                continue;
            std::vector<int> order = toFront ? others : chosen;
            const auto& rest = toFront ? chosen : others;
            order.insert(order.end(), rest.begin(), rest.end());
            ReorderControlsEdit::SectionOrder o;
            o.section = s;
            o.before = controls;
            for (int place = 0; place < static_cast<int>(order.size()); ++place) {
                o.after.push_back(controls[order[place]]);
                const int sel = selectedIndex({s, order[place]});
                if (sel >= 0)
                    after[sel] = {s, place};
            }
            if (!(o.after == o.before))
                orders.push_back(std::move(o));
        }
        if (orders.empty())
            return;
        push(new ReorderControlsEdit(*this, toFront ? QStringLiteral("Porta in primo piano")
                                                          : QStringLiteral("Porta sullo sfondo"),
                                           std::move(orders), selection, after));
    }

    void execute(int command)
    {
        using namespace DesignerCommand;
        if (!(computeState(command) & DesignerCommandState::Available))
            return;
        const QString align = QStringLiteral("Allinea");
        const QString size = QStringLiteral("Uniforma le dimensioni");
        const QString format = QStringLiteral("Formato");
        switch (command) {
        case AlignLefts:
            changeAgainstPrimary(align, [](ReportControl& c, const ReportControl& r) { c.left = r.left; });
            break;
        case AlignRights:
            changeAgainstPrimary(align, [](ReportControl& c, const ReportControl& r) {
                c.left = r.left + r.width - c.width;
            });
            break;
        case AlignCenters:
            changeAgainstPrimary(align, [](ReportControl& c, const ReportControl& r) {
                c.left = roundTwips(r.left + (r.width - c.width) / 2);
            });
            break;
        case AlignTops:
            changeAgainstPrimary(align, [](ReportControl& c, const ReportControl& r) { c.top = r.top; });
            break;
        case AlignMiddles:
            changeAgainstPrimary(align, [](ReportControl& c, const ReportControl& r) {
                c.top = roundTwips(r.top + (r.height - c.height) / 2);
            });
            break;
        case AlignBottoms:
            changeAgainstPrimary(align, [](ReportControl& c, const ReportControl& r) {
                c.top = r.top + r.height - c.height;
            });
            break;
        case AlignToGrid: {
            const double g = grid;
            changeSelection(align, [g](ReportControl& c) {
                c.left = std::round(c.left / g) * g;
                c.top = std::round(c.top / g) * g;
            });
            break;
        }
        case SameWidth:
            changeAgainstPrimary(size, [](ReportControl& c, const ReportControl& r) { c.width = r.width; });
            break;
        case SameHeight:
            changeAgainstPrimary(size, [](ReportControl& c, const ReportControl& r) { c.height = r.height; });
            break;
        case SameSize:
            changeAgainstPrimary(size, [](ReportControl& c, const ReportControl& r) {
                c.width = r.width;
                c.height = r.height;
            });
            break;
        case BringToFront: reorder(true); break;
        case SendToBack: reorder(false); break;
        case LockControls: push(new LockControlsEdit(*this, !locked)); break;
        case Bold: {
            const bool on = !primaryText()->font.bold;
            changeText(format, [on](ReportControl& c) { c.font.bold = on; });
            break;
        }
        case Italic: {
            const bool on = !primaryText()->font.italic;
            changeText(format, [on](ReportControl& c) { c.font.italic = on; });
            break;
        }
        case Underline: {
            const bool on = !primaryText()->font.underline;
            changeText(format, [on](ReportControl& c) { c.font.underline = on; });
            break;
        }
        case TextAlignLeft:
        case TextAlignCenter:
        case TextAlignRight: {
            const auto a = command == TextAlignLeft     ? HorizontalAlignment::Left
                           : command == TextAlignCenter ? HorizontalAlignment::Center
                                                        : HorizontalAlignment::Right;
            changeText(format, [a](ReportControl& c) { c.alignment = a; });
            break;
        }
        default: break; // the commands that only tell their state
        }
    }

    template <typename Change> void changeText(const QString& text, Change change)
    {
        changeSelection(text, change,
                        {QStringLiteral("Label"), QStringLiteral("Field"), QStringLiteral("Checkbox")});
    }

    QString freeName(const QString& typeName) const
    {
        for (int n = 1;; ++n) {
            const QString candidate = typeName + QString::number(n);
            if (!const_cast<ReportLayout&>(layout()).findControl(candidate))
                return candidate;
        }
    }

    QString insertControl(int section, ReportControl c)
    {
        if (c.name.isEmpty() || designLayout().findControl(c.name))
            c.name = freeName(c.typeName());
        const QString name = c.name;
        const int index = static_cast<int>(layout().sections[section].controls.size());
        push(new AddRemoveControlsEdit(*this, QStringLiteral("Inserisci"), {{{section, index}, std::move(c)}},
                                             true, selection));
        return name;
    }

    void removeSelection()
    {
        if (selection.empty() || !ask(DesignerQuery::DeleteControls))
            return;
        std::vector<PlacedControl> removed;
        for (const auto& ref : selection)
            removed.push_back({ref, control(ref)});
        push(new AddRemoveControlsEdit(*this, QStringLiteral("Elimina"), std::move(removed), false));
    }

    void reset()
    {
        gesture = Gesture::None;
        stack.clear();
        stack.setClean();
        locked = false;
        selection.clear();
        invalidateAll();
        relayout();
        refreshStates(true);
        q->viewport()->update();
        Q_EMIT q->selectionChanged();
        Q_EMIT q->layoutEdited();
    }

    // --- Gestures ------------------------------------------------------

    void rememberSelection()
    {
        originals.clear();
        for (const auto& ref : selection)
            originals.push_back({ref, control(ref), control(ref)});
    }

    // Puts the remembered controls back as they were at the press.
    void restoreOriginals()
    {
        auto& l = designLayout();
        for (const auto& o : originals)
            l.sections[o.ref.section].controls[o.ref.index] = o.before;
        invalidateAll();
    }

    void showGesture()
    {
        auto& l = designLayout();
        const double s = scale();
        const double dx = roundTwips((currentPoint.x() - pressPoint.x()) / s);
        const double dy = roundTwips((currentPoint.y() - pressPoint.y()) / s);
        if (gesture == Gesture::Move) {
            // The whole selection keeps its shape: the move stops where the
            // first control meets the section's top or left edge.
            double moveX = dx;
            double moveY = dy;
            for (const auto& o : originals) {
                moveX = std::max(moveX, -o.before.left);
                moveY = std::max(moveY, -o.before.top);
            }
            for (auto& o : originals) {
                auto& c = l.sections[o.ref.section].controls[o.ref.index];
                c.left = o.before.left + moveX;
                c.top = o.before.top + moveY;
                o.after = c;
                invalidate(o.ref.section);
            }
        } else if (gesture == Gesture::Resize) {
            for (auto& o : originals) {
                auto& c = l.sections[o.ref.section].controls[o.ref.index];
                c = o.before;
                resizeBy(c, gestureHandle, dx, dy);
                o.after = c;
                invalidate(o.ref.section);
            }
        } else if (gesture == Gesture::SectionHeight) {
            l.sections[gestureSection].height = std::max(0.0, originalHeight + dy);
            relayout();
        }
        q->viewport()->update();
    }

    static void resizeBy(ReportControl& c, int handle, double dx, double dy)
    {
        const double right = c.left + c.width;
        const double bottom = c.top + c.height;
        if (handle == TopLeft || handle == Left || handle == BottomLeft) {
            c.left = std::clamp(c.left + dx, 0.0, right);
            c.width = right - c.left;
        }
        if (handle == TopRight || handle == Right || handle == BottomRight)
            c.width = std::max(0.0, c.width + dx);
        if (handle == TopLeft || handle == Top || handle == TopRight) {
            c.top = std::clamp(c.top + dy, 0.0, bottom);
            c.height = bottom - c.top;
        }
        if (handle == BottomLeft || handle == Bottom || handle == BottomRight)
            c.height = std::max(0.0, c.height + dy);
    }

    void finishEdit(const QString& text)
    {
        std::vector<ControlChange> changes;
        for (const auto& o : originals)
            if (!(o.after == o.before))
                changes.push_back(o);
        if (changes.empty()) {
            restoreOriginals();
            q->viewport()->update();
            return;
        }
        push(new ChangeControlsEdit(*this, text, std::move(changes), selection));
    }

    std::vector<ControlRef> controlsIn(const QRect& band) const
    {
        std::vector<ControlRef> found;
        const auto& l = layout();
        for (int s = 0; s < static_cast<int>(l.sections.size()); ++s)
            for (int i = 0; i < static_cast<int>(l.sections[s].controls.size()); ++i)
                if (controlBox({s, i}).adjusted(-1, -1, 1, 1).intersects(band))
                    found.push_back({s, i});
        return found;
    }

    ReportControl newControl(ControlKind kind) const
    {
        ReportControl c;
        c.kind = kind;
        c.name = freeName(c.typeName());
        switch (kind) {
        case ControlKind::Label:
        case ControlKind::Field:
        case ControlKind::Checkbox: c.caption = c.name; break;
        case ControlKind::Line: c.height = 0; break;
        case ControlKind::Shape: c.height = 720; break;
        case ControlKind::Picture: c.height = 1440; break;
        }
        return c;
    }

    void insertByGesture()
    {
        const int section = gestureSection;
        ReportControl c = newControl(*toolKind);
        if (insertDefaults)
            insertDefaults(c);
        const QPointF from = twipsIn(section, pressPoint);
        const QPointF to = twipsIn(section, currentPoint);
        const bool dragged =
            (currentPoint - pressPoint).manhattanLength() >= QApplication::startDragDistance();
        c.left = roundTwips(std::max(0.0, dragged ? std::min(from.x(), to.x()) : from.x()));
        c.top = roundTwips(std::max(0.0, dragged ? std::min(from.y(), to.y()) : from.y()));
        if (dragged) {
            c.width = roundTwips(std::abs(to.x() - from.x()));
            c.height = c.kind == ControlKind::Line && std::abs(to.y() - from.y()) < 3 / scale()
                           ? 0
                           : roundTwips(std::abs(to.y() - from.y()));
        }
        if (!ask(DesignerQuery::InsertControl))
            return;
        insertControl(section, std::move(c));
        q->setInsertTool({});
    }

    void press(QMouseEvent* e)
    {
        if (e->button() != Qt::LeftButton)
            return;
        q->setFocus(Qt::MouseFocusReason);
        pressPoint = currentPoint = toContent(e->position().toPoint());
        pressWithCtrl = e->modifiers() & Qt::ControlModifier;
        gesture = Gesture::None;

        if (toolKind) {
            gestureSection = sectionOfBody(pressPoint);
            if (gestureSection >= 0)
                gesture = Gesture::Insert;
            return;
        }
        if (!pressWithCtrl && !locked) {
            const int handle = handleAt(pressPoint);
            if (handle >= 0) {
                gestureHandle = handle;
                rememberSelection();
                gesture = Gesture::Resize;
                return;
            }
        }
        const int edge = sectionEdgeAt(pressPoint);
        const auto hit = controlAt(pressPoint);
        if (edge >= 0 && !hit) {
            gestureSection = edge;
            originalHeight = layout().sections[edge].height;
            gesture = Gesture::SectionHeight;
            return;
        }
        if (hit) {
            if (pressWithCtrl) {
                auto refs = selection;
                const int at = selectedIndex(*hit);
                if (at >= 0)
                    refs.erase(refs.begin() + at);
                else
                    refs.push_back(*hit);
                setSelection(std::move(refs));
                return;
            }
            if (selectedIndex(*hit) < 0)
                setSelection({*hit});
            rememberSelection();
            gesture = locked ? Gesture::None : Gesture::Pending;
            return;
        }
        if (!pressWithCtrl)
            setSelection({});
        gesture = Gesture::RubberBand;
    }

    void move(QMouseEvent* e)
    {
        currentPoint = toContent(e->position().toPoint());
        switch (gesture) {
        case Gesture::None: updateCursor(); return;
        case Gesture::Pending:
            if ((currentPoint - pressPoint).manhattanLength() < QApplication::startDragDistance())
                return;
            gesture = Gesture::Move;
            [[fallthrough]];
        case Gesture::Move:
        case Gesture::Resize:
        case Gesture::SectionHeight: showGesture(); return;
        case Gesture::RubberBand:
        case Gesture::Insert: q->viewport()->update(); return;
        }
    }

    void release(QMouseEvent* e)
    {
        if (e->button() != Qt::LeftButton)
            return;
        currentPoint = toContent(e->position().toPoint());
        const Gesture done = gesture;
        gesture = Gesture::None;
        switch (done) {
        case Gesture::None:
        case Gesture::Pending: break;
        case Gesture::Move: finishEdit(QStringLiteral("Sposta")); break;
        case Gesture::Resize: finishEdit(QStringLiteral("Ridimensiona")); break;
        case Gesture::SectionHeight: {
            const double height = layout().sections[gestureSection].height;
            if (height != originalHeight) {
                designLayout().sections[gestureSection].height = originalHeight;
                push(new SectionHeightEdit(*this, gestureSection, originalHeight, height));
            }
            break;
        }
        case Gesture::RubberBand: {
            const QRect band = QRect(pressPoint, currentPoint).normalized();
            auto refs = pressWithCtrl ? selection : std::vector<ControlRef>{};
            for (const auto& ref : controlsIn(band))
                if (std::find(refs.begin(), refs.end(), ref) == refs.end())
                    refs.push_back(ref);
            setSelection(std::move(refs));
            break;
        }
        case Gesture::Insert: insertByGesture(); break;
        }
        q->viewport()->update();
    }

    // Esc during a gesture puts everything back as it was at the press.
    bool cancelGesture()
    {
        switch (gesture) {
        case Gesture::None: return false;
        case Gesture::Move:
        case Gesture::Resize: restoreOriginals(); break;
        case Gesture::SectionHeight:
            designLayout().sections[gestureSection].height = originalHeight;
            relayout();
            break;
        default: break;
        }
        gesture = Gesture::None;
        q->viewport()->update();
        return true;
    }

    void updateCursor()
    {
        const QPoint p = currentPoint;
        Qt::CursorShape shape = Qt::ArrowCursor;
        if (toolKind) {
            shape = sectionOfBody(p) >= 0 ? Qt::CrossCursor : Qt::ForbiddenCursor;
        } else if (const int h = locked ? -1 : handleAt(p); h >= 0) {
            shape = (h == TopLeft || h == BottomRight)   ? Qt::SizeFDiagCursor
                    : (h == TopRight || h == BottomLeft) ? Qt::SizeBDiagCursor
                    : (h == Top || h == Bottom)          ? Qt::SizeVerCursor
                                                         : Qt::SizeHorCursor;
        } else if (const auto hit = controlAt(p); hit && !locked) {
            shape = Qt::SizeAllCursor;
        } else if (!hit && sectionEdgeAt(p) >= 0) {
            shape = Qt::SplitVCursor;
        }
        q->viewport()->setCursor(shape);
    }

    // Arrow keys: one screen pixel at the current zoom, in whole twips.
    void nudge(int key, bool resize)
    {
        if (selection.empty() || locked)
            return;
        const double step = std::max(1.0, roundTwips(1.0 / scale()));
        double dx = 0;
        double dy = 0;
        if (key == Qt::Key_Left) dx = -step;
        if (key == Qt::Key_Right) dx = step;
        if (key == Qt::Key_Up) dy = -step;
        if (key == Qt::Key_Down) dy = step;
        if (resize) {
            changeSelection(QStringLiteral("Ridimensiona"), [dx, dy](ReportControl& c) {
                c.width = std::max(0.0, c.width + dx);
                c.height = std::max(0.0, c.height + dy);
            }, {}, QStringLiteral("key-size"));
            return;
        }
        for (const auto& ref : selection) {
            dx = std::max(dx, -control(ref).left);
            dy = std::max(dy, -control(ref).top);
        }
        changeSelection(QStringLiteral("Sposta"), [dx, dy](ReportControl& c) {
            c.left += dx;
            c.top += dy;
        }, {}, QStringLiteral("key-move"));
    }

    // --- Painting ------------------------------------------------------

    void paint(QPaintEvent* event)
    {
        QPainter painter(q->viewport());
        painter.fillRect(event->rect(), kOutside);
        painter.translate(-offset());
        const QRect visible = event->rect().translated(offset());
        const auto& l = layout();
        const double s = scale();
        QFont barFont = q->font();
        barFont.setPixelSize(12);

        for (int i = 0; i < static_cast<int>(l.sections.size()); ++i) {
            const auto& section = l.sections[i];
            const auto& g = geometry[i];
            const QRect bar(kMarginLeft, g.barTop, paperWidth, kBarHeight);
            const QRect body = bodyRect(i);
            const QRect paper = paperRect(i);
            if (!visible.intersects(bar.united(paper.adjusted(0, 0, 0, kHandle))))
                continue;
            painter.fillRect(bar, kBar);
            painter.setPen(kBarText);
            painter.setFont(barFont);
            QString title = section.name;
            if (!section.visible)
                title += QStringLiteral(" (nascosta)");
            painter.drawText(bar.adjusted(6, 0, -6, 0), Qt::AlignLeft | Qt::AlignVCenter, title);
            painter.setPen(kOutline);
            painter.drawLine(bar.bottomLeft(), bar.bottomRight());
            if (body.height() <= 0)
                continue;

            // Beyond the print width lies the right margin: controls there still print.
            painter.fillRect(paper, kMarginStrip);
            painter.fillRect(body, section.backStyle == BackStyle::Opaque ? section.backColor : QColor(Qt::white));
            painter.save();
            painter.setClipRect(paper);
            painter.translate(body.topLeft());
            painter.scale(s, s);
            ReportPage page;
            page.items = sectionItems(i);
            paintPage(painter, page);
            painter.restore();

            painter.save();
            painter.setClipRect(paper);
            QPen outline(kOutline, 1, Qt::DotLine);
            outline.setCosmetic(true);
            painter.setPen(outline);
            painter.setBrush(Qt::NoBrush);
            for (int c = 0; c < static_cast<int>(section.controls.size()); ++c) {
                if (section.controls[c].kind == ControlKind::Line)
                    continue;
                const QRectF box = controlBox({i, c});
                if (box.intersects(visible))
                    painter.drawRect(box.adjusted(0, 0, -1, -1));
            }
            painter.restore();
        }

        // Handles of the selection; the primary control's are filled.
        painter.setPen(kHandleColor);
        for (int n = 0; n < static_cast<int>(selection.size()); ++n) {
            painter.setBrush(n == 0 ? QBrush(kHandleColor) : QBrush(Qt::white));
            for (const auto& [handle, rect] : handles(selection[n]))
                painter.drawRect(rect.toRect());
        }
        painter.setBrush(Qt::NoBrush);

        if (gesture == Gesture::RubberBand || gesture == Gesture::Insert) {
            QPen band(QColor(0, 0, 0), 1, Qt::DashLine);
            painter.setPen(band);
            painter.drawRect(QRect(pressPoint, currentPoint).normalized());
        }
    }
};

// --- ReportDesigner --------------------------------------------------------

ReportDesigner::ReportDesigner(QWidget* parent) : QAbstractScrollArea(parent), d(std::make_unique<Private>(this))
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAcceptDrops(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    d->own.setLayout(ReportLayout::standard());
    qRegisterMetaType<const QMimeData*>();
    connect(&d->stack, &QUndoStack::cleanChanged, this, [this](bool clean) { Q_EMIT modifiedChanged(!clean); });
    d->reset();
}

ReportDesigner::~ReportDesigner() = default;

void ReportDesigner::attachReport(Report* report)
{
    d->report = report ? report : &d->own;
    d->reset();
}

Report& ReportDesigner::report()
{
    return *d->report;
}

const Report& ReportDesigner::report() const
{
    return *d->report;
}

const ReportLayout& ReportDesigner::layout() const
{
    return d->layout();
}

void ReportDesigner::setLayout(const ReportLayout& layout)
{
    d->report->setLayout(layout);
    d->reset();
}

void ReportDesigner::loadLayout(const QByteArray& bytes)
{
    d->report->loadLayout(bytes);
    d->reset();
}

void ReportDesigner::loadLayout(const QString& path)
{
    d->report->loadLayout(path);
    d->reset();
}

QByteArray ReportDesigner::saveLayout() const
{
    const QByteArray bytes = LayoutFormat::write(layout());
    ReportLayout back = LayoutFormat::read(bytes);
    ReportLayout original = layout();
    normalisePictures(back);
    normalisePictures(original);
    if (!(back == original))
        raiseError(ErrorNumber::NotALayout, QStringLiteral("Il modello salvato non si rilegge uguale"));
    return bytes;
}

QUndoStack* ReportDesigner::undoStack() const
{
    return &d->stack;
}

bool ReportDesigner::isModified() const
{
    return !d->stack.isClean();
}

void ReportDesigner::setModified(bool modified)
{
    if (modified)
        d->stack.resetClean();
    else
        d->stack.setClean();
}

void ReportDesigner::undo()
{
    d->cancelGesture();
    d->replay(false);
}

void ReportDesigner::redo()
{
    d->cancelGesture();
    d->replay(true);
}

void ReportDesigner::executeCommand(int command)
{
    d->cancelGesture();
    d->execute(command);
}

int ReportDesigner::commandState(int command) const
{
    return d->computeState(command);
}

bool ReportDesigner::isLocked() const
{
    return d->locked;
}

int ReportDesigner::selectionCount() const
{
    return static_cast<int>(d->selection.size());
}

const ReportControl* ReportDesigner::selectedControl(int index) const
{
    if (index < 0 || index >= selectionCount())
        return nullptr;
    return &d->control(d->selection[index]);
}

QString ReportDesigner::selectedSectionName(int index) const
{
    if (index < 0 || index >= selectionCount())
        return {};
    return d->layout().sections[d->selection[index].section].name;
}

bool ReportDesigner::selectControl(const QString& controlName, bool add)
{
    const auto& l = d->layout();
    for (int s = 0; s < static_cast<int>(l.sections.size()); ++s) {
        const auto& controls = l.sections[s].controls;
        for (int i = 0; i < static_cast<int>(controls.size()); ++i) {
            if (controls[i].name.compare(controlName, Qt::CaseInsensitive) != 0)
                continue;
            auto refs = add ? d->selection : std::vector<ControlRef>{};
            if (d->selectedIndex({s, i}) < 0 || !add)
                refs.push_back({s, i});
            d->setSelection(std::move(refs));
            return true;
        }
    }
    return false;
}

void ReportDesigner::selectAll()
{
    std::vector<ControlRef> refs;
    const auto& l = d->layout();
    for (int s = 0; s < static_cast<int>(l.sections.size()); ++s)
        for (int i = 0; i < static_cast<int>(l.sections[s].controls.size()); ++i)
            refs.push_back({s, i});
    d->setSelection(std::move(refs));
}

void ReportDesigner::clearSelection()
{
    d->setSelection({});
}

void ReportDesigner::deleteSelection()
{
    d->cancelGesture();
    d->removeSelection();
}

bool ReportDesigner::setInsertTool(const QString& className)
{
    std::optional<ControlKind> kind;
    if (!className.isEmpty()) {
        kind = ReportControl::kindFromClassName(className);
        if (!kind)
            kind = ReportControl::kindFromTypeName(className);
    }
    const QString tool = kind ? className : QString();
    const bool changed = tool != d->tool;
    d->tool = tool;
    d->toolKind = kind;
    if (changed)
        Q_EMIT insertToolChanged(tool);
    return className.isEmpty() || kind.has_value();
}

void ReportDesigner::setInsertDefaults(std::function<void(ReportControl&)> defaults)
{
    d->insertDefaults = std::move(defaults);
}

QString ReportDesigner::insertTool() const
{
    return d->tool;
}

QString ReportDesigner::addControl(const QString& sectionName, const ReportControl& control)
{
    const auto& sections = d->layout().sections;
    for (int s = 0; s < static_cast<int>(sections.size()); ++s)
        if (sections[s].name.compare(sectionName, Qt::CaseInsensitive) == 0)
            return d->insertControl(s, control);
    return {};
}

void ReportDesigner::setSelectionFont(const FontSpec& font, const QStringList& typeNames)
{
    d->changeSelection(QStringLiteral("Carattere"), [&font](ReportControl& c) { c.font = font; }, typeNames);
}

void ReportDesigner::setSelectionFontName(const QString& name, const QStringList& typeNames)
{
    d->changeSelection(QStringLiteral("Carattere"), [&name](ReportControl& c) { c.font.name = name; }, typeNames);
}

void ReportDesigner::setSelectionFontSize(double points, const QStringList& typeNames)
{
    if (!(points > 0 && points <= 1638))
        return;
    d->changeSelection(QStringLiteral("Dimensione del carattere"),
                       [points](ReportControl& c) { c.font.size = points; }, typeNames);
}

void ReportDesigner::setSelectionForeColor(const QColor& color, const QStringList& typeNames)
{
    if (!color.isValid())
        return;
    d->changeSelection(QStringLiteral("Colore del testo"), [&color](ReportControl& c) { c.foreColor = color; },
                       typeNames);
}

void ReportDesigner::setSelectionBackColor(const QColor& color, const QStringList& typeNames)
{
    if (!color.isValid())
        return;
    d->changeSelection(QStringLiteral("Colore di sfondo"), [&color](ReportControl& c) {
        c.backColor = color;
        c.backStyle = BackStyle::Opaque;
    }, typeNames);
}

void ReportDesigner::setSelectionLineColor(const QColor& color, const QStringList& typeNames)
{
    if (!color.isValid())
        return;
    d->changeSelection(QStringLiteral("Colore della linea"), [&color](ReportControl& c) { c.lineColor = color; },
                       typeNames);
}

void ReportDesigner::setSelectionProperty(const QString& propertyName, const QVariant& value,
                                          const QStringList& typeNames)
{
    // A bad name or value throws before anything is recorded.
    d->changeSelection(QStringLiteral("Proprietà"),
                       [&](ReportControl& c) { c.setProperty(propertyName, value); }, typeNames);
}

void ReportDesigner::setControlProperty(int selectionIndex, const QString& propertyName, const QVariant& value)
{
    if (selectionIndex < 0 || selectionIndex >= selectionCount())
        return;
    const ControlRef ref = d->selection[selectionIndex];
    const ReportControl& before = d->control(ref);
    ReportControl after = before;
    after.setProperty(propertyName, value);
    if (after == before)
        return;
    d->push(new ChangeControlsEdit(*d, QStringLiteral("Proprietà"), {{ref, before, std::move(after)}},
                                         d->selection, QStringLiteral("property:") + propertyName.toLower()));
}

void ReportDesigner::setSectionHeight(const QString& sectionName, double twips)
{
    auto& sections = d->designLayout().sections;
    for (int s = 0; s < static_cast<int>(sections.size()); ++s) {
        if (sections[s].name.compare(sectionName, Qt::CaseInsensitive) != 0)
            continue;
        const double height = std::max(0.0, twips);
        if (height != sections[s].height)
            d->push(new SectionHeightEdit(*d, s, sections[s].height, height));
        return;
    }
}

void ReportDesigner::setPageSettings(const PageSettings& page)
{
    if (page == d->layout().page)
        return;
    d->push(new PageSettingsEdit(*d, d->layout().page, page));
}

double ReportDesigner::zoom() const
{
    return d->zoom;
}

void ReportDesigner::setZoom(double zoom)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == d->zoom)
        return;
    d->cancelGesture();
    d->zoom = zoom;
    d->relayout();
    viewport()->update();
    Q_EMIT zoomChanged(zoom);
}

double ReportDesigner::pixelsPerTwip() const
{
    return d->scale();
}

double ReportDesigner::gridSize() const
{
    return d->grid;
}

void ReportDesigner::setGridSize(double twips)
{
    if (twips > 0)
        d->grid = twips;
}

QWidget* ReportDesigner::surface() const
{
    return viewport();
}

QString ReportDesigner::sectionAt(const QPoint& surfacePos) const
{
    const int s = d->sectionOfBody(d->toContent(surfacePos));
    return s < 0 ? QString() : d->layout().sections[s].name;
}

QPointF ReportDesigner::toTwips(const QPoint& surfacePos, QString* sectionName) const
{
    const QPoint content = d->toContent(surfacePos);
    const int s = d->sectionOfRow(content.y());
    if (sectionName)
        *sectionName = s < 0 ? QString() : d->layout().sections[s].name;
    if (s < 0)
        return surfacePos;
    return d->twipsIn(s, content);
}

QPoint ReportDesigner::fromTwips(const QString& sectionName, const QPointF& twips) const
{
    const auto& sections = d->layout().sections;
    for (int s = 0; s < static_cast<int>(sections.size()); ++s) {
        if (sections[s].name.compare(sectionName, Qt::CaseInsensitive) != 0)
            continue;
        const double scale = d->scale();
        const QPointF content(kMarginLeft + twips.x() * scale, d->geometry[s].bodyTop + twips.y() * scale);
        return content.toPoint() - d->offset();
    }
    return {};
}

QRect ReportDesigner::controlRect(const QString& controlName) const
{
    const auto& sections = d->layout().sections;
    for (int s = 0; s < static_cast<int>(sections.size()); ++s)
        for (int i = 0; i < static_cast<int>(sections[s].controls.size()); ++i)
            if (sections[s].controls[i].name.compare(controlName, Qt::CaseInsensitive) == 0)
                return d->controlBox({s, i}).toAlignedRect().translated(-d->offset());
    return {};
}

bool ReportDesigner::dropAt(const QPoint& surfacePos, const QMimeData* data, QObject* source)
{
    const QPoint content = d->toContent(surfacePos);
    const int s = d->sectionOfBody(content);
    if (s < 0)
        return false;
    const QPointF twips = d->twipsIn(s, content);
    Q_EMIT dropped(d->layout().sections[s].name, QPointF(roundTwips(twips.x()), roundTwips(twips.y())), data, source);
    return true;
}

bool ReportDesigner::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Paint: d->paint(static_cast<QPaintEvent*>(event)); return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: d->press(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::MouseMove: d->move(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::MouseButtonRelease: d->release(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int steps = wheel->angleDelta().y() / 120;
            if (steps != 0)
                setZoom(zoom() * std::pow(1.25, steps));
            return true;
        }
        break;
    }
    case QEvent::DragEnter:
        // A drag that enters over the margin strip or a section's title bar must
        // still reach the sections: refused here, Qt would send this surface no
        // more moves and no drop. Whether a point takes it is told as it moves.
        static_cast<QDragEnterEvent*>(event)->acceptProposedAction();
        return true;
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!sectionAt(drag->position().toPoint()).isEmpty())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (dropAt(drop->position().toPoint(), drop->mimeData(), drop->source()))
            drop->acceptProposedAction();
        else
            drop->ignore();
        return true;
    }
    default: break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void ReportDesigner::keyPressEvent(QKeyEvent* event)
{
    const auto mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const int key = event->key();
    if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (event->matches(QKeySequence::Redo) || (mods == Qt::ControlModifier && key == Qt::Key_Y)) {
        redo();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (key == Qt::Key_Delete && mods == Qt::NoModifier) {
        deleteSelection();
    } else if (key == Qt::Key_Escape) {
        if (!d->cancelGesture())
            setInsertTool({});
    } else if ((key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down)
               && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
        if (d->gesture == Private::Gesture::None)
            d->nudge(key, mods == Qt::ShiftModifier);
    } else if ((mods & Qt::ControlModifier) && (key == Qt::Key_Plus || key == Qt::Key_Equal)) {
        setZoom(zoom() * 1.25);
    } else if (mods == Qt::ControlModifier && key == Qt::Key_Minus) {
        setZoom(zoom() / 1.25);
    } else if (mods == Qt::ControlModifier && key == Qt::Key_0) {
        setZoom(1.0);
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ReportDesigner::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    d->updateScrollBars();
}

void ReportDesigner::scrollContentsBy(int, int)
{
    viewport()->update();
}

} // namespace report
