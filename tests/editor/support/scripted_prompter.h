// A prompter that answers from a script and records every question, so that tests can
// run the editor's protocols without a modal box.
#pragma once

#include <deque>
#include <functional>
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

    // Queues the files the next file dialog returns (none: cancelled).
    TScriptedPrompter& ThenFiles(const QStringList& files) {
        files_.push_back(files);
        return *this;
    }

    QString AskSaveFileName(const editor::TFileQuestion& question) override {
        const QStringList files = NextFiles(question);
        return files.isEmpty() ? QString() : files.front();
    }
    QStringList AskOpenFileNames(const editor::TFileQuestion& question) override {
        return NextFiles(question);
    }

    editor::TAnswer Ask(const editor::TQuestion& question) override {
        Asked.push_back(question);
        // What happens while the box is up: focus and activation changes, clicks.
        if (WhileAsked) WhileAsked(question);
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

    std::function<void(const editor::TQuestion&)> WhileAsked;
    std::vector<editor::TQuestion> Asked;
    std::vector<editor::TFileQuestion> FileDialogs;
    QStringList Unexpected;
    QStringList Opened;
    bool OpenSucceeds = true;
    int Beeps = 0;
    int BusyDepth = 0;

private:
    QStringList NextFiles(const editor::TFileQuestion& question) {
        FileDialogs.push_back(question);
        if (files_.empty()) {
            Unexpected.push_back("file dialog");
            return {};
        }
        QStringList files = files_.front();
        files_.pop_front();
        return files;
    }

    std::deque<editor::TAnswer> answers_;
    std::deque<QStringList> files_;
};

} // namespace editortest
