#include "skin/compiler/FrameRender.h"
#include "skin/compiler/SkinSchema.h"

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

#include <set>

namespace skinc {

// Plain containers for the schema's types that this process has no class for, for the
// time of one render.
class StandIns {
public:
    explicit StandIns(std::vector<std::string>* notes)
        : m_notes(notes)
    {
        for (const NodeType& type : node_types()) {
            std::u16string name = platform::from_utf8(type.name);
            if (skin::NodeFactory::is_registered(name))
                continue;
            std::string text(type.name), by(type.registered_by);
            skin::NodeFactory::register_type(name, [this, text, by] {
                if (m_used.insert(text).second && m_notes)
                    m_notes->push_back("type '" + text + "' "
                        + (by == "engine" ? "is not in this engine" : "belongs to the " + by)
                        + ": drawn as a plain container");
                return std::make_unique<skin::SkinNode>();
            });
            m_types.push_back(std::move(name));
        }
    }
    ~StandIns()
    {
        for (const std::u16string& type : m_types)
            skin::NodeFactory::unregister_type(type);
    }
    StandIns(const StandIns&) = delete;
    StandIns& operator=(const StandIns&) = delete;

private:
    std::vector<std::string>* m_notes;
    std::vector<std::u16string> m_types;
    std::set<std::string> m_used;
};

FormPreview::FormPreview(std::vector<std::string>* notes)
{
    skin::install_freetype_fonts();
    // A program that has the engine's types already keeps them.
    m_registering = !skin::NodeFactory::is_registered(u"node");
    if (m_registering)
        skin::register_skin_node_types();
    m_stand_ins = std::make_unique<StandIns>(notes);
    m_form = std::make_unique<skin::FormNode>();
}

FormPreview::~FormPreview()
{
    // The nodes go before the types that made them.
    m_form.reset();
    m_stand_ins.reset();
    if (m_registering)
        skin::unregister_skin_node_types();
}

bool FormPreview::build(const std::string& skin_path, const std::string& node_name, int width, int height, int dpi,
    std::string& error)
{
    if (width <= 0 || height <= 0 || width > max_frame_side || height > max_frame_side) {
        error = "the screen size must be 1 to " + std::to_string(max_frame_side) + " pixels each way";
        return false;
    }
    if (dpi <= 0) {
        error = "the dpi must be positive";
        return false;
    }
    if (!m_properties.load_skin(platform::from_utf8(skin_path), skin::ScreenInfo::make(width, height, dpi))) {
        error = skin_path + ": the skin does not load";
        return false;
    }
    try {
        m_form->build(m_properties, platform::from_utf8(node_name));
    } catch (const std::exception& e) {
        error = skin_path + ": " + e.what();
        return false;
    }
    skin::place_on_screen(*m_form, width, height);
    return true;
}

bool render_frame(const std::string& skin_path, const std::string& node_name, int width, int height, int dpi,
    const std::string& output_path, std::string& error, std::vector<std::string>* notes)
{
    FormPreview preview(notes);
    if (!preview.build(skin_path, node_name, width, height, dpi, error))
        return false;
    skin::FormNode& form = preview.form();
    int64_t refused = skin::RenderSurface::refused_count();
    skin::RenderSurface frame(width, height);
    skin::fill(frame, { 0, 0 }, { width, height }, skin::SolidFill(skin::to_565(form.outside_color())));
    form.draw_node(frame, { 0, 0 });
    if (skin::RenderSurface::refused_count() != refused) {
        error = skin_path + ": " + node_name + " asks for a surface larger than "
            + std::to_string(skin::RenderSurface::max_side) + " pixels a side or "
            + std::to_string(skin::RenderSurface::max_pixels >> 20) + " M pixels in all";
        return false;
    }
    if (!skin::write_png(output_path, frame.buffer())) {
        error = output_path + ": cannot write the frame";
        return false;
    }
    return true;
}

} // namespace skinc
