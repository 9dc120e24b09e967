#include "app/AdvertisingPage.h"
#include "app/NodeLookup.h"
#include "app/Settings.h"

#include "runtime/Paths.h"
#include "runtime/Registry.h"

namespace weather {

namespace {

std::u16string address(std::u16string_view name, std::u16string_view fallback)
{
    std::u16string text(fallback);
    runtime::read_string(weather_key, name, text);
    return text.empty() ? std::u16string(fallback) : text;
}

} // namespace

AdvertisingPage::AdvertisingPage(skin::SkinNode& page, const skin::Properties& skin, bool visible)
{
    m_download = &find_node<skin::ButtonNode>(page, u"btnDwnld");
    m_site = &find_node<skin::ButtonNode>(page, u"btnIwin");
    m_ctext = &find_node<skin::TextNode>(page, u"ctext");
    m_wtext = &find_node<skin::TextNode>(*m_download, u"wtext");
    m_mtext = &find_node<skin::TextNode>(*m_site, u"mtext");
    m_image = &find_node<skin::ImageNode>(page, u"image");
    m_skin = &skin;
    update_headline();
    m_wtext->set_text(skin.translate(u"SECOND_TEXT"));
    m_mtext->set_text(skin.translate(u"INSTALL_TEXT"));
    m_ctext->set_visible(visible);
    m_wtext->set_visible(visible);
    m_download->set_listener(this);
    m_site->set_listener(this);
}

void AdvertisingPage::update_headline()
{
    const Settings* settings = Settings::singleton();
    int hinting = settings && settings->real_city_count() == 0 ? 1 : 0;
    if (hinting == m_hinting)
        return;
    m_hinting = hinting;
    m_ctext->set_text(m_skin->translate(hinting ? u"First_city" : u"FIRST_TEXT"));
}

AdvertisingPage::~AdvertisingPage()
{
    if (m_download->listener() == this)
        m_download->set_listener(nullptr);
    if (m_site->listener() == this)
        m_site->set_listener(nullptr);
}

std::u16string AdvertisingPage::download_address()
{
    return address(u"AdvDownload", default_download_address);
}

std::u16string AdvertisingPage::site_address()
{
    return address(u"AdvSite", default_site_address);
}

void AdvertisingPage::clicked(skin::ButtonNode& button, skin::Point)
{
    // The browser's result is not looked at: a page that cannot open stays as it was.
    if (&button == m_download)
        runtime::execute_file(u"iexplore.exe", download_address());
    else if (&button == m_site)
        runtime::execute_file(u"iexplore.exe", site_address());
}

} // namespace weather
