// The page of the advertising slot (the record "empty"), built from the template
// "AdvScreen": a headline and two buttons, one opening the project's release page and
// one its home page in the desktop's browser. The addresses are the registry strings
// "AdvDownload" and "AdvSite" under the Weather key, with the project's own pages as
// defaults.
#pragma once

#include "skin/nodes/ButtonListener.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/ImageNode.h"
#include "skin/file/Properties.h"
#include "skin/nodes/SkinNode.h"
#include "skin/nodes/TextNode.h"

#include <string>
#include <string_view>

namespace weather {

class AdvertisingPage : public skin::ButtonListener {
public:
    static constexpr std::u16string_view default_download_address = u"https://github.com/nalo-weather/nalo-weather/releases";
    static constexpr std::u16string_view default_site_address = u"https://github.com/nalo-weather/nalo-weather";

    // Finds the nodes in the page's tree (already built from "AdvScreen"), sets the three
    // texts and listens to the buttons; a missing node raises plexor::NodeNotFound.
    AdvertisingPage(skin::SkinNode& page, const skin::Properties& skin, bool visible);
    ~AdvertisingPage() override;
    AdvertisingPage(const AdvertisingPage&) = delete;
    AdvertisingPage& operator=(const AdvertisingPage&) = delete;

    static std::u16string download_address();
    static std::u16string site_address();

    // While the list holds no real city the headline says how to add one.
    void update_headline();

    void clicked(skin::ButtonNode& button, skin::Point point) override;
    void press_changed(skin::ButtonNode&, skin::Point, bool) override { }
    void dragged(skin::ButtonNode&, skin::Point, skin::Point) override { }

    skin::ButtonNode& download_button() const { return *m_download; }
    skin::ButtonNode& site_button() const { return *m_site; }
    skin::TextNode& headline() const { return *m_ctext; }
    skin::TextNode& download_caption() const { return *m_wtext; }
    skin::TextNode& site_caption() const { return *m_mtext; }

private:
    skin::ButtonNode* m_download { nullptr };
    skin::ButtonNode* m_site { nullptr };
    skin::TextNode* m_ctext { nullptr };
    const skin::Properties* m_skin { nullptr };
    int m_hinting { -1 }; // unknown, 0 or 1
    skin::TextNode* m_wtext { nullptr };
    skin::TextNode* m_mtext { nullptr };
    skin::ImageNode* m_image { nullptr };
};

} // namespace weather
