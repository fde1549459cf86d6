#include "files/qt/FileDialog.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>

#include "files/FileIo.h"
#include "files/Names.h"
#include "platform/qt/QtText.h"

namespace quillory {
namespace {

enum Column { kName, kSize, kKind, kModified };
// Each item keeps its entry's name as the file system has it, and whether it is a folder.
constexpr int kRawName = Qt::UserRole;
constexpr int kIsFolder = Qt::UserRole + 1;

// The folder of a path, "/" for a name at the top.
std::u16string parentOf(const std::u16string& path) {
    const std::size_t slash = path.find_last_of(u'/');
    return slash == 0 || slash == std::u16string::npos ? u"/" : path.substr(0, slash);
}

bool isFolder(const std::u16string& name) {
    return saveTargetOf(nativePath(name)) == SaveTarget::Folder;
}

// "Description|pattern;pattern|...": each description with the patterns that match a
// shown name, as Windows matches them (case aside; "*.*" is every file, dot or not).
void addFilters(QComboBox* box, const std::u16string& filter) {
    const QStringList parts = q(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << QRegularExpression::wildcardToRegularExpression(
                p == QStringLiteral("*.*") ? QStringLiteral("*") : p);
        box->addItem(parts[i], patterns);
    }
    if (box->count() == 0) box->addItem(QStringLiteral("所有文件"), QStringList{".*"});
}

} // namespace

FileDialog::FileDialog(const CommonDialog& settings, bool saveForm, const CodePage936& cp,
                       QWidget* parent)
    : QDialog(parent), cp_(cp) {
    setWindowTitle(q(settings.DialogTitle));
    folderBox_ = new QLineEdit(this);
    folderBox_->setObjectName(QStringLiteral("folderBox"));
    up_ = new QPushButton(QStringLiteral("上一级(&U)"), this);
    up_->setAccessibleName(QStringLiteral("上一级文件夹"));
    up_->setAutoDefault(false);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("entryList"));
    list_->setAccessibleName(QStringLiteral("文件和文件夹"));
    list_->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("大小"), QStringLiteral("类型"),
                            QStringLiteral("修改日期")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setSectionResizeMode(kName, QHeaderView::Stretch);
    list_->header()->setStretchLastSection(false);
    nameBox_ = new QLineEdit(this);
    nameBox_->setObjectName(QStringLiteral("nameBox"));
    typeBox_ = new QComboBox(this);
    typeBox_->setObjectName(QStringLiteral("typeBox"));
    addFilters(typeBox_, settings.Filter);

    auto* buttons = new QDialogButtonBox(this);
    accept_ = buttons->addButton(saveForm ? QStringLiteral("保存(&S)") : QStringLiteral("打开(&O)"),
                                 QDialogButtonBox::AcceptRole);
    accept_->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);

    auto* grid = new QGridLayout(this);
    auto row = [this, grid](int r, const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        field->setAccessibleName(QString(text).remove(QRegularExpression("\\(&.\\)|：")));
        grid->addWidget(label, r, 0);
        grid->addWidget(field, r, 1);
    };
    row(0, QStringLiteral("查找范围(&I)："), folderBox_);
    grid->addWidget(up_, 0, 2);
    grid->addWidget(list_, 1, 0, 1, 3);
    row(2, QStringLiteral("文件名(&N)："), nameBox_);
    row(3, QStringLiteral("文件类型(&T)："), typeBox_);
    grid->addWidget(buttons, 4, 0, 1, 3);
    resize(680, 440);

    connect(up_, &QPushButton::clicked, this, &FileDialog::goUp);
    connect(new QShortcut(Qt::Key_Backspace, list_, nullptr, nullptr, Qt::WidgetShortcut),
            &QShortcut::activated, this, &FileDialog::goUp);
    connect(folderBox_, &QLineEdit::returnPressed, this,
            [this] { goTo(folderBox_->text().toStdU16String()); });
    connect(typeBox_, &QComboBox::currentIndexChanged, this, &FileDialog::fill);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && !item->data(kName, kIsFolder).toBool()) nameBox_->setText(item->text(kName));
    });
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (!item->data(kName, kIsFolder).toBool()) return take();
        nameBox_->clear();
        showFolder(inFolder(item->data(kName, kRawName).toString().toStdU16String()));
    });
    connect(accept_, &QPushButton::clicked, this, &FileDialog::take);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // The dialog opens on the last name, in its folder where that is one; else in the
    // working folder.
    const std::u16string& last = settings.FileName;
    if (!last.empty()) nameBox_->setText(q(shownName(lastPart(last), cp_))); // marked in the list
    std::error_code error;
    showFolder(!last.empty() && isFolder(parentOf(last))
                   ? parentOf(last)
                   : nameFromNative(std::filesystem::current_path(error).native()));
    nameBox_->setFocus();
}

std::u16string FileDialog::inFolder(const std::u16string& typed) const {
    if (typed.starts_with(u'/')) return typed;
    return (folder_ == u"/" ? folder_ : folder_ + u'/') + typed;
}

void FileDialog::showFolder(const std::u16string& folder) {
    folder_ = folder.empty() ? u"/" : folder;
    folderBox_->setText(q(shownName(folder_, cp_)));
    up_->setEnabled(folder_ != u"/");
    fill();
}

void FileDialog::fill() {
    std::vector<FolderEntry> entries = listFolder(folder_, cp_);
    // Folders first, then by name as shown.
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        if (a.folder != b.folder) return a.folder;
        return QString::compare(q(a.shown), q(b.shown), Qt::CaseInsensitive) < 0;
    });
    QList<QRegularExpression> patterns;
    for (const QString& p : typeBox_->currentData().toStringList())
        patterns << QRegularExpression(p, QRegularExpression::CaseInsensitiveOption);
    const QLocale locale;
    list_->clear();
    for (const FolderEntry& e : entries) {
        const QString shown = q(e.shown);
        const bool matches = std::any_of(patterns.begin(), patterns.end(),
                                         [&](const auto& p) { return p.match(shown).hasMatch(); });
        if (!e.folder && !matches) continue;
        auto* item = new QTreeWidgetItem(list_);
        item->setText(kName, shown);
        item->setData(kName, kRawName, q(e.name));
        item->setData(kName, kIsFolder, e.folder);
        item->setText(
            kSize, e.file ? locale.formattedDataSize(e.size, 2, QLocale::DataSizeTraditionalFormat)
                          : QString());
        item->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(kKind, e.folder ? QStringLiteral("文件夹")
                             : e.file ? QStringLiteral("文件")
                                      : QStringLiteral("其他"));
        item->setText(kModified, locale.toString(QDateTime::fromSecsSinceEpoch(e.modified),
                                                 QLocale::ShortFormat));
        if (shown == nameBox_->text()) list_->setCurrentItem(item);
    }
    list_->resizeColumnToContents(kSize);
    list_->resizeColumnToContents(kModified);
}

void FileDialog::goUp() {
    showFolder(parentOf(folder_));
}

void FileDialog::goTo(const std::u16string& typed) {
    const std::u16string folder = resolveTyped(inFolder(typed), cp_);
    if (isFolder(folder))
        showFolder(folder);
    else
        folderBox_->setText(q(shownName(folder_, cp_)));
}

void FileDialog::take() {
    const std::u16string typed = nameBox_->text().toStdU16String();
    if (typed.empty()) return;
    // The entry chosen in the list is that entry, though another one is shown alike.
    const QTreeWidgetItem* chosen = list_->currentItem();
    const std::u16string name =
        chosen && chosen->text(kName) == nameBox_->text()
            ? inFolder(chosen->data(kName, kRawName).toString().toStdU16String())
            : resolveTyped(inFolder(typed), cp_);
    if (isFolder(name)) {
        nameBox_->clear();
        showFolder(name);
        return;
    }
    picked_ = name;
    accept();
}

} // namespace quillory
