#include "app/CityListElement.h"
#include "app/FormItems.h"
#include "app/NodeLookup.h"
#include "app/Settings.h"

#include "skin/draw/RenderSurface.h"
#include "skin/draw/SolidFill.h"
#include "skin/draw/Drawing.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/NodeVisibilityAnimation.h"
#include "skin/nodes/TextNode.h"

namespace weather {

CityListElement::CityListElement(FormItems& form, const skin::Properties& skin, int row)
    : m_form(form)
{
    build(skin, FormItems::row_template);
    m_text = &find_node<skin::TextNode>(*this, u"text");
    m_del = &find_node<skin::ButtonNode>(*this, u"btnDel");
    m_del_confirm = &find_node<skin::ButtonNode>(*this, u"btnDelF");
    m_move = &find_node<skin::ButtonNode>(*this, u"btnMove");
    m_del_confirm->set_visible(false);
    m_del->set_listener(this);
    m_del_confirm->set_listener(this);
    m_move->set_listener(this);
    fill(row);
}

CityListElement::~CityListElement() = default;

void CityListElement::fill(int row)
{
    std::u16string name;
    Settings* settings = Settings::singleton();
    size_t index = m_form.record_index(row);
    if (settings && row >= 0 && index < settings->city_count())
        name = settings->city(index).name;
    bool has_name = !name.empty();
    m_text->set_visible(has_name);
    m_del->set_visible(has_name);
    m_move->set_visible(has_name);
    m_hiding = false;
    m_del_confirm->set_visible(has_name && m_form.mark(row));
    if (has_name)
        m_text->set_text(name);
}

void CityListElement::show_confirm(bool shown, bool animate)
{
    skin::VisibilityAnimation* animation = m_del_confirm->visibility_animation();
    bool now_shown = m_del_confirm->visible() && !m_hiding;
    if (shown == now_shown)
        return;
    if (!animate || !animation || m_del_confirm->width() <= 0 || m_del_confirm->height() <= 0) {
        m_hiding = false;
        m_del_confirm->set_visible(shown);
        return;
    }
    // What lies behind the button, and the button itself, for the slide.
    m_del_confirm->set_visible(false);
    skin::RenderSurface behind(m_del_confirm->width(), m_del_confirm->height());
    skin::fill(behind, { 0, 0 }, m_del_confirm->size(), skin::SolidFill(skin::transparent_key));
    draw_node(behind, position() - m_del_confirm->position());
    m_del_confirm->set_visible(true);
    m_del_confirm->mark_dirty();
    skin::RenderSurface button = skin::snapshot_node(*m_del_confirm);
    animation->start(shown ? 1 : -1, std::move(behind), std::move(button));
    // A closing button stays until its slide has ended.
    m_hiding = !shown;
    mark_dirty();
}

void CityListElement::life_cycle(double elapsed)
{
    ListRowNode::life_cycle(elapsed);
    skin::VisibilityAnimation* animation = m_del_confirm->visibility_animation();
    if (m_hiding && (!animation || !animation->running())) {
        m_hiding = false;
        m_del_confirm->set_visible(false);
    }
}

bool CityListElement::confirm_shown() const
{
    return m_del_confirm->visible() && !m_hiding;
}

bool CityListElement::stylus(const skin::StylusEvent& event)
{
    if (auto* list = dynamic_cast<ReorderList*>(parent())) {
        bool on_handle = m_move->visible() && m_move->contains(event.point);
        list->set_move(event.down && !event.move && !event.cancelled && !confirm_shown() && on_handle);
    }
    return ListRowNode::stylus(event);
}

void CityListElement::clicked(skin::ButtonNode& button, skin::Point)
{
    int row = index();
    if (row < 0)
        return;
    if (&button == m_del)
        m_form.toggle_mark(row);
    else if (&button == m_del_confirm && confirm_shown())
        m_form.confirm_delete(row);
}

} // namespace weather
