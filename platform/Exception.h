#pragma once
// The exception types that the string, list and file layer raises.

#include <stdexcept>

#include "UnicodeString.h"

class Exception : public std::runtime_error {
public:
    explicit Exception(const UnicodeString& message) : std::runtime_error(message.ToUtf8()), message_(message) {}
    UnicodeString Message() const { return message_; }

private:
    UnicodeString message_;
};

// Text that is not a valid number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a string or a list.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};
