#include "platform/report/ReportPreview.h"

#include "platform/report/PagePainter.h"
#include "platform/report/ReportPrinter.h"
#include "platform/core/Error.h"
#include "platform/ui/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QWidget>

namespace report {

namespace {
// 96 screen pixels to the inch.
constexpr double kPixelsPerTwip = 96.0 / 1440.0;
constexpr int kGap = 12;
} // namespace

// Paints the current page (and the next ones when several are shown).
class PreviewPageView : public QWidget {
public:
    explicit PreviewPageView(ReportPreview* preview) : QWidget(nullptr), m_preview(preview) {}

    void updateSize()
    {
        const auto& pages = m_preview->report().pages();
        if (pages.isEmpty()) {
            resize(200, 200);
            return;
        }
        const auto& p = pages.page(m_preview->currentPage());
        const double s = m_preview->zoomFactor() * kPixelsPerTwip;
        const int across = std::min(m_preview->pagesAcross(), pages.count() - m_preview->currentPage());
        resize(static_cast<int>(p.width * s * across) + kGap * (across + 1), static_cast<int>(p.height * s) + 2 * kGap);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(128, 128, 128));
        const auto& pages = m_preview->report().pages();
        const double s = m_preview->zoomFactor() * kPixelsPerTwip;
        double x = kGap;
        for (int i = 0; i < m_preview->pagesAcross(); ++i) {
            const int index = m_preview->currentPage() + i;
            if (index >= pages.count())
                break;
            const auto& page = pages.page(index);
            const QRectF paper(x, kGap, page.width * s, page.height * s);
            painter.fillRect(paper, Qt::white);
            painter.save();
            painter.translate(paper.topLeft());
            painter.scale(s, s);
            painter.setClipRect(QRectF(0, 0, page.width, page.height));
            paintPage(painter, page);
            painter.restore();
            x += paper.width() + kGap;
        }
    }

private:
    ReportPreview* m_preview;
};

ReportPreview::ReportPreview(const Report& report, QWidget* parent) : QMainWindow(parent), m_report(report)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(m_report.caption());
    if (!m_report.hasRun())
        m_report.run();
    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_view = new PreviewPageView(this);
    m_scroll->setWidget(m_view);
    setCentralWidget(m_scroll);
    buildToolBar();
    // Esc closes the preview, as it closes every other window in front.
    auto* closeAction = new QAction(this);
    closeAction->setObjectName(QStringLiteral("actClosePreview"));
    closeAction->setShortcut(QKeySequence(Qt::Key_Escape));
    closeAction->setShortcutContext(Qt::WindowShortcut);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(closeAction);
    resize(900, 700);
    m_history.push_back(0);
    m_historyPos = 0;
    refresh();
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::buildToolBar()
{
    const ViewerToolbar& model = m_report.viewerToolbar();
    m_toolBar = addToolBar(QStringLiteral("Anteprima"));
    m_toolBar->setObjectName(QStringLiteral("tbPreview"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolBar->setVisible(model.isVisible());
    for (int i = 0; i < model.count(); ++i) {
        const PreviewTool& tool = model.tool(i);
        QAction* action = nullptr;
        if (tool.separator) {
            action = m_toolBar->addSeparator();
        } else if (tool.id == static_cast<int>(StandardTool::ZoomList)) {
            m_zoom = new QComboBox(m_toolBar);
            m_zoom->setObjectName(QStringLiteral("cboZoom"));
            m_zoom->addItems(model.zoomCaptions());
            connect(m_zoom, &QComboBox::currentIndexChanged, this, [this](int index) { setZoomIndex(index); });
            action = m_toolBar->addWidget(m_zoom);
        } else if (tool.id == static_cast<int>(StandardTool::PageNumber)) {
            m_pageBox = new QSpinBox(m_toolBar);
            m_pageBox->setObjectName(QStringLiteral("spnPage"));
            m_pageBox->setRange(1, std::max(1, pageCount()));
            connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int value) { setCurrentPage(value - 1); });
            action = m_toolBar->addWidget(m_pageBox);
        } else {
            action = m_toolBar->addAction(tool.caption);
            action->setToolTip(tool.toolTip);
            connect(action, &QAction::triggered, this, [this, i] { onTool(i); });
        }
        action->setVisible(tool.visible);
        action->setEnabled(tool.enabled);
        m_actions.push_back(action);
    }
}

QAction* ReportPreview::toolAction(int index) const
{
    return index >= 0 && index < static_cast<int>(m_actions.size()) ? m_actions[index] : nullptr;
}

void ReportPreview::triggerTool(int index)
{
    if (QAction* action = toolAction(index); action && action->isEnabled())
        onTool(index);
}

int ReportPreview::pageCount() const
{
    return m_report.pages().count();
}

void ReportPreview::setCurrentPage(int page)
{
    page = std::clamp(page, 0, std::max(0, pageCount() - 1));
    if (page == m_page)
        return;
    m_page = page;
    m_history.resize(m_historyPos + 1);
    m_history.push_back(page);
    m_historyPos = static_cast<int>(m_history.size()) - 1;
    refresh();
}

double ReportPreview::zoomFactor() const
{
    return m_scale;
}

void ReportPreview::setZoomIndex(int index)
{
    m_zoomIndex = index;
    refresh();
}

void ReportPreview::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    refresh();
}

void ReportPreview::onTool(int index)
{
    const int id = m_report.viewerToolbar().tool(index).id;
    switch (static_cast<StandardTool>(id)) {
    case StandardTool::Print:
        // A printer that fails is told to the user; the preview stays open.
        try {
            ReportPrinter::print(m_report, true);
        } catch (const core::Error& e) {
            ui::msgBox(QStringLiteral("Stampa non riuscita.\n") + e.description(), ui::vbOKOnly | ui::vbExclamation);
        }
        return;
    case StandardTool::Copy:
        copyPage();
        return;
    case StandardTool::SinglePage:
        m_pagesAcross = 1;
        break;
    case StandardTool::MultiplePages:
        m_pagesAcross = 2;
        break;
    case StandardTool::ZoomOut:
        m_zoomIndex = -1;
        m_scale = std::max(0.1, m_scale / 1.25);
        break;
    case StandardTool::ZoomIn:
        m_zoomIndex = -1;
        m_scale = std::min(8.0, m_scale * 1.25);
        break;
    case StandardTool::PreviousPage:
        setCurrentPage(m_page - 1);
        return;
    case StandardTool::NextPage:
        setCurrentPage(m_page + 1);
        return;
    case StandardTool::Back:
    case StandardTool::Forward: {
        const int step = id == static_cast<int>(StandardTool::Back) ? -1 : 1;
        const int pos = m_historyPos + step;
        if (pos >= 0 && pos < static_cast<int>(m_history.size())) {
            m_historyPos = pos;
            m_page = m_history[pos];
        }
        break;
    }
    default:
        if (id >= 1000)
            Q_EMIT toolClicked(index);
        return;
    }
    refresh();
}

void ReportPreview::refresh()
{
    const auto& pages = m_report.pages();
    if (m_zoomIndex >= 0 && !pages.isEmpty()) {
        const auto& page = pages.page(m_page);
        const QSize area = m_scroll->viewport()->size() - QSize(2 * kGap, 2 * kGap);
        const double fitWidth = area.width() / (page.width * kPixelsPerTwip * m_pagesAcross);
        const double fitPage = std::min(fitWidth, area.height() / (page.height * kPixelsPerTwip));
        if (m_zoomIndex == ViewerToolbar::kZoomPageWidth)
            m_scale = std::max(0.05, fitWidth);
        else if (m_zoomIndex == ViewerToolbar::kZoomWholePage)
            m_scale = std::max(0.05, fitPage);
        else
            m_scale = ViewerToolbar::zoomScale(m_zoomIndex);
    }
    if (m_pageBox) {
        const QSignalBlocker block(m_pageBox);
        m_pageBox->setRange(1, std::max(1, pageCount()));
        m_pageBox->setValue(m_page + 1);
    }
    m_view->updateSize();
}

void ReportPreview::copyPage()
{
    const auto& pages = m_report.pages();
    if (pages.isEmpty())
        return;
    const auto& page = pages.page(m_page);
    QImage image(QSize(static_cast<int>(page.width * kPixelsPerTwip), static_cast<int>(page.height * kPixelsPerTwip)),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(kPixelsPerTwip, kPixelsPerTwip);
    paintPage(painter, page);
    painter.end();
    QApplication::clipboard()->setImage(image);
}

} // namespace report
