#pragma once

// The number of GDI objects this process holds, for leak checks: compare it before and after.
//
// The system's own count (GetGuiResources) is 0 under Wine. There a handle's low 16 bits index the
// process's GDI handle table and its high 16 bits only repeat what the entry holds, and a handle
// whose high word is 0 is accepted for compatibility: probing every index with GetObjectType
// counts the live objects, stock objects included (a fixed number). On Windows the probe finds
// nothing and the system's count is used.

#include <windows.h>

#include <cstdint>

inline unsigned GdiObjectCount() {
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); n > 0)
        return n;
    unsigned count = 0;
    for (std::uintptr_t index = 1; index <= 0xFFFF; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0)
            ++count;
    return count;
}
