#include "meter/VuPanel.h"

#include "values/Colours.h"

#include <algorithm>
#include <cstring>

namespace pelicard {

namespace {

struct GaugePlace {
    std::int16_t style;
    std::int32_t cx;
    std::int32_t cy;
    bool clr;
};

constexpr std::array<GaugePlace, 3> kPlaces = { {
    { 0, 100, 100, true },
    { 1, 250, 65, false },
    { 2, 250, 155, false },
} };

constexpr std::uint32_t kBackground = colour::GaugeBackground;

bool SameTexts(const VuTexts& a, const VuTexts& b)
{
    return a.functionText == b.functionText && a.ModeCaption == b.ModeCaption
        && a.readingText == b.readingText && a.meterScale == b.meterScale && a.recordStamp == b.recordStamp;
}

// Formats whose pixels are the 32-bit value the drawing operations write for an opaque colour.
bool HoldsOpaqueWords(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32
        || format == QImage::Format_ARGB32_Premultiplied;
}

} // namespace

VuPanel::VuPanel(const VuTexts& texts)
    : texts_(texts)
{
    for (clsVUmeter& meter : meters_) {
        meter.SetTexts(&texts_);
    }
}

void VuPanel::vuActivate(QImage& picture)
{
    picture_ = &picture;
    for (std::size_t k = 0; k < meters_.size(); ++k) {
        meters_[k].Init_Picture(&picture, 0, picture.width(), picture.height());
        meters_[k].SetVUDefaults(kPlaces[k].style, kPlaces[k].cx, kPlaces[k].cy);
    }
    PaintFrame(CurrentState());
}

bool VuPanel::Tick()
{
    if (picture_ == nullptr) {
        return false;
    }
    for (clsVUmeter& meter : meters_) {
        meter.AnimationLoop();
    }
    FrameState state = CurrentState();
    if (painted_ && SameFrame(state, lastFrame_)) {
        return false;
    }
    PaintFrame(std::move(state));
    return true;
}

bool VuPanel::AtRest() const
{
    return picture_ == nullptr || std::all_of(meters_.begin(), meters_.end(), [](const clsVUmeter& meter) {
        return meter.AtRest();
    });
}

void VuPanel::SetDialCache(bool enabled)
{
    dialCache_ = enabled;
}

void VuPanel::PaintFrame(FrameState state)
{
    // The state is taken before painting: a clipped needle leaves its gauge's clip area changed, and
    // the next frame must be compared with the state this one started from.
    for (std::size_t k = 0; k < meters_.size(); ++k) {
        clsVUmeter& meter = meters_[k];
        if (dialCache_ && CanUseLayer(meter)) {
            CopyLayer(LayerFor(k));
            meter.PaintReadings(*picture_);
        } else {
            meter.Draw(kBackground, kBackground, kPlaces[k].clr);
        }
    }
    // Our own writes change the picture's key too; a different key at the next tick means someone
    // else painted into the picture.
    state.pictureKey = picture_->cacheKey();
    lastFrame_ = std::move(state);
    painted_ = true;
    ++framesPainted_;
}

bool VuPanel::CanUseLayer(const clsVUmeter& meter) const
{
    return meter.GetSettings().picture.hDC == picture_ && !picture_->isNull()
        && HoldsOpaqueWords(picture_->format());
}

const VuPanel::DialLayer& VuPanel::LayerFor(std::size_t index)
{
    DialLayer& layer = layers_[index];
    const clsVUmeter& meter = meters_[index];
    if (layer.valid && layer.settings == meter.GetSettings() && layer.clip == meter.GetClip()
        && layer.size == picture_->size()) {
        return layer;
    }

    // Fresh pages cost far more than clearing the ones we have.
    if (layer.image.size() != picture_->size()) {
        layer.image = QImage(picture_->size(), QImage::Format_ARGB32_Premultiplied);
    }
    layer.image.fill(Qt::transparent);
    meter.PaintDial(layer.image, kBackground, kBackground, kPlaces[index].clr);
    layer.spans.clear();
    const int width = layer.image.width();
    const int height = layer.image.height();
    const uchar* bits = layer.image.constBits();
    const qsizetype bytesPerLine = layer.image.bytesPerLine();
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(bits + bytesPerLine * y);
        int x = 0;
        while (x < width) {
            if (qAlpha(row[x]) != 255) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && qAlpha(row[x]) == 255) {
                ++x;
            }
            layer.spans.push_back(Span { y, start, x - start });
        }
    }
    layer.settings = meter.GetSettings();
    layer.clip = meter.GetClip();
    layer.size = picture_->size();
    layer.valid = true;
    return layer;
}

void VuPanel::CopyLayer(const DialLayer& layer)
{
    uchar* bits = picture_->bits();
    const qsizetype bytesPerLine = picture_->bytesPerLine();
    const uchar* layerBits = layer.image.constBits();
    const qsizetype layerBytesPerLine = layer.image.bytesPerLine();
    for (const Span& span : layer.spans) {
        const auto* from = reinterpret_cast<const QRgb*>(layerBits + layerBytesPerLine * span.y) + span.x;
        auto* to = reinterpret_cast<QRgb*>(bits + bytesPerLine * span.y) + span.x;
        std::memcpy(to, from, static_cast<std::size_t>(span.length) * sizeof(QRgb));
    }
}

VuPanel::FrameState VuPanel::CurrentState() const
{
    FrameState state;
    for (std::size_t k = 0; k < meters_.size(); ++k) {
        state.settings[k] = meters_[k].GetSettings();
        state.clips[k] = meters_[k].GetClip();
        state.needles[k] = meters_[k].GetNeedleShape();
        state.textSources[k] = meters_[k].GetTexts();
    }
    state.texts = texts_;
    state.picture = picture_;
    state.size = picture_ != nullptr ? picture_->size() : QSize();
    state.pictureKey = picture_ != nullptr ? picture_->cacheKey() : 0;
    return state;
}

bool VuPanel::SameFrame(const FrameState& a, const FrameState& b) const
{
    // Texts held elsewhere may change without our knowing; such a gauge is painted every time.
    for (const VuTexts* source : a.textSources) {
        if (source != nullptr && source != &texts_) {
            return false;
        }
    }
    return a.picture == b.picture && a.size == b.size && a.pictureKey == b.pictureKey
        && a.settings == b.settings && a.clips == b.clips && a.needles == b.needles
        && a.textSources == b.textSources && SameTexts(a.texts, b.texts);
}

} // namespace pelicard
