#include "app/AlphabetRuler.h"
#include "app/NodeLookup.h"

#include "runtime/Log.h"

#include "skin/file/Properties.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/TextNode.h"

#include <algorithm>

namespace weather {

namespace {

std::unique_ptr<skin::SkinNode> make_entry(const skin::Properties& skin)
{
    auto entry = std::make_unique<skin::SkinNode>();
    entry->build(skin, AlphabetRuler::entry_template);
    // A table shares its room by the ratio its children were given in the skin.
    entry->set_table_ratio(skin.get_integer(skin.find_named_node(AlphabetRuler::entry_template), u"table_ratio", 0));
    return entry;
}

} // namespace

std::vector<size_t> AlphabetRuler::pick_letters(const std::vector<size_t>& uses, size_t entries)
{
    const size_t count = uses.size();
    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = i;
    if (entries >= count)
        return order;
    // The most used letters first; among equals those an even sampling would show, so a
    // ruler of letters used alike is spread over the whole alphabet.
    std::vector<bool> even(count, false);
    for (size_t i = 0; i < entries; ++i)
        even[i * count / entries] = true;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (uses[a] != uses[b])
            return uses[a] > uses[b];
        return even[a] && !even[b];
    });
    order.resize(entries);
    std::sort(order.begin(), order.end());
    return order;
}

AlphabetRuler::AlphabetRuler(skin::SkinNode& form, const skin::Properties& skin, std::function<void(char16_t)> on_letter)
    : m_skin(skin)
    , m_on_letter(std::move(on_letter))
{
    m_button = &find_node<skin::ButtonNode>(form, u"ruler_button");
    m_button2 = form.find_descendant(u"ruler_button2");
    m_table = &find_node<skin::SkinNode>(form, u"ruler_table");
    std::unique_ptr<skin::SkinNode> entry = make_entry(skin);
    int h = skin::measure_y(*entry).wanted;
    m_entry_height = std::max(0, h);
    m_button->set_listener(this);
    m_button->set_layout_observer(this);
    lay_out();
}

AlphabetRuler::~AlphabetRuler()
{
    if (m_button->listener() == this)
        m_button->set_listener(nullptr);
    if (m_button->layout_observer() == this)
        m_button->set_layout_observer(nullptr);
}

void AlphabetRuler::set_letters(std::u16string letters, std::vector<size_t> uses)
{
    uses.resize(letters.size(), 1);
    if (letters == m_letters && uses == m_uses)
        return;
    m_letters = std::move(letters);
    m_uses = std::move(uses);
    runtime::get_log() << u"AlphabetRuler::set_letters " << std::u16string_view(m_letters) << u"\n";
    lay_out();
    m_table->invalidate();
}

size_t AlphabetRuler::entry_count() const
{
    int room = std::max(0, m_button->height() - m_table->border_min().y - m_table->border_max().y);
    size_t fit = m_entry_height < 1 ? 0 : size_t(room / m_entry_height);
    return std::min(m_letters.size(), fit);
}

void AlphabetRuler::lay_out()
{
    m_laid_out_height = m_button->height();
    size_t entries = entry_count();
    while (m_table->child_count() > entries)
        m_table->child(m_table->child_count() - 1).destroy();
    while (m_table->child_count() < entries)
        m_table->add_child(make_entry(m_skin));
    std::vector<size_t> shown = pick_letters(m_uses, entries);
    for (size_t i = 0; i < entries; ++i) {
        char16_t letter = m_letters[shown[i]];
        m_table->child(i).set_text(u"#text", std::u16string_view(&letter, 1));
    }
}

std::u16string AlphabetRuler::shown_letters() const
{
    std::u16string shown;
    for (size_t i = 0; i < m_table->child_count(); ++i)
        if (auto* text = dynamic_cast<skin::TextNode*>(m_table->child(i).find_descendant(u"#text")))
            shown += text->text();
    return shown;
}

char16_t AlphabetRuler::letter_at(skin::Point point) const
{
    size_t count = m_table->child_count();
    for (size_t i = 0; i < count; ++i) {
        skin::SkinNode& entry = m_table->child(i);
        // Between the table's border and the first or last entry the end letters count.
        bool above = i == 0 && point.y < entry.y();
        bool below = i + 1 == count && point.y >= entry.y() + entry.height();
        if (above || below || (point.y >= entry.y() && point.y < entry.y() + entry.height())) {
            auto* text = dynamic_cast<skin::TextNode*>(entry.find_descendant(u"#text"));
            return text && !text->text().empty() ? text->text()[0] : 0;
        }
    }
    return 0;
}

void AlphabetRuler::choose_at(skin::Point point)
{
    char16_t letter = letter_at(point);
    if (letter == 0 || letter == m_last_chosen)
        return;
    m_last_chosen = letter;
    if (m_on_letter)
        m_on_letter(letter);
}

void AlphabetRuler::press_changed(skin::ButtonNode& button, skin::Point point, bool cancelled)
{
    if (&button != m_button)
        return;
    // A press jumps at once, so that a stroke along the ruler scrubs through the letters.
    if (button.pressed() && !cancelled) {
        m_last_chosen = 0;
        choose_at(point);
    }
}

void AlphabetRuler::dragged(skin::ButtonNode& button, skin::Point point, skin::Point)
{
    if (&button == m_button && button.pressed())
        choose_at(point);
}

void AlphabetRuler::clicked(skin::ButtonNode& button, skin::Point point)
{
    // The press has jumped already; a click only counts when it found no letter.
    if (&button == m_button && m_last_chosen == 0)
        choose_at(point);
}

void AlphabetRuler::y_changed(skin::SkinNode& node, int, int height)
{
    if (&node != m_button || height == m_laid_out_height)
        return;
    lay_out();
    // The new entries are placed along x before the button places its children along y.
    skin::place_x(*m_table, m_table->x(), m_table->width());
}

} // namespace weather
