// What the Frame Inspector needs of the active document: the same edit protocol as the
// menus (record the command, change the working image, mark modified, show the frame).
#pragma once

#include <QString>

namespace dialogs {

class IInspectedDocument {
public:
    virtual ~IInspectedDocument() = default;
    // The file name without its folder.
    virtual QString ShortName() const = 0;
    virtual void PushCommand(int kind, int subKind, int arg1, int arg2, int frameIndex,
                             const QString& caption) = 0;
    virtual void SetModified(bool value) = 0;
    // Shows the frame again (which refills the inspector).
    virtual void DisplayFrame(int index) = 0;
    virtual void SetSelectedFrame(int index) = 0;
    // Reloads the working image from the backing file, so that frame pictures take new colours.
    virtual void ReloadFromBackingFile() = 0;
};

} // namespace dialogs
