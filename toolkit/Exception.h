#pragma once

#include "toolkit/Types.h"

#include <exception>
#include <utility>

// The one exception type of the program: a failure carries a message for the user, nothing else.
class Exception : public std::exception {
public:
    explicit Exception(String message) : FMessage(std::move(message)) {}

    const String& Message() const { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    String FMessage;
};
