#pragma once

// Stand-ins for the window's controls and drawing surface that record what the
// pattern rules do with them, and can be told to fail at a given operation.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pattern/behaviour.h"
#include "pattern/checked.h"
#include "pattern/controls.h"
#include "pattern/drawing_surface.h"

namespace orvane::testing {

struct SurfaceOp {
    enum Kind { Clear, Width, Height, SetPen, LineTo, Line, Text } kind;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Colour colour = 0;
    std::string text = {};
    TextAnchor anchor = TextAnchor::Start;
};

class RecordingSurface : public DrawingSurface {
public:
    float outerWidth = 8655;
    float outerHeight = 7215;
    std::optional<std::size_t> failAt; // index of the operation that fails
    std::vector<SurfaceOp> ops;

    void clear() override { record({SurfaceOp::Clear}); }
    float width() override { record({SurfaceOp::Width}); return outerWidth; }
    float height() override { record({SurfaceOp::Height}); return outerHeight; }
    void setPen(float x, float y) override { record({SurfaceOp::SetPen, 0, 0, x, y}); }
    void lineTo(float x, float y, Colour c) override { record({SurfaceOp::LineTo, 0, 0, x, y, c}); }
    void line(float x1, float y1, float x2, float y2, Colour c) override
    {
        record({SurfaceOp::Line, x1, y1, x2, y2, c});
    }
    void text(float x, float y, std::string_view t, Colour c, TextAnchor a) override
    {
        record({SurfaceOp::Text, 0, 0, x, y, c, std::string(t), a});
    }

    std::vector<SurfaceOp> linesOf(Colour colour) const
    {
        std::vector<SurfaceOp> out;
        for (const SurfaceOp &op : ops)
            if ((op.kind == SurfaceOp::LineTo || op.kind == SurfaceOp::Line) && op.colour == colour)
                out.push_back(op);
        return out;
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const SurfaceOp &op : ops)
            if (op.kind == SurfaceOp::Text)
                out.push_back(op.text);
        return out;
    }
    // Every point the lines and texts name, for checks over a whole drawing:
    // the ends of each line (a line to the pen's point names only its end).
    std::vector<std::pair<float, float>> points() const
    {
        std::vector<std::pair<float, float>> out;
        for (const SurfaceOp &op : ops) {
            if (op.kind == SurfaceOp::Line)
                out.emplace_back(op.x1, op.y1);
            if (op.kind == SurfaceOp::Line || op.kind == SurfaceOp::LineTo || op.kind == SurfaceOp::SetPen ||
                op.kind == SurfaceOp::Text)
                out.emplace_back(op.x2, op.y2);
        }
        return out;
    }
    std::vector<SurfaceOp> opsOf(SurfaceOp::Kind kind, Colour colour) const
    {
        std::vector<SurfaceOp> out;
        for (const SurfaceOp &op : ops)
            if (op.kind == kind && op.colour == colour)
                out.push_back(op);
        return out;
    }
    std::size_t count(SurfaceOp::Kind kind) const
    {
        std::size_t n = 0;
        for (const SurfaceOp &op : ops)
            n += op.kind == kind;
        return n;
    }

private:
    void record(SurfaceOp op)
    {
        if (failAt && ops.size() == *failAt)
            throw ControlError("surface failed");
        ops.push_back(op);
    }
};

class FakeControls : public FaceControls {
public:
    std::map<SliderId, std::int32_t> sliders{
        {SliderId::Slider1, 100}, {SliderId::Slider2, 100}, {SliderId::Slider3, 0}};
    std::map<CaptionId, std::string> captions;
    std::vector<std::string> log; // "read Slider1", "set dbomni" ... in order
    std::optional<std::size_t> failAt; // index into log of the control call that fails, once
    RecordingSurface gra;
    std::string separator = ".";
    ViewSettings view;

    std::int32_t sliderValue(SliderId id) override
    {
        step("read " + Name(id));
        return sliders.at(id);
    }
    // The sliders' ranges, as the layout table gives them.
    void setSliderValue(SliderId id, std::int32_t value) override
    {
        step("move " + Name(id));
        const std::int32_t lowest = id == SliderId::Slider3 ? -180 : 0;
        const std::int32_t highest = id == SliderId::Slider3 ? 180 : 100;
        if (value < lowest || value > highest)
            throw ControlError("Invalid property value for " + Name(id));
        sliders[id] = value;
    }
    void setCaption(CaptionId id, const std::string &text) override
    {
        step("set " + Name(id));
        captions[id] = text;
    }
    DrawingSurface &surface() override { return gra; }
    std::string decimalSeparator() override { return separator; }
    ViewSettings plotView() override { return view; }

    static std::string Name(SliderId id)
    {
        return "Slider" + std::to_string(static_cast<int>(id) + 1);
    }
    static std::string Name(CaptionId id)
    {
        static const char *names[] = {"dbomni", "dbfig8", "LblAngle", "LblGain"};
        return names[static_cast<int>(id)];
    }

private:
    // The call at failAt fails once; the handler it ends makes no more, and
    // what the face reads afterwards answers again.
    void step(std::string what)
    {
        if (failAt && log.size() == *failAt) {
            failAt.reset();
            throw ControlError("control failed: " + what);
        }
        log.push_back(std::move(what));
    }
};

} // namespace orvane::testing
