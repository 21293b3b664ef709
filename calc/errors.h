// The error family of the calculator. Every failure is raised as one of these
// and carries exactly one message text (UTF-8). Nothing in the calculation
// catches them; the application frame shows them to the user.
#pragma once

#include <exception>
#include <string>

namespace calc {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Errors that processor faults produce.
class EExternal : public Exception {
    using Exception::Exception;
};

class EMathError : public EExternal {
    using EExternal::EExternal;
};

class EInvalidOp : public EMathError {
public:
    EInvalidOp();
};

class EOverflow : public EMathError {
public:
    EOverflow();
};

class EZeroDivide : public EMathError {
public:
    EZeroDivide();
};

class EUnderflow : public EMathError {
public:
    EUnderflow();
};

// A pressure text that is not a number; the message quotes the text.
class EConvertError : public Exception {
public:
    explicit EConvertError(const std::string& rejectedText);
};

// The silent error: reported to nobody. The program never raises it itself.
class EAbort : public Exception {
public:
    EAbort();
    using Exception::Exception;
};

}  // namespace calc
