// The add-in contract. An add-in is a Qt plug-in (a shared library) whose root object
// implements IAddIn; its interface id is the add-in category's fixed GUID. The editor
// finds it in <prefix>/lib/loopwright/addins/ or $XDG_DATA_HOME/loopwright/addins/,
// gives it the Application object, asks for its description, title and version, and
// lets it add its menu items. Every method returns an HRESULT: 0 (S_OK) or above for
// success, below 0 for a failure.
//
// An add-in uses only this header and the object model's interfaces
// (automation/model/interfaces.h); it links nothing of the editor but Qt.
#pragma once

#include "automation/model/interfaces.h"

#include <QString>
#include <QtPlugin>
#include <memory>

namespace automation {

// The add-in category: its GUID is the plug-ins' interface id.
#define LOOPWRIGHT_ADDIN_CATEGORY "{6D1E3B52-7C0A-4E52-9A33-2F7A11C0D3A0}"
inline constexpr const char* CATID_LoopwrightAddIns = LOOPWRIGHT_ADDIN_CATEGORY;
inline constexpr const char* AddInCategoryDescription = "Quillmark GIF Loopwright Plugins";

inline constexpr int S_OK_ = 0;
inline constexpr int E_FAIL_ = int(0x80004005u);

class IAddIn {
  public:
    virtual ~IAddIn() = default;
    // The editor's Application object; the add-in may keep it for its handlers.
    virtual int SetApplication(std::shared_ptr<IGIFLoopwrightApplication> Loopwright) = 0;
    virtual int RegisterMenus() = 0;
    virtual int GetDescription(QString& wsDescription) = 0;
    virtual int GetTitle(QString& wsTitle) = 0;
    virtual int GetVersion(QString& wsVersion) = 0;
};

// The menu item an object-model call handed out (Menu, SubItem, AddSubItem), for add-ins:
// null when `object` is something else.
inline TMenuItemRef AsMenuItem(const TObjectRef& object) {
    if (!object || QString(object->InterfaceName()) != "IIntfMenuItem") return nullptr;
    return std::static_pointer_cast<IIntfMenuItem>(object);
}

} // namespace automation

Q_DECLARE_INTERFACE(automation::IAddIn, LOOPWRIGHT_ADDIN_CATEGORY)
