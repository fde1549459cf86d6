// Page redraw in the core, and page turns through the real window on the offscreen
// platform, each against plain text drawing of the same pages in the same run:
//  - cold: forward through 16 MiB of random bytes, or of GBK text whose characters
//    follow the frequency of real Chinese text, every page new;
//  - warm: back and forth over 16 pages;
// a click on one cell against the warm page turn; and resident memory after 1,000 pages
// of random bytes against 1,000 pages of printable ASCII. Run with QT_SCALE_FACTOR=2 for
// a device pixel ratio of 2: the window figures then carry the suffix _x2, with their
// baselines from that run.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <random>
#include <string>

#include "BenchTable.h"
#include "app/qt/EditorSession.h"
#include "core/Form1.h"
#include "platform/CodePage936.h"
#include "platform/qt/QtPlatform.h"
#include "support/FakePlatform.h"
#include "window/Layout.h"
#include "window/qt/GridView.h"
#include "window/qt/MainWindow.h"

namespace {

using namespace quillory;

// Every lead byte followed by every trail byte, in order: 3,008 characters in 16 pages.
Bytes gbkDense(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        bytes[i] = static_cast<std::uint8_t>(0xB0 + (i / 2) % 0x40);
        bytes[i + 1] = static_cast<std::uint8_t>(0xA1 + (i / 2) % 0x5E);
    }
    return bytes;
}

Bytes randomBytes(std::size_t size, std::uint8_t low = 0, std::uint8_t high = 0xFF) {
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<int> byte(low, high);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(byte(random));
    return bytes;
}

// GB2312 text with Zipf-distributed characters (exponent 1, as in real Chinese text):
// the commonest punctuation first, then the 6,763 hanzi in a seeded order.
Bytes gbkText(std::size_t size) {
    std::vector<std::uint16_t> ranked;
    for (int lead = 0xB0; lead <= 0xF7; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail)
            if (lead != 0xD7 || trail < 0xFA) ranked.push_back(std::uint16_t(lead << 8 | trail));
    std::mt19937_64 random(936);
    std::shuffle(ranked.begin(), ranked.end(), random);
    ranked.insert(ranked.begin(), {0xA3AC, 0xA1A3, 0xA1A2, 0xA1B0, 0xA1B1});
    std::vector<double> weight(ranked.size());
    for (std::size_t r = 0; r < weight.size(); ++r)
        weight[r] = 1.0 / double(r + 1);
    std::discrete_distribution<std::size_t> pick(weight.begin(), weight.end());
    Bytes bytes(size);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const std::uint16_t c = ranked[pick(random)];
        bytes[i] = static_cast<std::uint8_t>(c >> 8);
        bytes[i + 1] = static_cast<std::uint8_t>(c);
    }
    return bytes;
}

enum class Data { Random, GbkText, Warm, Ascii };

// Each made on first use: the memory figure's processes hold only their own.
const Bytes& document(Data data) {
    switch (data) {
    case Data::Random: {
        static const Bytes random = randomBytes(kMaxDocument);
        return random;
    }
    case Data::GbkText: {
        static const Bytes text = gbkText(kMaxDocument);
        return text;
    }
    case Data::Warm: {
        static const Bytes dense = gbkDense(8192);
        return dense;
    }
    case Data::Ascii:
        break;
    }
    static const Bytes ascii = randomBytes(kMaxDocument, 0x20, 0x7E);
    return ascii;
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

// Qt keeps every glyph it has drawn. Whichever walk ran first would draw the code page's
// characters into that cache for the later ones, so all of them are drawn plainly once
// before any walk, on a window of the screen's: "cold" then means new to the editor, and
// both sides of a ratio meet the same Qt.
class GlyphWarmer : public QWidget {
  public:
    GlyphWarmer() {
        const CodePage936& codePage = CodePage936::instance();
        for (int lead = 0; lead <= 0xFF; ++lead) {
            all_ += QString::fromStdU16String(codePage.byteChar(std::uint8_t(lead)));
            for (int trail = 0; lead >= 0x80 && trail <= 0xFF; ++trail) {
                all_ += QString::fromStdU16String(
                    codePage.pairChar(std::uint8_t(lead), std::uint8_t(trail)));
            }
        }
        setFont(QFont(QStringLiteral("Times New Roman"), kNormalLayout.listFontPoints));
        resize(64, 64);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        for (qsizetype i = 0; i < all_.size(); i += 64)
            p.drawText(QPointF(0, 32), all_.mid(i, 64));
    }

  private:
    QString all_;
};

void warmGlyphCaches() {
    GlyphWarmer warmer;
    warmer.show();
    warmer.repaint();
}

QApplication& app() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillory_bench";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own teardown at exit outlives the benchmark library's.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

// The application for the timed walks, its glyph caches warmed once.
void warmApp() {
    app();
    static const bool warm = [] {
        warmGlyphCaches();
        return true;
    }();
    (void)warm;
}

// "_x2" under QT_SCALE_FACTOR=2, so that both scales can stand in one table.
std::string scaled(const char* name) {
    const char* factor = std::getenv("QT_SCALE_FACTOR");
    if (!factor || std::string(factor).empty() || std::string(factor) == "1") return name;
    return std::string(name) + "_x" + factor;
}

// Where each walk goes on from: a cold walk never sees a page twice, across repetitions
// too. Each editor walk runs before its plain one, which thus finds Qt's own glyph cache
// warmer than the editor did.
struct Walk {
    int editorPage = 0;
    int plainPage = 0;
};

Walk& walk(Data data) {
    static Walk walks[4];
    return walks[static_cast<int>(data)];
}

// The next page: forward through a cold document; back and forth over the warm one.
void turn(Form1& form, Data data, int& page) {
    if (data == Data::Warm) {
        form.PageNum(page % (2 * form.LastPage) < form.LastPage ? 1 : 0);
    } else if (form.CurPage == form.LastPage) {
        form.VscrollBar.setValue(0);
    } else {
        form.PageNum(1);
    }
    ++page;
}

void startAt(Form1& form, Data data, int page) {
    form.loadDocument(document(data));
    if (data != Data::Warm) form.VscrollBar.setValue(page % (form.LastPage + 1));
}

void pageTurns(benchmark::State& state, Data data) {
    warmApp();
    QtPlatform platform;
    EditorSession session(platform);
    session.window.show();
    int& page = walk(data).editorPage;
    startAt(session.form, data, page);
    QApplication::processEvents();
    for (auto _ : state) {
        turn(session.form, data, page);
        // One update pass paints every grid the page turn touched, as after a key press.
        QApplication::processEvents();
    }
    session.form.Dirty = kFalse;
}

// The three grids of a page drawn as plain texts, one QPainter::drawText a cell, where
// the window draws them; the editor's models behind it turn the pages.
class PlainPage : public QWidget {
  public:
    explicit PlainPage(const Form1& form) : form_(form) {
        const Layout& l = kNormalLayout;
        setFont(QFont(QStringLiteral("Times New Roman"), l.listFontPoints));
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(twipsToPixels(l.clientWidth), twipsToPixels(l.chrBox.height));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const Layout& l = kNormalLayout;
        QPainter p(this);
        p.fillRect(rect(), palette().base());
        const QFontMetricsF fm(font());
        const qreal row = l.rowHeight / kTwipsPerPixel;
        const qreal baseline = (row + fm.ascent() - fm.descent()) / 2;
        const std::pair<const ListBox*, Rect> grids[] = {{&form_.AddressBox, l.addressBox},
                                                         {&form_.NumberBox, l.numberBox},
                                                         {&form_.ChrBox, l.chrBox}};
        const int widths[] = {l.addressBox.width, l.hexCellWidth, l.chrCellWidth};
        for (int g = 0; g < 3; ++g) {
            const auto& [grid, box] = grids[g];
            const QPointF corner(box.left / kTwipsPerPixel, box.top / kTwipsPerPixel);
            for (int k = 0; k < grid->listCount(); ++k) {
                const QPointF cell(k / kGridRows * (widths[g] / kTwipsPerPixel),
                                   k % kGridRows * row);
                if (grid->selected(k)) {
                    p.fillRect(QRectF(corner + cell, QSizeF(widths[g] / kTwipsPerPixel, row)),
                               palette().highlight());
                }
                p.drawText(corner + cell + QPointF(2, baseline),
                           QString::fromStdU16String(grid->text(k)));
            }
        }
    }

  private:
    const Form1& form_;
};

void plainPageTurns(benchmark::State& state, Data data) {
    warmApp();
    testing::FakePlatform fake;
    Form1 form(fake);
    form.Form_Load();
    int& page = walk(data).plainPage;
    startAt(form, data, page);
    PlainPage view(form);
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        turn(form, data, page);
        view.update();
        QApplication::processEvents();
    }
    form.Dirty = kFalse;
}

// A click on one cell: the model toggles the byte in both grids, which repaint it.
void BM_ToggleCell_Window(benchmark::State& state) {
    warmApp();
    QtPlatform platform;
    EditorSession session(platform);
    MainWindow& window = session.window;
    window.show();
    session.form.loadDocument(gbkDense(8192));
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
    session.form.Dirty = kFalse;
}

// From the next page's key to its pixels on the display server, forward through random
// bytes: the key takes Qt's window-system path to the menu's shortcut, and a one-pixel
// read back waits until the server holds the painted page. Under Xvfb with the xcb
// platform (scripts/bench.sh runs it so); elsewhere there is no server to wait for.
void BM_KeyToPixels_Xvfb(benchmark::State& state) {
    warmApp();
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        state.SkipWithError("runs on the xcb platform only");
        return;
    }
    QtPlatform platform;
    EditorSession session(platform);
    MainWindow& window = session.window;
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    static int page = 0;
    startAt(session.form, Data::Random, page);
    // Qt's glyph cache on X also keys glyphs by where within a pixel they start, which the
    // warm-up cannot foresee: the first 500 pages fill it, untimed.
    for (; page < 500; ++page) {
        session.form.PageNum(1);
        QApplication::processEvents();
    }
    const int first = session.form.CurPage;
    const QPoint probe = window.chrView()->mapTo(&window, QPoint(4, 4));
    for (auto _ : state) {
        QTest::keyClick(&window, Qt::Key_F6);
        QApplication::processEvents();
        window.screen()->grabWindow(window.winId(), probe.x(), probe.y(), 1, 1);
        ++page;
    }
    if (session.form.CurPage == first) state.SkipWithError("the key turned no page");
    session.form.Dirty = kFalse;
}

// Resident memory of a fresh process after 1,000 page turns through a 16 MiB document, in
// the window or drawn plainly.
double residentMiB(const char* data) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUILLORY_BENCH_RESIDENT"), QString::fromLatin1(data));
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral("/proc/self/exe"), {});
    if (!child.waitForFinished(600'000) || child.exitCode() != 0) return -1;
    return child.readAllStandardOutput().trimmed().toDouble();
}

void BM_Resident_Window(benchmark::State& state) {
    app();
    double random = 0, ascii = 0, plainRandom = 0, plainAscii = 0;
    for (auto _ : state) {
        random = residentMiB("random");
        ascii = residentMiB("ascii");
        plainRandom = residentMiB("random-plain");
        plainAscii = residentMiB("ascii-plain");
    }
    if (std::min({random, ascii, plainRandom, plainAscii}) < 0)
        state.SkipWithError("a measuring process failed");
    state.counters["random_MiB"] = random;
    state.counters["ascii_MiB"] = ascii;
    state.counters["extra_MiB"] = random - ascii;
    // The same pages drawn plainly: what Qt's own glyph cache adds.
    state.counters["plain_extra_MiB"] = plainRandom - plainAscii;
}

// Registered under the names of this run's scale.
const bool registered = [] {
    const auto add = [](const char* name, auto run) {
        benchmark::RegisterBenchmark(scaled(name).c_str(), run)->Unit(benchmark::kMillisecond);
    };
    for (const auto& [name, data] :
         {std::pair{"Random", Data::Random}, std::pair{"GbkText", Data::GbkText},
          std::pair{"Warm", Data::Warm}}) {
        add(("BM_PageTurn_" + std::string(name) + "_Window").c_str(),
            [data = data](benchmark::State& s) { pageTurns(s, data); });
        add(("BM_Plain_" + std::string(name) + "_Window").c_str(),
            [data = data](benchmark::State& s) { plainPageTurns(s, data); });
    }
    add("BM_ToggleCell_Window", BM_ToggleCell_Window);
    add("BM_KeyToPixels_Xvfb", BM_KeyToPixels_Xvfb);
    benchmark::RegisterBenchmark(scaled("BM_Resident_Window").c_str(), BM_Resident_Window)
        ->Iterations(1)
        ->Repetitions(1)
        ->Unit(benchmark::kMillisecond);
    return true;
}();
QUILLORY_TARGET(scaled("BM_PageTurn_Random_Window"), scaled("BM_Plain_Random_Window"), 1.0, 0);
QUILLORY_TARGET(scaled("BM_PageTurn_GbkText_Window"), scaled("BM_Plain_GbkText_Window"), 1.0, 0);
QUILLORY_TARGET(scaled("BM_PageTurn_Warm_Window"), scaled("BM_Plain_Warm_Window"), 0.6, 0);
QUILLORY_TARGET(scaled("BM_ToggleCell_Window"), scaled("BM_PageTurn_Warm_Window"), 0.1, 0);
QUILLORY_TARGET(scaled("BM_Resident_Window"), "", 0, 0, "extra_MiB", 8);

} // namespace

namespace quillory::bench {

int residentAfterPages(const char* kind) {
    const std::string name = kind;
    app();
    QtPlatform platform;
    EditorSession session(platform);
    PlainPage plain(session.form);
    const bool plainly = name.ends_with("plain");
    if (plainly)
        plain.show();
    else
        session.window.show();
    const Data data = name.starts_with("random") ? Data::Random : Data::Ascii;
    int page = 0;
    startAt(session.form, data, page);
    for (int i = 0; i < 1000; ++i) {
        turn(session.form, data, page);
        if (plainly) plain.update();
        QApplication::processEvents();
    }
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            std::printf("%.2f\n", std::atof(line.c_str() + 6) / 1024);
            std::fflush(stdout);
            std::_Exit(0); // at once: the figure is out, and teardown measures nothing
        }
    }
    return 1;
}

} // namespace quillory::bench
