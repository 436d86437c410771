#include "gif/base/object.h"

#include "gif/base/exception.h"
#include "gif/base/format.h"
#include "gif/base/messages.h"

namespace gif {

void TPersistent::Assign(const TPersistent* source) {
    if (source) {
        source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) const {
    dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const {
    throw EConvertError(AssignErrorText(source, this));
}

std::string AssignErrorText(const TObject* source, const TObject* dest) {
    return Format(msg::CannotAssign, source ? source->ClassName() : "nil",
                  dest ? dest->ClassName() : "nil");
}

} // namespace gif
