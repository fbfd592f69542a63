#pragma once

#include "core/Exception.h"

// A registry operation refused: a value of the wrong type, a value that cannot be read, or a
// store file that cannot be used.
class ERegistryException : public Exception {
  public:
    using Exception::Exception;
};
