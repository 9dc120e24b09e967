#include "skin/ButtonNode.h"
#include "skin/ClipNode.h"
#include "skin/FillNode.h"
#include "skin/HTableNode.h"
#include "skin/ImageNode.h"
#include "skin/ListNode.h"
#include "skin/MultiNode.h"
#include "skin/NodeFactory.h"
#include "skin/ProgressNode.h"
#include "skin/TextNode.h"
#include "skin/VTableNode.h"

namespace skin {

namespace {

constexpr std::u16string_view own_types[] = {
    u"node", u"text", u"color", u"image", u"htable", u"vtable", u"button", u"multinode", u"progress", u"clip",
    u"vlist",
};

} // namespace

void register_skin_node_types()
{
    NodeFactory::register_class<SkinNode>(u"node");
    NodeFactory::register_class<TextNode>(u"text");
    NodeFactory::register_class<FillNode>(u"color");
    NodeFactory::register_class<ImageNode>(u"image");
    NodeFactory::register_class<HTableNode>(u"htable");
    NodeFactory::register_class<VTableNode>(u"vtable");
    NodeFactory::register_class<ButtonNode>(u"button");
    NodeFactory::register_class<MultiNode>(u"multinode");
    NodeFactory::register_class<ProgressNode>(u"progress");
    NodeFactory::register_class<ClipNode>(u"clip");
    NodeFactory::register_class<ListNode>(u"vlist");
}

void unregister_skin_node_types()
{
    for (std::u16string_view type : own_types)
        NodeFactory::unregister_type(type);
}

} // namespace skin
