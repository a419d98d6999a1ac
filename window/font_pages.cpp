#include "window/font_pages.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <string>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace orvane {

namespace {

std::string_view NextField(std::string_view &line)
{
    const auto start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        line = {};
        return {};
    }
    line.remove_prefix(start);
    const auto end = std::min(line.find(' '), line.size());
    const std::string_view field = line.substr(0, end);
    line.remove_prefix(end);
    return field;
}

bool HexNumber(std::string_view text, std::uintptr_t &value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The font formats FreeType opens from Debian's fonts: TrueType and OpenType
// faces and collections, Type 1.
bool IsFontFile(std::string_view path)
{
    static constexpr std::array<std::string_view, 5> kExtensions{".ttf", ".ttc", ".otf", ".otc", ".pfb"};
    return std::any_of(kExtensions.begin(), kExtensions.end(), [path](std::string_view extension) {
        return path.size() > extension.size() &&
               std::equal(extension.begin(), extension.end(), path.end() - extension.size(),
                          [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
    });
}

} // namespace

// "start-end perms offset dev inode path": read-only and private, as FreeType
// maps a face, and a path that names a font file. A file deleted since it was
// mapped (" (deleted)" after its path) is left alone.
std::optional<MappedRange> FontFileMapping(std::string_view line)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    const std::string_view range = NextField(line);
    const std::string_view perms = NextField(line);
    for (int skipped = 0; skipped < 3; ++skipped)
        NextField(line);
    const auto pathStart = line.find_first_not_of(' ');
    if (perms != "r--p" || pathStart == std::string_view::npos || line[pathStart] != '/')
        return std::nullopt;
    const std::string_view path = line.substr(pathStart);
    const auto dash = range.find('-');
    MappedRange mapped;
    if (dash == std::string_view::npos || !HexNumber(range.substr(0, dash), mapped.start) ||
        !HexNumber(range.substr(dash + 1), mapped.end) || mapped.end <= mapped.start || !IsFontFile(path))
        return std::nullopt;
    return mapped;
}

// Read with read(2): iostreams would map 0.4 MB more of libstdc++ at start
// than the window uses otherwise.
std::vector<MappedRange> MappedFontFiles()
{
    std::vector<MappedRange> fonts;
    const int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (maps < 0)
        return fonts;
    std::string text;
    std::array<char, 16384> buffer;
    for (ssize_t got; (got = read(maps, buffer.data(), buffer.size())) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            break;
        text.append(buffer.data(), static_cast<std::size_t>(got));
    }
    close(maps);
    std::string_view rest(text);
    while (!rest.empty()) {
        const auto end = std::min(rest.find('\n'), rest.size());
        if (const auto font = FontFileMapping(rest.substr(0, end)))
            fonts.push_back(*font);
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return fonts;
}

FontPageRelease::FontPageRelease(QWidget *window) : QObject(window), window_(window)
{
    setObjectName("FontPageRelease");
    // What measuring the menus and captions mapped goes now: the first paint
    // maps again only what it draws.
    fonts_ = MappedFontFiles();
    release();
    fonts_.clear();
    QCoreApplication::instance()->installEventFilter(this);
}

bool FontPageRelease::eventFilter(QObject *watched, QEvent *event)
{
    // Before each control paints, what the one before it mapped goes.
    if (event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->window() == window_) {
        if (!painting_) {
            painting_ = true;
            fonts_ = MappedFontFiles();
            // Once this paint is over: what its last control mapped goes, and
            // so does this filter.
            QTimer::singleShot(0, this, [this] {
                release();
                QCoreApplication::instance()->removeEventFilter(this);
                deleteLater();
            });
        }
        release();
    }
    return false;
}

void FontPageRelease::release() const
{
    // The pages are the file's, unchanged (the mapping is read-only): letting
    // them go loses nothing.
    for (const MappedRange &font : fonts_)
        madvise(reinterpret_cast<void *>(font.start), font.end - font.start, MADV_DONTNEED);
}

} // namespace orvane
