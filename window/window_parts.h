#pragma once

// What the window's own source files share: its controls reached by name, and
// its texts in the user's language as Qt strings.
#include <string>
#include <string_view>

#include <QString>
#include <QWidget>

#include "pattern/checked.h"
#include "pattern/translation.h"

namespace orvane {

// The window's direct child `name`; ControlError when it is missing.
template <typename T>
T *Find(QWidget *window, const char *name)
{
    auto *control = window->findChild<T *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
    if (!control)
        throw ControlError(std::string("Control not found: ") + name);
    return control;
}

inline QString Text(std::string_view context, const char *english)
{
    return QString::fromUtf8(Tr(context, english));
}

inline QString FullText(std::string_view context, const char *english)
{
    return QString::fromUtf8(FullForm(Tr(context, english)));
}

} // namespace orvane
