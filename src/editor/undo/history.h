// The undo history of a document: a bounded stack of commands, newest last.
#pragma once

#include <memory>
#include <vector>

#include "editor/undo/command.h"

namespace editor {

class THistoryList {
public:
    static constexpr int DefaultLimit = 50;

    int Count() const { return int(commands_.size()); }
    TCommand* Newest() const { return commands_.empty() ? nullptr : commands_.back().get(); }
    TCommand* At(int index) const { return commands_.at(size_t(index)).get(); }
    // The newest command's caption, empty when none.
    QString TopCaption() const;
    // The newest command's frame index, -1 when none.
    int TopFrameIndex() const;

    // Appends the command; a history that holds Limit() + 1 commands first drops its oldest.
    void Add(std::unique_ptr<TCommand> command);
    void Delete(int index);
    void Clear();
    // Reverses the newest command and drops it. When the reversal throws, the error passes
    // on and the command stays.
    void UndoNewest(TEditContext& context);

    int Limit() const { return limit_; }
    // Takes effect from the next Add; nothing is trimmed now.
    void SetLimit(int n) { limit_ = n; }

    // Builds the command of `kind` from the working image as it is now and adds it with
    // `caption`; an unknown kind adds nothing.
    void Push(TEditContext& context, int kind, int subKind, int arg1, int arg2, int frameIndex,
              const QString& caption);

private:
    std::vector<std::unique_ptr<TCommand>> commands_;
    int limit_ = DefaultLimit;
};

} // namespace editor
