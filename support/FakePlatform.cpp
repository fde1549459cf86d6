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
    unanswered += answers.empty();
    return takeFirst(answers, buttons == Buttons::YesNo ? Answer::No : Answer::Cancel);
}

std::u16string FakePlatform::inputBox(const std::u16string& prompt, const std::u16string& title,
                                      const std::u16string&) {
    inputBoxes.push_back({prompt, title});
    unanswered += inputs.empty();
    return takeFirst(inputs, u"");
}

void FakePlatform::showForm2(Form2& form) {
    promptsShown.push_back({form.Caption, form.Label1, form.Text1});
    unanswered += prompts.empty();
    const std::optional<std::u16string> reply = takeFirst(prompts, std::nullopt);
    if (reply) form.Text1 = *reply;
    form.St51 = reply.value_or(u"");
}

void FakePlatform::showFile(CommonDialog& dialog, bool saveForm) {
    fileDialogs.push_back({saveForm, dialog});
    unanswered += files.empty();
    dialog.FileName = takeFirst(files, u"");
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
