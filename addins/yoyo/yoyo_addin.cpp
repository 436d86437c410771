// "Yo-yo": Plug-ins|Yo-yo makes the animation play forth and back.
#include "common/addin_base.h"
#include "common/menu_handler.h"
#include "yoyo/yoyo.h"

#include <QObject>

namespace addins {

class TYoYoAddIn final : public QObject, public TAddInBase {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID LOOPWRIGHT_ADDIN_CATEGORY)
    Q_INTERFACES(automation::IAddIn)
  public:
    TYoYoAddIn()
        : TAddInBase("Yo-yo", "Appends the frames in reverse order, without repeating the first "
                              "and last, so the animation plays forth and back.") {}

    int RegisterMenus() override {
        auto plugins = PluginsMenu();
        if (!plugins) return automation::E_FAIL_;
        auto handler = ApplicationHandler(app_, [](auto& application) { return YoYo(application); });
        return AddItem(plugins, "&Yo-yo", "Appends the frames in reverse so the animation plays forth and back",
                       1, handler)
                   ? automation::S_OK_
                   : automation::E_FAIL_;
    }
};

} // namespace addins

#include "yoyo_addin.moc"
