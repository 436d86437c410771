// An undoable edit: created before the edit from the working image, it keeps what is
// needed to reverse it. There is no redo.
#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

#include "editor/core/edit_context.h"

namespace editor {

// Errors of building or reversing a command; they reach the user's error box and the
// command stays in the history.
class ECommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    explicit ECommandError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The command kinds of THistoryList::Push.
enum TCommandKind : int {
    ckActiveAnimation = 1,
    ckPalette = 2,
    ckFrame = 3,
    ckComment = 4,
    ckGraphicControl = 5,
    ckLoop = 7,
};

class TCommand {
public:
    TCommand(uint8_t subKind, int frameIndex) : Kind(subKind), FrameIndex(frameIndex) {}
    virtual ~TCommand() = default;
    TCommand(const TCommand&) = delete;
    TCommand& operator=(const TCommand&) = delete;

    // The class name, used in error messages.
    virtual const char* ClassName() const { return "TCommand"; }
    // Reverses the edit on the working image.
    virtual void Undo(TEditContext& context) = 0;

    QString Caption = "Unindentified Action";
    uint8_t Kind;       // sub-kind: what the reversal does (0 is invalid)
    int FrameIndex;     // -1: the whole animation or the global colour table

protected:
    // Format("Unknown Action Type from %s!", class name).
    [[noreturn]] void UnknownAction() const;
};

} // namespace editor
