#pragma once

#include <string>

namespace orvane {

// Hands a text to the page: it stays valid until the next call that returns one.
inline const char *Return(std::string text)
{
    static std::string returned;
    returned = std::move(text);
    return returned.c_str();
}

} // namespace orvane
