// Exceptions raised by the GIF library.
#pragma once

#include <stdexcept>
#include <string>

namespace gif {

// Every error of the GIF library proper; the message is one of the texts in messages.h.
class GIFException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A picture could not be assigned to another ("Cannot assign a TIcon to a TGIFSubImage").
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An index outside a list ("List index out of bounds (5)").
class EListError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// A file or stream refused to open, read or write.
class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Memory for a picture could not be allocated.
class EOutOfMemory : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Swallowed by the frame-bitmap builder: a quiet way to abandon a build.
class EAbort : public std::runtime_error {
public:
    EAbort() : std::runtime_error("Operation aborted") {}
};

} // namespace gif
