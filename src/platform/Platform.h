#pragma once
// The window-system services the editor logic calls. Every call is synchronous and
// modal where a user answers: the command waits in it. Implemented by Qt for the
// real window and by a scripted fake in the tests.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bytes.h"
#include "platform/Twips.h"

namespace quillory {

class CodePage936;

enum class Buttons { OK, YesNo, YesNoCancel };
enum class Answer { OK, Yes, No, Cancel };
enum class Pointer { Default, Wait };

// Bits of CommonDialog::Flags. The commands that set them act on them: a dialog only
// hands back the name the user picked.
constexpr int kOverwritePrompt = 0x2; // ask before replacing an existing file
constexpr int kNoChangeDir = 0x8;     // leave the working folder as it was
constexpr int kPathMustExist = 0x800; // refuse a name in a folder that does not exist
constexpr int kCreatePrompt = 0x2000; // ask before creating a file; a save here never does

// The one common file dialog object: what a command sets stays set for the next one.
struct CommonDialog {
    std::u16string DialogTitle;
    std::u16string Filter;
    int Flags = 0;
    std::u16string FileName; // full path chosen; empty when the dialog was cancelled
};

// State of the prompt dialog. The logic fills Caption, Label1 and Text1; showing it
// leaves the confirmed text in St51, or the empty text after Cancel or close.
struct Form2 {
    std::u16string Caption;
    std::u16string Label1;
    std::u16string Text1;
    std::u16string St51;
    bool Large = false; // the large layout, chosen when the dialog loads
    bool Loaded = false;
};

inline const std::u16string kAppTitle = u"Quillory";

class Platform {
  public:
    virtual ~Platform() = default;

    virtual Answer msgBox(const std::u16string& text, Buttons buttons,
                          const std::u16string& title) = 0;
    // Returns the typed text, or the empty text on Cancel.
    virtual std::u16string inputBox(const std::u16string& prompt, const std::u16string& title,
                                    const std::u16string& defaultText) = 0;
    virtual void showForm2(Form2& form) = 0;
    virtual void unloadForm2(Form2& form) { form.Loaded = false; }

    virtual void showOpen(CommonDialog& dialog) = 0;
    virtual void showSave(CommonDialog& dialog) = 0;

    virtual void clipboardClear() = 0;
    virtual void clipboardSetText(const std::u16string& text) = 0;

    virtual void setMousePointer(Pointer pointer) = 0;
    virtual double screenWidthTwips() = 0;
    virtual void setCaption(const std::u16string& caption) = 0;

    // Resources are embedded in the program; every implementation reads the same bytes.
    virtual Bytes loadResource(const std::u16string& type, int id);

    // Code page 936, built once per process; only once hasCodePage() said yes.
    const CodePage936& codePage() const;
    virtual bool hasCodePage() const;
};

} // namespace quillory
