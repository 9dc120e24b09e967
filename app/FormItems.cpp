#include "app/FormItems.h"
#include "app/CityListElement.h"
#include "app/ListKeys.h"
#include "app/NodeLookup.h"
#include "app/Settings.h"

#include "framework/Application.h"
#include "framework/PopupMenu.h"

#include "runtime/Log.h"

#include "skin/file/Properties.h"
#include "skin/nodes/ButtonNode.h"

#include <algorithm>

namespace weather {

FormItems::FormItems(skin::Properties& skin)
    : m_skin(skin)
    , m_popup(std::make_unique<framework::PopupMenu>())
{
    build_form();
    set_visible(false);
    m_skin.add_reload_listener(this);
}

FormItems::~FormItems()
{
    m_skin.remove_reload_listener(this);
    if (auto* app = framework::Application::singleton()) {
        app->remove_form(*m_popup, false);
        app->remove_form(*this, false);
    }
    if (m_list->source() == this)
        m_list->set_source(nullptr);
    m_list->set_reorder_listener(nullptr);
}

void FormItems::build_form()
{
    build(m_skin, template_name);
    m_back = &find_node<skin::ButtonNode>(*this, u"btnBack");
    m_list = &find_node<ReorderList>(*this, u"listCities");
    m_plus = &find_node<skin::ButtonNode>(*this, u"btnPlus");
    m_back->set_listener(this);
    m_plus->set_listener(this);
    m_list->set_reorder_listener(this);
    m_list->set_source(this);
    m_list->set_count(row_count());
    m_hint = find_descendant(u"hint");
    update_hint();
    m_popup->build_popup(m_skin, this);
    // A keypad phone has no Delete key: its right soft key offers what can be done.
    if (framework::Application::static_capability_is_smartphone())
        m_plus->set_text(u"#text", m_skin.translate(u"City_options"));
}

void FormItems::update_hint()
{
    // An empty list says how to fill it.
    if (m_hint)
        m_hint->set_visible(row_count() == 0);
}

void FormItems::reload(skin::Properties&)
{
    build_form();
}

int FormItems::row_count() const
{
    const Settings* settings = Settings::singleton();
    return settings ? int(settings->real_city_count()) : 0;
}

size_t FormItems::record_index(int row) const
{
    const Settings* settings = Settings::singleton();
    if (!settings || row < 0)
        return size_t(std::max(row, 0));
    return settings->adjusted_index(row);
}

void FormItems::open()
{
    runtime::get_log() << u"FormItems::open rows=" << int32_t(row_count()) << u"\n";
    m_marks.assign(size_t(row_count()), false);
    m_list->set_source(this);
    m_list->set_count(row_count());
    update_hint();
    if (auto* app = framework::Application::singleton())
        app->push_form(*this, true, true);
}

bool FormItems::mark(int row) const
{
    return row >= 0 && size_t(row) < m_marks.size() && m_marks[size_t(row)];
}

CityListElement* FormItems::element(int row) const
{
    return dynamic_cast<CityListElement*>(m_list->row(row));
}

void FormItems::toggle_mark(int row)
{
    if (row < 0 || size_t(row) >= m_marks.size())
        return;
    m_marks[size_t(row)] = !m_marks[size_t(row)];
    runtime::get_log() << u"FormItems::toggle_mark row=" << int32_t(row) << u" mark=" << int32_t(m_marks[size_t(row)]) << u"\n";
    if (CityListElement* e = element(row)) {
        e->show_confirm(m_marks[size_t(row)], true);
        e->invalidate();
    }
}

void FormItems::confirm_delete(int row)
{
    Settings* settings = Settings::singleton();
    if (!settings || row < 0 || row >= row_count())
        return;
    runtime::get_log() << u"FormItems::confirm_delete row=" << int32_t(row) << u"\n";
    // city_removed follows: the row and its mark go there.
    settings->remove_city(row);
}

bool FormItems::move_city(int row, int direction)
{
    int other = row + direction;
    if (row < 0 || other < 0 || row >= row_count() || other >= row_count())
        return false;
    if (!m_list->exchange_rows(row, other))
        return false;
    m_list->set_highlight(other);
    return true;
}

void FormItems::rows_exchanged(ReorderList&, int first, int second)
{
    runtime::get_log() << u"FormItems::rows_exchanged " << int32_t(first) << u" " << int32_t(second) << u"\n";
    if (Settings* settings = Settings::singleton())
        settings->swap_cities(first, second);
}

void FormItems::on_settings_event(const SettingsEvent& event)
{
    if (event.city_removed) {
        int row = event.index;
        m_list->remove_row(row);
        if (row >= 0 && size_t(row) < m_marks.size())
            m_marks.erase(m_marks.begin() + row);
    }
    if (event.city_added) {
        m_marks.push_back(false);
        m_list->set_count(row_count());
    }
    if (event.cities_swapped) {
        size_t a = size_t(event.first), b = size_t(event.second);
        if (event.first >= 0 && event.second >= 0 && a < m_marks.size() && b < m_marks.size()) {
            bool mark_a = m_marks[a];
            m_marks[a] = m_marks[b];
            m_marks[b] = mark_a;
        }
    }
    update_hint();
}

void FormItems::back()
{
    auto* app = framework::Application::singleton();
    Settings* settings = Settings::singleton();
    if (app)
        app->remove_form(*this, true);
    if (settings && settings->city_count() > 0) {
        SettingsEvent event;
        event.city_list_closed = true;
        settings->broadcast(event);
    } else if (app) {
        app->quit();
    }
    if (settings)
        settings->publish_top();
}

void FormItems::add()
{
    Settings* settings = Settings::singleton();
    if (!settings)
        return;
    SettingsEvent event;
    if (settings->city_count() > Settings::max_records - 1)
        event.open_limit_message = true;
    else
        event.open_city_search = true;
    settings->broadcast(event);
    settings->publish_top();
}

std::unique_ptr<skin::ListRowNode> FormItems::create_row(skin::ListNode&, int index)
{
    if (index < 0 || index >= row_count())
        return nullptr;
    return std::make_unique<CityListElement>(*this, m_skin, index);
}

void FormItems::row_activated(skin::ListNode&, int index)
{
    if (index >= 0 && index < row_count())
        m_list->mark_dirty();
}

void FormItems::clicked(skin::ButtonNode& button, skin::Point)
{
    if (&button == m_back)
        back();
    else if (&button == m_plus)
        options();
}

void FormItems::options()
{
    m_options_row = highlighted_row();
    if (!framework::Application::static_capability_is_smartphone() || m_options_row < 0 || !m_popup->open(options_identifier))
        add();
}

void FormItems::on_popup(std::u16string_view identifier, std::vector<framework::PopupMenuEntry>& entries)
{
    int row = m_options_row;
    if (identifier == options_identifier) {
        for (const char16_t* id : { u"Add", u"Delete", u"Move_up", u"Move_down", u"Cancel" }) {
            framework::PopupMenuEntry entry;
            entry.identifier = id;
            entry.enabled = !((id == std::u16string_view(u"Move_up") && row <= 0)
                || (id == std::u16string_view(u"Move_down") && row + 1 >= row_count()));
            entries.push_back(entry);
        }
        return;
    }
    runtime::get_log() << u"FormItems::on_popup " << identifier << u" row=" << int32_t(row) << u"\n";
    if (identifier == u"Add")
        add();
    else if (row >= 0 && row < row_count() && identifier == u"Delete")
        confirm_delete(row);
    else if (row >= 0 && row < row_count() && (identifier == u"Move_up" || identifier == u"Move_down"))
        move_city(row, identifier == u"Move_up" ? -1 : 1);
}

int FormItems::highlighted_row() const
{
    if (m_list->highlight_position() < 0)
        return -1;
    int row = int(m_list->highlight_position() + 0.5);
    return row < row_count() ? row : -1;
}

bool FormItems::key(const input::KeyEvent& event)
{
    bool down = event.pressed && event.first;
    switch (event.code) {
    case input::key_backspace:
        if (down)
            back();
        return true;
    case input::key_insert:
        if (down)
            add();
        return true;
    case input::key_del: {
        // The first Del arms the deletion of the highlighted city, the second confirms.
        int row = highlighted_row();
        if (down && row >= 0) {
            if (mark(row))
                confirm_delete(row);
            else
                toggle_mark(row);
        }
        return true;
    }
    case input::key_star:
    case input::key_pound: {
        int row = highlighted_row();
        if (event.pressed && row >= 0)
            move_city(row, event.code == input::key_star ? -1 : 1);
        return true;
    }
    case input::key_up:
    case input::key_down:
    case input::key_enter:
        return list_key(*m_list, event);
    default:
        return FormNode::key(event);
    }
}

} // namespace weather
