#include "app/ConditionPictures.h"
#include "app/NodeLookup.h"

#include <string>

namespace weather {

ConditionPictures::ConditionPictures(skin::SkinNode& root)
{
    for (int32_t code = 0; code <= last_condition + 1; ++code) {
        std::u16string id = u"imagebad";
        if (code <= last_condition) {
            std::string digits = std::to_string(code);
            id = u"image" + std::u16string(digits.begin(), digits.end());
        }
        skin::ImageNode& node = find_node<skin::ImageNode>(root, id);
        node.set_visible(false);
        m_sources[size_t(code)] = &node;
    }
}

const skin::ImageNode& ConditionPictures::source(int32_t condition) const
{
    bool known = condition >= 0 && condition <= last_condition;
    return *m_sources[known ? size_t(condition) : size_t(last_condition + 1)];
}

} // namespace weather
