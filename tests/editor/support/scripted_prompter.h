// A prompter that answers from a script and records every question, so that tests can
// run the editor's protocols without a modal box.
#pragma once

#include <deque>
#include <stdexcept>

#include "editor/core/prompter.h"
#include "editor/support/qt_print.h"

namespace editortest {

class TScriptedPrompter : public editor::IPrompter {
public:
    // Queues the answer to the next question.
    TScriptedPrompter& Then(int result, bool checked = false) {
        answers_.push_back({result, checked});
        return *this;
    }

    editor::TAnswer Ask(const editor::TQuestion& question) override {
        Asked.push_back(question);
        if (answers_.empty()) {
            // An unexpected question: answer OK so the code goes on, and let the test see it.
            Unexpected.push_back(question.Text);
            return {editor::mrOk, false};
        }
        editor::TAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    bool OpenUrl(const QString& target) override {
        Opened << target;
        return OpenSucceeds;
    }
    void Beep() override { ++Beeps; }
    void SetBusy(bool busy) override { BusyDepth += busy ? 1 : -1; }

    QStringList Texts() const {
        QStringList texts;
        for (const editor::TQuestion& q : Asked) texts << q.Text;
        return texts;
    }
    int PendingAnswers() const { return int(answers_.size()); }

    std::vector<editor::TQuestion> Asked;
    QStringList Unexpected;
    QStringList Opened;
    bool OpenSucceeds = true;
    int Beeps = 0;
    int BusyDepth = 0;

private:
    std::deque<editor::TAnswer> answers_;
};

} // namespace editortest
