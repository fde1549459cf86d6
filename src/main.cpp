#include <QApplication>
#include <QScreen>

#include "core/Form1.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtPlatform.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));

    quillory::QtPlatform platform;
    quillory::Form1 form(platform);
    quillory::MainWindow window(form);
    platform.setWindow(&window);
    form.Form_Load();
    window.applyLayout();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    return QApplication::exec();
}
