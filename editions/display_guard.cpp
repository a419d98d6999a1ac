#include "editions/display_guard.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>

namespace orvane {

namespace {

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

// A message handler is a plain function, so what it needs lives here while
// a guard waits; there is one guard, around the one application object.
struct Waiting {
    std::string name;
    std::string command;
    std::vector<HeldMessage> held;
    QtMessageHandler previous = nullptr;
};
std::unique_ptr<Waiting> waiting;

std::optional<std::string> Environment(const char *variable)
{
    const char *value = std::getenv(variable);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

// The platforms Qt tried, in order, from its messages: they name each plugin
// as "Qt platform plugin "xcb"".
std::vector<std::string> TriedPlatforms(const std::vector<QString> &texts)
{
    static const QString marker = QStringLiteral("Qt platform plugin \"");
    std::vector<std::string> platforms;
    for (const QString &text : texts) {
        for (qsizetype at = text.indexOf(marker); at >= 0; at = text.indexOf(marker, at + 1)) {
            const qsizetype start = at + marker.size();
            const qsizetype end = text.indexOf(QLatin1Char('"'), start);
            if (end < 0) {
                break;
            }
            std::string platform = text.mid(start, end - start).toStdString();
            bool known = false;
            for (const std::string &seen : platforms) {
                known = known || seen == platform;
            }
            if (!known) {
                platforms.push_back(std::move(platform));
            }
        }
    }
    return platforms;
}

// Which display a platform would have used, in words.
std::string DescribeDisplay(const std::string &platform, const std::vector<QString> &texts)
{
    std::string described;
    if (platform.rfind("xcb", 0) == 0) {
        const std::optional<std::string> display = Environment("DISPLAY");
        if (!display) {
            described = "the X display (DISPLAY is not set)";
        } else if (display->empty()) {
            described = "the X display (DISPLAY is empty)";
        } else {
            described = "the X display \"" + *display + "\"";
        }
    } else if (platform.rfind("wayland", 0) == 0) {
        // Wayland's own default when the variable is unset or empty.
        const std::string display = Environment("WAYLAND_DISPLAY").value_or("");
        described = "the Wayland display \"" + (display.empty() ? "wayland-0" : display) + "\"";
    } else {
        described = "a display through Qt's \"" + platform + "\" platform";
    }
    const QString missing =
        QStringLiteral("Could not find the Qt platform plugin \"%1\"").arg(QString::fromStdString(platform));
    for (const QString &text : texts) {
        if (text.contains(missing)) {
            described += " (Qt's " + platform + " plugin is not installed)";
            break;
        }
    }
    return described;
}

std::string FailureLine(const Waiting &state, const QString &fatal)
{
    std::vector<QString> texts;
    for (const HeldMessage &message : state.held) {
        texts.push_back(message.text);
    }
    texts.push_back(fatal);

    const std::string platformSetting = Environment("QT_QPA_PLATFORM").value_or("");
    std::vector<std::string> platforms = TriedPlatforms(texts);
    if (platforms.empty()) {
        // Qt named none: the one the setting asks for first, else its default.
        const std::string first = platformSetting.substr(0, platformSetting.find(';'));
        platforms.push_back(first.empty() ? "xcb" : first);
    }
    std::string line = state.name + ": cannot open ";
    for (std::size_t i = 0; i < platforms.size(); ++i) {
        line += (i == 0 ? "" : ", nor ") + DescribeDisplay(platforms[i], texts);
    }
    // xvfb-run gives an X display: a setting that asks for another platform
    // has to be overridden for it.
    const bool otherPlatform = !platformSetting.empty() && platformSetting.rfind("xcb", 0) != 0;
    line += "; run it on a virtual display with: ";
    line += otherPlatform ? "QT_QPA_PLATFORM=xcb xvfb-run -a " : "xvfb-run -a ";
    line += state.command + "\n";
    return line;
}

void Hold(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        // Qt would abort after this handler returns; the process ends here,
        // with the one line and an ordinary failure status.
        std::fputs(FailureLine(*waiting, text).c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    waiting->held.push_back({type, context.category ? context.category : "", text});
}

} // namespace

DisplayGuard::DisplayGuard(std::string name, std::string command)
{
    waiting = std::make_unique<Waiting>(Waiting{std::move(name), std::move(command), {}, nullptr});
    waiting->previous = qInstallMessageHandler(Hold);
}

DisplayGuard::~DisplayGuard()
{
    Passed();
}

void DisplayGuard::Passed()
{
    if (!waiting) {
        return;
    }
    qInstallMessageHandler(waiting->previous);
    for (const HeldMessage &message : waiting->held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        if (waiting->previous) {
            waiting->previous(message.type, context, message.text);
        }
    }
    waiting.reset();
}

} // namespace orvane
