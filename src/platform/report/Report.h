#pragma once

#include "platform/core/Variant.h"
#include "platform/report/DataControl.h"
#include "platform/report/PrinterSettings.h"
#include "platform/report/Progress.h"
#include "platform/report/ReportFields.h"
#include "platform/report/ReportLayout.h"
#include "platform/report/ReportPage.h"
#include "platform/report/ViewerToolbar.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>
#include <functional>
#include <optional>

namespace report {

// A report object: a layout, its fields, its data (a data-fetch handler or
// the data control), the handlers of its section events and, after run(), its
// pages. A value: copying a report copies all of it (handlers included), so
// every preview, print and designer window can work on a report of its own.
//
// Running never changes the layout: the section handlers work on a copy of
// it that lives for the run, so a run, a print or an export leaves the report
// as it found it, and the next run starts from the same layout. Between runs,
// section() and control() reach the layout itself.
//
// Needs a QGuiApplication (text is measured with the fonts of the platform).
class Report {
public:
    // eof arrives true; the handler clears it to deliver one more row (the
    // report fields hold the row's values), or leaves it set to end the data.
    // With a bound data control the handler is called once per row with eof
    // false, after the fields took the row's values.
    using FetchHandler = std::function<void(Report&, bool& eof)>;
    using SectionHandler = std::function<void(Report&)>;
    using LoadHandler = std::function<void(Report&)>;

    Report();

    // Load runs the initialisation once (the load handler) without showing
    // anything; unload drops the pages, the fields' values and the run state.
    void load();
    void unload();
    bool isLoaded() const { return m_loaded; }
    void setLoadHandler(LoadHandler handler) { m_loadHandler = std::move(handler); }
    // Runs at the start of every run, before the first row is fetched (where
    // a handler rewinds its data).
    void setStartHandler(LoadHandler handler) { m_startHandler = std::move(handler); }

    // Layout.
    ReportLayout& layout() { return *m_active; }
    const ReportLayout& layout() const { return *m_active; }
    void setLayout(const ReportLayout& layout);
    // Throws core::Error with an Italian description; the layout is unchanged then.
    void loadLayout(const QString& path);
    void loadLayout(const QByteArray& bytes);
    QByteArray saveLayout() const;
    void saveLayout(const QString& path) const;
    PageSettings& pageSettings() { return layout().page; }

    ReportSection& section(const QString& name) { return layout().section(name); }
    ReportControl& control(const QString& name) { return layout().control(name); }

    // Fields and data.
    ReportFields& fields() { return m_fields; }
    const ReportFields& fields() const { return m_fields; }
    void setFetchData(FetchHandler handler) { m_fetch = std::move(handler); }
    const FetchHandler& fetchData() const { return m_fetch; }
    DataControl& dataControl() { return m_dataControl; }
    // The format event of a section, by section name.
    void setSectionHandler(const QString& sectionName, SectionHandler handler);
    // The value that groups rows in a group header without a data field; set
    // by the fetch handler for the row it delivers.
    void setGroupValue(const QString& groupHeaderName, const core::Variant& value);
    core::Variant groupValue(const QString& groupHeaderName) const;

    // While running: the page being laid out (1-based); 0 outside a run.
    int pageNumber() const { return m_pageNumber; }
    bool isRunning() const { return m_run.has_value(); }

    // Report properties.
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption) { m_caption = caption; }
    QString documentName() const { return m_documentName; }
    void setDocumentName(const QString& name) { m_documentName = name; }
    // The report's picture, shown by picture controls that have none of their own.
    QImage picture() const { return m_picture; }
    void setPicture(const QImage& picture) { m_picture = picture; }

    ViewerToolbar& viewerToolbar() { return m_viewer; }
    const ViewerToolbar& viewerToolbar() const { return m_viewer; }
    PrinterSettings& printer() { return m_printer; }
    const PrinterSettings& printer() const { return m_printer; }

    // Told at every row read and every page begun by a run, and at every page
    // a print writes; when it says stop, the job throws Cancelled.
    void setProgressHandler(ProgressHandler handler) { m_progress = std::move(handler); }
    const ProgressHandler& progressHandler() const { return m_progress; }

    // Paginates the report into pages() (loading it first if needed). Errors
    // of handlers or of the data layer reach the caller; the layout is intact.
    // A run stopped by the progress handler throws Cancelled and keeps no pages.
    void run();
    bool hasRun() const { return m_hasRun; }
    const ReportPages& pages() const { return m_pages; }

    Report(const Report& other);
    Report& operator=(const Report& other);
    Report(Report&& other) noexcept;
    Report& operator=(Report&& other) noexcept;

private:
    friend class Paginator;

    ReportLayout m_layout;
    std::optional<ReportLayout> m_run;
    ReportLayout* m_active = &m_layout;
    ReportFields m_fields;
    DataControl m_dataControl;
    FetchHandler m_fetch;
    LoadHandler m_loadHandler;
    LoadHandler m_startHandler;
    ProgressHandler m_progress;
    QHash<QString, SectionHandler> m_sectionHandlers; // lower-case section name
    QHash<QString, core::Variant> m_groupValues;      // lower-case section name
    QString m_caption;
    QString m_documentName;
    QImage m_picture;
    ViewerToolbar m_viewer;
    PrinterSettings m_printer;
    ReportPages m_pages;
    bool m_loaded = false;
    bool m_hasRun = false;
    int m_pageNumber = 0;
};

} // namespace report
