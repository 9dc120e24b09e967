// The alphabet ruler of the city search: the first letters of the matches down the right
// edge of the list, on the template's nodes "ruler_button" (the touch area), the optional
// "ruler_button2" (its backdrop) and "ruler_table" (the letters, one entry built from
// "AlphabetRulerText" each). When not every letter fits, the most used letters stay (those
// that start the most names), in their order.
// A tap (or a stroke along it) names the letter under the stylus.
#pragma once

#include "skin/layout/LayoutObserver.h"
#include "skin/nodes/ButtonListener.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace skin {
class ButtonNode;
class Properties;
class SkinNode;
} // namespace skin

namespace weather {

class AlphabetRuler : public skin::ButtonListener, public skin::LayoutObserver {
public:
    static constexpr std::u16string_view entry_template = u"AlphabetRulerText";

    // Finds the nodes inside the form (plexor::NodeNotFound for a missing required one)
    // and measures one entry for its height. on_letter is told the tapped letter.
    AlphabetRuler(skin::SkinNode& form, const skin::Properties& skin, std::function<void(char16_t)> on_letter);
    ~AlphabetRuler() override;
    AlphabetRuler(const AlphabetRuler&) = delete;
    AlphabetRuler& operator=(const AlphabetRuler&) = delete;

    // The letters of the matches in order, with how many matches each starts (none given:
    // all alike); the table is laid out again.
    void set_letters(std::u16string letters, std::vector<size_t> uses = {});
    const std::u16string& letters() const { return m_letters; }
    // The letters the table shows now, top to bottom.
    std::u16string shown_letters() const;
    // Number of entries that fit: min(letters, room / entry height).
    size_t entry_count() const;
    int entry_height() const { return m_entry_height; }
    // The letter shown at a point of the form, or 0 when there is none.
    char16_t letter_at(skin::Point point) const;

    // Which of the letters (by position) a ruler of `entries` shows, given how many
    // names each starts: the most used, in their order.
    static std::vector<size_t> pick_letters(const std::vector<size_t>& uses, size_t entries);

    void clicked(skin::ButtonNode& button, skin::Point point) override;
    void press_changed(skin::ButtonNode& button, skin::Point point, bool cancelled) override;
    void dragged(skin::ButtonNode& button, skin::Point point, skin::Point moved_by) override;
    void x_changed(skin::SkinNode& node, int x, int width) override { }
    void y_changed(skin::SkinNode& node, int y, int height) override;

    skin::ButtonNode& button() const { return *m_button; }
    skin::SkinNode& table() const { return *m_table; }

private:
    void lay_out();
    void choose_at(skin::Point point);

    const skin::Properties& m_skin;
    skin::ButtonNode* m_button { nullptr };
    skin::SkinNode* m_button2 { nullptr };
    skin::SkinNode* m_table { nullptr };
    std::function<void(char16_t)> m_on_letter;
    std::u16string m_letters;
    std::vector<size_t> m_uses;
    int m_entry_height { 0 };
    int m_laid_out_height { -1 };
    char16_t m_last_chosen { 0 };
};

} // namespace weather
