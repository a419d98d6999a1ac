#include "pattern/translation.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <atomic>
#include <set>

namespace orvane {

namespace {

// The languages, English first. A new language: its catalogue po/CODE.po and a
// line here (the tests take every language from this table).
constexpr auto kLanguages = std::to_array<Language>({
    {"en", "English", ".", PluralRule::OneOther, ""},
    {"de", "Deutsch", ",", PluralRule::OneOther, ""},
    {"fr", "Français", ",", PluralRule::ZeroOneOther, ""},
    {"es", "Español", ",", PluralRule::OneOther, ""},
    {"it", "Italiano", ",", PluralRule::OneOther, ""},
    {"pt-BR", "Português (Brasil)", ",", PluralRule::ZeroOneOther, ""},
    {"nl", "Nederlands", ",", PluralRule::OneOther, ""},
    {"pl", "Polski", ",", PluralRule::Polish, ""},
    {"ja", "日本語", ".", PluralRule::Single, "Noto Sans CJK JP"},
    {"zh-CN", "简体中文", ".", PluralRule::Single, "Noto Sans CJK SC"},
    {"ko", "한국어", ".", PluralRule::Single, "Noto Sans CJK KR"},
});

constexpr char32_t kVariantSeparator = 0x9C; // U+009C, two bytes in UTF-8
constexpr std::string_view kVariantUtf8 = "\xC2\x9C";

const Language *current = &kLanguages[0];
const Catalogue *currentCatalogue = nullptr;

// The languages read through the reader: their texts, and the table's view of them.
struct ReadCatalogue {
    std::string code;
    std::string text;
    std::vector<const char *> forms;
    Catalogue catalogue;
};
CatalogueReader reader = nullptr;
std::vector<std::unique_ptr<ReadCatalogue>> read;

// Held while `missed` changes or is read, by any thread that translates. A
// flag rather than a std::mutex, whose failure to lock, a system error, would
// keep the C library's printf in the page's module for a message it never
// shows.
std::atomic_flag missedBusy;
std::set<std::string> missed;

class MissedHold {
public:
    MissedHold()
    {
        while (missedBusy.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~MissedHold() { missedBusy.clear(std::memory_order_release); }
    MissedHold(const MissedHold &) = delete;
    MissedHold &operator=(const MissedHold &) = delete;
};

std::string Canonical(std::string_view code)
{
    std::string out;
    for (const char c : code)
        out += c == '_' ? '-' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return out;
}

// The texts of `code` from the reader, split into their forms; null where
// the reader has none, or not one form for each of the table's.
const Catalogue *Read(std::string_view code)
{
    std::optional<std::string> text = reader ? reader(code) : std::nullopt;
    if (!text)
        return nullptr;
    const CatalogueTable &table = Catalogues();
    auto entry = std::make_unique<ReadCatalogue>();
    entry->code = code;
    entry->text = std::move(*text);
    for (std::size_t at = 0; at < entry->text.size();) {
        const std::size_t end = entry->text.find('\0', at);
        if (end == std::string::npos)
            return nullptr;
        entry->forms.push_back(end > at ? entry->text.c_str() + at : nullptr);
        at = end + 1;
    }
    if (entry->forms.size() != table.keys.size() + 2 * table.counted.size())
        return nullptr;
    entry->catalogue = {entry->code.c_str(), entry->forms.data()};
    read.push_back(std::move(entry));
    return &read.back()->catalogue;
}

const Catalogue *CatalogueOf(const Language &language)
{
    for (const Catalogue &catalogue : Catalogues().languages)
        if (std::string_view(catalogue.code) == language.code)
            return &catalogue;
    for (const auto &entry : read)
        if (entry->code == language.code)
            return &entry->catalogue;
    return &language == &English() ? nullptr : Read(language.code);
}

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// The index of a text's key, or kNotFound (and the text noted as missed).
std::size_t Find(std::string_view context, std::string_view id)
{
    const std::span<const CatalogueKey> keys = Catalogues().keys;
    const auto key = [](const CatalogueKey &k) { return std::pair<std::string_view, std::string_view>(k.context, k.id); };
    const std::pair<std::string_view, std::string_view> wanted(context, id);
    const auto it = std::lower_bound(keys.begin(), keys.end(), wanted,
                                     [&](const CatalogueKey &k, const auto &w) { return key(k) < w; });
    if (it != keys.end() && key(*it) == wanted)
        return static_cast<std::size_t>(it - keys.begin());
    const MissedHold hold;
    missed.insert(std::string(context) + "|" + std::string(id));
    return kNotFound;
}

// Form `form` (0 to 2) of the text of key `index` in the current language,
// null where it has none; in English the text itself for form 0.
const char *FormOf(std::size_t index, std::size_t form)
{
    const CatalogueTable &table = Catalogues();
    if (form == 0)
        return currentCatalogue ? currentCatalogue->forms[index] : table.keys[index].id;
    const auto counted = std::lower_bound(table.counted.begin(), table.counted.end(), index);
    if (!currentCatalogue || counted == table.counted.end() || *counted != index)
        return nullptr;
    return currentCatalogue->forms[table.keys.size() + 2 * static_cast<std::size_t>(counted - table.counted.begin()) + form - 1];
}

std::size_t FormIndex(PluralRule rule, std::int64_t n)
{
    const std::int64_t a = n < 0 ? -n : n;
    switch (rule) {
    case PluralRule::OneOther: return a == 1 ? 0 : 1;
    case PluralRule::ZeroOneOther: return a <= 1 ? 0 : 1;
    case PluralRule::Polish:
        if (a == 1)
            return 0;
        return a % 10 >= 2 && a % 10 <= 4 && (a % 100 < 12 || a % 100 > 14) ? 1 : 2;
    case PluralRule::Single: return 0;
    }
    return 0;
}

} // namespace

std::span<const Language> Languages()
{
    return kLanguages;
}

const Language &English()
{
    return kLanguages[0];
}

const Language *FindLanguage(std::string_view code)
{
    const std::string wanted = Canonical(code);
    if (wanted.empty())
        return nullptr;
    for (const Language &language : kLanguages)
        if (Canonical(language.code) == wanted)
            return &language;
    const std::string base = wanted.substr(0, wanted.find('-'));
    if (base == "zh") { // only the simplified characters have a catalogue
        for (const std::string_view traditional : {"-tw", "-hk", "-mo", "-hant"})
            if (wanted.find(traditional) != std::string::npos)
                return nullptr;
    }
    for (const Language &language : kLanguages) {
        const std::string own = Canonical(language.code);
        if (own.substr(0, own.find('-')) == base)
            return &language;
    }
    return nullptr;
}

const Language &ChooseLanguage(std::span<const std::string> preferred)
{
    for (const std::string &code : preferred)
        if (const Language *language = FindLanguage(code))
            return *language;
    return English();
}

const Language &CurrentLanguage()
{
    return *current;
}

void SetLanguage(const Language &language)
{
    current = &language;
    currentCatalogue = CatalogueOf(language);
}

std::string_view Tr(std::string_view context, std::string_view text)
{
    const std::size_t index = Find(context, text);
    return index != kNotFound ? std::string_view(FormOf(index, 0)) : text;
}

std::string TrPlural(std::string_view context, std::string_view singular, std::string_view plural,
                     std::int64_t n)
{
    const std::size_t index = Find(context, singular);
    std::string_view form;
    if (index != kNotFound && currentCatalogue) {
        std::size_t which = FormIndex(current->plural, n);
        while (which > 0 && !FormOf(index, which))
            --which;
        form = FormOf(index, which);
    } else {
        form = FormIndex(PluralRule::OneOther, n) == 0 ? singular : plural;
    }
    std::string out(form);
    const std::string number = std::to_string(n);
    for (std::size_t at = out.find("%n"); at != std::string::npos; at = out.find("%n", at + number.size()))
        out.replace(at, 2, number);
    return out;
}

std::string_view FullForm(std::string_view text)
{
    static_cast<void>(kVariantSeparator);
    return text.substr(0, text.find(kVariantUtf8));
}

std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && index < args.size()) {
            out += args.begin()[index];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

void SetCatalogueReader(CatalogueReader source)
{
    reader = source;
}

std::vector<std::string> MissedTexts()
{
    const MissedHold hold;
    return {missed.begin(), missed.end()};
}

} // namespace orvane
