#include "app/AppNodeTypes.h"
#include "app/PageContainer.h"

#include "skin/nodes/NodeFactory.h"

namespace weather {

void register_app_node_types()
{
    skin::NodeFactory::register_class<PageContainer>(u"icon_page");
}

void unregister_app_node_types()
{
    skin::NodeFactory::unregister_type(u"icon_page");
}

} // namespace weather
