#pragma once

#include "meter/VuTexts.h"
#include "meter/clsVUmeter.h"
#include "meter/modGraph.h"

#include <QImage>
#include <QSize>

#include <array>
#include <cstdint>
#include <vector>

namespace pelicard {

// The main window's three gauges in one picture, without any widget: gauge 0 (the main reading)
// clears the picture, gauges 1 and 2 (the sub readings) paint over it.
//
// A tick paints only when the frame would differ from the one already in the picture: needle
// shapes (whole degrees), settings, texts or the picture itself changed. The parts of each gauge
// that depend only on its settings are rendered once into a layer and copied in; because every
// drawing operation writes opaque pixels, copying the layer gives exactly the pixels of a full
// repaint.
class VuPanel {
public:
    // The texts must outlive the panel.
    explicit VuPanel(const VuTexts& texts);
    VuPanel(const VuPanel&) = delete;
    VuPanel& operator=(const VuPanel&) = delete;

    std::array<clsVUmeter, 3>& vuMeters() { return meters_; }
    const std::array<clsVUmeter, 3>& vuMeters() const { return meters_; }

    // Sets the three gauges up on the picture (its size taken afresh) in their styles and paints
    // them. The picture must outlive the panel or the next vuActivate.
    void vuActivate(QImage& picture);
    // One animation tick: each gauge takes one step and the frame is painted if it changed.
    // Returns whether it painted. Nothing happens before the first vuActivate.
    bool Tick();
    // After a Tick: whether more ticks would paint nothing until a gauge, a text or the picture is
    // set again (every needle settled, the frame up to date). True before the first vuActivate.
    bool AtRest() const;

    // Off: every frame is painted element by element (for comparison; the pixels are the same).
    void SetDialCache(bool enabled);
    // Number of frames painted since construction.
    std::uint64_t GetFramesPainted() const { return framesPainted_; }

private:
    struct Span {
        int y;
        int x;
        int length;
    };
    // A gauge's settings-only part, with the state it was rendered for.
    struct DialLayer {
        bool valid = false;
        clsVUmeter::Settings settings;
        ClipBand clip;
        QSize size;
        QImage image;
        std::vector<Span> spans; // the opaque runs of the image
    };
    // Everything the pixels of a frame depend on.
    struct FrameState {
        std::array<clsVUmeter::Settings, 3> settings;
        std::array<ClipBand, 3> clips;
        std::array<clsVUmeter::NeedleShape, 3> needles;
        std::array<const VuTexts*, 3> textSources {};
        VuTexts texts;
        const QImage* picture = nullptr;
        QSize size;
        qint64 pictureKey = 0;
    };

    void PaintFrame(FrameState state);
    bool CanUseLayer(const clsVUmeter& meter) const;
    const DialLayer& LayerFor(std::size_t index);
    void CopyLayer(const DialLayer& layer);
    FrameState CurrentState() const;
    bool SameFrame(const FrameState& a, const FrameState& b) const;

    const VuTexts& texts_;
    std::array<clsVUmeter, 3> meters_;
    std::array<DialLayer, 3> layers_;
    QImage* picture_ = nullptr;
    bool dialCache_ = true;
    bool painted_ = false;
    FrameState lastFrame_;
    std::uint64_t framesPainted_ = 0;
};

} // namespace pelicard
