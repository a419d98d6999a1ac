#include "pattern/number_text.h"

#include <array>
#include <charconv>

namespace orvane {

std::string NumberText(double value, std::string_view decimalSeparator)
{
    if (value == 0.0) // a negative zero prints as "0" too
        return "0";

    // to_chars is locale-free and rounds the 15th digit from the exact double.
    std::array<char, 40> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::general, 15);
    std::string text;
    for (const char *p = buffer.data(); p != end; ++p) {
        if (*p == '.')
            text += decimalSeparator;
        else if (*p == 'e')
            text += 'E';
        else
            text += *p;
    }
    static_cast<void>(error); // 40 characters hold every 15-digit double
    return text;
}

std::string IntegerText(std::int32_t value)
{
    return std::to_string(value);
}

} // namespace orvane
