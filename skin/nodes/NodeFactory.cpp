#include "skin/nodes/NodeFactory.h"

#include "skin/nodes/SkinErrors.h"

#include <map>
#include <string>

namespace skin {

namespace {

std::map<std::u16string, NodeFactory::Constructor, std::less<>>& constructors()
{
    static auto* table = new std::map<std::u16string, NodeFactory::Constructor, std::less<>>;
    return *table;
}

} // namespace

void NodeFactory::register_type(std::u16string_view type, Constructor constructor)
{
    if (!constructors().emplace(std::u16string(type), std::move(constructor)).second)
        throw plexor::NodeAlreadyRegistered(type);
}

void NodeFactory::unregister_type(std::u16string_view type)
{
    auto found = constructors().find(type);
    if (found != constructors().end())
        constructors().erase(found);
}

bool NodeFactory::is_registered(std::u16string_view type)
{
    return constructors().find(type) != constructors().end();
}

std::unique_ptr<SkinNode> NodeFactory::create(std::u16string_view type)
{
    auto found = constructors().find(type);
    if (found == constructors().end())
        throw plexor::NodeNotRegistered(type);
    return found->second();
}

} // namespace skin
