#include "app/AppNodeTypes.h"
#include "app/HourStrip.h"
#include "app/PageContainer.h"
#include "app/ReorderList.h"

#include "skin/nodes/NodeFactory.h"

namespace weather {

void register_app_node_types()
{
    skin::NodeFactory::register_class<PageContainer>(u"icon_page");
    skin::NodeFactory::register_class<ReorderList>(u"svlist");
    skin::NodeFactory::register_class<HourStrip>(u"hour_strip");
}

void unregister_app_node_types()
{
    skin::NodeFactory::unregister_type(u"icon_page");
    skin::NodeFactory::unregister_type(u"svlist");
    skin::NodeFactory::unregister_type(u"hour_strip");
}

} // namespace weather
