#pragma once
// The editor: one object holding the whole state of the main window and its handlers.
// Every command reads and writes these variables directly. The handlers live in the
// folder of their subsystem (core, window, files, input, search, blocks, crypt).
//
// Counters are 32-bit so that nothing wraps on a 16 MiB document. Flags hold -1 (true)
// and 0 (false) and are tested for non-zero.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Controls.h"
#include "files/FileStamp.h"
#include "platform/Bytes.h"
#include "platform/Platform.h"

namespace quillory {

using Flag = std::int32_t;
constexpr Flag kTrue = -1;
constexpr Flag kFalse = 0;
constexpr std::int32_t kNone = -2;

// What a prompt for bytes (Numeric) or for characters (Character) asks for: its caption,
// whether the reply's length is held to a limit, and which prompt text keeps the reply.
enum PromptFor : std::int32_t {
    kReplacementReply = 0, // the bytes a replace puts in, held to the marked length
    kFindReply = 1,        // what a find looks for; kept in FindText, the rest in SwapText
    kReplaceReply = 2,     // what a replace looks for, held to the marked length
    kInsertReply = 3,      // what an insert puts in
    kCaptionSetReply = 4,  // the caller has set the caption
};
// How Character turns the reply into bytes: the code page, or UTF-16 little-endian.
enum CharacterCode : std::int32_t { kAnsiText = 2, kUnicodeText = 3 };
// Find, replace and insert are each three menu entries: hex digits (index 1), Ansi
// characters (2) and Unicode ones (3).
constexpr CharacterCode characterCodeFor(int menuIndex) {
    return menuIndex == 2 ? kAnsiText : kUnicodeText;
}

constexpr std::int32_t kPageSize = 512;
// What the grids show where there is no byte: past the end of the document.
inline const std::u16string kBlankHex = u"00";
inline const std::u16string kBlankChr = u". ";
// 32768 pages: the page scroll bar's range and the address column's six hex digits.
constexpr std::int64_t kMaxDocument = 16 * 1024 * 1024;

class Form1 {
  public:
    explicit Form1(Platform& platform);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    Platform& platform;

    // Controls and the prompt dialog.
    ListBox AddressBox;
    ListBox NumberBox;
    ListBox ChrBox;
    ScrollBar VscrollBar;
    Label StateBar;
    CommonDialog CD;
    Form2 Dialog2;
    std::u16string Caption;

    // Document, length and pages.
    Bytes FileBytes;
    std::int32_t LastOffset = 0; // offset of the last byte (length - 1); Fcount takes the length
    std::int32_t LastPage = 0;   // index of the last page (0-based)
    std::int32_t TailCount = 0;  // bytes on the last page when it is not full, else 0
    std::int32_t CurPage = 0;    // index of the page shown
    std::int32_t PageStart = 0;  // offset of the page shown: kPageSize * CurPage
    // As the file system has it: see files/Names.h.
    std::u16string FileName;
    // The file as this editor last read or wrote it, so that a save notices what another
    // program wrote there since.
    std::u16string stampedName;
    FileStamp diskStamp;
    Flag Dirty = kFalse;         // the document differs from its file
    Flag LengthChanged = kFalse; // the next Fcount also moves the page into range and repaints

    // Selection and highlight. In-page offsets; kNone where there is none.
    std::int32_t SelStart = 0; // first marked byte
    // Marked bytes - 1 (0: one byte); -1 while a double-click range waits for its second
    // click, and then "up to the end of the document" for copy and cut.
    std::int32_t SelSpan = 0;
    std::int32_t PickCount = 0; // double clicks of the range under way: 0, 1 or 2 (complete)
    std::int32_t FirstPick = 0; // the lower end of that range
    Flag Selecting = kFalse;    // the editor marks cells itself: their clicks keep the span

    // Records that find, replace, cut and insert leave for later commands.
    Bytes InputBytes; // the bytes of the last prompt's reply
    Bytes BlockBytes; // the working block: marked, found, copied or cut bytes
    // Length - 1 of the last find's pattern or prompt reply; after a copy or cut, the
    // number of bytes it took (0: all to the end). kNone for none.
    std::int32_t FindLast = 0;
    // While a replace-next sequence is open (not kNone): the in-page offset it continues
    // from.
    std::int32_t SwapFrom = 0;
    std::int32_t SwapLen = 0; // length - 1 of the pattern that replace looks for
    // The cut and insert records hold absolute offsets, so that undo and delete-next
    // act on the bytes concerned whatever page is shown; kNone for none.
    std::int32_t CutAt = 0;
    std::int32_t InsertAt = 0;
    std::int32_t UndoSpan = 0; // length - 1 of the recorded insert, which undo cuts again
    // The bytes of the recorded cut, kept apart from the working block, which a later
    // copy or count may replace while the cut can still be undone or repeated.
    Bytes cutBytes;
    // Replace next works on copies taken when Swap ran (the shared records above may be
    // overwritten in between) and goes on from an absolute offset, whatever page is shown.
    Bytes swapPattern;
    Bytes swapData;
    std::u16string swapShown;
    std::int32_t swapNextAt = kNone;

    // Prompt texts: the last reply, and the last find and replace texts.
    std::u16string InputText;
    std::u16string FindText;
    std::u16string SwapText;

    // View.
    Flag LargeScreen = kFalse; // the large layout, for wide screens
    Flag FlipPending = kFalse; // the next ShowPage pairs the page's bytes the other way
    Flag CharPhase = kFalse;   // pairing starts at the page's second byte
    // Where each in-page offset sits in the grids, and back: the grids run column by column.
    std::array<std::int16_t, kPageSize> OffsetToCell{};
    std::array<std::int16_t, kPageSize> CellToOffset{};

    // --- core: page view, refresh, navigation, recount ---
    void ShowPage();
    // The status line: the document's length, its pages and the page shown.
    void showStatus();
    void Renovate();
    // Recount after a change of length; LastOffset holds the new length on entry.
    void Fcount();
    void PageNum(int Index);
    void VscrollBar_Change();
    void VscrollBar_Scroll();

    // --- window: start-up and New ---
    // False, after saying so, where the editor cannot run.
    bool Form_Load();
    void Fnew();
    void setCaption(const std::u16string& text);

    // --- files: open, save, save as, closing, help ---
    void Fopen();
    // Makes `bytes` the document, recounts its pages and shows the first one.
    void loadDocument(Bytes bytes);
    // Files dropped on the window, by name.
    void DropFiles(const std::vector<std::u16string>& names);
    void openFile(const std::u16string& name);
    // Returns true when the document was written.
    bool Fsave();
    bool FsaveAs();
    // "文件已经修改，是否保存？" when the document is modified; returns true to go on.
    bool SavePrompt();
    // The window's close request; returns true when closing is cancelled.
    bool Form_QueryUnload();
    void Fhelp();
    std::u16string pickSaveName(bool saveForm);
    bool writeDocument(const std::u16string& name);
    void remember(const std::u16string& name, const std::optional<FileStamp>& stamp);

    // --- input: selection, read-out, right-click tools, prompts ---
    void NumberBox_Click();
    void ChrBox_Click();
    void NumberBox_DblClick();
    void ChrBox_DblClick();
    // A double click on a cell: the first marks the start of a range, the second its end.
    void Subroutine(int cell);
    void NumberBox_MouseMove(int buttons, int shift, float x, float y);
    void ChrBox_MouseMove(int buttons, int shift, float x, float y);
    void NumberBox_MouseDown(int button, int shift, float x, float y);
    void ChrBox_MouseDown(int button, int shift, float x, float y);
    // The offset read-out of the tooltip for an in-page offset; empty past the end of the
    // document.
    std::u16string offsetText(std::int32_t inPage) const;
    // Cell `cell` of AddressBox, NumberBox or ChrBox as a screen reader reads it.
    CellReading cellReading(const ListBox& grid, int cell) const;
    // Ask for bytes as hex digits, or as characters (iType: CharacterCode) into InputBytes,
    // for the use cType (PromptFor), at most iLen + 1 of them where it limits; returns
    // their number - 1, or kNone for no reply.
    std::int32_t Numeric(std::int32_t cType, std::int32_t iLen);
    std::int32_t Character(std::int32_t cType, std::int32_t iType, std::int32_t iLen);

    // --- search: locate, find, replace, delete further occurrences ---
    std::int32_t Lookup(std::int32_t QD, std::int32_t dLen, Flag BJ1);
    void Hunt(int Index);
    void Hnext(int Index);
    void Swap(int Index);
    void SwapCake(int Index);
    void SwapNext(int Index);
    void DelAll(int Index);

    // --- blocks: copy, cut, insert, undo ---
    void CopyOrCut(int Index);
    void Insert(int Index);
    void Quash();

    // --- crypt ---
    void Encrypt();

    // A message box with the application's title unless one is given.
    Answer MsgBox(const std::u16string& text, Buttons buttons = Buttons::OK,
                  const std::u16string& title = kAppTitle);

  private:
    void wireEvents();
};

} // namespace quillory
