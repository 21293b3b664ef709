// The text of an error box: the error's message, closed with a half-width
// full stop unless it already ends in a punctuation or control character.
#pragma once

#include <string>
#include <string_view>

// The message (UTF-8) as the error box shows it. An empty message stays
// empty. Otherwise the message's last character is compared with "." by
// unsigned byte value: when it is greater, one "." (0x2E) is appended. A
// message ending in a multi-byte character therefore always gets the period;
// one ending in a single-byte character of code 0x2E or below (the period,
// the space, a control character, "!" to "-") is left as it is.
std::string ErrorBoxText(std::string_view message);
