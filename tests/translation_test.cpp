// The choice of a language from the user's list, the counted forms and the
// placeholders: the rules the desktop and the page share.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "pattern/pattern_description.h"
#include "pattern/translation.h"

namespace orvane {
namespace {

TEST(Translation, ChoosesTheFirstOfTheUsersLanguagesWithACatalogue)
{
    struct Case {
        std::vector<std::string> preferred;
        const char *chosen;
    };
    const Case cases[] = {
        {{"de-DE", "de"}, "de"},       {{"de_AT"}, "de"},           {{"pt-BR"}, "pt-BR"},
        {{"pt_BR"}, "pt-BR"},          {{"PT-br"}, "pt-BR"},        {{"pt-PT"}, "pt-BR"},
        {{"sv-SE", "fr-CA"}, "fr"},    {{"zh-Hans-CN"}, "zh-CN"},   {{"zh-CN"}, "zh-CN"},
        {{"zh-TW", "ja"}, "ja"},       {{"zh-Hant-HK"}, "en"},      {{"ko-KR"}, "ko"},
        {{"en-GB", "de"}, "en"},       {{"xx", "", "-"}, "en"},     {{}, "en"},
        {{"nl-BE", "pl"}, "nl"},       {{"it-CH"}, "it"},           {{"es-419"}, "es"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(ChooseLanguage(c.preferred).code, c.chosen) << ::testing::PrintToString(c.preferred);
}

// Each language's counted form of the angle, and its decimal separator in
// what is spoken, as a listener hears the probe.
TEST(Translation, CountedFormsAndSeparatorsFollowTheLanguage)
{
    struct Case {
        const char *language;
        int angle;
        const char *spoken;
    };
    const Case cases[] = {
        {"en", 1, "1 degree, gain 4.61 dB"},   {"en", -1, "-1 degree, gain 4.61 dB"},
        {"en", 0, "0 degrees, gain 4.61 dB"},  {"fr", 0, "0 degré, gain 4,61 dB"},
        {"fr", -1, "-1 degré, gain 4,61 dB"},  {"fr", 2, "2 degrés, gain 4,61 dB"},
        {"pl", 1, "1 stopień, wzmocnienie 4,61 dB"},  {"pl", 3, "3 stopnie, wzmocnienie 4,61 dB"},
        {"pl", 12, "12 stopni, wzmocnienie 4,61 dB"}, {"pl", -22, "-22 stopnie, wzmocnienie 4,61 dB"},
        {"pl", 105, "105 stopni, wzmocnienie 4,61 dB"}, {"ja", 1, "1 度、ゲイン 4.61 dB"},
        {"pt-BR", 1, "1 grau, ganho 4,61 dB"},  {"de", 90, "90 Grad, Pegel 4,61 dB"},
    };
    for (const Case &c : cases) {
        const Language &language = *FindLanguage(c.language);
        SetLanguage(language);
        EXPECT_EQ(ProbeAnnouncement(c.angle, 1.7, language.decimalSeparator), c.spoken);
    }
    SetLanguage(English());
}

// The table the build writes: each key once and in the order the lookup's
// binary search needs, English reading the keys themselves, and every other
// language a text for every key and each counted key's forms.
TEST(Translation, EveryKeyOnceInOrderAndTranslatedInEveryLanguage)
{
    const CatalogueTable &table = Catalogues();
    ASSERT_FALSE(table.keys.empty());
    const auto key = [](const CatalogueKey &k) { return std::pair<std::string_view, std::string_view>(k.context, k.id); };
    for (std::size_t i = 1; i < table.keys.size(); ++i)
        EXPECT_LT(key(table.keys[i - 1]), key(table.keys[i])) << table.keys[i].context << "|" << table.keys[i].id;
    EXPECT_EQ(table.languages.size() + 1, Languages().size()); // English needs no translations
    for (const Language &language : Languages()) {
        SetLanguage(language);
        for (const CatalogueKey &k : table.keys) {
            const std::string_view text = Tr(k.context, k.id);
            EXPECT_FALSE(text.empty()) << language.code << " " << k.id;
            if (&language == &English()) {
                EXPECT_EQ(text.data(), k.id) << k.id; // the key itself, not a copy of it
            }
        }
        // English counts with the code's own two forms (below); the others
        // from their catalogues, never the empty plural given here.
        for (const std::uint16_t counted : &language == &English() ? std::span<const std::uint16_t>() : table.counted)
            for (const std::int64_t n : {1, 2, 5, 22})
                EXPECT_NE(TrPlural(table.keys[counted].context, table.keys[counted].id, "", n), "")
                    << language.code << " " << table.keys[counted].id << " " << n;
    }
    SetLanguage(English());
    EXPECT_EQ(TrPlural("page", "%n degree", "%n degrees", 2), "2 degrees");
}

TEST(Translation, PlaceholdersGoWhereTheTranslationPutsThem)
{
    EXPECT_EQ(Format("%2 before %1, %1 again; 100%", {"a", "b"}), "b before a, a again; 100%");
    EXPECT_EQ(Format("%3 has no argument", {"a"}), "%3 has no argument");
    EXPECT_EQ(FullForm("Superniere\xC2\x9CSuper"), "Superniere");
    EXPECT_EQ(FullForm("Omni"), "Omni");
}

} // namespace
} // namespace orvane
