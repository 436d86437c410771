// "Timing": Speed x2, Speed x1/2 and "Set all delays..." under Plug-ins|Timing.
#include "common/addin_base.h"
#include "common/menu_handler.h"
#include "timing/timing.h"

#include <QObject>

namespace addins {

class TTimingAddIn final : public QObject, public TAddInBase {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID LOOPWRIGHT_ADDIN_CATEGORY)
    Q_INTERFACES(automation::IAddIn)
  public:
    TTimingAddIn()
        : TAddInBase("Timing", "Changes the speed of the whole animation: twice as fast, half as "
                               "fast, or one delay for every frame.") {}

    int RegisterMenus() override {
        auto plugins = PluginsMenu();
        if (!plugins) return automation::E_FAIL_;
        auto timing = plugins->AddSubItem().Value;
        if (!timing) return automation::E_FAIL_;
        timing->SetCaption("&Timing");
        // A submenu holder works without a document.
        timing->SetDocDependent(false);
        auto run = [this](auto action) { return ApplicationHandler(app_, action); };
        const bool added =
            AddItem(timing, "Speed &x2", "Halves every frame's delay", 1,
                    run([](auto& a) { return ScaleDelays(a, 1, 2, "Speed x2"); })) &&
            AddItem(timing, "Speed x&1/2", "Doubles every frame's delay", 2,
                    run([](auto& a) { return ScaleDelays(a, 2, 1, "Speed x1/2"); })) &&
            AddItem(timing, "&Set all delays...", "Gives every frame the same delay", 3,
                    run([](auto& a) { return SetAllDelays(a); }));
        return added ? automation::S_OK_ : automation::E_FAIL_;
    }
};

} // namespace addins

#include "timing_addin.moc"
