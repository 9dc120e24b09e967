#include "framework/LanguageCatalogue.h"

#include "framework/CatalogueFolder.h"
#include "framework/CatalogueMenu.h"
#include "framework/LanguageNames.h"

#include "runtime/Paths.h"
#include "runtime/Registry.h"
#include "skin/file/LanguageTable.h"
#include "skin/file/Properties.h"

namespace framework {

namespace {

constexpr std::u16string_view extension = u".lng";
constexpr std::u16string_view registry_value = u"Language";
constexpr std::u16string_view last_resort = u"english";
constexpr std::u16string_view own_name_key = u"LanguageName";

} // namespace

LanguageCatalogue::LanguageCatalogue(skin::Properties& properties, std::u16string_view application_name,
    std::u16string_view folder)
    : m_properties(properties)
    , m_application_name(application_name)
    , m_folder(folder)
{
}

std::u16string LanguageCatalogue::registry_key() const { return application_key(m_application_name); }

std::vector<std::u16string> LanguageCatalogue::files() const { return CatalogueFolder(m_folder, extension).paths(); }

bool LanguageCatalogue::has_choice() const { return files().size() > 1; }

std::u16string LanguageCatalogue::path_of(std::u16string_view name) const
{
    return CatalogueFolder(m_folder, extension).path_of(name);
}

bool LanguageCatalogue::load_name(std::u16string_view name)
{
    std::u16string path = path_of(name);
    return !path.empty() && m_properties.load_language(path);
}

bool LanguageCatalogue::load_chosen()
{
    std::u16string chosen;
    if (runtime::read_string(registry_key(), registry_value, chosen) && load_name(chosen))
        return true;
    LanguageName system = system_language_name();
    if (!system.name.empty() && load_name(system.name))
        return true;
    if (load_name(last_resort))
        return true;
    for (const std::u16string& path : files()) {
        if (m_properties.load_language(path))
            return true;
    }
    return false;
}

std::u16string LanguageCatalogue::current_name() const
{
    const std::u16string& path = m_properties.language().path();
    return path.empty() ? std::u16string() : CatalogueFolder::name_of(path);
}

std::u16string LanguageCatalogue::display_name(std::u16string_view path)
{
    skin::LanguageTable table;
    if (table.load(path))
        if (const std::u16string* name = table.find(own_name_key); name && !name->empty())
            return *name;
    return CatalogueFolder::name_of(path);
}

std::u16string LanguageCatalogue::current_display_name() const
{
    const std::u16string& path = m_properties.language().path();
    if (path.empty())
        return {};
    const std::u16string* name = m_properties.language().find(own_name_key);
    return name && !name->empty() ? *name : CatalogueFolder::name_of(path);
}

bool LanguageCatalogue::popup(std::u16string_view identifier, std::vector<PopupMenuEntry>& entries,
    std::u16string_view cancel_command)
{
    if (identifier == menu_identifier) {
        append_catalogue_menu(entries, files(), command_prefix, current_name(),
            [this](const std::u16string&, const std::u16string& name) { return display_name(path_of(name)); },
            cancel_command, m_properties.translate(u"Cancel"));
        return false;
    }
    if (!identifier.starts_with(command_prefix))
        return false;
    std::u16string_view name = identifier.substr(command_prefix.size());
    std::u16string path = path_of(name);
    if (path.empty() || path == m_properties.language().path())
        return false;
    if (!m_properties.load_language(path))
        return false;
    runtime::write_string(registry_key(), registry_value, name);
    return true;
}

} // namespace framework
