#include "editor/core/gif_files.h"

#include <QFileInfo>

#include "editor/core/file_access.h"
#include "editor/core/file_kinds.h"
#include "editor/core/format.h"
#include "editor/core/messages.h"
#include "editor/core/prompter.h"
#include "editor/core/temp_files.h"
#include "gif/model/image.h"

namespace editor {

bool LoadGifFile(IPrompter& prompter, gif::TGIFImage& image, const QString& path) {
    // A file that is there but cannot be read is no damaged GIF: the system says why. A
    // missing one keeps the usual load error.
    const QString failure = QFileInfo::exists(path) ? ReadFailure(path) : QString();
    if (!failure.isEmpty()) {
        prompter.Message(TMessageKind::Warning, LoadFailureText(path, failure));
        return false;
    }
    bool loaded = false;
    {
        TBusyCursor busy(prompter);
        {
            try {
                image.LoadFromFile(NativePath(path));
                loaded = true;
            } catch (const std::exception&) {
                prompter.Beep();
            }
        }
    }
    if (!loaded) prompter.Message(TMessageKind::Warning, Format(msg::LoadError, path));
    return loaded;
}

bool SaveGifFile(IPrompter& prompter, gif::TGIFImage& image, const QString& path,
                 bool compatibilityFix, bool always, const TAnimationDefaults& defaults) {
    bool saved = false;
    if (always || QFileInfo::exists(path)) {
        TBusyCursor busy(prompter);
        try {
            NormaliseAnimation(image, !compatibilityFix, defaults);
            image.SaveToFile(NativePath(path));
            saved = true;
        } catch (const std::exception&) {
        }
    }
    if (!saved) prompter.Message(TMessageKind::Warning, Format(msg::SaveError, path));
    return saved;
}

bool IsAnimatedGifFile(IPrompter& prompter, const QString& path) {
    if (FileKind(path) != fkGif) return false;
    gif::TGIFImage scratch;
    return LoadGifFile(prompter, scratch, path) && IsAnimation(scratch);
}

} // namespace editor
