// The designer with a layout of 300 controls: select all and drag them by the
// mouse with the repaint of the frame, loading the layout, saving it.
// With --screenshot <file.png> [layout file] it writes a picture of the
// surface instead (of the 300 controls, or of the layout file given).

#include "platform/report/ReportControl.h"
#include "platform/report/ReportDesigner.h"
#include "platform/report/ReportLayout.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QUndoStack>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

constexpr int kControls = 300;

report::ReportLayout bigLayout()
{
    using namespace report;
    ReportLayout layout = ReportLayout::standard();
    layout.addGroup(QStringLiteral("Testa"), QStringLiteral("Calce"), QStringLiteral("fatId"), 4320, 2880);
    layout.section(QStringLiteral("PageHeader")).height = 1440;
    layout.section(QStringLiteral("Detail")).height = 1440;
    const char* sections[] = {"PageHeader", "Testa", "Detail", "Calce", "PageFooter"};
    for (int i = 0; i < kControls; ++i) {
        auto& section = layout.section(QString::fromLatin1(sections[i % 5]));
        const int n = static_cast<int>(section.controls.size());
        auto& c = section.addControl(i % 3 == 0 ? ControlKind::Label : ControlKind::Field,
                                     QStringLiteral("c%1").arg(i));
        c.left = 240 + (n % 6) * 1560;
        c.top = 60 + (n / 6) * 300;
        c.width = 1440;
        c.height = 285;
        c.caption = i % 3 == 0 ? QStringLiteral("Etichetta %1").arg(i) : QStringLiteral(".Campo%1").arg(i);
        c.dataField = c.kind == ControlKind::Field ? QStringLiteral("Campo%1").arg(i) : QString();
        c.font.bold = i % 7 == 0;
        c.font.size = 8 + i % 4;
    }
    layout.section(QStringLiteral("PageHeader")).height = 300 * 12 + 120;
    layout.section(QStringLiteral("Testa")).height = 300 * 12 + 120;
    layout.section(QStringLiteral("Detail")).height = 300 * 12 + 120;
    layout.section(QStringLiteral("Calce")).height = 300 * 12 + 120;
    layout.section(QStringLiteral("PageFooter")).height = 300 * 12 + 120;
    return layout;
}

void mouse(QWidget* w, QEvent::Type type, const QPoint& at, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// One frame: the surface painted into an image the size of the screen.
struct Fixture {
    report::ReportDesigner designer;
    QByteArray bytes;
    QImage frame;
    Fixture()
    {
        designer.resize(1024, 768);
        designer.setLayout(bigLayout());
        bytes = designer.saveLayout();
        designer.show();
        QApplication::processEvents();
        frame = QImage(designer.surface()->size(), QImage::Format_ARGB32_Premultiplied);
        paint();
    }
    void paint() { designer.surface()->render(&frame); }
};

// Select all, press on a control, drag it 30 pixels right and down, release,
// and paint the frame.
void BM_SelectAllDragRepaint(benchmark::State& state)
{
    Fixture f;
    auto* surface = f.designer.surface();
    const QPoint start = f.designer.controlRect(QStringLiteral("c0")).center();
    int sign = 1;
    for (auto _ : state) {
        f.designer.selectAll();
        const QPoint to = start + sign * QPoint(30, 30);
        mouse(surface, QEvent::MouseButtonPress, start, Qt::LeftButton);
        mouse(surface, QEvent::MouseMove, to, Qt::LeftButton);
        mouse(surface, QEvent::MouseButtonRelease, to, Qt::NoButton);
        f.paint();
        state.PauseTiming();
        f.designer.undo();
        state.ResumeTiming();
    }
    state.counters["controls"] = f.designer.selectionCount();
}

// One step of a drag in progress: the mouse moves one pixel, the frame is painted.
void BM_DragFrame(benchmark::State& state)
{
    Fixture f;
    auto* surface = f.designer.surface();
    const QPoint start = f.designer.controlRect(QStringLiteral("c0")).center();
    f.designer.selectAll();
    mouse(surface, QEvent::MouseButtonPress, start, Qt::LeftButton);
    mouse(surface, QEvent::MouseMove, start + QPoint(20, 20), Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        mouse(surface, QEvent::MouseMove, start + QPoint(20 + step % 2, 20), Qt::LeftButton);
        f.paint();
        ++step;
    }
    mouse(surface, QEvent::MouseButtonRelease, start, Qt::NoButton);
}

// Loading the saved layout into the designer and showing its first frame.
void BM_Load(benchmark::State& state)
{
    Fixture f;
    for (auto _ : state) {
        f.designer.loadLayout(f.bytes);
        f.paint();
    }
    state.counters["bytes"] = f.bytes.size();
}

void BM_Save(benchmark::State& state)
{
    Fixture f;
    for (auto _ : state)
        benchmark::DoNotOptimize(f.designer.saveLayout());
}

int screenshot(const char* path, const char* layoutFile)
{
    report::ReportDesigner designer;
    designer.resize(1024, 768);
    if (layoutFile)
        designer.loadLayout(QString::fromLocal8Bit(layoutFile));
    else
        designer.setLayout(bigLayout());
    designer.show();
    designer.selectControl(QStringLiteral("c5"));
    designer.selectControl(QStringLiteral("c10"), true);
    designer.selectControl(QStringLiteral("c1"), true);
    designer.executeCommand(report::DesignerCommand::Bold);
    QApplication::processEvents();
    return designer.grab().save(QString::fromLocal8Bit(path)) ? 0 : 1;
}

} // namespace

BENCHMARK(BM_SelectAllDragRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty() && qgetenv("DISPLAY").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--screenshot") == 0)
        return screenshot(argv[2], argc == 4 ? argv[3] : nullptr);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
