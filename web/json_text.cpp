#include "web/json_text.h"

namespace orvane {

namespace {

// The text between escapes goes in whole: a snapshot's texts have few.
void AppendString(std::string &out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    std::size_t plain = 0; // the first character not yet written
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\')
            continue;
        out.append(text.data() + plain, i - plain);
        plain = i + 1;
        switch (byte) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default:
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xFu];
        }
    }
    out.append(text.data() + plain, text.size() - plain);
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
