#include "skin/text/FontRegistry.h"

#include <map>
#include <mutex>

namespace skin {

namespace {

struct Registry {
    std::mutex lock;
    FontFactory factory;
    std::map<FontSpec, SharedFont> fonts;
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

void set_font_factory(FontFactory factory)
{
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    r.factory = std::move(factory);
    r.fonts.clear();
}

} // namespace skin
