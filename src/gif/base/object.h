// The root classes of the library's objects: every warning sender and every
// picture is a TObject, and pictures copy themselves through TPersistent::Assign.
#pragma once

#include <string>

namespace gif {

class TObject {
public:
    virtual ~TObject() = default;
    virtual const char* ClassName() const { return "TObject"; }
};

class TPersistent : public TObject {
public:
    const char* ClassName() const override { return "TPersistent"; }

    // Copies `source` into this object. The default asks the source to assign
    // itself to this (AssignTo) and raises EConvertError when neither knows how.
    virtual void Assign(const TPersistent* source);

protected:
    // Copies this object into `dest`; the default raises EConvertError.
    virtual void AssignTo(TPersistent* dest) const;

    // Raises "Cannot assign a <source> to a <dest>".
    [[noreturn]] void AssignError(const TPersistent* source) const;
};

// "Cannot assign a <source> to a <dest>" with "nil" for a missing source.
std::string AssignErrorText(const TObject* source, const TObject* dest);

} // namespace gif
