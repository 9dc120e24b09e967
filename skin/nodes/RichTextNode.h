// Rich text ("richtext"): a text whose web addresses show as links, underlined in the link
// colour ("link_color", default blue); a tap on one opens it with the desktop's browser
// (execute_file of "iexplore.exe"). It reads the text node's attributes ("text", "font",
// "color", "halign", "valign", "grow", "wrap") and "fit_height": the wanted and minimum
// height follow the (wrapped) text.
#pragma once

#include "skin/nodes/TextNode.h"
#include "skin/text/WebAddresses.h"

#include <functional>
#include <vector>

namespace skin {

class RichTextNode : public TextNode {
public:
    using LinkOpener = std::function<void(std::u16string_view address)>;

    void load(const Properties& properties, NodeBody body) override;
    void draw(RenderSurface& surface, Point origin) override;
    void measure_y(Measure& measure) override;
    bool stylus(const StylusEvent& event) override;

    bool fit_height() const { return m_fit_height; }
    Color link_colour() const { return m_link_colour; }
    // The addresses of the text (found again when the text changes).
    const std::vector<WebAddress>& links();

    struct LinkBox {
        Rect box; // in form coordinates
        size_t link { 0 };
    };
    // Where the links were drawn last, one box per line a link spans.
    const std::vector<LinkBox>& link_boxes() const { return m_boxes; }

    // Opens addresses (tests replace it); execute_file of "iexplore.exe" by default.
    static void set_link_opener(LinkOpener opener);

private:
    int link_at(Point point) const;

    bool m_fit_height { false };
    Color m_link_colour { 0, 0, 255, 255 };
    std::u16string m_links_text;
    std::vector<WebAddress> m_links;
    bool m_links_found { false };
    std::vector<LinkBox> m_boxes;
    int m_pressed { -1 };
};

} // namespace skin
