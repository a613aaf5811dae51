// The system's words for a failed Windows call, and the error the runtime throws for one.
#pragma once

#include <windows.h>

#include "runtime/Exception.h"

#include <string>

namespace quennet {

// The platform's text for an error code, without the trailing period and line break; empty
// when the system has none.
std::string SystemErrorText(DWORD code);

// An HRESULT as eight hexadecimal digits, for codes the system has no text for.
std::string HResultText(HRESULT code);

// A Windows call failed: what the program was doing, then the system's reason.
class ESystemError : public Exception {
  public:
    // `code` defaults to the thread's last error, so throw right after the failing call.
    explicit ESystemError(const std::string& what, DWORD code = GetLastError());

    DWORD Code() const noexcept { return code_; }

  private:
    DWORD code_;
};

} // namespace quennet
