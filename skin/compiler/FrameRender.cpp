#include "skin/compiler/FrameRender.h"

#include "platform/TextEncoding.h"
#include "skin/SkinNodeTypes.h"
#include "skin/draw/Drawing.h"
#include "skin/draw/FramePng.h"
#include "skin/draw/RenderSurface.h"
#include "skin/draw/SolidFill.h"
#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/NodeFactory.h"
#include "skin/nodes/SkinErrors.h"
#include "skin/text/FreeTypeFont.h"

namespace skinc {

bool render_frame(const std::string& skin_path, const std::string& node_name, int width, int height, int dpi,
    const std::string& output_path, std::string& error)
{
    if (width <= 0 || height <= 0) {
        error = "the screen size must be positive";
        return false;
    }
    skin::install_freetype_fonts();
    // A program that has the engine's types already keeps them.
    bool registering = !skin::NodeFactory::is_registered(u"node");
    if (registering)
        skin::register_skin_node_types();
    struct Unregister {
        bool active;
        ~Unregister()
        {
            if (active)
                skin::unregister_skin_node_types();
        }
    } unregister { registering };

    skin::PropertiesImpl properties;
    if (!properties.load_skin(platform::from_utf8(skin_path), skin::ScreenInfo::make(width, height, dpi))) {
        error = skin_path + ": the skin does not load";
        return false;
    }
    skin::FormNode form;
    try {
        form.build(properties, platform::from_utf8(node_name));
    } catch (const std::exception& e) {
        error = skin_path + ": " + e.what();
        return false;
    }
    skin::place_on_screen(form, width, height);
    skin::RenderSurface frame(width, height);
    skin::fill(frame, { 0, 0 }, { width, height }, skin::SolidFill(skin::to_565(form.outside_color())));
    form.draw_node(frame, { 0, 0 });
    if (!skin::write_png(output_path, frame.buffer())) {
        error = output_path + ": cannot write the frame";
        return false;
    }
    return true;
}

} // namespace skinc
