// A blender made of one per-pixel rule: the four run operations are plain loops over the
// rule, written so that the compiler can vectorise them; the opaque copy is a row copy.
#pragma once

#include "skin/draw/Blender.h"

#include <algorithm>
#include <cstring>

namespace skin {

template<typename Rule>
class RuleBlender final : public Blender {
public:
    explicit RuleBlender(Rule rule = {})
        : m_rule(rule)
    {
    }
    const Rule& rule() const { return m_rule; }

    BlenderPtr clone() const override { return std::make_unique<RuleBlender>(*this); }

    void copy_run(Pixel* target, const Pixel* source, int count) const override
    {
        if (count <= 0)
            return;
        if constexpr (Rule::plain_copy) {
            std::memmove(target, source, size_t(count) * sizeof(Pixel));
        } else {
            run(target, source, count);
        }
    }

    void copy_stepped(Pixel* target, const Pixel* source, int count, int position, int step) const override
    {
        for (int i = 0; i < count; ++i) {
            target[i] = m_rule(source[position >> 10], target[i]);
            position += step;
        }
    }

    void copy_shifted(Pixel* target, const Pixel* source, int count, int start, int shift) const override
    {
        if (shift == 0) {
            copy_run(target, source + start, count);
            return;
        }
        if (shift == 1 && count > 0) {
            // Pixel doubling of 2x screens: an odd start takes the second half of a pair.
            const Pixel* s = source + (start >> 1);
            int i = 0;
            if (start & 1) {
                target[0] = m_rule(s[0], target[0]);
                ++s;
                i = 1;
            }
            int pairs = (count - i) / 2;
            doubled(target + i, s, pairs);
            i += 2 * pairs;
            if (i < count)
                target[i] = m_rule(s[pairs], target[i]);
            return;
        }
        for (int i = 0; i < count; ++i)
            target[i] = m_rule(source[(start + i) >> shift], target[i]);
    }

    void copy_tiled(Pixel* target, const Pixel* source, int count, int start, int shift, int end, int restart) const override
    {
        if constexpr (Rule::plain_copy) {
            if (shift == 0 && restart < end) {
                copy_repeated(target, source, count, start, end, restart);
                return;
            }
        }
        copy_tiled_spans(target, source, count, start, shift, end, restart);
    }

private:
    // A plain copy of a tile: after the first partial span and one whole period, the
    // target repeats itself, so it is copied from its own beginning in growing chunks.
    static void copy_repeated(Pixel* target, const Pixel* source, int count, int start, int end, int restart)
    {
        int head = std::min(count, std::max(end - start, 0));
        std::memcpy(target, source + start, size_t(head) * sizeof(Pixel));
        target += head;
        count -= head;
        if (count <= 0)
            return;
        int period = end - restart;
        int filled = std::min(count, period);
        std::memcpy(target, source + restart, size_t(filled) * sizeof(Pixel));
        while (filled < count) {
            int n = std::min(filled, count - filled);
            std::memcpy(target + filled, target, size_t(n) * sizeof(Pixel));
            filled += n;
        }
    }

    void doubled(Pixel* __restrict target, const Pixel* __restrict source, int pairs) const
    {
        if constexpr (Rule::plain_copy) {
            for (int k = 0; k < pairs; ++k)
                target[2 * k] = target[2 * k + 1] = source[k];
            return;
        }
        // Doubled into a small buffer first, so that the rule runs as the straight loop does.
        constexpr int chunk = 128;
        Pixel wide[2 * chunk];
        while (pairs > 0) {
            int n = std::min(pairs, chunk);
            for (int k = 0; k < n; ++k)
                wide[2 * k] = wide[2 * k + 1] = source[k];
            run(target, wide, 2 * n);
            target += 2 * n;
            source += n;
            pairs -= n;
        }
    }

    void run(Pixel* __restrict target, const Pixel* __restrict source, int count) const
    {
        for (int i = 0; i < count; ++i)
            target[i] = m_rule(source[i], target[i]);
    }

    Rule m_rule;
};

} // namespace skin
