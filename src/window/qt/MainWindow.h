#pragma once
// The main window: renders the editor's control models and forwards the user's menu
// choices, mouse and scroll bar to them. No editor logic lives here.

#include <QMainWindow>

class QLabel;
class QScrollBar;

namespace quillory {

class Form1;
class GridView;
class QtPlatform;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(Form1& form, QWidget* parent = nullptr);

    // Sizes the window and its controls for the layout Form_Load chose; fixed size.
    void applyLayout();

    GridView* addressView() const { return address_; }
    GridView* numberView() const { return number_; }
    GridView* chrView() const { return chr_; }
    QScrollBar* scrollBar() const { return scroll_; }
    QLabel* statusLabel() const { return state_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildMenus();
    void syncScrollBar();

    Form1& form_;
    GridView* address_;
    GridView* number_;
    GridView* chr_;
    QScrollBar* scroll_;
    QLabel* state_;
    bool syncing_ = false;
};

} // namespace quillory
