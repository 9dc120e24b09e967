#include "skin/draw/Blenders.h"

#include "skin/draw/MaskBlender.h"
#include "skin/draw/PixelRules.h"
#include "skin/draw/RuleBlender.h"

#include <algorithm>

namespace skin {

BlenderPtr make_opaque_copy()
{
    return std::make_unique<RuleBlender<rules::OpaqueCopy>>();
}

BlenderPtr make_level_blender(int level)
{
    switch (std::clamp(level, 0, 4)) {
    case 0:
        return std::make_unique<RuleBlender<rules::Level0>>();
    case 1:
        return std::make_unique<RuleBlender<rules::Level1>>();
    case 2:
        return std::make_unique<RuleBlender<rules::Level2>>();
    case 3:
        return std::make_unique<RuleBlender<rules::Level3>>();
    default:
        return std::make_unique<RuleBlender<rules::Level4>>();
    }
}

int alpha_level(int alpha)
{
    return std::clamp(alpha / 64, 0, 4);
}

BlenderPtr make_alpha_blender(int alpha)
{
    return make_level_blender(alpha_level(alpha));
}

const Blender& shared_opaque_copy()
{
    static const BlenderPtr b = make_opaque_copy();
    return *b;
}

const Blender& shared_level_blender(int level)
{
    static const BlenderPtr levels[5] = { make_level_blender(0), make_level_blender(1), make_level_blender(2),
        make_level_blender(3), make_level_blender(4) };
    return *levels[std::clamp(level, 0, 4)];
}

BlenderPtr make_text_merge()
{
    return std::make_unique<RuleBlender<rules::TextMerge>>();
}

BlenderPtr make_colour_modulate(int red, int green, int blue, bool or_onto_target)
{
    return std::make_unique<RuleBlender<rules::ColourModulate>>(rules::ColourModulate { red, green, blue, or_onto_target });
}

BlenderPtr make_mask_blender(const PixelBuffer& source, const PixelBuffer& mask)
{
    return std::make_unique<MaskBlender>(source, mask);
}

} // namespace skin
