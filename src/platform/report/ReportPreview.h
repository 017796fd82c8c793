#pragma once

#include "platform/report/Report.h"

#include <QMainWindow>
#include <vector>

class QAction;
class QComboBox;
class QScrollArea;
class QSpinBox;
class QToolBar;

namespace report {

class PreviewPageView;

// The preview window of a report. It keeps a report object of its own (a copy
// taken when it opens), so a later print, export or second preview of the
// caller's report never changes what this window shows. It draws the same
// pages the printer and the exports get.
//
// The toolbar follows the report's ViewerToolbar: its standard tools act here
// (print, copy, pages, zoom, page moves); tools the program added emit
// toolClicked() with their index, for the program to handle.
class ReportPreview : public QMainWindow {
    Q_OBJECT
public:
    explicit ReportPreview(const Report& report, QWidget* parent = nullptr);
    ~ReportPreview() override;

    Report& report() { return m_report; }

    QToolBar* toolBar() const { return m_toolBar; }
    // The action of a tool by toolbar index (the zoom list and the page box
    // are widget actions); nullptr outside the tools.
    QAction* toolAction(int index) const;
    QComboBox* zoomList() const { return m_zoom; }
    void triggerTool(int index);

    int pageCount() const;
    int currentPage() const { return m_page; } // 0-based
    void setCurrentPage(int page);
    // The scale of the view: 1.0 shows a page at its printed size on a 96 dpi screen.
    double zoomFactor() const;
    void setZoomIndex(int index);
    int pagesAcross() const { return m_pagesAcross; }

Q_SIGNALS:
    void toolClicked(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildToolBar();
    void onTool(int index);
    void refresh();
    void copyPage();

    Report m_report;
    QToolBar* m_toolBar = nullptr;
    QComboBox* m_zoom = nullptr;
    QSpinBox* m_pageBox = nullptr;
    QScrollArea* m_scroll = nullptr;
    PreviewPageView* m_view = nullptr;
    std::vector<QAction*> m_actions;
    std::vector<int> m_history;
    int m_historyPos = -1;
    int m_page = 0;
    int m_pagesAcross = 1;
    int m_zoomIndex = 0;
    double m_scale = 1.0;
};

} // namespace report
