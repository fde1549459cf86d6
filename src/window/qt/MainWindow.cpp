#include "window/qt/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include <map>

#include "core/Form1.h"
#include "files/Names.h"
#include "window/Layout.h"
#include "window/Menu.h"
#include "window/qt/GridView.h"

namespace quillory {
namespace {

// A page turn moves the thumb alone. It repaints where the thumb was and where it is, and
// the groove under it, the same on every page, is drawn once and kept: the style draws
// its edges as lines down the bar's full height, which at a pixel ratio of 2 Qt hands to
// its thread pool and back whatever the clip, a large part of a page turn's time.
class PageScrollBar : public QScrollBar {
  public:
    using QScrollBar::QScrollBar;

  protected:
    void sliderChange(SliderChange change) override {
        if (change != SliderValueChange) return QScrollBar::sliderChange(change);
        update(QRegion(paintedThumb_) + thumb());
    }
    void paintEvent(QPaintEvent* event) override {
        paintedThumb_ = thumb();
        // Hovered or pressed parts change their look: the style paints those itself.
        if (underMouse() || isSliderDown()) return QScrollBar::paintEvent(event);
        QStyleOptionSlider option;
        initStyleOption(&option);
        const qreal ratio = devicePixelRatioF();
        const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6")
                                .arg(quintptr(style()))
                                .arg(width())
                                .arg(height())
                                .arg(ratio)
                                .arg(palette().cacheKey())
                                .arg(int(option.state));
        if (key != grooveKey_) {
            groove_ = QPixmap(size() * ratio);
            groove_.setDevicePixelRatio(ratio);
            groove_.fill(Qt::transparent);
            QPainter p(&groove_);
            option.subControls = QStyle::SubControls(QStyle::SC_All) &
                                 ~(QStyle::SC_ScrollBarSlider | QStyle::SC_ScrollBarAddLine |
                                   QStyle::SC_ScrollBarSubLine);
            style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &p, this);
            grooveKey_ = key;
        }
        QPainter p(this);
        p.drawPixmap(0, 0, groove_);
        // In the style's order: the arrow buttons cover the thumb's ends.
        option.subControls = QStyle::SC_ScrollBarSlider;
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &p, this);
        option.subControls = QStyle::SC_ScrollBarAddLine | QStyle::SC_ScrollBarSubLine;
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &p, this);
    }

  private:
    // The style's thumb rectangle, and the pixel of outline it draws around it.
    QRect thumb() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()
            ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this)
            .adjusted(-2, -2, 2, 2);
    }
    QRect paintedThumb_;
    QPixmap groove_;
    QString grooveKey_;
};

QRect pixelRect(const Rect& r) {
    return QRect(twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width),
                 twipsToPixels(r.height));
}

QKeySequence keyOf(const Shortcut& s) {
    if (s.functionKey == 0) return {};
    QKeyCombination key(static_cast<Qt::Key>(Qt::Key_F1 + s.functionKey - 1));
    Qt::KeyboardModifiers mods;
    if (s.ctrl) mods |= Qt::ControlModifier;
    if (s.shift) mods |= Qt::ShiftModifier;
    return QKeySequence(QKeyCombination(mods, key.key()));
}

QString objectNameOf(const MenuItem& item) {
    QString name = QString::fromStdString(item.name);
    if (item.index >= 0) name += QStringLiteral("(%1)").arg(item.index);
    return name;
}

} // namespace

MainWindow::MainWindow(Form1& form, QWidget* parent) : QMainWindow(parent), form_(form) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setAcceptDrops(true);
    auto* central = new QWidget(this);
    setCentralWidget(central);

    address_ = new GridView(form_.AddressBox, 1, central);
    address_->setObjectName(QStringLiteral("AddressBox"));
    address_->setInteractive(false);
    address_->setAccessibleName(QStringLiteral("地址"));
    address_->setAccessibleDescription(QStringLiteral("本页各行首字节的地址"));
    number_ = new GridView(form_.NumberBox, kGridColumns, central);
    number_->setObjectName(QStringLiteral("NumberBox"));
    number_->setAccessibleName(QStringLiteral("十六进制"));
    number_->setAccessibleDescription(
        QStringLiteral("本页 512 个字节的十六进制码，16 列，每列 32 个；单击标记字节"));
    chr_ = new GridView(form_.ChrBox, kGridColumns, central);
    chr_->setObjectName(QStringLiteral("ChrBox"));
    chr_->setAccessibleName(QStringLiteral("字符"));
    chr_->setAccessibleDescription(QStringLiteral("同一批字节的 GBK 字符；单击标记字节"));
    for (GridView* grid : {address_, number_, chr_}) {
        const ListBox& model = grid->model();
        grid->setCellReader([this, &model](int k) { return form_.cellReading(model, k); });
    }

    scroll_ = new PageScrollBar(Qt::Vertical, central);
    scroll_->setObjectName(QStringLiteral("VscrollBar"));
    scroll_->setSingleStep(1);
    scroll_->setPageStep(1);
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setAccessibleName(QStringLiteral("页"));
    scroll_->setAccessibleDescription(QStringLiteral("选择显示的页"));
    form_.VscrollBar.onChanged = [this] { syncScrollBar(); };
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) {
        if (syncing_) return;
        if (scroll_->isSliderDown())
            form_.VscrollBar.userScroll(v);
        else
            form_.VscrollBar.userChange(v);
    });
    connect(scroll_, &QScrollBar::sliderReleased, this,
            [this] { form_.VscrollBar.userChange(scroll_->value()); });

    state_ = new QLabel(central);
    state_->setObjectName(QStringLiteral("StateBar"));
    state_->setTextFormat(Qt::PlainText);
    // No fixed accessible name: it would hide the text, which is what a reader wants.
    state_->setAccessibleDescription(QStringLiteral("文件字节数、总页数和当前页"));
    form_.StateBar.onChanged = [this] {
        state_->setText(QString::fromStdU16String(form_.StateBar.displayText()));
    };

    buildMenus();
}

void MainWindow::buildMenus() {
    // Parents by level: a level-n entry belongs to the last level-(n-1) menu.
    std::map<int, QMenu*> parents;
    const std::vector<MenuItem>& items = menuTree();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        const QString caption = QString::fromStdU16String(item.caption);
        if (item.caption == u"-") {
            QAction* sep = parents[item.level - 1]->addSeparator();
            sep->setObjectName(objectNameOf(item));
            continue;
        }
        if (holdsEntries(i)) {
            QMenu* menu = item.level == 1 ? menuBar()->addMenu(caption)
                                          : parents[item.level - 1]->addMenu(caption);
            menu->setObjectName(objectNameOf(item));
            menu->menuAction()->setObjectName(objectNameOf(item));
            if (item.run) {
                auto run = item.run;
                connect(menu, &QMenu::aboutToShow, this, [this, run] { run(form_); });
            }
            parents[item.level] = menu;
            continue;
        }
        QAction* action = item.level == 1 ? menuBar()->addAction(caption)
                                          : parents[item.level - 1]->addAction(caption);
        action->setObjectName(objectNameOf(item));
        action->setShortcut(keyOf(item.shortcut));
        action->setShortcutContext(Qt::WindowShortcut);
        auto run = item.run;
        connect(action, &QAction::triggered, this, [this, run] {
            if (run) run(form_);
        });
    }
}

void MainWindow::syncScrollBar() {
    syncing_ = true;
    scroll_->setRange(0, form_.VscrollBar.max());
    scroll_->setValue(form_.VscrollBar.value());
    syncing_ = false;
}

void MainWindow::applyLayout() {
    const Layout& l = layoutFor(form_.LargeScreen != 0);
    QFont listFont(QStringLiteral("Times New Roman"), l.listFontPoints);
    address_->setFont(listFont);
    number_->setFont(listFont);
    chr_->setFont(listFont);
    address_->setGeometry(pixelRect(l.addressBox));
    number_->setGeometry(pixelRect(l.numberBox));
    chr_->setGeometry(pixelRect(l.chrBox));
    address_->setCellSize(l.rowHeight, l.addressBox.width);
    number_->setCellSize(l.rowHeight, l.hexCellWidth);
    chr_->setCellSize(l.rowHeight, l.chrCellWidth);
    // The character grid overlaps the hex grid's empty right margin; keep it on top.
    chr_->raise();
    scroll_->setGeometry(pixelRect(l.scrollBar));
    scroll_->raise();
    QFont stateFont = font();
    if (form_.LargeScreen) stateFont.setPointSize(l.stateFontPoints);
    state_->setFont(stateFont);
    const QSize client(twipsToPixels(l.clientWidth), twipsToPixels(l.clientHeight));
    // The whole width: a page turn then changes the text alone, with no new size to find.
    const QPoint state(twipsToPixels(l.stateLeft), twipsToPixels(l.stateTop));
    state_->setGeometry(state.x(), state.y(), client.width() - state.x(),
                        state_->sizeHint().height());
    centralWidget()->setFixedSize(client);
    setFixedSize(client.width(), client.height() + menuBar()->sizeHint().height());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (form_.Form_QueryUnload())
        event->ignore();
    else
        event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

// The dropped names go to the editor as the file system has them: a URI carries a name's
// bytes percent-encoded, whatever they are (QUrl would turn those that are not UTF-8 into
// U+FFFD). It opens once the drop is over, so that the file manager is not kept waiting
// through the save prompt.
void MainWindow::dropEvent(QDropEvent* event) {
    const std::vector<std::u16string> names =
        namesFromUriList(event->mimeData()->data(QStringLiteral("text/uri-list")).toStdString());
    event->acceptProposedAction();
    QMetaObject::invokeMethod(
        this, [this, names] { form_.DropFiles(names); }, Qt::QueuedConnection);
}

} // namespace quillory
