// The boundary between Qt and the program's event handlers. Qt does not
// support exceptions unwinding through its own frames, so every handler is
// connected through Guard: an error escaping the handler ends it there, goes
// to the application's ReportError, and Qt only ever sees a normal return.
#pragma once

#include <exception>

#include "application.h"
#include "errors.h"

template <typename Handler>
auto Guard(Handler handler)
{
    // noexcept: anything that is not an error of the program's family ends
    // the process here rather than unwinding into Qt.
    return [handler](auto&&...) noexcept {
        try {
            handler();
        } catch (const calc::Exception& error) {
            Application->ReportError(error);
        } catch (const std::exception& error) {
            Application->ReportError(error);
        }
    };
}
