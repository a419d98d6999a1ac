#include "web/json_text.h"

namespace orvane {

namespace {

void AppendString(std::string &out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default:
            if (byte < 0x20) {
                out += "\\u00";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xFu];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

} // namespace

std::string JsonString(std::string_view text)
{
    std::string out;
    AppendString(out, text);
    return out;
}

void JsonWriter::Separate()
{
    if (!first_)
        out_ += ',';
    first_ = false;
}

JsonWriter &JsonWriter::begin(char bracket)
{
    Separate();
    out_ += bracket;
    first_ = true;
    return *this;
}

JsonWriter &JsonWriter::end(char bracket)
{
    out_ += bracket;
    first_ = false;
    return *this;
}

JsonWriter &JsonWriter::key(std::string_view name)
{
    Separate();
    AppendString(out_, name);
    out_ += ':';
    first_ = true;
    return *this;
}

JsonWriter &JsonWriter::string(std::string_view text)
{
    Separate();
    AppendString(out_, text);
    return *this;
}

JsonWriter &JsonWriter::number(long long value)
{
    return raw(std::to_string(value));
}

JsonWriter &JsonWriter::boolean(bool value)
{
    return raw(value ? "true" : "false");
}

JsonWriter &JsonWriter::raw(std::string_view json)
{
    Separate();
    out_ += json;
    return *this;
}

} // namespace orvane
