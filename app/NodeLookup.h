// Finding the nodes a page needs inside its own template, with the kind it needs: a node
// that is missing, or is of another kind, is a skin that does not match the program.
#pragma once

#include "skin/nodes/SkinErrors.h"
#include "skin/nodes/SkinNode.h"

#include <string_view>

namespace weather {

template <typename Node> Node& find_node(const skin::SkinNode& root, std::u16string_view id)
{
    auto* node = dynamic_cast<Node*>(root.find_descendant(id));
    if (!node)
        throw plexor::NodeNotFound(root.id(), id);
    return *node;
}

} // namespace weather
