// The process-wide table of node types: the skin's "type" attribute picks the class.
#pragma once

#include "skin/nodes/SkinNode.h"

#include <functional>
#include <memory>
#include <string_view>

namespace skin {

class NodeFactory {
public:
    using Constructor = std::function<std::unique_ptr<SkinNode>()>;

    // Throws plexor::NodeAlreadyRegistered when the type has a constructor.
    static void register_type(std::u16string_view type, Constructor constructor);
    static void unregister_type(std::u16string_view type);
    static bool is_registered(std::u16string_view type);
    // Throws plexor::NodeNotRegistered for an unknown type.
    static std::unique_ptr<SkinNode> create(std::u16string_view type);

    template<typename Node>
    static void register_class(std::u16string_view type)
    {
        register_type(type, [] { return std::make_unique<Node>(); });
    }
};

} // namespace skin
