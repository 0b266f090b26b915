// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The run-time drawing of one surface as data: every stroke since the last
// clear, in twips, in drawing order, so that it can be drawn again at any
// scale.
//
// The record stays bounded however long a run lasts. A stroke that a later
// one covers exactly (the same ends and pen, whatever its colour) is
// dropped; a stroke that goes on from the end of the last one of its colour
// and pen, in the same direction, with nothing drawn since in its way,
// extends it. A needle therefore keeps at most one stroke per position it
// has been drawn at (its erase strokes included), and a graph trace a few
// per twip of its width, whatever the pass rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvara::ui {

class StrokeRecord {
public:
    struct Stroke {
        std::int32_t x1, y1, x2, y2; // twips, whole numbers
        std::uint32_t colour;        // 0xAARRGGBB
        std::uint8_t pen;            // pixels at the natural size
        bool alive;
    };

    // Records a stroke drawn over everything recorded so far.
    void Add(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
             std::uint32_t colour, int pen);
    void Clear();
    bool Empty() const { return strokes_.size() == dead_; }

    // The strokes to draw, bottom to top.
    template <typename Draw> void ForEach(Draw&& draw) const {
        for (const Stroke& s : strokes_) {
            if (s.alive) {
                draw(s);
            }
        }
    }

    std::size_t Count() const { return strokes_.size() - dead_; }
    // Bytes the record and its index hold.
    std::size_t MemoryBytes() const;

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    // Holes in the record before it is packed again, at the least.
    static constexpr std::size_t kPackFloor = 1024;
    // How far back a stroke looks for the one it continues.
    static constexpr int kExtendLookBack = 4;

    static bool SameGeometry(const Stroke& a, const Stroke& b);
    static std::size_t Hash(const Stroke& s);

    bool Extend(const Stroke& s);
    // The index: open addressing over positions in `strokes_`, by geometry.
    std::size_t FindSlot(const Stroke& s) const;
    void IndexInsert(std::uint32_t position);
    void IndexErase(std::size_t slot);
    void Rebuild(std::size_t slots);
    void Pack();

    std::vector<Stroke> strokes_;
    std::vector<std::uint32_t> index_;
    std::size_t dead_ = 0;
};

} // namespace kelvara::ui
