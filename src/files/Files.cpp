#include "core/Form1.h"

#include <optional>

#include "files/FileIo.h"
#include "platform/CodePage936.h"

namespace quillory {
namespace {

const std::u16string kAllFiles = u"所有文件(*.*)|*.*";
constexpr int kSaveFlags = 0x802;    // overwrite prompt, path must exist
constexpr int kSaveAsFlags = 0x200A; // overwrite prompt, no change of folder, create prompt

bool writeDocument(const std::u16string& name, const Bytes& bytes) {
    return writeWholeFile(nativePath(name), bytes.data(), bytes.size());
}

} // namespace

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
    std::optional<Bytes> bytes = readWholeFile(nativePath(CD.FileName), kMaxDocument);
    if (!bytes) return;

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
    if (!writeDocument(FileName, FileBytes)) {
        // A silent failure would look exactly like a save.
        MsgBox(u"文件保存失败！");
        return false;
    }
    Dirty = kFalse;
    return true;
}

bool Form1::FsaveAs() {
    CD.DialogTitle = u"另存为";
    CD.Flags = kSaveAsFlags;
    CD.Filter = kAllFiles;
    platform.showSave(CD);
    if (CD.FileName.empty()) return false;
    FileName = CD.FileName;
    if (!writeDocument(FileName, FileBytes)) {
        MsgBox(u"文件保存失败！");
        return false;
    }
    Dirty = kFalse;
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
