// The condition pictures of a page's template: the picture nodes "image0" to "image47"
// and "imagebad". They are sources only, never drawn themselves; a page copies the one
// of a condition into its own picture node.
#pragma once

#include "skin/nodes/ImageNode.h"
#include "skin/draw/PictureRef.h"

#include <array>
#include <cstdint>

namespace weather {

class ConditionPictures {
public:
    static constexpr int32_t last_condition = 47;

    // Finds every source below the root and hides it; a missing one raises
    // plexor::NodeNotFound with its name.
    explicit ConditionPictures(skin::SkinNode& root);

    // "image" + the code for 0 to 47, else "imagebad".
    const skin::ImageNode& source(int32_t condition) const;
    const skin::PictureRef& picture(int32_t condition) const { return source(condition).picture(); }

private:
    std::array<skin::ImageNode*, last_condition + 2> m_sources {};
};

} // namespace weather
