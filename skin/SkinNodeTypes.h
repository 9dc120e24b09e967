// The engine's own node types in the node factory. It knows every type, the list's too,
// so it sits above all of the engine's folders.
#pragma once

namespace skin {

// "node", "text", "color", "image", "htable", "vtable", "button", "multinode",
// "progress", "clip", "vlist", "edit", "label_edit" and "richtext".
void register_skin_node_types();
void unregister_skin_node_types();

} // namespace skin
