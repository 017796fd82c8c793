#include "platform/report/Report.h"

#include "platform/report/LayoutFormat.h"
#include "platform/report/Paginator.h"

namespace report {

Report::Report() : m_layout(ReportLayout::standard()) {}

Report::Report(const Report& other)
    : m_layout(other.m_layout), m_run(other.m_run), m_fields(other.m_fields), m_dataControl(other.m_dataControl),
      m_fetch(other.m_fetch), m_loadHandler(other.m_loadHandler), m_startHandler(other.m_startHandler), m_progress(other.m_progress), m_sectionHandlers(other.m_sectionHandlers),
      m_groupValues(other.m_groupValues), m_caption(other.m_caption), m_documentName(other.m_documentName),
      m_picture(other.m_picture), m_viewer(other.m_viewer), m_printer(other.m_printer), m_pages(other.m_pages),
      m_loaded(other.m_loaded), m_hasRun(other.m_hasRun), m_pageNumber(other.m_pageNumber)
{
    m_active = m_run ? &*m_run : &m_layout;
}

Report& Report::operator=(const Report& other)
{
    if (this != &other) {
        Report copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Report::Report(Report&& other) noexcept
    : m_layout(std::move(other.m_layout)), m_run(std::move(other.m_run)), m_fields(std::move(other.m_fields)),
      m_dataControl(other.m_dataControl), m_fetch(std::move(other.m_fetch)),
      m_loadHandler(std::move(other.m_loadHandler)), m_startHandler(std::move(other.m_startHandler)),
      m_progress(std::move(other.m_progress)), m_sectionHandlers(std::move(other.m_sectionHandlers)),
      m_groupValues(std::move(other.m_groupValues)), m_caption(std::move(other.m_caption)),
      m_documentName(std::move(other.m_documentName)), m_picture(std::move(other.m_picture)),
      m_viewer(std::move(other.m_viewer)), m_printer(std::move(other.m_printer)), m_pages(std::move(other.m_pages)),
      m_loaded(other.m_loaded), m_hasRun(other.m_hasRun), m_pageNumber(other.m_pageNumber)
{
    m_active = m_run ? &*m_run : &m_layout;
    other.m_run.reset();
    other.m_active = &other.m_layout;
}

Report& Report::operator=(Report&& other) noexcept
{
    if (this != &other) {
        m_layout = std::move(other.m_layout);
        m_run = std::move(other.m_run);
        m_fields = std::move(other.m_fields);
        m_dataControl = other.m_dataControl;
        m_fetch = std::move(other.m_fetch);
        m_loadHandler = std::move(other.m_loadHandler);
        m_startHandler = std::move(other.m_startHandler);
        m_progress = std::move(other.m_progress);
        m_sectionHandlers = std::move(other.m_sectionHandlers);
        m_groupValues = std::move(other.m_groupValues);
        m_caption = std::move(other.m_caption);
        m_documentName = std::move(other.m_documentName);
        m_picture = std::move(other.m_picture);
        m_viewer = std::move(other.m_viewer);
        m_printer = std::move(other.m_printer);
        m_pages = std::move(other.m_pages);
        m_loaded = other.m_loaded;
        m_hasRun = other.m_hasRun;
        m_pageNumber = other.m_pageNumber;
        m_active = m_run ? &*m_run : &m_layout;
        other.m_run.reset();
        other.m_active = &other.m_layout;
    }
    return *this;
}

void Report::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (m_loadHandler)
        m_loadHandler(*this);
}

void Report::unload()
{
    m_loaded = false;
    m_hasRun = false;
    m_pages = {};
    m_run.reset();
    m_active = &m_layout;
    m_groupValues.clear();
    m_pageNumber = 0;
    for (int i = 0; i < m_fields.count(); ++i)
        m_fields.at(i).value = core::Variant();
    m_dataControl.close();
}

void Report::setLayout(const ReportLayout& layout)
{
    layout.validate();
    m_layout = layout;
    m_hasRun = false;
    m_pages = {};
}

void Report::loadLayout(const QString& path)
{
    setLayout(LayoutFormat::readFile(path));
}

void Report::loadLayout(const QByteArray& bytes)
{
    setLayout(LayoutFormat::read(bytes));
}

QByteArray Report::saveLayout() const
{
    return LayoutFormat::write(m_layout);
}

void Report::saveLayout(const QString& path) const
{
    LayoutFormat::writeFile(m_layout, path);
}

void Report::setSectionHandler(const QString& sectionName, SectionHandler handler)
{
    if (handler)
        m_sectionHandlers.insert(sectionName.toLower(), std::move(handler));
    else
        m_sectionHandlers.remove(sectionName.toLower());
}

void Report::setGroupValue(const QString& groupHeaderName, const core::Variant& value)
{
    m_groupValues.insert(groupHeaderName.toLower(), value);
}

core::Variant Report::groupValue(const QString& groupHeaderName) const
{
    return m_groupValues.value(groupHeaderName.toLower());
}

void Report::run()
{
    load();
    // The handlers edit a copy of the layout for this run only.
    m_run = m_layout;
    m_active = &*m_run;
    m_groupValues.clear();
    struct RunEnd {
        Report* r;
        ~RunEnd()
        {
            r->m_run.reset();
            r->m_active = &r->m_layout;
            r->m_pageNumber = 0;
            r->m_dataControl.close();
        }
    } runEnd{this};
    m_hasRun = false;
    m_pages = {};
    if (m_startHandler)
        m_startHandler(*this);
    ReportPages pages = Paginator(*this).paginate();
    pages.title = m_documentName.isEmpty() ? m_caption : m_documentName;
    m_pages = std::move(pages);
    m_hasRun = true;
}

} // namespace report
