#pragma once

#include "toolkit/Exception.h"

#include <functional>
#include <string>

// The message of the program's exception that `action` throws, or "(no exception)".
inline std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(no exception)";
}
