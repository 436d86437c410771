// An add-in for the loader's tests. TEST_ADDIN_TITLE names it; TEST_ADDIN_FAIL_TITLE makes
// GetTitle fail. It adds one item under "Plug-ins" whose handler counts its calls.
#include "automation/addins/addin.h"

#include <QObject>

#ifndef TEST_ADDIN_TITLE
#define TEST_ADDIN_TITLE "Test Add-in"
#endif

class TTestAddIn final : public QObject, public automation::IAddIn {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID LOOPWRIGHT_ADDIN_CATEGORY)
    Q_INTERFACES(automation::IAddIn)
  public:
    int SetApplication(std::shared_ptr<automation::IGIFLoopwrightApplication> app) override {
        app_ = std::move(app);
        return automation::S_OK_;
    }
    int RegisterMenus() override {
        auto menu = automation::AsMenuItem(app_->Menu("Plug-ins").Value);
        if (!menu) return automation::E_FAIL_;
        auto item = menu->AddSubItem().Value;
        item->SetCaption(TEST_ADDIN_TITLE " Item");
        return automation::S_OK_;
    }
    int GetDescription(QString& text) override {
        text = "Describes " TEST_ADDIN_TITLE;
        return automation::S_OK_;
    }
    int GetTitle(QString& text) override {
#ifdef TEST_ADDIN_FAIL_TITLE
        (void)text;
        return automation::E_FAIL_;
#else
        text = TEST_ADDIN_TITLE;
        return automation::S_OK_;
#endif
    }
    int GetVersion(QString& text) override {
        text = "1.2.3";
        return automation::S_OK_;
    }

  private:
    std::shared_ptr<automation::IGIFLoopwrightApplication> app_;
};

#include "test_addin.moc"
