#include "automation/menus/menu_item.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace automation {

namespace {

constexpr const char* TagProperty = "Tag";

// The menu or menu bar that shows `item` as one of its entries. An action shown in
// several places (a menu and a pop-up) counts as an entry of the one in the main menu.
QWidget* ParentMenu(QAction& item) {
    QWidget* fallback = nullptr;
    for (QObject* object : item.associatedObjects()) {
        if (auto* bar = qobject_cast<QMenuBar*>(object)) return bar;
        if (auto* menu = qobject_cast<QMenu*>(object)) {
            if (!menu->menuAction()->associatedObjects().isEmpty()) return menu;
            if (!fallback) fallback = menu;
        }
    }
    return fallback;
}

// The caption compared by path lookups: without its "&" marks; a separator's is "-".
QString Plain(const QAction& item) {
    return item.isSeparator() ? QString("-") : QString(item.text()).remove('&');
}

void Refresh(const QList<QAction*>& items, bool documentActive, QSet<QMenu*>& seen) {
    for (QAction* item : items) {
        if (HelpContext(*item) == 1) item->setEnabled(documentActive);
        if (QMenu* menu = item->menu(); menu && !seen.contains(menu)) {
            seen.insert(menu);
            Refresh(menu->actions(), documentActive, seen);
        }
    }
}

} // namespace

int HelpContext(const QAction& item) {
    return item.property(HelpContextProperty).toInt();
}

QString MenuNotFound(const QString& path) {
    return "Menu" + path + "does not exist!";
}

QAction* FindMenuItem(QMenuBar& bar, const QString& path) {
    const QStringList captions = path.split('|');
    QList<QAction*> level = bar.actions();
    QAction* found = nullptr;
    for (qsizetype i = 0; i < captions.size(); ++i) {
        found = nullptr;
        // The last of equal siblings wins.
        for (QAction* item : level)
            if (Plain(*item).compare(captions[i], Qt::CaseInsensitive) == 0) found = item;
        if (!found) return nullptr;
        if (i + 1 < captions.size()) {
            if (!found->menu()) return nullptr;
            level = found->menu()->actions();
        }
    }
    return found;
}

void RefreshDocumentItems(QMenuBar& bar, bool documentActive) {
    QSet<QMenu*> seen;
    Refresh(bar.actions(), documentActive, seen);
}

TAutomatedMenu::TAutomatedMenu(QObject* owner, TMenuErrorDisplay showError)
    : QAction(owner), showError_(std::move(showError)) {
    setProperty(HelpContextProperty, 1);
    connect(this, &QAction::triggered, this, &TAutomatedMenu::Click);
}

void TAutomatedMenu::Click() {
    if (!handler_) return;
    // The handler may drop itself (a client replacing it); keep it for the call.
    TMenuHandlerRef handler = handler_;
    const TResult<int> result = handler->Execute(property(TagProperty).toInt());
    QString error;
    if (!result.Succeeded())
        error = result.Error.isEmpty() ? QString("The menu handler failed") : result.Error;
    else if (result.Value < 0)
        error = result.Error.isEmpty()
                    ? QString("The menu handler failed (0x%1)").arg(uint32_t(result.Value), 8, 16, QChar('0'))
                    : result.Error;
    if (!error.isEmpty() && showError_) showError_(error);
}

QAction& TIntfMenuItem::Target() {
    // The editor may have removed the item since the wrapper was made.
    if (!item_) throw EAutomationError("The menu item no longer exists");
    return *item_;
}

TMenuItemRef TIntfMenuItem::Wrap(QAction* item) const {
    return std::make_shared<TIntfMenuItem>(item, showError_);
}

TResult<QString> TIntfMenuItem::Caption() {
    return Trap([&] { return Target().text(); });
}

TResult<TNone> TIntfMenuItem::SetCaption(const QString& value) {
    return Trap([&] { Target().setText(value); });
}

TResult<bool> TIntfMenuItem::Checked() {
    return Trap([&] { return Target().isChecked(); });
}

TResult<TNone> TIntfMenuItem::SetChecked(bool value) {
    return Trap([&] {
        QAction& item = Target();
        if (value) item.setCheckable(true);
        item.setChecked(value);
    });
}

TResult<bool> TIntfMenuItem::Enabled() {
    return Trap([&] { return Target().isEnabled(); });
}

TResult<TNone> TIntfMenuItem::SetEnabled(bool value) {
    return Trap([&] { Target().setEnabled(value); });
}

TResult<QString> TIntfMenuItem::Hint() {
    return Trap([&] { return Target().statusTip(); });
}

TResult<TNone> TIntfMenuItem::SetHint(const QString& value) {
    return Trap([&] { Target().setStatusTip(value); });
}

TResult<QString> TIntfMenuItem::ShortCut() {
    return Trap([&] { return Target().shortcut().toString(QKeySequence::PortableText); });
}

TResult<TNone> TIntfMenuItem::SetShortCut(const QString& value) {
    return Trap([&] {
        // Text that does not parse gives no shortcut.
        QKeySequence sequence = QKeySequence::fromString(value, QKeySequence::PortableText);
        if (sequence.count() > 0 && sequence[0].key() == Qt::Key_unknown) sequence = QKeySequence();
        Target().setShortcut(sequence);
    });
}

TResult<int> TIntfMenuItem::SubItemCount() {
    return Trap([&] { return Target().menu() ? int(Target().menu()->actions().size()) : 0; });
}

TResult<int> TIntfMenuItem::Tag() {
    return Trap([&] { return Target().property(TagProperty).toInt(); });
}

TResult<TNone> TIntfMenuItem::SetTag(int value) {
    return Trap([&] { Target().setProperty(TagProperty, value); });
}

TResult<bool> TIntfMenuItem::Visible() {
    return Trap([&] { return Target().isVisible(); });
}

TResult<TNone> TIntfMenuItem::SetVisible(bool value) {
    return Trap([&] { Target().setVisible(value); });
}

TMenuItemRef TIntfMenuItem::Insert(int index) {
    QAction& item = Target();
    QMenu* menu = item.menu();
    if (!menu) {
        // The first sub-item makes the item a submenu.
        menu = new QMenu(item.text(), ParentMenu(item));
        item.setMenu(menu);
    }
    const QList<QAction*> siblings = menu->actions();
    if (index < 0 || index > siblings.size()) throw EAutomationError("Menu index out of bounds");
    auto* added = new TAutomatedMenu(item.parent() ? item.parent() : menu, showError_);
    menu->insertAction(index < siblings.size() ? siblings[index] : nullptr, added);
    return Wrap(added);
}

TResult<TMenuItemRef> TIntfMenuItem::AddSubItem() {
    return Trap([&] { return Insert(Target().menu() ? int(Target().menu()->actions().size()) : 0); });
}

TResult<TMenuItemRef> TIntfMenuItem::InsertSubItem(int nIndex) {
    return Trap([&] { return Insert(nIndex); });
}

TResult<TMenuItemRef> TIntfMenuItem::SubItem(int nIndex) {
    return Trap([&] {
        QMenu* menu = Target().menu();
        const qsizetype count = menu ? menu->actions().size() : 0;
        if (nIndex < 0 || nIndex >= count) throw EAutomationError("Menu index out of bounds");
        return Wrap(menu->actions()[nIndex]);
    });
}

TResult<TNone> TIntfMenuItem::SetMenuHandler(TMenuHandlerRef Handler) {
    return Trap([&] {
        auto* automated = qobject_cast<TAutomatedMenu*>(&Target());
        if (!automated) throw EAutomationError("Cannot change pre-defined menu handlers");
        automated->SetHandler(std::move(Handler));
    });
}

TResult<int> TIntfMenuItem::MenuIndex() {
    return Trap([&] {
        QWidget* parent = ParentMenu(Target());
        return parent ? int(parent->actions().indexOf(&Target())) : -1;
    });
}

TResult<TNone> TIntfMenuItem::SetMenuIndex(int value) {
    return Trap([&] {
        QAction& item = Target();
        QWidget* parent = ParentMenu(item);
        if (!parent) return;
        QList<QAction*> siblings = parent->actions();
        const int current = int(siblings.indexOf(&item));
        // Positions past either end go to that end.
        const int target = std::clamp(value, 0, int(siblings.size()) - 1);
        if (current < 0 || target == current) return;
        siblings.removeAt(current);
        parent->insertAction(target < siblings.size() ? siblings[target] : nullptr, &item);
    });
}

TResult<TNone> TIntfMenuItem::Execute() {
    return Trap([&] { Target().trigger(); });
}

TResult<bool> TIntfMenuItem::DocDependent() {
    return Trap([&] { return HelpContext(Target()) == 1; });
}

TResult<TNone> TIntfMenuItem::SetDocDependent(bool value) {
    return Trap([&] { Target().setProperty(HelpContextProperty, value ? 1 : -1); });
}

} // namespace automation
