#include "editor/undo/history.h"

#include "editor/undo/extension_commands.h"
#include "editor/undo/palette_command.h"
#include "editor/undo/snapshot_commands.h"

namespace editor {

QString THistoryList::TopCaption() const { return commands_.empty() ? QString() : Newest()->Caption; }

int THistoryList::TopFrameIndex() const { return commands_.empty() ? -1 : Newest()->FrameIndex; }

void THistoryList::Add(std::unique_ptr<TCommand> command) {
    if (Count() == limit_ + 1) commands_.erase(commands_.begin());
    commands_.push_back(std::move(command));
}

void THistoryList::Delete(int index) {
    if (index >= 0 && index < Count()) commands_.erase(commands_.begin() + index);
}

void THistoryList::Clear() {
    // Oldest first, as commands were made.
    while (!commands_.empty()) commands_.erase(commands_.begin());
}

void THistoryList::UndoNewest(TEditContext& context) {
    if (commands_.empty()) return;
    Newest()->Undo(context);
    commands_.pop_back();
}

void THistoryList::Push(TEditContext& context, int kind, int subKind, int arg1, int arg2,
                        int frameIndex, const QString& caption) {
    std::unique_ptr<TCommand> command;
    const auto sub = uint8_t(subKind);
    switch (kind) {
    case ckActiveAnimation:
        command = std::make_unique<TActiveAnimation>(context, sub, frameIndex);
        break;
    case ckPalette:
        command = std::make_unique<TCommandPalette>(context, sub, arg1, arg2, frameIndex);
        break;
    case ckFrame: command = std::make_unique<TFrame>(context, sub, arg2, frameIndex); break;
    case ckComment: command = std::make_unique<TCommentExt>(context, sub, arg2, frameIndex); break;
    case ckGraphicControl: command = std::make_unique<TGCExt>(context, sub, arg2, frameIndex); break;
    case ckLoop: command = std::make_unique<TNSLoop>(context, sub, arg2, frameIndex); break;
    default: return;
    }
    command->Caption = caption;
    Add(std::move(command));
}

} // namespace editor
