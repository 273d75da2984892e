#include "toolkit/win32/native/ComScope.h"

#include <objbase.h>

namespace win32 {

ComScope::ComScope() {
    const HRESULT result = CoInitialize(nullptr);
    FInitialized = SUCCEEDED(result);
}

ComScope::~ComScope() {
    if (FInitialized)
        CoUninitialize();
}

} // namespace win32
