// "Yo-yo": Plug-ins|Yo-yo makes the animation play forth and back.
#include "common/menu_handler.h"
#include "yoyo/yoyo.h"

#include <QObject>

namespace addins {

class TYoYoAddIn final : public QObject, public automation::IAddIn {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID LOOPWRIGHT_ADDIN_CATEGORY)
    Q_INTERFACES(automation::IAddIn)
  public:
    int SetApplication(std::shared_ptr<automation::IGIFLoopwrightApplication> app) override {
        app_ = std::move(app);
        return automation::S_OK_;
    }
    int RegisterMenus() override {
        if (!app_) return automation::E_FAIL_;
        auto plugins = automation::AsMenuItem(app_->Menu("Plug-ins").Value);
        if (!plugins) return automation::E_FAIL_;
        auto handler = ApplicationHandler(app_, [](auto& application) { return YoYo(application); });
        return AddItem(plugins, "&Yo-yo", "Appends the frames in reverse so the animation plays forth and back",
                       1, handler)
                   ? automation::S_OK_
                   : automation::E_FAIL_;
    }
    int GetDescription(QString& text) override {
        text = "Appends the frames in reverse order, without repeating the first and last, so "
               "the animation plays forth and back.";
        return automation::S_OK_;
    }
    int GetTitle(QString& text) override {
        text = "Yo-yo";
        return automation::S_OK_;
    }
    int GetVersion(QString& text) override {
        text = "1.0";
        return automation::S_OK_;
    }

  private:
    std::shared_ptr<automation::IGIFLoopwrightApplication> app_;
};

} // namespace addins

#include "yoyo_addin.moc"
