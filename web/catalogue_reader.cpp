// The languages' texts on the page: its script carries them as text
// (ORVANE_CATALOGUES, written from the catalogues by scripts/catalogues.py),
// where they compress as text, and the module holds the keys alone. The module
// asks the page for a language's texts when that language is chosen:
// Module.page.catalogue(code) gives them as an array, null where a language
// has fewer forms, or nothing.
#include <emscripten.h>

#include <optional>
#include <string>
#include <string_view>

#include "pattern/translation.h"

// The texts' length in UTF-8, each form ended by a NUL; -1 where the page has
// none. The text waits in Module for the copy.
EM_JS(int, PageCatalogueLength, (const char *code, int length), {
    var forms = Module.page && Module.page.catalogue ? Module.page.catalogue(UTF8ToString(code, length)) : null;
    if (!forms)
        return -1;
    var end = String.fromCharCode(0);
    Module.catalogueText = forms.map(function(form) { return (form || "") + end; }).join("");
    return lengthBytesUTF8(Module.catalogueText);
});
EM_JS(void, PageCatalogueCopy, (char *to, int size), {
    stringToUTF8(Module.catalogueText, to, size + 1);
    delete Module.catalogueText;
});

namespace {

std::optional<std::string> PageCatalogue(std::string_view code)
{
    const int length = PageCatalogueLength(code.data(), static_cast<int>(code.size()));
    if (length < 0)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(length), '\0');
    PageCatalogueCopy(text.data(), length);
    return text;
}

// Set before main and before the page's first call.
[[maybe_unused]] const bool installed = (orvane::SetCatalogueReader(&PageCatalogue), true);

} // namespace
