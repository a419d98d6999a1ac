#pragma once

namespace orvane {

struct Language;

// Qt's own texts in `language`: its dialogs' labels and buttons (the file and
// print dialogs, a message box's OK) and the names of keys in the menus
// ("Strg+S"). They come from Debian's qt6-translations-l10n, where Qt keeps its
// translations; English, or a language Qt has no catalogue for, is Qt's own.
void UseQtTranslations(const Language &language);

} // namespace orvane
