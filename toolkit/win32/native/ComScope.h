#pragma once

namespace win32 {

// CoInitialize for the life of the main window, CoUninitialize after it when it succeeded.
class ComScope {
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool Initialized() const { return FInitialized; }

private:
    bool FInitialized = false;
};

} // namespace win32
