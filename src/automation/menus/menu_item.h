// Menus that automation clients reach by caption path and extend: TIntfMenuItem wraps one
// item of the main menu (a QAction; a submenu is the action's menu), TAutomatedMenu is an
// item added through automation, which calls its client's handler when picked.
#pragma once

#include "automation/model/interfaces.h"

#include <QAction>
#include <QPointer>
#include <functional>

class QMenuBar;
class QWidget;

namespace automation {

// The help-context number that marks an item as enabled only while a document is active
// (1), or independent of documents (-1). Kept as a property of the action.
inline constexpr const char* HelpContextProperty = "HelpContext";
int HelpContext(const QAction& item);

// How the failure of a picked item's handler reaches the user.
using TMenuErrorDisplay = std::function<void(const QString& message)>;

class TAutomatedMenu final : public QAction {
    Q_OBJECT
  public:
    TAutomatedMenu(QObject* owner, TMenuErrorDisplay showError);

    void SetHandler(TMenuHandlerRef handler) { handler_ = std::move(handler); }
    const TMenuHandlerRef& Handler() const { return handler_; }
    // Calls the handler with the Tag; a failed call or a failed HRESULT goes to the
    // error display. Without a handler nothing happens.
    void Click();

  private:
    TMenuHandlerRef handler_;
    TMenuErrorDisplay showError_;
};

class TIntfMenuItem final : public IIntfMenuItem {
  public:
    TIntfMenuItem(QAction* item, TMenuErrorDisplay showError)
        : item_(item), showError_(std::move(showError)) {}
    QAction* Item() const { return item_; }

    TResult<QString> Caption() override;
    TResult<TNone> SetCaption(const QString& value) override;
    TResult<bool> Checked() override;
    TResult<TNone> SetChecked(bool value) override;
    TResult<bool> Enabled() override;
    TResult<TNone> SetEnabled(bool value) override;
    TResult<QString> Hint() override;
    TResult<TNone> SetHint(const QString& value) override;
    TResult<QString> ShortCut() override;
    TResult<TNone> SetShortCut(const QString& value) override;
    TResult<int> SubItemCount() override;
    TResult<int> Tag() override;
    TResult<TNone> SetTag(int value) override;
    TResult<bool> Visible() override;
    TResult<TNone> SetVisible(bool value) override;
    TResult<TMenuItemRef> AddSubItem() override;
    TResult<TMenuItemRef> SubItem(int nIndex) override;
    TResult<TNone> SetMenuHandler(TMenuHandlerRef Handler) override;
    TResult<int> MenuIndex() override;
    TResult<TNone> SetMenuIndex(int value) override;
    TResult<TNone> Execute() override;
    TResult<TMenuItemRef> InsertSubItem(int nIndex) override;
    TResult<bool> DocDependent() override;
    TResult<TNone> SetDocDependent(bool value) override;

  private:
    QAction& Target();
    TMenuItemRef Wrap(QAction* item) const;
    TMenuItemRef Insert(int index);

    QPointer<QAction> item_;
    TMenuErrorDisplay showError_;
};

// The item at the end of a "|"-separated caption path, null when there is none.
QAction* FindMenuItem(QMenuBar& bar, const QString& path);
// The failure text of a path that finds nothing.
QString MenuNotFound(const QString& path);
// Enables every item of help context 1, at any depth, exactly when a document is active.
void RefreshDocumentItems(QMenuBar& bar, bool documentActive);

} // namespace automation
