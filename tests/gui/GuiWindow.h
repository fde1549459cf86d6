#pragma once
// The start-up both GUI test classes share: a fresh editor and real window for each test
// function, started as the program starts it, and answers to the dialogs it opens.

#include <QtTest>
#include <QtWidgets>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/qt/EditorSession.h"
#include "window/qt/GridView.h"

namespace quillory::testing {

class GuiTest : public QObject {
    Q_OBJECT
  protected:
    QtPlatform platform;
    std::unique_ptr<EditorSession> session;
    Form1* form = nullptr;
    MainWindow* window = nullptr;
    GridView* hex = nullptr;
    GridView* chr = nullptr;

    // Key clicks reach only the active window, which a closed dialog does not reactivate.
    bool activate() {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }

    // Mouse input goes to the window, so Qt's own double-click detection runs.
    QPoint at(GridView* grid, int cell) const {
        return grid->mapTo(window, grid->cellCentre(cell).toPoint());
    }

    // Calls `step` with the active modal dialog every 20 ms, in whatever event loop runs,
    // until it returns true or `owner` goes; set up before the dialog opens.
    void answer(std::function<bool(QWidget*)> step, QObject* owner = nullptr) {
        auto* timer = new QTimer(owner ? owner : window);
        connect(timer, &QTimer::timeout, timer, [timer, step = std::move(step)] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || !step(modal)) return;
            timer->stop();
            timer->deleteLater();
        });
        timer->start(20);
    }

  private slots:
    void init() {
        session = std::make_unique<EditorSession>(platform);
        form = &session->form;
        window = &session->window;
        hex = window->numberView();
        chr = window->chrView();
        QVERIFY(activate());
    }
    void cleanup() {
        form->Dirty = kFalse; // no save question on the way out
        session.reset();
    }
};

// Runs a test class as QTEST_MAIN would, with a home and configuration folder of its own
// made before Qt starts: the user's are never touched, and whatever the run left in the
// configuration folder, once the application is gone, fails it. The editor keeps no
// state between runs.
template <typename Test> int runGuiTest(int argc, char** argv) {
    char home[] = "/tmp/quillory-home-XXXXXX";
    if (!::mkdtemp(home)) return 2;
    const std::filesystem::path config = std::filesystem::path(home) / ".config";
    std::filesystem::create_directory(config);
    ::setenv("HOME", home, 1);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    int failed = 0;
    {
        QApplication app(argc, argv);
        QApplication::setAttribute(Qt::AA_Use96Dpi, true);
        Test test;
        failed = QTest::qExec(&test, argc, argv);
    }
    for (const auto& left : std::filesystem::recursive_directory_iterator(config)) {
        std::fprintf(stderr, "FAIL!  : left in the configuration folder: %s\n",
                     left.path().c_str());
        failed = failed ? failed : 1;
    }
    std::filesystem::remove_all(home);
    return failed;
}

} // namespace quillory::testing

#define QUILLORY_GUI_TEST_MAIN(Test)                                                               \
    int main(int argc, char** argv) {                                                              \
        return quillory::testing::runGuiTest<Test>(argc, argv);                                    \
    }
