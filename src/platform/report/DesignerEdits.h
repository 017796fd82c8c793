#pragma once

// The edits of the report designer, one undo command per kind. Internal to
// the designer control: nothing outside ReportDesigner.cpp includes this.

#include "platform/report/ReportLayout.h"

#include <QString>
#include <QUndoCommand>
#include <compare>
#include <vector>

namespace report {

// A control by its section's index and its index (its place in the drawing
// order) within the section.
struct ControlRef {
    int section = -1;
    int index = -1;
    friend auto operator<=>(const ControlRef&, const ControlRef&) = default;
};

// What the edits change, and whom they tell.
class DesignTarget {
public:
    virtual ~DesignTarget() = default;
    virtual ReportLayout& designLayout() = 0;
    // After an edit changed controls, with the selection to show.
    virtual void controlsEdited(const std::vector<ControlRef>& selection) = 0;
    // After an edit that leaves the selection as it is (sections, page, lock).
    virtual void layoutEdited() = 0;
    virtual void setLockedState(bool locked) = 0;
};

struct ControlChange {
    ControlRef ref;
    ReportControl before;
    ReportControl after;
};

// Move, resize, align, size and format: controls that keep their places in
// the drawing order and change their members. Edits with the same merge key
// of the same controls, one after another, make one undo step (arrow keys
// held down, a caption typed letter by letter). The selection as it was at
// the edit comes back with undo and redo.
class ChangeControlsEdit : public QUndoCommand {
public:
    ChangeControlsEdit(DesignTarget& target, const QString& text, std::vector<ControlChange> changes,
                       std::vector<ControlRef> selection, const QString& mergeKey = {});
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    void apply(bool after);
    DesignTarget& m_target;
    std::vector<ControlChange> m_changes;
    std::vector<ControlRef> m_selection;
    QString m_mergeKey;
};

struct PlacedControl {
    ControlRef ref; // where it stands when present
    ReportControl control;
};

// Insert (adding) and delete (not adding) of controls at given places. The
// controls present are selected; undoing an insert brings back the selection
// it replaced.
class AddRemoveControlsEdit : public QUndoCommand {
public:
    AddRemoveControlsEdit(DesignTarget& target, const QString& text, std::vector<PlacedControl> controls, bool adding,
                          std::vector<ControlRef> selectionBefore = {});
    void redo() override;
    void undo() override;

private:
    void insertAll();
    void removeAll();
    DesignTarget& m_target;
    std::vector<PlacedControl> m_controls; // ascending by place
    bool m_adding;
    std::vector<ControlRef> m_selectionBefore;
};

// Bring to front and send to back: new drawing orders of whole sections.
class ReorderControlsEdit : public QUndoCommand {
public:
    struct SectionOrder {
        int section = -1;
        std::vector<ReportControl> before;
        std::vector<ReportControl> after;
    };
    ReorderControlsEdit(DesignTarget& target, const QString& text, std::vector<SectionOrder> orders,
                        std::vector<ControlRef> selectionBefore, std::vector<ControlRef> selectionAfter);
    void redo() override;
    void undo() override;

private:
    DesignTarget& m_target;
    std::vector<SectionOrder> m_orders;
    std::vector<ControlRef> m_selectionBefore;
    std::vector<ControlRef> m_selectionAfter;
};

class SectionHeightEdit : public QUndoCommand {
public:
    SectionHeightEdit(DesignTarget& target, int section, double before, double after);
    void redo() override;
    void undo() override;

private:
    DesignTarget& m_target;
    int m_section;
    double m_before;
    double m_after;
};

class PageSettingsEdit : public QUndoCommand {
public:
    PageSettingsEdit(DesignTarget& target, const PageSettings& before, const PageSettings& after);
    void redo() override;
    void undo() override;

private:
    DesignTarget& m_target;
    PageSettings m_before;
    PageSettings m_after;
};

class LockControlsEdit : public QUndoCommand {
public:
    LockControlsEdit(DesignTarget& target, bool locked);
    void redo() override;
    void undo() override;

private:
    DesignTarget& m_target;
    bool m_locked;
};

} // namespace report
