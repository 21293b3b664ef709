#include <cstdint>

#include "discharge.h"
#include "powers_of_ten.h"

namespace calc {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int DigitValue(char c) { return c - '0'; }

// Exponent digits are taken until the magnitude reaches this; a digit left
// over after that is an invalid byte. So at most 4999 can be written, and
// leading zeros cost nothing.
constexpr int kExponentStop = 500;

// The text read so far, byte by byte; Accept* functions advance past what they
// match and report whether they did.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ == text_.size(); }
    char Peek() const { return text_[pos_]; }
    void Advance() { ++pos_; }

    bool Accept(char c)
    {
        if (!AtEnd() && Peek() == c) {
            Advance();
            return true;
        }
        return false;
    }

    bool AcceptDigit(int& value)
    {
        if (!AtEnd() && IsDigit(Peek())) {
            value = DigitValue(Peek());
            Advance();
            return true;
        }
        return false;
    }

    // Only the byte 0x20 is a blank: not tab, not line breaks, not U+3000.
    void SkipBlanks()
    {
        while (Accept(' ')) {
        }
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

Extended ParsePressureText(std::string_view text)
{
    const ExtendedEnvironment environment;  // every fault masked: overflow gives ∞
    const char mark = DecimalMark;
    const auto reject = [&] { return EConvertError(std::string(text)); };

    Reader in(text);
    in.SkipBlanks();

    bool negative = false;
    if (in.Accept('-')) {
        negative = true;
    } else {
        in.Accept('+');
    }

    // Each step rounds once after the multiplication and once after the
    // addition; both are exact while v stays below 2^64.
    const Extended ten = Extended::FromUint64(10);
    Extended v;
    bool sawMantissa = false;
    int digit = 0;
    // Once v is infinite it stays so, and the text is rejected at the end;
    // the remaining digits are only read, which keeps a megabyte of them cheap.
    const auto accumulate = [&](int d) {
        if (!v.IsInfinite()) {
            v = v * ten + Extended::FromUint64(static_cast<std::uint64_t>(d));
        }
    };
    while (in.AcceptDigit(digit)) {
        accumulate(digit);
        sawMantissa = true;
    }
    std::int64_t fractionDigits = 0;
    if (in.Accept(mark)) {
        sawMantissa = true;
        while (in.AcceptDigit(digit)) {
            accumulate(digit);
            ++fractionDigits;
        }
    }
    if (!sawMantissa) {
        throw reject();
    }

    std::int64_t exponent = 0;
    if (in.Accept('E') || in.Accept('e')) {
        bool negativeExponent = false;
        if (in.Accept('-')) {
            negativeExponent = true;
        } else {
            in.Accept('+');
        }
        int magnitude = 0;
        while (magnitude < kExponentStop && in.AcceptDigit(digit)) {
            magnitude = 10 * magnitude + digit;
        }
        exponent = negativeExponent ? -magnitude : magnitude;
    }

    in.SkipBlanks();
    if (!in.AtEnd()) {
        throw reject();
    }

    if (!v.IsInfinite()) {
        v = ScaleByPowerOfTen(v, exponent - fractionDigits);
    }
    if (v.IsInfinite()) {
        throw reject();
    }
    return negative ? -v : v;
}

}  // namespace calc
