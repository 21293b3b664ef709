#include "errors.h"

namespace calc {

EInvalidOp::EInvalidOp() : EMathError("不正な浮動小数点数演算命令") {}
EOverflow::EOverflow() : EMathError("浮動小数点数のオーバーフロー") {}
EZeroDivide::EZeroDivide() : EMathError("0 による浮動小数点数除算") {}
EUnderflow::EUnderflow() : EMathError("浮動小数点数のアンダーフロー") {}

// Built by concatenation, never by a printf-style formatter: the text is the
// user's, and a "%" in it must reach the message unchanged.
EConvertError::EConvertError(const std::string& rejectedText)
    : Exception("'" + rejectedText + "' は浮動小数点数ではありません") {}

EAbort::EAbort() : Exception("Operation aborted") {}

}  // namespace calc
