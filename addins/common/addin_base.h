// What the shipped add-ins have alike: each keeps the Application object it is given and
// names itself; only its menus are its own (RegisterMenus).
#pragma once

#include "automation/addins/addin.h"

#include <QString>
#include <memory>
#include <utility>

namespace addins {

class TAddInBase : public automation::IAddIn {
  public:
    TAddInBase(QString title, QString description, QString version = "1.0")
        : title_(std::move(title)), description_(std::move(description)),
          version_(std::move(version)) {}

    int SetApplication(std::shared_ptr<automation::IGIFLoopwrightApplication> app) override {
        app_ = std::move(app);
        return automation::S_OK_;
    }
    int GetDescription(QString& text) override {
        text = description_;
        return automation::S_OK_;
    }
    int GetTitle(QString& text) override {
        text = title_;
        return automation::S_OK_;
    }
    int GetVersion(QString& text) override {
        text = version_;
        return automation::S_OK_;
    }

  protected:
    // The Menu("Plug-ins") item to add to; null (and nothing to add) before SetApplication.
    automation::TMenuItemRef PluginsMenu() const {
        return app_ ? automation::AsMenuItem(app_->Menu("Plug-ins").Value) : nullptr;
    }

    std::shared_ptr<automation::IGIFLoopwrightApplication> app_;

  private:
    QString title_;
    QString description_;
    QString version_;
};

} // namespace addins
