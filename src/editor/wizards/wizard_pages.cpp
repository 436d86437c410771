#include "editor/wizards/wizard_pages.h"

#include <algorithm>

namespace editor {

QString WizardCaption(TWizardMode mode) {
    switch (mode) {
    case TWizardMode::Welcome:
        return "Welcome to GIF Loopwright";
    case TWizardMode::Animation:
        return "Animation Wizard";
    case TWizardMode::Optimization:
        return "Optimization Wizard";
    case TWizardMode::Tips:
        return "Tip of the Day";
    }
    return {};
}

QString PageTitle(int page) {
    static const char* const titles[] = {"Animation Dimensions",
                                         "Frame Position and Size",
                                         "Animation Loop and Frame Delay",
                                         "Frame Images",
                                         "Finish Wizard",
                                         "Animation Output ",
                                         "Palettes",
                                         "Frames",
                                         "Finish Wizard"};
    return page >= 0 && page <= LastOptimizationPage ? QString(titles[page]) : QString();
}

int HelpContext(TWizardMode mode) {
    return 300 + int(mode);
}

void TImageList::Select(int index) {
    selected_ = index >= 0 && index < Count() ? index : -1;
}

void TImageList::Add(const QStringList& paths) {
    if (paths.isEmpty()) return;
    paths_ += paths;
    selected_ = 0;
}

void TImageList::RemoveSelected() {
    if (selected_ < 0) return;
    paths_.removeAt(selected_);
    selected_ = paths_.isEmpty() ? -1 : std::min(selected_, Count() - 1);
}

void TImageList::MoveUp() {
    if (!CanMoveUp()) return;
    paths_.swapItemsAt(selected_, selected_ - 1);
    --selected_;
}

void TImageList::MoveDown() {
    if (!CanMoveDown()) return;
    paths_.swapItemsAt(selected_, selected_ + 1);
    ++selected_;
}

TWizardPages::TWizardPages(TWizardMode mode) : mode_(mode) {
    if (mode == TWizardMode::Animation) page_ = FirstAnimationPage;
    if (mode == TWizardMode::Optimization) page_ = FirstOptimizationPage;
}

void TWizardPages::SwitchToAnimationWizard() {
    mode_ = TWizardMode::Animation;
    page_ = FirstAnimationPage;
}

bool TWizardPages::BackEnabled() const {
    return IsWizard() && page_ != FirstAnimationPage && page_ != FirstOptimizationPage;
}

bool TWizardPages::NextEnabled(int imageCount) const {
    if (!IsWizard()) return false;
    // The images page needs a picture; so does the finish page after it (an emptied list
    // cannot reach it, the check only guards a list emptied behind the wizard's back).
    if (page_ == ImagesPage || page_ == LastAnimationPage) return imageCount > 0;
    return true;
}

QString TWizardPages::NextCaption() const {
    return OnFinishPage() ? "&Finish" : "&Next >";
}

bool TWizardPages::Next() {
    if (!IsWizard() || OnFinishPage()) return false;
    ++page_;
    return true;
}

bool TWizardPages::Back() {
    if (!BackEnabled()) return false;
    --page_;
    return true;
}

} // namespace editor
