#include "platform/report/DesignerEdits.h"

#include <algorithm>

namespace report {

namespace {

// The control at a place; nullptr when the place holds none (an edit
// replayed over a layout that no longer matches must not reach past it).
ReportControl* at(ReportLayout& layout, const ControlRef& ref)
{
    if (ref.section < 0 || ref.section >= static_cast<int>(layout.sections.size()))
        return nullptr;
    auto& controls = layout.sections[ref.section].controls;
    if (ref.index < 0 || ref.index >= static_cast<int>(controls.size()))
        return nullptr;
    return &controls[ref.index];
}

std::vector<ReportControl>* controlsOf(ReportLayout& layout, int section)
{
    if (section < 0 || section >= static_cast<int>(layout.sections.size()))
        return nullptr;
    return &layout.sections[section].controls;
}

} // namespace

// --- ChangeControlsEdit ---------------------------------------------------

ChangeControlsEdit::ChangeControlsEdit(DesignTarget& target, const QString& text, std::vector<ControlChange> changes,
                                       std::vector<ControlRef> selection, const QString& mergeKey)
    : QUndoCommand(text), m_target(target), m_changes(std::move(changes)), m_selection(std::move(selection)),
      m_mergeKey(mergeKey)
{
}

void ChangeControlsEdit::apply(bool after)
{
    auto& layout = m_target.designLayout();
    for (const auto& change : m_changes) {
        ReportControl* c = at(layout, change.ref);
        // Only the control the edit was made on: same place, same name.
        if (c && c->name == (after ? change.before : change.after).name)
            *c = after ? change.after : change.before;
    }
    m_target.controlsEdited(m_selection);
}

void ChangeControlsEdit::redo()
{
    apply(true);
}

void ChangeControlsEdit::undo()
{
    apply(false);
}

int ChangeControlsEdit::id() const
{
    return m_mergeKey.isEmpty() ? -1 : 1;
}

bool ChangeControlsEdit::mergeWith(const QUndoCommand* other)
{
    const auto* next = dynamic_cast<const ChangeControlsEdit*>(other);
    if (!next || next->m_mergeKey != m_mergeKey || next->m_selection != m_selection
        || next->m_changes.size() != m_changes.size())
        return false;
    for (std::size_t i = 0; i < m_changes.size(); ++i)
        if (next->m_changes[i].ref != m_changes[i].ref)
            return false;
    for (std::size_t i = 0; i < m_changes.size(); ++i)
        m_changes[i].after = next->m_changes[i].after;
    return true;
}

// --- AddRemoveControlsEdit ------------------------------------------------

AddRemoveControlsEdit::AddRemoveControlsEdit(DesignTarget& target, const QString& text,
                                             std::vector<PlacedControl> controls, bool adding,
                                             std::vector<ControlRef> selectionBefore)
    : QUndoCommand(text), m_target(target), m_controls(std::move(controls)), m_adding(adding),
      m_selectionBefore(std::move(selectionBefore))
{
    std::sort(m_controls.begin(), m_controls.end(),
              [](const PlacedControl& a, const PlacedControl& b) { return a.ref < b.ref; });
}

void AddRemoveControlsEdit::insertAll()
{
    auto& layout = m_target.designLayout();
    std::vector<ControlRef> refs;
    // Ascending, so each control goes back to the place it had among the others.
    for (const auto& placed : m_controls) {
        auto* controls = controlsOf(layout, placed.ref.section);
        if (!controls || placed.ref.index < 0 || placed.ref.index > static_cast<int>(controls->size()))
            continue;
        controls->insert(controls->begin() + placed.ref.index, placed.control);
        refs.push_back(placed.ref);
    }
    m_target.controlsEdited(refs);
}

void AddRemoveControlsEdit::removeAll()
{
    auto& layout = m_target.designLayout();
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        const ReportControl* c = at(layout, it->ref);
        if (!c || c->name != it->control.name)
            continue;
        auto& controls = layout.sections[it->ref.section].controls;
        controls.erase(controls.begin() + it->ref.index);
    }
    m_target.controlsEdited(m_adding ? m_selectionBefore : std::vector<ControlRef>{});
}

void AddRemoveControlsEdit::redo()
{
    if (m_adding)
        insertAll();
    else
        removeAll();
}

void AddRemoveControlsEdit::undo()
{
    if (m_adding)
        removeAll();
    else
        insertAll();
}

// --- ReorderControlsEdit --------------------------------------------------

ReorderControlsEdit::ReorderControlsEdit(DesignTarget& target, const QString& text, std::vector<SectionOrder> orders,
                                         std::vector<ControlRef> selectionBefore,
                                         std::vector<ControlRef> selectionAfter)
    : QUndoCommand(text), m_target(target), m_orders(std::move(orders)),
      m_selectionBefore(std::move(selectionBefore)), m_selectionAfter(std::move(selectionAfter))
{
}

void ReorderControlsEdit::redo()
{
    auto& layout = m_target.designLayout();
    for (const auto& order : m_orders)
        if (auto* controls = controlsOf(layout, order.section))
            *controls = order.after;
    m_target.controlsEdited(m_selectionAfter);
}

void ReorderControlsEdit::undo()
{
    auto& layout = m_target.designLayout();
    for (const auto& order : m_orders)
        if (auto* controls = controlsOf(layout, order.section))
            *controls = order.before;
    m_target.controlsEdited(m_selectionBefore);
}

// --- SectionHeightEdit ----------------------------------------------------

SectionHeightEdit::SectionHeightEdit(DesignTarget& target, int section, double before, double after)
    : QUndoCommand(QStringLiteral("Altezza della sezione")), m_target(target), m_section(section), m_before(before),
      m_after(after)
{
}

void SectionHeightEdit::redo()
{
    auto& sections = m_target.designLayout().sections;
    if (m_section >= 0 && m_section < static_cast<int>(sections.size()))
        sections[m_section].height = m_after;
    m_target.layoutEdited();
}

void SectionHeightEdit::undo()
{
    auto& sections = m_target.designLayout().sections;
    if (m_section >= 0 && m_section < static_cast<int>(sections.size()))
        sections[m_section].height = m_before;
    m_target.layoutEdited();
}

// --- PageSettingsEdit -----------------------------------------------------

PageSettingsEdit::PageSettingsEdit(DesignTarget& target, const PageSettings& before, const PageSettings& after)
    : QUndoCommand(QStringLiteral("Impostazioni di pagina")), m_target(target), m_before(before), m_after(after)
{
}

void PageSettingsEdit::redo()
{
    m_target.designLayout().page = m_after;
    m_target.layoutEdited();
}

void PageSettingsEdit::undo()
{
    m_target.designLayout().page = m_before;
    m_target.layoutEdited();
}

// --- LockControlsEdit -----------------------------------------------------

LockControlsEdit::LockControlsEdit(DesignTarget& target, bool locked)
    : QUndoCommand(locked ? QStringLiteral("Blocca i controlli") : QStringLiteral("Sblocca i controlli")),
      m_target(target), m_locked(locked)
{
}

void LockControlsEdit::redo()
{
    m_target.setLockedState(m_locked);
}

void LockControlsEdit::undo()
{
    m_target.setLockedState(!m_locked);
}

} // namespace report
