#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// The one writer of the JSON the page reads (its layout, texts, figures and
// languages), so that every text comes through JSON.parse as written.

// `text` as a JSON string, quotes included: the quote, the backslash and every
// control character escaped.
std::string JsonString(std::string_view text);

// "name":value, with `value` already JSON.
std::string JsonField(std::string_view name, std::string_view value);

// {a,b,...} and [a,b,...] of items already JSON.
std::string JsonObject(const std::vector<std::string> &fields);
std::string JsonArray(const std::vector<std::string> &items);

} // namespace orvane
