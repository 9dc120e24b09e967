#include "skin/text/FontRegistry.h"

#include "skin/text/FreeTypeFont.h"

#include <map>
#include <mutex>

namespace skin {

namespace {

struct Registry {
    std::mutex lock;
    FontFactory factory { freetype_font_factory() };
    std::map<FontSpec, SharedFont> fonts;
};

class EmptyFont final : public FontRep {
public:
    EmptyFont()
        : FontRep(FontSpec {})
    {
    }
    int line_height() const override { return 0; }
    TextExtent measure_text(std::u16string_view text) const override
    {
        TextExtent extent;
        extent.right_edges.assign(text.size(), 0);
        return extent;
    }
};

Registry& registry()
{
    static Registry* r = new Registry;
    return *r;
}

} // namespace

SharedFont get_font(const FontSpec& spec)
{
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    auto found = r.fonts.find(spec);
    if (found != r.fonts.end())
        return found->second;
    SharedFont font = r.factory ? r.factory(spec) : nullptr;
    // A font that could not be made is asked for again next time.
    if (font)
        r.fonts.emplace(spec, font);
    return font;
}

SharedFont fallback_font()
{
    if (SharedFont font = get_font(FontSpec {}))
        return font;
    static const SharedFont empty = std::make_shared<EmptyFont>();
    return empty;
}

void set_font_factory(FontFactory factory)
{
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    r.factory = std::move(factory);
    r.fonts.clear();
}

} // namespace skin
