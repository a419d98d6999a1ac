#pragma once

#include <string>
#include <string_view>

namespace orvane {

// The one writer of the JSON the page reads (its layout, texts, figures and
// languages), so that every text comes through JSON.parse as written.

// `text` as a JSON string, quotes included: the quote, the backslash and every
// control character escaped.
std::string JsonString(std::string_view text);

// Writes one JSON text piece by piece into one string: every JSON text the
// page reads (built of separate texts joined, the larger ones took some 20 KB
// more WebAssembly). A comma goes before every item but the first of an
// object or array, and none after a key.
class JsonWriter {
public:
    JsonWriter &begin(char bracket); // '{' or '['
    JsonWriter &end(char bracket);   // '}' or ']'
    JsonWriter &key(std::string_view name);
    JsonWriter &string(std::string_view text);
    JsonWriter &number(long long value);
    JsonWriter &boolean(bool value);
    JsonWriter &raw(std::string_view json); // a value that is JSON already
    // A key and its value.
    JsonWriter &field(std::string_view name, std::string_view text) { return key(name).string(text); }
    JsonWriter &field(std::string_view name, const char *text) { return key(name).string(text); }
    JsonWriter &field(std::string_view name, int value) { return key(name).number(value); }
    JsonWriter &field(std::string_view name, bool value) { return key(name).boolean(value); }
    const std::string &text() const { return out_; }

private:
    void Separate();
    std::string out_;
    bool first_ = true; // no comma before the next item
};

} // namespace orvane
