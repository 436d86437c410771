#include "editor/core/ask.h"

#include "editor/core/messages.h"
#include "editor/core/settings.h"

namespace editor {

int AskWithRemember(IPrompter& prompter, Settings& settings, const QString& message,
                    const QString& checkCaption, const QString& valueName, TButtons buttons,
                    TMessageKind kind) {
    const int remembered = settings.ReadInt(sections::Settings, valueName, 0);
    if (remembered == mrYes || remembered == mrNo) return remembered;
    TQuestion question{kind, message, buttons, {}, checkCaption};
    if (valueName == keys::DropImageDefault.Name)
        question.ButtonCaptions = {msg::IncludeButton, msg::StartNewButton};
    const TAnswer answer = prompter.Ask(question);
    if (answer.Checked && answer.Result != mrCancel)
        settings.WriteInt(sections::Settings, valueName, answer.Result);
    return answer.Result;
}

TIncludeChoice AskIncludeOrNew(IPrompter& prompter, Settings& settings, const QString& message) {
    switch (AskWithRemember(prompter, settings, message, msg::MakeDefault,
                            keys::DropImageDefault.Name, TButtons::YesNoCancel,
                            TMessageKind::Confirmation)) {
    case mrYes: return TIncludeChoice::Include;
    case mrNo: return TIncludeChoice::StartNew;
    default: return TIncludeChoice::Cancel;
    }
}

} // namespace editor
