#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include <QObject>

class QWidget;

namespace orvane {

// FreeType reads a face from its file mapped whole, and each glyph it loads
// maps the pages of its outline and subroutines together with the 64 KB that
// the kernel's fault-around maps beside each (madvise(MADV_RANDOM) does not
// stop it). Those pages stay mapped, and counted in the window's memory, though
// Qt keeps every glyph it has drawn and FreeType reads them again only for a
// glyph not yet drawn. In a CJK face, one 19 MB collection, the window's
// dozens of characters map 3 MB of it at start, against 0.2 MB of Liberation
// Sans for a Latin window.

// A range of the address space that holds a font file read-only, as one line
// of /proc/self/maps gives it; nothing for any other line, so that nothing
// written or anonymous is ever let go.
struct MappedRange {
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
    bool operator==(const MappedRange &) const = default;
};
std::optional<MappedRange> FontFileMapping(std::string_view mapsLine);

// The font files this process maps now.
std::vector<MappedRange> MappedFontFiles();

// While the window first lays out and paints: lets the pages of the font files
// go before each of its controls paints and once all have, so that no more are
// mapped at once than one control's glyphs need. The pages stay in the page
// cache, shared with every program that reads the font, and a glyph that needs
// one again maps it back at a minor fault; what is drawn does not change.
// Made at the end of the window's constructor, it lets go at once of what
// measuring the menus and captions mapped. It ends itself once the window's first paint is over, so that later
// paints (a slider dragged) cost nothing more.
class FontPageRelease : public QObject {
public:
    explicit FontPageRelease(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void release() const;

    QWidget *window_;
    // Found when made and again at the window's first paint (reading
    // /proc/self/maps costs about a millisecond, each release some
    // microseconds), and used at once or during that paint only, during which
    // no font is closed (Qt closes an unused face from its font cache's timer,
    // which waits for the event loop): no range can have become other memory.
    std::vector<MappedRange> fonts_;
    bool painting_ = false;
};

} // namespace orvane
