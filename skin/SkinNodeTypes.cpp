#include "skin/SkinNodeTypes.h"

#include "skin/list/ListNode.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/ClipNode.h"
#include "skin/nodes/EditNode.h"
#include "skin/nodes/FillNode.h"
#include "skin/nodes/HTableNode.h"
#include "skin/nodes/ImageNode.h"
#include "skin/nodes/LabelEditNode.h"
#include "skin/nodes/MultiNode.h"
#include "skin/nodes/NodeFactory.h"
#include "skin/nodes/ProgressNode.h"
#include "skin/nodes/RichTextNode.h"
#include "skin/nodes/TextNode.h"
#include "skin/nodes/VTableNode.h"

namespace skin {

namespace {

constexpr std::u16string_view own_types[] = {
    u"node", u"text", u"color", u"image", u"htable", u"vtable", u"button", u"multinode", u"progress", u"clip",
    u"vlist", u"edit", u"label_edit", u"richtext",
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
    NodeFactory::register_class<EditNode>(u"edit");
    NodeFactory::register_class<LabelEditNode>(u"label_edit");
    NodeFactory::register_class<RichTextNode>(u"richtext");
}

void unregister_skin_node_types()
{
    for (std::u16string_view type : own_types)
        NodeFactory::unregister_type(type);
}

} // namespace skin
