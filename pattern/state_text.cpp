#include "pattern/state_text.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "pattern/datasheet_plot.h"
#include "pattern/number_text.h"

namespace orvane {

namespace {

struct KeyRange {
    StateKey key;
    const char *name;
    std::int32_t minimum;
    std::int32_t maximum;
};

// The level sliders hold 0 to 100, the angle slider -180 to 180; the pair's
// angle 0 to 180, its side slider 0 to 100 as the level sliders.
constexpr std::array<KeyRange, 5> kKeys{{
    {StateKey::Omni, "omni", 0, 100},
    {StateKey::Fig8, "fig8", 0, 100},
    {StateKey::Angle, "angle", -180, 180},
    {StateKey::PairAngle, "pairangle", kPairAngleMinimum, kPairAngleMaximum},
    {StateKey::Side, "side", kSideMinimum, kSideMaximum},
}};
static_assert(kKeys.size() == static_cast<std::size_t>(StateKey::Side) + 1);

const KeyRange &RangeOf(StateKey key)
{
    return kKeys.at(static_cast<std::size_t>(key));
}

} // namespace

const char *KeyName(StateKey key)
{
    return RangeOf(key).name;
}

std::int32_t KeyMinimum(StateKey key)
{
    return RangeOf(key).minimum;
}

std::int32_t KeyMaximum(StateKey key)
{
    return RangeOf(key).maximum;
}

std::string ShownInput(std::string_view input)
{
    constexpr std::size_t kLongest = 40;
    std::string shown;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const auto byte = static_cast<unsigned char>(input[i]);
        const bool continuation = (byte & 0xC0) == 0x80;
        if (!continuation && characters++ == kLongest) {
            shown.append("...");
            break;
        }
        shown.push_back(byte < 0x20 || byte == 0x7F ? '?' : input[i]);
    }
    return shown;
}

std::string ReadWholeNumber(std::string_view text, std::string_view label, std::int32_t minimum,
                            std::int32_t maximum, std::int32_t &value)
{
    // Digits with an optional minus: no plus, spaces, fractions or exponents.
    const std::string_view digits = !text.empty() && text.front() == '-' ? text.substr(1) : text;
    bool allDigits = !digits.empty();
    for (const char c : digits)
        allDigits = allDigits && c >= '0' && c <= '9';
    if (!allDigits)
        return Format(Tr("state", kValueNotNumber), {label, ShownInput(text)});

    long long number = 0;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), number);
    const bool inRange = fault == std::errc() && end == text.data() + text.size() &&
                         number >= minimum && number <= maximum;
    if (!inRange)
        return Format(Tr("state", kValueOutOfRange),
                      {label, ShownInput(text), IntegerText(minimum), IntegerText(maximum)});
    value = static_cast<std::int32_t>(number);
    return {};
}

std::string ReadStateValue(StateKey key, std::string_view text, std::string_view label,
                           std::int32_t &value)
{
    return ReadWholeNumber(text, label, KeyMinimum(key), KeyMaximum(key), value);
}

static_assert(kRangeWords.size() == kDbRanges.size());

namespace {

// The keys of the view, whose values are words, each with its reader.
struct ViewKey {
    const char *name;
    std::string (*read)(std::string_view text, std::string_view label, ViewSettings &view);
};
constexpr std::array<ViewKey, 2> kViewKeys{{{"view", ReadViewValue}, {"range", ReadRangeValue}}};

template <std::size_t N>
std::string ReadWord(std::string_view text, std::string_view label, const std::array<const char *, N> &words,
                     std::size_t &index)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (text == words[i]) {
            index = i;
            return {};
        }
    }
    std::string list;
    for (const char *word : words)
        list.append(list.empty() ? "" : ", ").append(word);
    return Format(Tr("state", kValueNotOneOf), {label, ShownInput(text), list});
}

} // namespace

std::string ReadViewValue(std::string_view text, std::string_view label, ViewSettings &view)
{
    std::size_t index = 0;
    std::string error = ReadWord(text, label, kViewWords, index);
    if (error.empty())
        view.view = index == 0 ? PlotView::Polar : PlotView::Db;
    return error;
}

std::string ReadRangeValue(std::string_view text, std::string_view label, ViewSettings &view)
{
    std::size_t index = 0;
    std::string error = ReadWord(text, label, kRangeWords, index);
    if (error.empty())
        view.rangeDb = kDbRanges.at(index);
    return error;
}

std::string ReadPairValue(std::string_view text, std::string_view label, PairTechnique &technique)
{
    std::size_t index = 0;
    std::string error = ReadWord(text, label, kPairWords, index);
    if (error.empty())
        technique = index == 0 ? PairTechnique::XY : PairTechnique::MS;
    return error;
}

StateReading ReadStateText(std::string_view text)
{
    if (text.empty())
        return {std::nullopt, std::string(Tr("state", kStateEmpty))};
    std::array<std::optional<std::int32_t>, kKeys.size()> values;
    std::array<bool, kViewKeys.size()> viewGiven{};
    ViewSettings view;
    std::optional<PairTechnique> technique;
    while (true) {
        const std::size_t end = text.find('&');
        const std::string_view pair = text.substr(0, end);
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos)
            return {std::nullopt, Format(Tr("state", kStateNotPair), {ShownInput(pair)})};
        const std::string_view name = pair.substr(0, equals);
        if (name == "pair") {
            if (technique)
                return {std::nullopt, Format(Tr("state", kStateTwice), {"pair"})};
            PairTechnique read = PairTechnique::XY;
            if (std::string error = ReadPairValue(pair.substr(equals + 1), "pair", read); !error.empty())
                return {std::nullopt, std::move(error)};
            technique = read;
            if (end == std::string_view::npos)
                break;
            text.remove_prefix(end + 1);
            continue;
        }
        const auto viewKey = std::find_if(kViewKeys.begin(), kViewKeys.end(),
                                          [name](const ViewKey &key) { return name == key.name; });
        if (viewKey != kViewKeys.end()) {
            bool &given = viewGiven.at(static_cast<std::size_t>(viewKey - kViewKeys.begin()));
            if (given)
                return {std::nullopt, Format(Tr("state", kStateTwice), {viewKey->name})};
            given = true;
            if (std::string error = viewKey->read(pair.substr(equals + 1), viewKey->name, view); !error.empty())
                return {std::nullopt, std::move(error)};
            if (end == std::string_view::npos)
                break;
            text.remove_prefix(end + 1);
            continue;
        }
        const KeyRange *range = nullptr;
        for (const KeyRange &candidate : kKeys)
            if (name == candidate.name)
                range = &candidate;
        if (!range)
            return {std::nullopt, Format(Tr("state", kStateUnknownKey), {ShownInput(name)})};
        auto &slot = values.at(static_cast<std::size_t>(range->key));
        if (slot)
            return {std::nullopt, Format(Tr("state", kStateTwice), {range->name})};
        std::int32_t value = 0;
        std::string error = ReadStateValue(range->key, pair.substr(equals + 1), range->name, value);
        if (!error.empty())
            return {std::nullopt, std::move(error)};
        slot = value;
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    const auto valueOf = [&values](StateKey key) -> std::optional<std::int32_t> & {
        return values.at(static_cast<std::size_t>(key));
    };
    for (const StateKey key : {StateKey::Omni, StateKey::Fig8})
        if (!valueOf(key))
            return {std::nullopt, Format(Tr("state", kStateMissing), {KeyName(key)})};
    // Each technique's own key, and only its own: a state that names an
    // angle for M/S would come back without it.
    const auto ownKey = [](PairTechnique t) { return t == PairTechnique::XY ? StateKey::PairAngle : StateKey::Side; };
    for (const PairTechnique t : {PairTechnique::XY, PairTechnique::MS}) {
        const StateKey key = ownKey(t);
        const std::string needs = std::string("pair=") + kPairWords.at(static_cast<std::size_t>(t));
        if (valueOf(key) && technique != t)
            return {std::nullopt, Format(Tr("state", kStateKeyWithoutPair), {KeyName(key), needs})};
        if (!valueOf(key) && technique == t)
            return {std::nullopt, Format(Tr("state", kStateMissing), {KeyName(key)})};
    }
    PatternState state{*valueOf(StateKey::Omni), *valueOf(StateKey::Fig8), valueOf(StateKey::Angle), view, {}};
    if (technique == PairTechnique::XY)
        state.pair = StereoPair{PairTechnique::XY, *valueOf(StateKey::PairAngle), StereoPair{}.side};
    else if (technique == PairTechnique::MS)
        state.pair = StereoPair{PairTechnique::MS, StereoPair{}.angle, *valueOf(StateKey::Side)};
    return {state, {}};
}

std::string StateText(const PatternState &state, Edition edition)
{
    std::string text = "omni=" + IntegerText(state.omni) + "&fig8=" + IntegerText(state.fig8);
    if (state.angle && HasProbe(edition))
        text += "&angle=" + IntegerText(*state.angle);
    if (state.view.view == PlotView::Db)
        text += "&view=db&range=" + IntegerText(state.view.rangeDb);
    if (state.pair && state.pair->technique == PairTechnique::XY)
        text += "&pair=xy&pairangle=" + IntegerText(state.pair->angle);
    else if (state.pair)
        text += "&pair=ms&side=" + IntegerText(state.pair->side);
    return text;
}

} // namespace orvane
