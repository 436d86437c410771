#include "editor/document/warning_box.h"

#include "editor/core/format.h"
#include "editor/core/prompter.h"
#include "editor/core/settings.h"
#include "editor/document/document_messages.h"
#include "gif/model/image.h"

#include <memory>

namespace editor {

EProcessAborted::EProcessAborted() : std::runtime_error(msg::ProcessAborted) {}

QString WarningText(uint8_t severity, const QString& source, const QString& message) {
    const QString level = severity < 3 ? msg::WarningSeverities[severity] : "";
    return Format(msg::GifWarning, level, source, message);
}

void InstallWarningBox(gif::TGIFImage& image, IPrompter& prompter, Settings& settings) {
    // All silences the handler from inside its own call; it is not replaced while running.
    auto silenced = std::make_shared<bool>(false);
    image.WarningHandler = [&prompter, &settings, silenced](gif::TObject* sender, uint8_t severity,
                                                            const std::string& message) {
        if (*silenced) return;
        const QString source = sender ? sender->ClassName() : "";
        const int answer = prompter.Message(
            TMessageKind::Warning, WarningText(severity, source, QString::fromStdString(message)),
            TButtons::AbortIgnoreAll);
        if (answer == mrAll) {
            settings.SetValue(keys::Warnings, 0);
            *silenced = true;
        } else if (answer == mrAbort) {
            throw EProcessAborted();
        }
    };
}

} // namespace editor
