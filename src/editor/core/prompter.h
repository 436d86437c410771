// Questions to the user, in one interface: message boxes, remembered-answer questions,
// opening files and web addresses, the busy cursor. The windows implement it with Qt's
// boxes; tests answer from a script, so every protocol runs headless.
#pragma once

#include <QString>
#include <QStringList>

namespace editor {

enum class TMessageKind { Warning, Error, Information, Confirmation };

enum class TButtons { Ok, OkCancel, YesNo, YesNoCancel, AbortIgnoreAll };

// Modal results, numbered as the stored answers ("Compatibility", "DropImageDefault") keep them.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

struct TQuestion {
    TMessageKind Kind = TMessageKind::Information;
    QString Text{};
    TButtons Buttons = TButtons::Ok;
    // Captions that replace the first buttons' own ("&Include", "&Start New").
    QStringList ButtonCaptions{};
    // A check box under the text ("Do not ask again"); none when empty.
    QString CheckCaption{};
    // The box's title; the program's name when empty.
    QString Caption{};
    // The button preselected, counted from the first.
    int DefaultButton = 0;
};

// An open or save dialog. The filter is written the program's way: pairs of description
// and patterns separated by "|" ("GIF Images|*.gif|All Image Files|*.*").
struct TFileQuestion {
    QString Filter;
    QString InitialDir;
    QString FileName;          // preselected name (a save dialog's suggestion)
    QString DefaultSuffix;     // "gif": added to a name typed without one
    bool Multiple = false;     // an open dialog may return several files
};

struct TAnswer {
    int Result = mrNone;
    bool Checked = false;
};

class IPrompter {
public:
    virtual ~IPrompter() = default;

    // Shows the question modally and returns the button pressed and the check box state.
    virtual TAnswer Ask(const TQuestion& question) = 0;
    // Opens a file or web address with the desktop's default program; false on failure.
    virtual bool OpenUrl(const QString& target) = 0;
    virtual void Beep() = 0;
    // Shows or hides the busy cursor; calls nest.
    virtual void SetBusy(bool busy) = 0;
    // The file dialogs: the chosen file(s), empty when cancelled.
    virtual QString AskSaveFileName(const TFileQuestion&) { return {}; }
    virtual QStringList AskOpenFileNames(const TFileQuestion&) { return {}; }

    // A message box without check box; returns the button pressed.
    int Message(TMessageKind kind, const QString& text, TButtons buttons = TButtons::Ok) {
        TQuestion question;
        question.Kind = kind;
        question.Text = text;
        question.Buttons = buttons;
        return Ask(question).Result;
    }
};

// The busy cursor for one scope, restored also when an exception passes.
class TBusyCursor {
public:
    explicit TBusyCursor(IPrompter& prompter) : prompter_(prompter) { prompter_.SetBusy(true); }
    ~TBusyCursor() { prompter_.SetBusy(false); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    IPrompter& prompter_;
};

} // namespace editor
