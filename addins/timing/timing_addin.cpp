// "Timing": Speed x2, Speed x1/2 and "Set all delays..." under Plug-ins|Timing.
#include "common/menu_handler.h"
#include "timing/timing.h"

#include <QObject>

namespace addins {

class TTimingAddIn final : public QObject, public automation::IAddIn {
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
    int GetDescription(QString& text) override {
        text = "Changes the speed of the whole animation: twice as fast, half as fast, or one "
               "delay for every frame.";
        return automation::S_OK_;
    }
    int GetTitle(QString& text) override {
        text = "Timing";
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

#include "timing_addin.moc"
