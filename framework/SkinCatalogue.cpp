#include "framework/SkinCatalogue.h"

#include "framework/Application.h"
#include "framework/CatalogueFolder.h"
#include "framework/CatalogueMenu.h"

#include "display/ScreenDescription.h"
#include "platform/CaseFolding.h"
#include "runtime/Registry.h"
#include "skin/file/Properties.h"

namespace framework {

namespace {

constexpr std::u16string_view extension = u".skin";
constexpr std::u16string_view registry_value = u"Skin";
constexpr std::u16string_view default_skin = u"default";

} // namespace

SkinCatalogue::SkinCatalogue(skin::Properties& properties, std::u16string_view application_name,
    std::u16string_view base)
    : m_properties(properties)
    , m_application_name(application_name)
    , m_folder((base.empty() ? std::u16string(u"%app_path%") : std::u16string(base)) + u"/skins/bin")
{
}

skin::ScreenInfo SkinCatalogue::screen() const
{
    if (m_screen)
        return *m_screen;
    if (Application* application = Application::singleton())
        return application->screen();
    return display::screen_from_environment();
}

std::u16string SkinCatalogue::registry_key() const { return application_key(m_application_name); }

bool SkinCatalogue::is_special(std::u16string_view name)
{
    std::u16string upper = platform::to_upper(name);
    return upper.starts_with(u"SPLASH") || upper.starts_with(u"TODAY");
}

std::vector<std::u16string> SkinCatalogue::files() const
{
    std::vector<std::u16string> paths = CatalogueFolder(m_folder, extension).paths();
    std::erase_if(paths, [](const std::u16string& path) { return is_special(CatalogueFolder::name_of(path)); });
    return paths;
}

bool SkinCatalogue::has_choice() const { return files().size() > 1; }

std::u16string SkinCatalogue::path_of(std::u16string_view name) const
{
    if (is_special(name))
        return {};
    return CatalogueFolder(m_folder, extension).path_of(name);
}

bool SkinCatalogue::load_name(std::u16string_view name)
{
    std::u16string path = path_of(name);
    return !path.empty() && m_properties.load_skin(path, screen());
}

bool SkinCatalogue::load_chosen()
{
    std::u16string chosen;
    if (runtime::read_string(registry_key(), registry_value, chosen) && load_name(chosen))
        return true;
    if (load_name(default_skin))
        return true;
    skin::ScreenInfo for_screen = screen();
    for (const std::u16string& path : files()) {
        if (m_properties.load_skin(path, for_screen))
            return true;
    }
    return false;
}

std::u16string SkinCatalogue::current_name() const
{
    const std::u16string& path = m_properties.path();
    return path.empty() ? std::u16string() : CatalogueFolder::name_of(path);
}

bool SkinCatalogue::popup(std::u16string_view identifier, std::vector<PopupMenuEntry>& entries,
    std::u16string_view cancel_command)
{
    if (identifier == menu_identifier) {
        append_catalogue_menu(entries, files(), command_prefix, current_name(),
            [this](const std::u16string& command, const std::u16string& name) {
                const std::u16string* text = m_properties.language().find(command);
                return text ? *text : name;
            },
            cancel_command, m_properties.translate(u"Cancel"));
        return false;
    }
    if (!identifier.starts_with(command_prefix))
        return false;
    std::u16string_view name = identifier.substr(command_prefix.size());
    std::u16string path = path_of(name);
    if (path.empty() || path == m_properties.path())
        return false;
    if (!m_properties.load_skin(path, screen()))
        return false;
    runtime::write_string(registry_key(), registry_value, name);
    return true;
}

} // namespace framework
