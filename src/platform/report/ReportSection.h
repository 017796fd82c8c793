#pragma once

#include "platform/report/ReportControl.h"
#include "platform/report/ReportTypes.h"

#include <QColor>
#include <QString>
#include <vector>

namespace report {

// One band of a layout with its controls. References to controls stay valid
// until the next control is added or removed.
struct ReportSection {
    SectionKind kind = SectionKind::Detail;
    QString name;
    double height = 0; // twips
    bool visible = true;
    // A band grows to hold controls that grow with their text.
    bool canGrow = true;
    NewPage newPage = NewPage::None;
    BackStyle backStyle = BackStyle::Transparent;
    QColor backColor = QColor(255, 255, 255);
    // Group headers: the field whose change starts a new group. Empty: the
    // group value set by the report's code while it fetches the rows.
    QString groupDataField;
    // Group headers: printed again at the top of every page the group runs onto.
    bool repeatOnEveryPage = false;
    std::vector<ReportControl> controls;

    friend bool operator==(const ReportSection&, const ReportSection&) = default;

    bool isGroupHeader() const { return kind == SectionKind::GroupHeader; }

    ReportControl* findControl(const QString& controlName);
    const ReportControl* findControl(const QString& controlName) const;
    // Throws core::Error when the section has no such control.
    ReportControl& control(const QString& controlName);
    const ReportControl& control(const QString& controlName) const;

    // Adds a control of a class ("DDActiveReports2.Field") or kind; an empty
    // name becomes the type name with the first free number ("Field1").
    ReportControl& addControl(const QString& className, const QString& controlName = {});
    ReportControl& addControl(ControlKind kind, const QString& controlName = {});
    bool removeControl(const QString& controlName);
};

} // namespace report
