#include "editions/command_line.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include <QString>

#include "pattern/figure.h"
#include "pattern/pattern_details.h"
#include "pattern/translation.h"
#include "window/layout.h"
#include "pattern/presets.h"

namespace orvane {

namespace {

const ControlSpec *ControlNamed(std::string_view name)
{
    for (const ControlSpec &entry : ControlTable())
        if (name == entry.name)
            return &entry;
    return nullptr;
}

// A preset's name as a teacher may write it: any case, with or without
// spaces, hyphens and dots, so "Fig. 8", "fig8" and "FIG-8" are one. Letters
// beyond ASCII fold too, for the buttons' names in other languages.
QString Folded(std::string_view text)
{
    const QString folded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toCaseFolded();
    QString kept;
    for (const QChar c : folded)
        if (c.isLetterOrNumber())
            kept += c;
    return kept;
}

// Beside the buttons' captions and the patterns' full names, the words the
// textbooks use; in the order of kPresets.
constexpr std::array<std::array<const char *, 3>, kPresets.size()> kPresetWords{{
    {"cardioid", nullptr, nullptr},
    {"omni", "omnidirectional", nullptr},
    {"figure-8", "fig8", "bidirectional"},
    {"supercardioid", "super", nullptr},
    {"hypercardioid", "hyper", nullptr},
}};

// Every name a preset answers to, in English and in the current language.
std::vector<std::string> PresetNames(std::size_t index)
{
    const Preset &preset = kPresets[index];
    const char *caption = ControlNamed(preset.button)->text;
    std::vector<std::string> names{caption, preset.spokenName};
    // A caption may hold shorter forms after the full one, each after U+009C;
    // the button shows whichever fits, so each is the preset's name.
    for (const std::string_view shown : {Tr("button", caption), Tr("pattern", preset.spokenName)}) {
        for (std::size_t from = 0; from <= shown.size();) {
            const std::size_t end = std::min(shown.find("\u009c", from), shown.size());
            names.emplace_back(shown.substr(from, end - from));
            from = end + std::string_view("\u009c").size();
        }
    }
    for (const char *word : kPresetWords[index])
        if (word)
            names.emplace_back(word);
    return names;
}

// The buttons' captions as the window shows them, then the other words.
std::string PresetList()
{
    std::vector<std::string> listed;
    for (const Preset &preset : kPresets)
        listed.emplace_back(FullForm(Tr("button", ControlNamed(preset.button)->text)));
    for (const auto &words : kPresetWords)
        for (const char *word : words)
            if (word)
                listed.emplace_back(word);
    std::string list;
    for (const std::string &name : listed)
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

std::string ReadLevel(StateKey key, std::optional<std::int32_t> &slot, std::string_view option,
                      std::string_view value)
{
    std::int32_t position = 0;
    std::string error = ReadStateValue(key, value, option, position);
    if (error.empty())
        slot = position;
    return error;
}

// One option: its name, the name of its value (none for a switch), its line
// in --help (English, shown through Tr), and what it does to the command line;
// it returns why the value is refused, or nothing.
struct Option {
    const char *name;
    const char *value;
    const char *help;
    std::string (*apply)(CommandLine &line, std::string_view value);
};

constexpr auto kOptions = std::to_array<Option>({
    //: --help, after "--omni S1". Keep S1 as it is.
    {"--omni", "S1", ORVANE_NOOP("command line", "the omni level slider at S1, 0 (full level) to 100 (lowest)"),
     [](CommandLine &line, std::string_view v) { return ReadLevel(StateKey::Omni, line.omni, "--omni", v); }},
    //: --help, after "--fig8 S2". Keep S2 as it is.
    {"--fig8", "S2", ORVANE_NOOP("command line", "the figure-8 level slider at S2, 0 (full level) to 100 (lowest)"),
     [](CommandLine &line, std::string_view v) { return ReadLevel(StateKey::Fig8, line.fig8, "--fig8", v); }},
    //: --help, after "--angle V". Keep V and Orvane as they are.
    {"--angle", "V", ORVANE_NOOP("command line", "the angle probe at V degrees, -180 to 180 (Orvane only)"),
     [](CommandLine &line, std::string_view v) { return ReadLevel(StateKey::Angle, line.angle, "--angle", v); }},
    //: --help, after "--state TEXT". Keep omni=S1&fig8=S2&angle=V as it is.
    {"--state", "TEXT", ORVANE_NOOP("command line", "all three as a link gives them: omni=S1&fig8=S2&angle=V"),
     [](CommandLine &line, std::string_view v) -> std::string {
         const StateReading reading = ReadStateText(v);
         if (!reading.state)
             return Format(kBadState, {"--state", ShownInput(v), reading.error});
         line.omni = reading.state->omni;
         line.fig8 = reading.state->fig8;
         line.angle = reading.state->angle;
         line.view = reading.state->view.view;
         line.range = reading.state->view.rangeDb;
         return {};
     }},
    //: --help, after "--view VIEW". Keep linear and db as they are.
    {"--view", "VIEW", ORVANE_NOOP("command line", "the plot's view: linear (default) or db, the datasheet view"),
     [](CommandLine &line, std::string_view v) -> std::string {
         ViewSettings view;
         std::string error = ReadViewValue(v, "--view", view);
         if (error.empty())
             line.view = view.view;
         return error;
     }},
    //: --help, after "--range R"
    {"--range", "R", ORVANE_NOOP("command line", "the datasheet view's range in dB: 20, 30 (default) or 40"),
     [](CommandLine &line, std::string_view v) -> std::string {
         ViewSettings view;
         std::string error = ReadRangeValue(v, "--range", view);
         if (error.empty())
             line.range = view.rangeDb;
         return error;
     }},
    //: --help, after "--preset NAME". Keep the names as they are; the buttons' names in this language are taken too.
    {"--preset", "NAME",
     ORVANE_NOOP("command line", "the levels of a pattern by its name: omni, figure-8, cardioid, supercardioid, "
                                 "hypercardioid, or a button's (Omni, Fig. 8, Cardiod, Super Card, Hyper Card)"),
     [](CommandLine &line, std::string_view v) -> std::string {
         const QString wanted = Folded(v);
         for (std::size_t i = 0; i < kPresets.size() && !wanted.isEmpty(); ++i) {
             for (const std::string &name : PresetNames(i)) {
                 if (wanted == Folded(name)) {
                     line.omni = kPresets[i].slider1;
                     line.fig8 = kPresets[i].slider2;
                     return {};
                 }
             }
         }
         return Format(Tr("command line", kUnknownPreset), {ShownInput(v), PresetList()});
     }},
    //: --help, after "--export FILE". Keep FILE, .png, .svg and .pdf as they are.
    {"--export", "FILE",
     ORVANE_NOOP("command line", "write the plot as a figure to FILE (.png, .svg or .pdf) and exit; needs no display"),
     [](CommandLine &line, std::string_view v) -> std::string {
         if (!FormatOfPath(v))
             return Format(Tr("command line", kUnknownFormat), {ShownInput(v), kFigureFormats});
         line.exportPath = v;
         return {};
     }},
    //: --help, after "--scale K". Keep K as it is.
    {"--scale", "K", ORVANE_NOOP("command line", "the figure K times the window's plot, 1 to 8 (default 1)"),
     [](CommandLine &line, std::string_view v) -> std::string {
         std::int32_t scale = 1;
         std::string error = ReadWholeNumber(v, "--scale", 1, 8, scale);
         if (error.empty())
             line.scale = scale;
         return error;
     }},
    //: --help, after "--details". Keep "name<TAB>value" as it is: the lines are for tables.
    {"--details", nullptr,
     ORVANE_NOOP("command line", "print the pattern's figures, one \"name<TAB>value\" line each, and exit"),
     [](CommandLine &line, std::string_view) -> std::string {
         if (line.action == CommandLine::Action::Run)
             line.action = CommandLine::Action::Details;
         return {};
     }},
    //: --help, after "--lang CODE". Keep the codes as they are.
    {"--lang", "CODE",
     ORVANE_NOOP("command line", "show the window in this language (de, fr, pt-BR, ja, ...) instead of the "
                                 "system's; English where it has none"),
     // The code is checked against the catalogues later: an unknown one gives
     // English with a warning, not a refusal.
     [](CommandLine &line, std::string_view v) -> std::string {
         line.language = v;
         return {};
     }},
    //: --help, after "--help"
    {"--help", nullptr, ORVANE_NOOP("command line", "print this text and exit"),
     [](CommandLine &line, std::string_view) -> std::string {
         if (line.action == CommandLine::Action::Run)
             line.action = CommandLine::Action::Help;
         return {};
     }},
    //: --help, after "--version"
    {"--version", nullptr, ORVANE_NOOP("command line", "print the version and exit"),
     [](CommandLine &line, std::string_view) -> std::string {
         if (line.action == CommandLine::Action::Run)
             line.action = CommandLine::Action::Version;
         return {};
     }},
});

CommandLine Refused(std::string_view argument, std::string error)
{
    CommandLine line;
    line.action = CommandLine::Action::Refuse;
    line.refused = argument;
    line.error = std::move(error);
    return line;
}

// The last --lang's code anywhere on the line, so that a refusal is said in
// that language even where the refused argument comes first.
std::string LanguageArgument(int argc, const char *const *argv)
{
    std::string language;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] ? argv[i] : "";
        if (argument.starts_with("--lang="))
            language = argument.substr(7);
        else if (argument == "--lang" && i + 1 < argc && argv[i + 1])
            language = argv[++i];
    }
    return language;
}

CommandLine ReadArguments(int argc, const char *const *argv)
{
    // Every argument is looked at first, so that "--help -reverse" is refused
    // as a whole rather than half understood.
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] ? argv[i] : "";
        // "--omni 30" or "--omni=30"; a switch takes no "=".
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        const Option *option = nullptr;
        for (const Option &candidate : kOptions)
            if (name == candidate.name && (candidate.value || equals == std::string_view::npos))
                option = &candidate;
        if (!option)
            return Refused(argument, Format(Tr("command line", kUnknownArgument), {ShownInput(argument)}));
        std::string_view value;
        if (option->value) {
            if (equals != std::string_view::npos) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < argc && argv[i + 1]) {
                value = argv[++i];
            } else {
                return Refused(argument, Format(Tr("command line", kNeedsValue), {option->name, option->value}));
            }
        }
        if (std::string error = option->apply(line, value); !error.empty())
            return Refused(argument, std::move(error));
    }
    if (line.scale && line.exportPath.empty())
        return Refused("--scale", std::string(Tr("command line", kScaleAlone)));
    return line;
}

} // namespace

CommandLine ReadCommandLine(int argc, const char *const *argv)
{
    CommandLine line = ReadArguments(argc, argv);
    if (line.action == CommandLine::Action::Refuse)
        line.language = LanguageArgument(argc, argv);
    return line;
}

PatternState StartState(const CommandLine &line)
{
    PatternState state;
    state.omni = line.omni.value_or(ControlNamed("Slider1")->slider->start);
    state.fig8 = line.fig8.value_or(ControlNamed("Slider2")->slider->start);
    state.angle = line.angle;
    state.view.view = line.view.value_or(state.view.view);
    state.view.rangeDb = line.range.value_or(state.view.rangeDb);
    return state;
}

bool SetsState(const CommandLine &line)
{
    return line.omni || line.fig8 || line.angle || line.view || line.range;
}

std::string UsageText(std::string_view name, std::string_view command)
{
    //: --help, its first lines. %1: the program's name. Keep [OPTION]... as it is.
    std::string text = Format(Tr("command line", "Usage: %1 [OPTION]...\n\n"
                                                 "Shows how a microphone's polar pattern arises from an omnidirectional\n"
                                                 "and a figure-8 component. The options set where the window's sliders\n"
                                                 "start, or write the plot as a figure without opening a window; later\n"
                                                 "options override earlier ones.\n\n"),
                              {name});
    for (const Option &option : kOptions) {
        std::string head = std::string("  ") + option.name + (option.value ? std::string(" ") + option.value : "");
        head.resize(std::max<std::size_t>(head.size() + 2, 18), ' ');
        text.append(head).append(Tr("command line", option.help)).append("\n");
    }
    //: --help, its last lines. %1: how the program was started, a path. Keep "xvfb-run -a" as it is.
    text.append(Format(Tr("command line", "\nThe window needs a display. Without a desktop, run it on a virtual one:\n"
                                          "  xvfb-run -a %1\n"),
                       {command}));
    return text;
}

std::string DetailsTable(std::int32_t omni, std::int32_t fig8)
{
    const PatternDetails details = DetailsFor(omni, fig8);
    const auto values = DetailValues(details);
    std::string table;
    for (std::size_t i = 0; i < kDetailRows.size(); ++i) {
        const double value = values[i];
        table.append(kDetailRows[i].key).append("\t");
        if (details.empty || std::isnan(value)) {
            table.append("none");
        } else if (std::isinf(value)) {
            table.append(value > 0 ? "inf" : "-inf");
        } else {
            // The shortest digits that read back as the same double, never in
            // the locale's form.
            // A zero is "0" whatever its sign: spreadsheets read "-0" as text.
            char buffer[32];
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value).ptr;
            table.append(buffer, end);
        }
        table.append("\n");
    }
    return table;
}

} // namespace orvane
