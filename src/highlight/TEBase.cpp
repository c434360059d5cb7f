#include "highlight/TEBase.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <typeinfo>

namespace torvane {

std::unique_ptr<TTE_Base> TTE_Base::Clone() const {
    std::unique_ptr<TTE_Base> copy = NewInstance();
    copy->Assign(*this);
    return copy;
}

void TTE_Base::CheckAssignable(const TTE_Base& source) const {
    if (typeid(source) != typeid(*this))
        throw ETessary(FormatStr<msg::SCannotAssignClass>(source.ClassName(), ClassName()));
}

void TTE_Base::Assign(const TTE_Base& source) {
    CheckAssignable(source);
    TMemoryStream buffer;
    source.SaveToStream(buffer);
    buffer.SetPosition(0);
    LoadFromStream(buffer);
}

} // namespace torvane
