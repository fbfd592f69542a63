#pragma once

#include "core/Exception.h"

// A length that has no pixel value on the printer (beyond the integer range, or not a number).
class EInvalidOp : public Exception {
  public:
    using Exception::Exception;
};
