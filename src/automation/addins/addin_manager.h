// The add-in manager: finds the add-ins, loads them in order with the progress window
// showing, keeps the collection of loaded ones for the plug-in information window, and
// shows the Plug-ins menu and "&Plugin Info..." when they have something to show.
#pragma once

#include "automation/model/interfaces.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace editor {
class IProgressWindow;
class TfrmMain;
} // namespace editor

namespace automation {

class TGIFApplication;

inline constexpr int MaxAddIns = 50;

struct TAddInCollectionItem {
    QString Description;
    QString Title;
    QString Version;
};

// The loaded add-ins, in load order; one for the process.
class TAddInCollection {
  public:
    static TAddInCollection& Instance();
    const std::vector<TAddInCollectionItem>& Items() const { return items_; }
    void Add(TAddInCollectionItem item) { items_.push_back(std::move(item)); }
    void Clear() { items_.clear(); }
    bool Empty() const { return items_.empty(); }

  private:
    std::vector<TAddInCollectionItem> items_;
};

// The folders searched, in order: <prefix>/lib/loopwright/addins/ (the prefix is the
// program's folder's parent) and $XDG_DATA_HOME/loopwright/addins/.
QStringList AddInFolders();
// The add-in libraries in `folders`, each folder's by name, at most MaxAddIns.
QStringList FindAddIns(const QStringList& folders);

using TProgressFactory = std::function<std::unique_ptr<editor::IProgressWindow>()>;

// Loads the add-ins of `folders` into the collection, then refreshes the document-dependent
// menu items and shows the Plug-ins menu and "&Plugin Info..." as they now apply. An add-in
// whose call fails is skipped; a library that cannot be loaded or offers no IAddIn ends
// the loading, and its error goes to the error box. Returns that error, empty when none.
QString LoadAddIns(editor::TfrmMain& window, const std::shared_ptr<TGIFApplication>& application,
                   const QStringList& folders, const TProgressFactory& createProgress);

} // namespace automation
