// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/paint/stroke_record.h"

#include <algorithm>
#include <cstdlib>

namespace kelvara::ui {

namespace {

constexpr std::int64_t kTwipsPerPixel = 15;

struct Box {
    std::int64_t left, top, right, bottom;
};

// The stroke's extent grown by its pen, in twips.
Box Reach(const StrokeRecord::Stroke& s, std::int64_t pen) {
    const std::int64_t margin = pen * kTwipsPerPixel;
    return {std::min(s.x1, s.x2) - margin, std::min(s.y1, s.y2) - margin,
            std::max(s.x1, s.x2) + margin, std::max(s.y1, s.y2) + margin};
}

bool Overlap(const Box& a, const Box& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

bool StrokeRecord::SameGeometry(const Stroke& a, const Stroke& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 && a.pen == b.pen;
}

std::size_t StrokeRecord::Hash(const Stroke& s) {
    std::uint64_t h = s.pen;
    for (const std::int32_t v : {s.x1, s.y1, s.x2, s.y2}) {
        h = (h ^ static_cast<std::uint32_t>(v)) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 29;
    }
    return static_cast<std::size_t>(h);
}

std::size_t StrokeRecord::MemoryBytes() const {
    return strokes_.capacity() * sizeof(Stroke) + index_.capacity() * sizeof(std::uint32_t);
}

void StrokeRecord::Clear() {
    strokes_.clear();
    std::fill(index_.begin(), index_.end(), kEmpty);
    dead_ = 0;
}

std::size_t StrokeRecord::FindSlot(const Stroke& s) const {
    if (index_.empty()) {
        return index_.size();
    }
    const std::size_t mask = index_.size() - 1;
    for (std::size_t i = Hash(s) & mask;; i = (i + 1) & mask) {
        if (index_[i] == kEmpty) {
            return index_.size();
        }
        if (SameGeometry(strokes_[index_[i]], s)) {
            return i;
        }
    }
}

void StrokeRecord::IndexInsert(std::uint32_t position) {
    // At most half full, so that every search ends soon at a free slot. A
    // rebuild indexes every live stroke, this one included.
    if (2 * Count() > index_.size()) {
        Rebuild(4 * Count());
        return;
    }
    const std::size_t mask = index_.size() - 1;
    std::size_t i = Hash(strokes_[position]) & mask;
    while (index_[i] != kEmpty) {
        i = (i + 1) & mask;
    }
    index_[i] = position;
}

// Empties a slot and moves up the entries after it that would otherwise
// no longer be found from their home slot.
void StrokeRecord::IndexErase(std::size_t slot) {
    const std::size_t mask = index_.size() - 1;
    std::size_t hole = slot;
    index_[hole] = kEmpty;
    for (std::size_t j = (hole + 1) & mask; index_[j] != kEmpty; j = (j + 1) & mask) {
        const std::size_t home = Hash(strokes_[index_[j]]) & mask;
        const bool reachable = hole <= j ? (home > hole && home <= j) : (home > hole || home <= j);
        if (!reachable) {
            index_[hole] = index_[j];
            index_[j] = kEmpty;
            hole = j;
        }
    }
}

void StrokeRecord::Rebuild(std::size_t slots) {
    std::size_t size = 64;
    while (size < slots) {
        size *= 2;
    }
    index_.assign(size, kEmpty);
    const std::size_t mask = size - 1;
    for (std::size_t p = 0; p < strokes_.size(); ++p) {
        if (strokes_[p].alive) {
            std::size_t i = Hash(strokes_[p]) & mask;
            while (index_[i] != kEmpty) {
                i = (i + 1) & mask;
            }
            index_[i] = static_cast<std::uint32_t>(p);
        }
    }
}

void StrokeRecord::Pack() {
    std::erase_if(strokes_, [](const Stroke& s) { return !s.alive; });
    dead_ = 0;
    Rebuild(std::max<std::size_t>(64, 4 * strokes_.size()));
}

bool StrokeRecord::Extend(const Stroke& s) {
    const Box reach = Reach(s, s.pen);
    int looked = 0;
    for (std::size_t i = strokes_.size(); i-- > 0 && looked < kExtendLookBack;) {
        Stroke& m = strokes_[i];
        if (!m.alive) {
            continue;
        }
        ++looked;
        if (m.colour == s.colour && m.pen == s.pen && m.x2 == s.x1 && m.y2 == s.y1) {
            const std::int64_t dx1 = m.x2 - m.x1;
            const std::int64_t dy1 = m.y2 - m.y1;
            const std::int64_t dx2 = s.x2 - s.x1;
            const std::int64_t dy2 = s.y2 - s.y1;
            if (dx2 == 0 && dy2 == 0) {
                return true; // a point on the end of `m`, inside its square cap
            }
            if (dx1 * dy2 != dy1 * dx2 || dx1 * dx2 + dy1 * dy2 < 0) {
                return false; // turns or goes back: a stroke of its own
            }
            Stroke grown = m;
            grown.x2 = s.x2;
            grown.y2 = s.y2;
            if (FindSlot(grown) != index_.size()) {
                return false; // would merge with a stroke drawn elsewhere
            }
            IndexErase(FindSlot(m));
            m = grown;
            IndexInsert(static_cast<std::uint32_t>(i));
            return true;
        }
        // A stroke drawn since, which the extension would pass under.
        if (Overlap(Reach(m, std::max(m.pen, s.pen)), reach)) {
            return false;
        }
    }
    return false;
}

void StrokeRecord::Add(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                       std::uint32_t colour, int pen) {
    const Stroke s{x1,  y1, x2, y2, colour, static_cast<std::uint8_t>(std::clamp(pen, 0, 255)),
                   true};
    if (Extend(s)) {
        return;
    }
    if (const std::size_t slot = FindSlot(s); slot != index_.size()) {
        // Covered exactly by the new stroke at every scale.
        strokes_[index_[slot]].alive = false;
        ++dead_;
        IndexErase(slot);
    }
    strokes_.push_back(s);
    IndexInsert(static_cast<std::uint32_t>(strokes_.size() - 1));
    if (dead_ > kPackFloor && 2 * dead_ > strokes_.size()) {
        Pack();
    }
}

} // namespace kelvara::ui
