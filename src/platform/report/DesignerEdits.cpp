#include "platform/report/DesignerEdits.h"

#include <algorithm>

namespace report {

namespace {

ReportControl& at(ReportLayout& layout, const ControlRef& ref)
{
    return layout.sections[ref.section].controls[ref.index];
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
    for (const auto& change : m_changes)
        at(layout, change.ref) = after ? change.after : change.before;
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
        auto& controls = layout.sections[placed.ref.section].controls;
        controls.insert(controls.begin() + placed.ref.index, placed.control);
        refs.push_back(placed.ref);
    }
    m_target.controlsEdited(refs);
}

void AddRemoveControlsEdit::removeAll()
{
    auto& layout = m_target.designLayout();
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
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
        layout.sections[order.section].controls = order.after;
    m_target.controlsEdited(m_selectionAfter);
}

void ReorderControlsEdit::undo()
{
    auto& layout = m_target.designLayout();
    for (const auto& order : m_orders)
        layout.sections[order.section].controls = order.before;
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
    m_target.designLayout().sections[m_section].height = m_after;
    m_target.layoutEdited();
}

void SectionHeightEdit::undo()
{
    m_target.designLayout().sections[m_section].height = m_before;
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
