#include "error_box_text.h"

#include <cstddef>

namespace {

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0U) == 0x80U; }

// The length of the UTF-8 sequence that a lead byte opens; 0 for a byte that
// cannot open a sequence of more than one byte (ASCII, a continuation byte,
// the overlong leads 0xC0/0xC1 and the bytes above 0xF4).
std::size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xC2U && lead <= 0xDFU) return 2;
    if (lead >= 0xE0U && lead <= 0xEFU) return 3;
    if (lead >= 0xF0U && lead <= 0xF4U) return 4;
    return 0;
}

// The last character of a non-empty text: the final UTF-8 sequence when the
// trailing run of continuation bytes belongs to a lead byte of exactly that
// length, otherwise (invalid or truncated UTF-8) the final byte alone, as on
// a system without multi-byte characters.
std::string_view LastCharacter(std::string_view text)
{
    std::size_t continuationBytes = 0;
    while (continuationBytes < 3 && continuationBytes < text.size() - 1 &&
           IsContinuationByte(static_cast<unsigned char>(text[text.size() - 1 - continuationBytes]))) {
        ++continuationBytes;
    }
    if (continuationBytes > 0) {
        const std::size_t leadPosition = text.size() - 1 - continuationBytes;
        if (SequenceLength(static_cast<unsigned char>(text[leadPosition])) == continuationBytes + 1) {
            return text.substr(leadPosition);
        }
    }
    return text.substr(text.size() - 1);
}

// Orders by unsigned byte value; where one is a prefix of the other, the
// longer is the greater (std::string_view::compare on char would compare
// signed bytes on this platform).
bool IsGreaterThanPeriod(std::string_view character)
{
    const auto first = static_cast<unsigned char>(character.front());
    if (first != '.') return first > '.';
    return character.size() > 1;
}

}  // namespace

std::string ErrorBoxText(std::string_view message)
{
    std::string text(message);
    if (!message.empty() && IsGreaterThanPeriod(LastCharacter(message))) {
        text += '.';
    }
    return text;
}
