#include <QApplication>
#include <QScreen>

#include "app/qt/EditorSession.h"

int main(int argc, char* argv[]) {
    // The program reads no command line, Qt's own options included: only its name goes on.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));

    quillory::QtPlatform platform;
    quillory::EditorSession session(platform);
    if (!session.started) return 1;
    quillory::MainWindow& window = session.window;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    return QApplication::exec();
}
