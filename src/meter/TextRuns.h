#pragma once

#include <QFont>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace pelicard::modGraph {

// Changes whenever fonts may resolve differently than before: the application's font database or
// default font changed, or the application object was replaced. Anything derived from a font
// description (pixel sizes, rendered texts) is stale once this has moved on.
std::uint64_t FontGeneration();

// A run of pixels of one row, relative to a text's pen point (the left end of its base line).
struct TextRun {
    int dy;
    int dx;
    int length;
};

// A text as the raster engine paints it with a solid pen and no antialiasing: its measures and, when
// it could be captured exactly, the pixels it covers. Each covered pixel takes the pen colour and
// nothing else is touched, so painting the runs in a colour gives the pixels of drawing the text.
struct RenderedText {
    enum class State {
        Seen, // painted once and not rendered yet: only texts painted again are worth capturing
        Captured,
        // Partly covered pixels, pixels that do not take the pen colour, or a text too large to render
        // aside: the engine draws it each time.
        NotCaptured,
    };
    State state = State::Seen;
    int advance = 0;
    int ascent = 0;
    int descent = 0;
    std::vector<TextRun> runs;
};

// Renders the text in the font into a transparent picture of its own and collects its pixels.
RenderedText RenderText(const QFont& font, const QString& text);

// Everything the pixels of a text at a given pen point depend on, besides the font generation.
struct TextKey {
    QString text;
    QString fontName;
    int fontSize = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool operator==(const TextKey&) const = default;
};

// The texts rendered lately. It holds at most twice its capacity: when the recent half is full it
// becomes the older half, and a text found there moves back to the recent half, so texts painted at
// every frame stay while texts that change at every frame pass through. A new font generation
// empties it. A returned entry stays valid until the next Find or Insert.
class TextRunCache {
public:
    RenderedText* Find(const TextKey& key);
    RenderedText& Insert(const TextKey& key, RenderedText rendered);

private:
    struct KeyHash {
        std::size_t operator()(const TextKey& key) const;
    };
    using Map = std::unordered_map<TextKey, RenderedText, KeyHash>;
    static constexpr std::size_t kCapacity = 256;

    void MakeRoom();

    Map recent_;
    Map older_;
    std::uint64_t generation_ = 0;
};

} // namespace pelicard::modGraph
