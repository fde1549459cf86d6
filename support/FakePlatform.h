#pragma once
// Scripted platform for tests: answers come from queues the test fills, and every
// question, message, clipboard write, pointer change and caption is recorded.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quillory::testing {

struct ShownMessage {
    std::u16string text;
    Buttons buttons;
    std::u16string title;
};

struct ShownPrompt {
    std::u16string caption;
    std::u16string label;
    std::u16string text; // what the text box held when the dialog opened
};

// The first reply of a queue, taken off it; `none` when the queue is empty.
template <class Queue>
typename Queue::value_type takeFirst(Queue& queue, typename Queue::value_type none) {
    if (queue.empty()) return none;
    auto first = std::move(queue.front());
    queue.pop_front();
    return first;
}

class FakePlatform : public Platform {
  public:
    // Replies, taken in order. An empty queue answers OK / "" / Cancel / no file,
    // and counts the question in `unanswered`.
    std::deque<Answer> answers;
    std::deque<std::u16string> inputs;
    std::deque<std::optional<std::u16string>> prompts; // nullopt: Cancel
    std::deque<std::u16string> files;                  // "" cancels the dialog

    std::vector<ShownMessage> messages;
    std::vector<std::pair<std::u16string, std::u16string>> inputBoxes; // prompt, title
    std::vector<ShownPrompt> promptsShown;
    std::vector<std::pair<bool, CommonDialog>> fileDialogs; // save form?, as shown
    std::vector<std::u16string> captions;
    std::vector<Pointer> pointers;
    std::optional<std::u16string> clipboard; // nullopt after a clear
    int clipboardWrites = 0;
    int form2Unloads = 0;
    int unanswered = 0;
    double screenTwips = 1024 * kTwipsPerPixel;
    // Called as each question (not a plain message) is shown, for a test to look at what
    // the user sees while answering.
    std::function<void()> onQuestion;

    Answer msgBox(const std::u16string& text, Buttons buttons,
                  const std::u16string& title) override;
    std::u16string inputBox(const std::u16string& prompt, const std::u16string& title,
                            const std::u16string& defaultText) override;
    void showForm2(Form2& form) override;
    void unloadForm2(Form2& form) override {
        ++form2Unloads;
        Platform::unloadForm2(form);
    }
    void showOpen(CommonDialog& dialog) override { showFile(dialog, false); }
    void showSave(CommonDialog& dialog) override { showFile(dialog, true); }
    void clipboardClear() override { clipboard.reset(); }
    void clipboardSetText(const std::u16string& text) override;
    void setMousePointer(Pointer pointer) override { pointers.push_back(pointer); }
    double screenWidthTwips() override { return screenTwips; }
    void setCaption(const std::u16string& caption) override { captions.push_back(caption); }
    bool hasCodePage() const override { return !codePageMissing; }
    bool codePageMissing = false;

    // Forgets what was shown and counted, not the replies still queued.
    void clearRecords();

  private:
    void showFile(CommonDialog& dialog, bool saveForm);
};

} // namespace quillory::testing
