#include "editions/command_line.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include <QString>

#include "pattern/figure.h"
#include "pattern/layout.h"
#include "pattern/pattern_details.h"
#include "pattern/presets.h"
#include "pattern/stereo_pair.h"
#include "pattern/translation.h"

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

// ASCII letters in lower case: the words of --view are ASCII.
std::string Lowered(std::string_view text)
{
    std::string lowered(text);
    for (char &c : lowered)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lowered;
}

// Beside the textbook patterns' names, the other words the textbooks use; in
// the order of kTextbookPatterns.
constexpr std::array<std::array<const char *, 2>, kTextbookPatterns.size()> kTextbookWords{{
    {"omnidirectional", nullptr},
    {"wide cardioid", nullptr},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {"fig8", "bidirectional"},
}};
// Beside the buttons' captions, the short words their mixes answer to; in the
// order of kPresets.
constexpr std::array<const char *, kPresets.size()> kButtonWords{nullptr, nullptr, nullptr, "super", "hyper"};

// A text and its shorter forms, each after U+009C: a button shows whichever
// fits, so each is a name.
void AddForms(std::vector<std::string> &names, std::string_view shown)
{
    for (std::size_t from = 0; from <= shown.size();) {
        const std::size_t end = std::min(shown.find("\u009c", from), shown.size());
        names.emplace_back(shown.substr(from, end - from));
        from = end + std::string_view("\u009c").size();
    }
}

// The names of a textbook pattern, in English and in the current language.
std::vector<std::string> TextbookNames(std::size_t index)
{
    const TextbookPattern &pattern = kTextbookPatterns[index];
    std::vector<std::string> names{pattern.name};
    AddForms(names, Tr("pattern", pattern.name));
    for (const char *word : kTextbookWords[index])
        if (word)
            names.emplace_back(word);
    return names;
}

// The names of a button's mix: its caption and the mix's name, in English and
// in the current language.
std::vector<std::string> ButtonNames(std::size_t index)
{
    const Preset &preset = kPresets[index];
    std::vector<std::string> names{preset.caption, preset.spokenName};
    AddForms(names, Tr("button", preset.caption));
    AddForms(names, Tr("pattern", preset.spokenName));
    if (kButtonWords[index])
        names.emplace_back(kButtonWords[index]);
    return names;
}

std::string Listed(const std::vector<std::string> &names)
{
    std::string list;
    for (const std::string &name : names)
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

// The textbook patterns' names in English, and the buttons' captions as the
// window shows them.
std::string TextbookList()
{
    std::vector<std::string> names;
    for (const TextbookPattern &pattern : kTextbookPatterns)
        names.push_back(Lowered(pattern.name));
    return Listed(names);
}

std::string ButtonList()
{
    std::vector<std::string> names;
    for (const Preset &preset : kPresets)
        names.emplace_back(FullForm(Tr("button", preset.caption)));
    return Listed(names);
}

// A textbook's name first: where a language's button bears the textbook's
// word ("Superniere"), the word means the textbook's pattern.
std::optional<std::pair<std::int32_t, std::int32_t>> PresetNamed(std::string_view given)
{
    const QString wanted = Folded(given);
    if (wanted.isEmpty())
        return std::nullopt;
    for (std::size_t i = 0; i < kTextbookPatterns.size(); ++i)
        for (const std::string &name : TextbookNames(i))
            if (wanted == Folded(name))
                return std::pair{kTextbookPatterns[i].slider1, kTextbookPatterns[i].slider2};
    for (std::size_t i = 0; i < kPresets.size(); ++i)
        for (const std::string &name : ButtonNames(i))
            if (wanted == Folded(name))
                return std::pair{kPresets[i].slider1, kPresets[i].slider2};
    return std::nullopt;
}

// A page's whole address, as a Share link gives it, or its part after "#".
std::string_view StatePart(std::string_view given)
{
    const std::size_t hash = given.find('#');
    return hash == std::string_view::npos ? given : given.substr(hash + 1);
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
    const char *shortName = nullptr; // "-h"
    bool probeOnly = false;          // listed by the full edition alone
};

constexpr auto kOptions = std::to_array<Option>({
    //: --help, after "--omni S1". Keep S1 as it is.
    {"--omni", "S1", ORVANE_NOOP("command line", "the omni level slider at S1, 0 (full level) to 100 (lowest)"),
     [](CommandLine &line, std::string_view v) { return ReadLevel(StateKey::Omni, line.omni, "--omni", v); }},
    //: --help, after "--fig8 S2". Keep S2 as it is.
    {"--fig8", "S2", ORVANE_NOOP("command line", "the figure-8 level slider at S2, 0 (full level) to 100 (lowest)"),
     [](CommandLine &line, std::string_view v) { return ReadLevel(StateKey::Fig8, line.fig8, "--fig8", v); }},
    //: --help, after "--angle V". Keep V as it is.
    {"--angle", "V", ORVANE_NOOP("command line", "the angle probe at V degrees, -180 to 180"),
     [](CommandLine &line, std::string_view v) { return ReadLevel(StateKey::Angle, line.angle, "--angle", v); },
     nullptr, true},
    //: --help, after "--state TEXT". Keep omni=S1&fig8=S2&angle=V and # as they are.
    {"--state", "TEXT", ORVANE_NOOP("command line", "the state a link gives, omni=S1&fig8=S2&angle=V, or the link whole "
                                                    "with it after #"),
     [](CommandLine &line, std::string_view v) -> std::string {
         if (v.find("://") != std::string_view::npos && v.find('#') == std::string_view::npos)
             //: The link given to --state has no "#" and so no state. Keep # as it is.
             return Format(kBadState, {"--state", ShownInput(v), Tr("command line", "the link holds no state after #")});
         const StateReading reading = ReadStateText(StatePart(v));
         if (!reading.state)
             return Format(kBadState, {"--state", ShownInput(v), reading.error});
         line.omni = reading.state->omni;
         line.fig8 = reading.state->fig8;
         line.angle = reading.state->angle;
         line.view = reading.state->view.view;
         line.range = reading.state->view.rangeDb;
         // The pair as the state says, none where it names none; its angle
         // and side are the state's, until a later option sets them.
         line.pair = reading.state->pair;
         line.pairAngle.reset();
         line.side.reset();
         return {};
     }},
    //: --help, after "--view VIEW". Keep linear and db as they are.
    {"--view", "VIEW", ORVANE_NOOP("command line", "the plot's view: linear (default) or db, the datasheet view"),
     [](CommandLine &line, std::string_view v) -> std::string {
         ViewSettings view;
         // "dB" as the page writes it: the case is no one's concern here. The
         // message names the value as given.
         std::string error = ReadViewValue(Lowered(v), "--view", view);
         if (!error.empty())
             error = ReadViewValue(v, "--view", view);
         if (error.empty())
             line.view = view.view;
         return error;
     }},
    //: --help, after "--range R"
    {"--range", "R", ORVANE_NOOP("command line", "the datasheet view's range in dB: 20, 30 (default) or 40"),
     [](CommandLine &line, std::string_view v) -> std::string {
         ViewSettings view;
         // "30", and "30 dB" as the page and the menus write it, in any case.
         std::string value = Lowered(v);
         if (value.ends_with("db"))
             value.resize(value.size() - 2);
         while (value.ends_with(" "))
             value.pop_back();
         std::string error = ReadRangeValue(value, "--range", view);
         if (!error.empty())
             error = ReadRangeValue(v, "--range", view);
         if (error.empty())
             line.range = view.rangeDb;
         return error;
     }},
    //: --help, after "--preset NAME". Keep the names as they are; this language's names are taken too.
    {"--preset", "NAME",
     ORVANE_NOOP("command line", "a textbook pattern at the nearest slider positions (omni, subcardioid, cardioid, "
                                 "supercardioid, hypercardioid, figure-8), or a button's mix (Omni, Fig. 8, "
                                 "Cardiod, Super Card, Hyper Card)"),
     [](CommandLine &line, std::string_view v) -> std::string {
         const auto positions = PresetNamed(v);
         if (!positions)
             return Format(Tr("command line", kUnknownPreset), {ShownInput(v), TextbookList(), ButtonList()});
         line.omni = positions->first;
         line.fig8 = positions->second;
         return {};
     }},
    //: --help, after "--pair PAIR". Keep xy, ms and blumlein as they are. XY, M/S and the Blumlein pair are the
    //: coincident stereo techniques, named as this language's recording literature names them.
    {"--pair", "PAIR",
     ORVANE_NOOP("command line", "a coincident stereo pair of the pattern: xy (two microphones at --pair-angle), "
                                 "ms (mid and side) or blumlein (two figure-8s, XY at 90 degrees)"),
     [](CommandLine &line, std::string_view v) -> std::string {
         const std::string word = Lowered(v);
         if (word == "blumlein") {
             line.omni = kBlumleinOmni;
             line.fig8 = kBlumleinFig8;
             // Its 90 degrees over an earlier --pair-angle's.
             line.pair = kBlumlein;
             line.pairAngle.reset();
             return {};
         }
         PairTechnique technique = PairTechnique::XY;
         if (!ReadPairValue(word, "--pair", technique).empty())
             return Format(Tr("state", kValueNotOneOf), {"--pair", ShownInput(v), "xy, ms, blumlein"});
         StereoPair pair = line.pair.value_or(StereoPair{});
         pair.technique = technique;
         line.pair = pair;
         return {};
     }},
    //: --help, after "--pair-angle A". Keep A, --pair and xy as they are.
    {"--pair-angle", "A", ORVANE_NOOP("command line", "the angle between the microphones of --pair xy, 0 to 180 "
                                                      "degrees (default 90)"),
     [](CommandLine &line, std::string_view v) {
         return ReadLevel(StateKey::PairAngle, line.pairAngle, "--pair-angle", v);
     }},
    //: --help, after "--side S3". Keep S3, --pair and ms as they are.
    {"--side", "S3", ORVANE_NOOP("command line", "the side's level slider of --pair ms at S3, 0 (full level, "
                                                 "the default) to 100 (lowest)"),
     [](CommandLine &line, std::string_view v) { return ReadLevel(StateKey::Side, line.side, "--side", v); }},
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
    //: --help, after "-h, --help"
    {"--help", nullptr, ORVANE_NOOP("command line", "print this text and exit"),
     [](CommandLine &line, std::string_view) -> std::string {
         if (line.action == CommandLine::Action::Run)
             line.action = CommandLine::Action::Help;
         return {};
     },
     "-h"},
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
            if ((name == candidate.name || (candidate.shortName && argument == candidate.shortName)) &&
                (candidate.value || equals == std::string_view::npos))
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
    // The pair's angle and side are each one technique's: given for another,
    // they would be dropped without a word.
    if (line.pairAngle) {
        if (!line.pair || line.pair->technique != PairTechnique::XY)
            return Refused("--pair-angle", std::string(Tr("command line", kPairAngleAlone)));
        line.pair->angle = *line.pairAngle;
    }
    if (line.side) {
        if (!line.pair || line.pair->technique != PairTechnique::MS)
            return Refused("--side", std::string(Tr("command line", kSideAlone)));
        line.pair->side = *line.side;
    }
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
    state.pair = line.pair;
    return state;
}

bool SetsState(const CommandLine &line)
{
    return line.omni || line.fig8 || line.angle || line.view || line.range || line.pair;
}

std::string UsageText(std::string_view name, std::string_view command, bool probe)
{
    //: --help, its first lines. %1: the program's name. Keep [OPTION]... as it is.
    std::string text = Format(Tr("command line", "Usage: %1 [OPTION]...\n\n"
                                                 "Shows how a microphone's polar pattern arises from an omnidirectional\n"
                                                 "and a figure-8 component. The options set where the window's sliders\n"
                                                 "start, or write the plot as a figure without opening a window; later\n"
                                                 "options override earlier ones.\n\n"),
                              {name});
    for (const Option &option : kOptions) {
        if (option.probeOnly && !probe)
            continue;
        std::string head = std::string("  ") + (option.shortName ? std::string(option.shortName) + ", " : "") +
                           option.name + (option.value ? std::string(" ") + option.value : "");
        head.resize(std::max<std::size_t>(head.size() + 2, 18), ' ');
        text.append(head).append(Tr("command line", option.help)).append("\n");
    }
    //: --help, its last lines. %1: how the program was started, a path. Keep "xvfb-run -a" as it is.
    text.append(Format(Tr("command line", "\nThe window needs a display. Without a desktop, run it on a virtual one:\n"
                                          "  xvfb-run -a %1\n"),
                       {command}));
    return text;
}

namespace {

// One "name<TAB>value" line: the shortest digits that read back as the same
// double, never in the locale's form; "none" for NaN, "inf" or "-inf".
void AppendFigure(std::string &table, const char *key, double value)
{
    table.append(key).append("\t");
    if (std::isnan(value)) {
        table.append("none");
    } else if (std::isinf(value)) {
        table.append(value > 0 ? "inf" : "-inf");
    } else {
        // A zero is "0" whatever its sign: spreadsheets read "-0" as text.
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value).ptr;
        table.append(buffer, end);
    }
    table.append("\n");
}

} // namespace

std::string DetailsTable(const PatternState &state, Edition edition)
{
    const PatternDetails details = DetailsFor(state.omni, state.fig8);
    const auto values = DetailValues(details);
    std::string table;
    for (std::size_t i = 0; i < kDetailRows.size(); ++i)
        AppendFigure(table, kDetailRows[i].key, details.empty ? std::nan("") : values[i]);
    if (!state.pair)
        return table;
    const std::optional<std::int32_t> source = HasProbe(edition) ? state.angle : std::nullopt;
    const auto pairValues = PairFigureValues(state.omni, state.fig8, *state.pair, source);
    for (std::size_t i = 0; i < kPairFigureRows.size(); ++i) {
        const PairFigureRow &row = kPairFigureRows[i];
        if (row.atSource && !source)
            continue;
        if (row.kind == PairFigureKind::YesNo)
            table.append(row.key).append(pairValues[i] != 0.0 ? "\tyes\n" : "\tno\n");
        else
            AppendFigure(table, row.key, pairValues[i]);
    }
    return table;
}

} // namespace orvane
