// Which lines of /proc/self/maps are font files whose pages the window may let
// go: only read-only private mappings of a font file, never memory written,
// anonymous, a library or a file since deleted.
#include <gtest/gtest.h>

#include "window/font_pages.h"

namespace orvane::testing {
namespace {

struct MapsLine {
    const char *line;
    std::optional<MappedRange> font;
};

const MapsLine kMapsLines[] = {
    {"7f0a12340000-7f0a135a0000 r--p 00000000 fe:01 393221                     "
     "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
     MappedRange{0x7f0a12340000, 0x7f0a135a0000}},
    {"7f0a12340000-7f0a12350000 r--p 00000000 fe:01 12 /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf\n",
     MappedRange{0x7f0a12340000, 0x7f0a12350000}},
    // A path with a space, an extension in capitals.
    {"1000-3000 r--p 00000000 08:02 7 /home/ana/My Fonts/ARIAL.TTF", MappedRange{0x1000, 0x3000}},
    {"1000-3000 r--p 00000000 08:02 7 /usr/share/fonts/a.otf", MappedRange{0x1000, 0x3000}},
    {"1000-3000 r--p 00000000 08:02 7 /usr/share/fonts/a.otc", MappedRange{0x1000, 0x3000}},
    {"1000-3000 r--p 00000000 08:02 7 /usr/share/fonts/type1/a.pfb", MappedRange{0x1000, 0x3000}},
    // Written, shared, executable, or writable: not the face FreeType reads.
    {"1000-3000 rw-p 00000000 08:02 7 /usr/share/fonts/a.ttf", std::nullopt},
    {"1000-3000 r--s 00000000 08:02 7 /usr/share/fonts/a.ttf", std::nullopt},
    {"1000-3000 r-xp 00000000 08:02 7 /usr/share/fonts/a.ttf", std::nullopt},
    // Anything that is not a font file.
    {"1000-3000 r--p 00000000 08:02 7 /usr/lib/x86_64-linux-gnu/libfreetype.so.6.18.3", std::nullopt},
    {"1000-3000 r--p 00000000 08:02 7 /var/cache/fontconfig/0b1bcc92b4d25cc154d77dafe3bceaa0-le64.cache-8",
     std::nullopt},
    {"1000-3000 r--p 00000000 08:02 7 /usr/share/fonts/a.ttf.dpkg-new", std::nullopt},
    {"1000-3000 r--p 00000000 00:00 0 ", std::nullopt},
    {"1000-3000 r--p 00000000 00:00 0 [heap]", std::nullopt},
    {"1000-3000 r--p 00000000 00:00 0", std::nullopt},
    // Its file gone: the pages could not be read again.
    {"1000-3000 r--p 00000000 08:02 7 /usr/share/fonts/a.ttf (deleted)", std::nullopt},
    // Not a range.
    {"3000-1000 r--p 00000000 08:02 7 /usr/share/fonts/a.ttf", std::nullopt},
    {"10g0-3000 r--p 00000000 08:02 7 /usr/share/fonts/a.ttf", std::nullopt},
    {"-3000 r--p 00000000 08:02 7 /usr/share/fonts/a.ttf", std::nullopt},
    {"", std::nullopt},
};

TEST(FontPages, OnlyReadOnlyMappingsOfFontFilesAreLetGo)
{
    for (const MapsLine &entry : kMapsLines)
        EXPECT_EQ(FontFileMapping(entry.line), entry.font) << entry.line;
}

} // namespace
} // namespace orvane::testing
