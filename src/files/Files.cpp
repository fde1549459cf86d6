#include "core/Form1.h"

#include <optional>

#include "files/FileIo.h"
#include "platform/CodePage936.h"

namespace quillory {
namespace {

const std::u16string kAllFiles = u"所有文件(*.*)|*.*";
constexpr int kSaveFlags = 0x802;    // overwrite prompt, path must exist
constexpr int kSaveAsFlags = 0x200A; // overwrite prompt, no change of folder, create prompt

} // namespace

// Writes the document to `name`, after asking when another program has changed the file
// since this editor read or wrote it: its bytes would be lost without a word. Returns
// true when the document was written.
bool Form1::writeDocument(const std::u16string& name) {
    const std::string path = nativePath(name);
    if (name == stampedName) {
        const std::optional<FileStamp> now = stampOf(path);
        if (now && *now != diskStamp &&
            MsgBox(u"文件已被其他程序修改，是否覆盖？", Buttons::YesNo) != Answer::Yes)
            return false;
    }
    const bool written = writeWholeFile(path, FileBytes.data(), FileBytes.size());
    // A failed overwrite in place puts the old bytes back, which is a write too: the file
    // holds what it held when checked, and that is what the next save compares with.
    if (written || name == stampedName) remember(name, stampOf(path));
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

    // Read into a buffer of its own: a file that cannot be read whole leaves the
    // document, its name, page and caption as they were. Only the old and the new
    // document are ever held at once.
    FileStamp stamp;
    std::optional<Bytes> bytes = readWholeFile(nativePath(CD.FileName), kMaxDocument, &stamp);
    if (!bytes) return;
    remember(CD.FileName, stamp);

    FileName = CD.FileName;
    loadDocument(std::move(*bytes));
    // Positions and records of the old document mean nothing in the new one.
    SelSpan = FindLast = CutAt = InsertAt = SwapFrom = kNone;
    Renovate();
    Dirty = kFalse;
    setCaption(u"正在编辑：" + FileName);
}

bool Form1::Fsave() {
    if (FileName.empty()) {
        CD.DialogTitle = u"保存";
        CD.Flags = kSaveFlags;
        CD.Filter = kAllFiles;
        platform.showOpen(CD);
        FileName = CD.FileName;
        if (FileName.empty()) return false;
    }
    return writeDocument(FileName);
}

bool Form1::FsaveAs() {
    CD.DialogTitle = u"另存为";
    CD.Flags = kSaveAsFlags;
    CD.Filter = kAllFiles;
    platform.showSave(CD);
    if (CD.FileName.empty()) return false;
    FileName = CD.FileName;
    if (!writeDocument(FileName)) return false;
    setCaption(u"正在编辑 " + FileName);
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

} // namespace quillory
