// The one table of the file boundary's Win32 calls.
#include "win32_calls.h"

namespace kov::detail {

Win32Calls& Calls() {
    static Win32Calls calls;
    return calls;
}

}  // namespace kov::detail
