#pragma once
// TTE_Base: the base of the streamable helper objects of the highlighting
// runtime (character groups, keyword tables, macro tables, key map,
// settings). An object's stream form is the single definition of its
// content: Clone and Assign are implemented as "save to a memory stream,
// rewind, load", so a class only has to get SaveToStream/LoadFromStream
// right to be copyable.

#include "common/Stream.h"

#include <memory>

namespace torvane {

class TTE_Base {
public:
    TTE_Base() = default;
    virtual ~TTE_Base() = default;

    // A new object of the same class with the same content.
    std::unique_ptr<TTE_Base> Clone() const;
    // Replaces this object's content with the source's. A source of another
    // class raises ETessary "Cannot assign a %s to a %s".
    virtual void Assign(const TTE_Base& source);

    virtual void SaveToStream(TStream& stream) const = 0;
    virtual void LoadFromStream(TStream& stream) = 0;

    virtual const char* ClassName() const noexcept = 0;

protected:
    // Value-like subclasses (character groups) may be copied directly; the
    // others delete copying and go through Assign.
    TTE_Base(const TTE_Base&) = default;
    TTE_Base& operator=(const TTE_Base&) = default;

    // An empty object of the most derived class (used by Clone).
    virtual std::unique_ptr<TTE_Base> NewInstance() const = 0;
    // Raises the class-mismatch error unless source has this object's class.
    void CheckAssignable(const TTE_Base& source) const;
};

} // namespace torvane
