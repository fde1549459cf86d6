// quillory_screenshot OUT.png [FILE]: starts the main window as the program does,
// shows FILE's first page when given, and saves a picture of the window.

#include <QApplication>
#include <QTimer>

#include <fstream>
#include <iterator>

#include "app/qt/EditorSession.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    quillory::QtPlatform platform;
    quillory::EditorSession session(platform);
    quillory::Form1& form = session.form;
    quillory::MainWindow& window = session.window;
    if (argc > 2) {
        std::ifstream in(argv[2], std::ios::binary);
        quillory::Bytes bytes((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
        if (bytes.empty() || bytes.size() > quillory::kMaxDocument) return 3;
        form.loadDocument(std::move(bytes));
        form.setCaption(u"正在编辑：" + QString::fromLocal8Bit(argv[2]).toStdU16String());
    }
    window.show();
    QTimer::singleShot(300, [&] {
        window.grab().save(QString::fromLocal8Bit(argv[1]));
        QApplication::quit();
    });
    return QApplication::exec();
}
