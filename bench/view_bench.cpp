// Page redraw in the core, and a page turn through the real window on the offscreen
// platform, against a plain grid that paints 1024 short texts; a click on one cell
// against the page turn. Run with QT_SCALE_FACTOR=2 for a device pixel ratio of 2: the
// window figures then carry the suffix _x2, with their baseline from that run.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <cstdlib>
#include <string>

#include "BenchTable.h"
#include "core/Form1.h"
#include "platform/qt/QtPlatform.h"
#include "support/FakePlatform.h"
#include "window/qt/EditorSession.h"
#include "window/qt/GridView.h"
#include "window/qt/MainWindow.h"

namespace {

using namespace quillory;

Bytes gbkDense(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        bytes[i] = static_cast<std::uint8_t>(0xB0 + (i / 2) % 0x40);
        bytes[i + 1] = static_cast<std::uint8_t>(0xA1 + (i / 2) % 0x5E);
    }
    return bytes;
}

void BM_ShowPage_GbkDense(benchmark::State& state) {
    testing::FakePlatform fake;
    Form1 form(fake);
    form.Form_Load();
    form.loadDocument(gbkDense(4096));
    for (auto _ : state) {
        form.ShowPage();
        benchmark::DoNotOptimize(form.ChrBox.text(100).data());
    }
}
BENCHMARK(BM_ShowPage_GbkDense);
QUILLORY_TARGET("BM_ShowPage_GbkDense", "", 0, 0.020);

QApplication& app() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillory_bench";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own teardown at exit outlives the benchmark library's.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

// "_x2" under QT_SCALE_FACTOR=2, so that both scales can stand in one table.
std::string scaled(const char* name) {
    const char* factor = std::getenv("QT_SCALE_FACTOR");
    if (!factor || std::string(factor).empty() || std::string(factor) == "1") return name;
    return std::string(name) + "_x" + factor;
}

void BM_PageTurn_Window(benchmark::State& state) {
    app();
    QtPlatform platform;
    EditorSession session(platform);
    Form1& form = session.form;
    MainWindow& window = session.window;
    window.show();
    form.loadDocument(gbkDense(8192));
    QApplication::processEvents();
    int index = 1;
    for (auto _ : state) {
        form.PageNum(index);
        // One update pass paints every grid the page turn touched, as after a key press.
        QApplication::processEvents();
        index = form.CurPage == form.LastPage ? 0 : form.CurPage == 0 ? 1 : index;
    }
    form.Dirty = kFalse;
}

// A click on one cell: the model toggles the byte in both grids, which repaint it.
void BM_ToggleCell_Window(benchmark::State& state) {
    app();
    QtPlatform platform;
    EditorSession session(platform);
    Form1& form = session.form;
    MainWindow& window = session.window;
    window.show();
    form.loadDocument(gbkDense(8192));
    QApplication::processEvents();
    GridView* grid = window.chrView();
    const QPointF at = grid->cellCentre(200);
    const QPointF global = grid->mapToGlobal(at);
    for (auto _ : state) {
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(grid, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(grid, &release);
        QApplication::processEvents();
    }
    form.Dirty = kFalse;
}

// A plain grid: 1024 short texts with QPainter, no model behind it.
class PlainGrid : public QWidget {
  public:
    using QWidget::QWidget;
    int page = 0;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().base());
        for (int k = 0; k < 1024; ++k) {
            const int column = (k / 32) % 16;
            const int row = k % 32;
            const QString text =
                k < 512 ? QString::number((k + page) & 0xFF, 16).toUpper() : QStringLiteral("中");
            p.drawText(QPointF(column * 23 + (k < 512 ? 0 : 400), row * 15 + 12), text);
        }
    }
};

void BM_Baseline_PaintTexts(benchmark::State& state) {
    app();
    PlainGrid grid;
    grid.setFont(QFont(QStringLiteral("Times New Roman"), 9));
    grid.resize(700, 480);
    grid.show();
    QApplication::processEvents();
    for (auto _ : state) {
        ++grid.page;
        grid.update();
        QApplication::processEvents();
    }
}

// Registered under the names of this run's scale.
const bool registered = [] {
    benchmark::RegisterBenchmark(scaled("BM_PageTurn_Window").c_str(), BM_PageTurn_Window)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(scaled("BM_ToggleCell_Window").c_str(), BM_ToggleCell_Window)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(scaled("BM_Baseline_PaintTexts").c_str(), BM_Baseline_PaintTexts)
        ->Unit(benchmark::kMillisecond);
    return true;
}();
QUILLORY_TARGET(scaled("BM_PageTurn_Window"), scaled("BM_Baseline_PaintTexts"), 1.0, 0);
QUILLORY_TARGET(scaled("BM_ToggleCell_Window"), scaled("BM_PageTurn_Window"), 0.1, 0);

} // namespace
