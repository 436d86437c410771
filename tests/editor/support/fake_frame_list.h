// A frame list that records what it was told, in order, as short texts ("insert 2",
// "select 1", "show 1"), and keeps its own item count and selection.
#pragma once

#include <QStringList>

#include "editor/core/frame_list.h"

namespace editortest {

class TFakeFrameList : public editor::IFrameList {
public:
    explicit TFakeFrameList(int count = 0) : count_(count) {}

    int Count() const override { return count_; }
    void InsertItem(int index) override {
        Log << QString("insert %1").arg(index);
        ++count_;
    }
    void DeleteItem(int index) override {
        Log << QString("delete %1").arg(index);
        --count_;
    }
    void MoveItem(int from, int to) override { Log << QString("move %1 %2").arg(from).arg(to); }
    void Clear() override {
        Log << "clear";
        count_ = 0;
        selected_ = -1;
    }
    int Selected() const override { return selected_; }
    void Select(int index) override {
        Log << QString("select %1").arg(index);
        selected_ = index;
    }
    void ShowFrame(int index) override { Log << QString("show %1").arg(index); }

    QStringList Log;

private:
    int count_;
    int selected_ = -1;
};

} // namespace editortest
