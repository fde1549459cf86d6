#include "core/Form1.h"

#include <optional>

#include "files/FileIo.h"
#include "files/Names.h"
#include "platform/CodePage936.h"

namespace quillory {
namespace {

const std::u16string kAllFiles = u"所有文件(*.*)|*.*";
constexpr int kSaveFlags = kOverwritePrompt | kPathMustExist;
constexpr int kSaveAsFlags = kOverwritePrompt | kNoChangeDir | kCreatePrompt;

} // namespace

// Shows the dialog until the user picks a name the flags let a save take, or cancels.
// The dialog only hands back a name; what the flags ask for is asked here, and any
// answer but going on returns to the dialog. The document's own file is no other file
// to protect, so saving it under its own name asks nothing.
std::u16string Form1::pickSaveName(bool saveForm) {
    for (;;) {
        saveForm ? platform.showSave(CD) : platform.showOpen(CD);
        const std::u16string name = CD.FileName;
        if (name.empty()) return name;
        const std::string path = nativePath(name);
        const SaveTarget target = saveTargetOf(path);
        if ((CD.Flags & kPathMustExist) && target == SaveTarget::NoFolder) {
            MsgBox(u"路径不存在。\r\n请检查路径是否正确。", Buttons::OK, CD.DialogTitle);
            continue;
        }
        const bool own =
            !FileName.empty() && (name == FileName || sameFile(path, nativePath(FileName)));
        if ((CD.Flags & kOverwritePrompt) && target == SaveTarget::Existing && !own &&
            MsgBox(shownName(lastPart(name), platform.codePage()) + u" 已存在。\r\n要替换它吗？",
                   Buttons::YesNo, CD.DialogTitle) != Answer::Yes)
            continue;
        return name;
    }
}

// Writes the document to `name`, after asking when another program has changed the file
// since this editor read or wrote it: its bytes would be lost without a word. Returns
// true when the document was written.
bool Form1::writeDocument(const std::u16string& name) {
    const std::string path = nativePath(name);
    // Spelt another way ("dir/./a.bin", a link to it) it is still the file last seen.
    const bool seen = !stampedName.empty() && sameName(path, nativePath(stampedName));
    if (seen) {
        const std::optional<FileStamp> now = stampOf(path);
        if (now && *now != diskStamp &&
            MsgBox(u"文件已被其他程序修改，是否覆盖？", Buttons::YesNo) != Answer::Yes)
            return false;
    }
    const bool written = writeWholeFile(path, FileBytes.data(), FileBytes.size());
    // A failed overwrite in place puts the old bytes back, which is a write too: the file
    // holds what it held when checked, and that is what the next save compares with.
    if (written || seen) remember(name, stampOf(path));
    if (!written) {
        // A silent failure would look exactly like a save.
        MsgBox(u"文件保存失败！");
        return false;
    }
    Dirty = kFalse;
    return true;
}

void Form1::remember(const std::u16string& name, const std::optional<FileStamp>& stamp) {
    stampedName = stamp ? name : std::u16string();
    diskStamp = stamp.value_or(FileStamp{});
}

bool Form1::SavePrompt() {
    if (!Dirty) return true;
    switch (MsgBox(u"文件已经修改，是否保存？", Buttons::YesNoCancel, u"提示保存")) {
    case Answer::Cancel:
        return false;
    case Answer::Yes:
        // A save that did not happen must not let the caller drop the document.
        return Fsave();
    default:
        return true;
    }
}

void Form1::Fopen() {
    if (!SavePrompt()) return;
    CD.DialogTitle = u"打开";
    CD.Filter = kAllFiles;
    platform.showOpen(CD);
    if (CD.FileName.empty()) {
        MsgBox(u"无此文件");
        return;
    }
    openFile(CD.FileName);
}

// A drop from a file manager opens as Open does, without the dialog: its first regular
// file, after the save prompt. A drop of folders and the like changes nothing.
void Form1::DropFiles(const std::vector<std::u16string>& names) {
    for (const std::u16string& name : names) {
        if (!stampOf(nativePath(name))) continue;
        if (SavePrompt()) openFile(name);
        return;
    }
}

void Form1::openFile(const std::u16string& name) {
    // Read into a buffer of its own: a file that cannot be read whole leaves the
    // document, its name, page and caption as they were. Only the old and the new
    // document are ever held at once.
    FileStamp stamp;
    std::optional<Bytes> bytes = readWholeFile(nativePath(name), kMaxDocument, &stamp);
    if (!bytes) return;
    remember(name, stamp);

    FileName = name;
    loadDocument(std::move(*bytes));
    // Positions and records of the old document mean nothing in the new one.
    SelSpan = FindLast = CutAt = InsertAt = SwapFrom = kNone;
    Renovate();
    Dirty = kFalse;
    setCaption(u"正在编辑：" + shownName(FileName, platform.codePage()));
}

bool Form1::Fsave() {
    if (FileName.empty()) {
        CD.DialogTitle = u"保存";
        CD.Flags = kSaveFlags;
        CD.Filter = kAllFiles;
        FileName = pickSaveName(false);
        if (FileName.empty()) return false;
    }
    return writeDocument(FileName);
}

bool Form1::FsaveAs() {
    CD.DialogTitle = u"另存为";
    CD.Flags = kSaveAsFlags;
    CD.Filter = kAllFiles;
    const std::u16string name = pickSaveName(true);
    if (name.empty()) return false;
    FileName = name;
    if (!writeDocument(FileName)) return false;
    setCaption(u"正在编辑 " + shownName(FileName, platform.codePage()));
    return true;
}

bool Form1::Form_QueryUnload() {
    if (!SavePrompt()) return true;
    platform.unloadForm2(Dialog2);
    return false;
}

void Form1::Fhelp() {
    const Bytes text = platform.loadResource(u"CUSTOM", 101);
    MsgBox(platform.codePage().fromGbk(text), Buttons::OK, u"帮助");
}

void Form1::loadDocument(Bytes bytes) {
    LastOffset = static_cast<std::int32_t>(bytes.size());
    FileBytes = std::move(bytes);
    Fcount();
    CurPage = 0;
    PageStart = 0;
    VscrollBar.setValue(0);
    ShowPage();
}

} // namespace quillory
