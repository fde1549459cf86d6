// F2 on the real window opens a file through the real file dialog.

#include <QAbstractItemModel>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "core/Form1.h"
#include "gui/GuiWindow.h"
#include "platform/qt/QtPlatform.h"
#include "window/qt/EditorSession.h"
#include "window/qt/MainWindow.h"

namespace quillory {

class GuiOpenTest : public QObject {
    Q_OBJECT
  private slots:
    void f2OpensAFileThroughTheDialog();
    void f3OnANewDocumentAsksBeforeReplacingAFile();
};

namespace {

// The row of `name` in the dialog's file list, once the list has read the folder.
QModelIndex listed(QFileDialog* dialog, const QString& name) {
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    if (!view || !view->model()) return {};
    const QAbstractItemModel* model = view->model();
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row) {
        const QModelIndex index = model->index(row, 0, root);
        if (index.data().toString() == name) return index;
    }
    return {};
}

// Chooses `path` as a user typing its name would. selectFile() is not enough: it leaves a
// focused name box alone, and the list may still select the file the dialog was opened
// with once its folder has loaded. The caller accepts on a later tick, once
// selectedFiles() shows the choice.
void choose(QFileDialog* dialog, const QString& path) {
    if (auto* list = dialog->findChild<QListView*>(QStringLiteral("listView")))
        list->clearSelection();
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->setText(path);
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

void GuiOpenTest::f2OpensAFileThroughTheDialog() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A name without a dot: "*.*" taken literally would not offer it.
    const QString path = dir.filePath(QStringLiteral("data"));
    QByteArray bytes(700, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    QVERIFY(writeFile(path, bytes));

    QtPlatform platform;
    EditorSession session(platform);
    Form1& form = session.form;
    MainWindow& window = session.window;
    QVERIFY(testing::showActive(window));
    // The dialog opens in the file's folder with another file chosen: a chosen file is
    // listed whatever the filter says, and "data" must pass the filter on its own.
    const QString other = dir.filePath(QStringLiteral("other.bin"));
    QVERIFY(writeFile(other, QByteArray("x")));
    form.CD.FileName = other.toStdU16String();

    QString title;
    bool offered = false;
    bool enabled = false;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        const QModelIndex index = listed(dialog, QStringLiteral("data"));
        if (!index.isValid() && clock.elapsed() < 5000) return;
        title = dialog->windowTitle();
        offered = index.isValid();
        enabled = index.isValid() && (index.flags() & Qt::ItemIsEnabled);
        if (dialog->selectedFiles() != QStringList{path} && clock.elapsed() < 5000) {
            choose(dialog, path);
            return;
        }
        poll.stop();
        static_cast<QDialog*>(dialog)->accept(); // as the Open button does
    });
    poll.start(20);

    QTest::keyClick(&window, Qt::Key_F2);

    QCOMPARE(title, QStringLiteral("打开"));
    QVERIFY2(offered, "the dialog does not list a name without a dot");
    QVERIFY2(enabled, "the dialog's filter does not match a name without a dot");
    QCOMPARE(window.windowTitle(), QStringLiteral("正在编辑：") + path);
    QCOMPARE(window.statusLabel()->text(),
             QStringLiteral("文件字节:700( &H2BC) 总页数:2 当前页:1"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(form.FileBytes.data()),
                        static_cast<qsizetype>(form.FileBytes.size())),
             bytes);
    QCOMPARE(form.Dirty, kFalse);
}

// Save of a new document picks its name in the open form of the dialog; an existing
// file chosen there is replaced only after the question the save form asks. No goes
// back to the dialog; Yes saves.
void GuiOpenTest::f3OnANewDocumentAsksBeforeReplacingAFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("taken"));
    QVERIFY(writeFile(path, QByteArray("theirs")));

    QtPlatform platform;
    EditorSession session(platform);
    Form1& form = session.form;
    MainWindow& window = session.window;
    form.Dirty = kTrue;

    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        // The window is active again once the dialogs of the round before have gone.
        QVERIFY(testing::showActive(window));
        QStringList questions;
        bool backInTheDialog = false;
        bool accepted = false;
        QTimer poll;
        // Each step is queued, so that the question runs in the dialog's own loop where
        // this timer can answer it; a step waits until the one before it has run.
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                if (questions.size() == 1) return;
                questions << box->text();
                QMetaObject::invokeMethod(box->button(answer), &QAbstractButton::click,
                                          Qt::QueuedConnection);
            } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                if (!questions.isEmpty()) {
                    if (backInTheDialog) return;
                    backInTheDialog = true;
                    dialog->reject();
                } else if (!accepted) {
                    if (dialog->selectedFiles() != QStringList{path}) {
                        choose(dialog, path);
                        return;
                    }
                    accepted = true;
                    QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
                }
            }
        });
        poll.start(20);
        QTest::keyClick(&window, Qt::Key_F3);
        poll.stop();

        QCOMPARE(questions,
                 QStringList{QFileDialog::tr("%1 already exists.\nDo you want to replace it?")
                                 .arg(QStringLiteral("taken"))});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (answer == QMessageBox::No) {
            QVERIFY(backInTheDialog);
            QCOMPARE(file.readAll(), QByteArray("theirs"));
            QCOMPARE(form.Dirty, kTrue);
            QVERIFY(form.FileName.empty());
        } else {
            QCOMPARE(file.readAll(), QByteArray(512, '\0'));
            QCOMPARE(form.Dirty, kFalse);
        }
    }
}

} // namespace quillory

QTEST_MAIN(quillory::GuiOpenTest)
#include "gui_open_test.moc"
