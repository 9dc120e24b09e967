// The node types of the application itself, registered with the engine's node factory
// before any skin is loaded and removed after the message loop: "icon_page" (the main
// form's page strip), "svlist" (the city list with row moving) and "hour_strip" (the
// detail form's hours).
#pragma once

namespace weather {

void register_app_node_types();
void unregister_app_node_types();

} // namespace weather
