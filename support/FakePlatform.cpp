#include "support/FakePlatform.h"

namespace quillory::testing {

Answer FakePlatform::msgBox(const std::u16string& text, Buttons buttons,
                            const std::u16string& title) {
    messages.push_back({text, buttons, title});
    if (buttons == Buttons::OK) {
        if (!answers.empty() && answers.front() == Answer::OK) answers.pop_front();
        return Answer::OK;
    }
    if (onQuestion) onQuestion();
    if (answers.empty()) {
        ++unanswered;
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::u16string FakePlatform::inputBox(const std::u16string& prompt, const std::u16string& title,
                                      const std::u16string&) {
    inputBoxes.push_back({prompt, title});
    if (inputs.empty()) {
        ++unanswered;
        return {};
    }
    std::u16string reply = inputs.front();
    inputs.pop_front();
    return reply;
}

void FakePlatform::showForm2(Form2& form) {
    promptsShown.push_back({form.Caption, form.Label1, form.Text1});
    std::optional<std::u16string> reply;
    if (prompts.empty())
        ++unanswered;
    else {
        reply = prompts.front();
        prompts.pop_front();
    }
    if (reply) form.Text1 = *reply;
    form.St51 = reply ? *reply : std::u16string();
}

void FakePlatform::showFile(CommonDialog& dialog, bool saveForm) {
    fileDialogs.push_back({saveForm, dialog});
    if (files.empty()) {
        ++unanswered;
        dialog.FileName.clear();
        return;
    }
    dialog.FileName = files.front();
    files.pop_front();
}

void FakePlatform::clipboardSetText(const std::u16string& text) {
    clipboard = text;
    ++clipboardWrites;
}

void FakePlatform::clearRecords() {
    messages.clear();
    inputBoxes.clear();
    promptsShown.clear();
    fileDialogs.clear();
    captions.clear();
    pointers.clear();
    clipboardWrites = form2Unloads = 0;
}

} // namespace quillory::testing
