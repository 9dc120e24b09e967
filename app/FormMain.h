// The home screen: the page strip ("page"), the page dots, btnExit and btnMenu, and
// (optional) "stext", the forecast provider's name, hidden while the page shows sample data. It owns
// the four secondary forms (city list, city search, menu, message), opens them when a
// SettingsEvent asks, keeps the pages in step with the city list, and is the shell's
// listener. Keypad use: with this form on top, Left and Right glide to the previous and
// next page, Enter opens the detail form of the city in view (as a tap on its current
// condition does) and the buttons answer the keys the skin binds to them; on a secondary
// form, Back does what its btnBack does. The speak key (the phone's "0", a PC's "S") reads
// the page in view aloud, and stops the reading when pressed again; where no speech is
// installed the message form says what to install.
#pragma once

#include "app/SettingsListener.h"

#include "framework/ApplicationListener.h"

#include "skin/file/ReloadListener.h"
#include "skin/nodes/ButtonListener.h"
#include "skin/nodes/FormNode.h"

#include <memory>

namespace platform {
class Speech;
}

namespace skin {
class ButtonNode;
class Properties;
} // namespace skin

namespace weather {

class FormDetail;
class FormItems;
class FormMenu;
class FormMessage;
class FormTotal;
class PageContainer;

class FormMain : public skin::FormNode,
                 public skin::ButtonListener,
                 public skin::ReloadListener,
                 public SettingsListener,
                 public framework::ApplicationListener {
public:
    // Builds the four secondary forms, then itself from "FormMain" with one page per city
    // record, and pushes itself (without dims-below). A missing template or node raises
    // plexor::NodeNotFoundInSkin or plexor::NodeNotFound.
    explicit FormMain(skin::Properties& skin);
    ~FormMain() override;

    // Keys bound to the buttons (the soft keys) press them; Left, Right, Up, Down and Enter
    // are reported handled; nothing else reaches the children.
    bool key(const input::KeyEvent& event) override;
    // The first frame that showed the form is traced ("FormMain first frame"); with
    // NALO_FIRST_FRAME=exit in the environment the program then says so on standard output
    // and ends (start-up benchmarks).
    void life_cycle(double elapsed) override;
    void draw(skin::RenderSurface& surface, skin::Point origin) override;

    void on_settings_event(const SettingsEvent& event) override;
    // The notices Settings holds, in one message.
    void show_notices();
    // A new skin or language: the form and its pages are built again on the same page.
    void reload(skin::Properties& properties) override;

    // The shell's listener.
    bool close_requested() override;
    void screen_changed() override;
    // Keypad routing (see above); true when the key was used here.
    bool key_event(const input::KeyEvent& event) override;

    void clicked(skin::ButtonNode& button, skin::Point point) override;
    void press_changed(skin::ButtonNode&, skin::Point, bool) override { }
    void dragged(skin::ButtonNode&, skin::Point, skin::Point) override { }

    PageContainer& pages() const { return *m_page; }
    skin::ButtonNode& exit_button() const { return *m_exit; }
    skin::ButtonNode& menu_button() const { return *m_menu; }
    FormItems& city_list_form() const { return *m_items; }
    FormTotal& city_search_form() const { return *m_total; }
    FormMenu& menu_form() const { return *m_menu_form; }
    FormMessage& message_form() const { return *m_message; }
    FormDetail& detail_form() const { return *m_detail; }

private:
    void build_form();
    // One page for each record from the current page count to the last record.
    void fill_pages();
    // The secondary form on top of the shell's stack, or null.
    skin::SkinNode* secondary_on_top() const;
    // A key bound to btnExit, btnMenu or a button of the advertising page in view.
    bool bound_button_key(const input::KeyEvent& event);
    // The speak key: reads the page in view aloud, or stops the reading.
    void toggle_speech();

    skin::Properties& m_skin;
    std::unique_ptr<FormItems> m_items;
    std::unique_ptr<FormTotal> m_total;
    std::unique_ptr<FormMenu> m_menu_form;
    std::unique_ptr<FormMessage> m_message;
    std::unique_ptr<platform::Speech> m_speech;
    std::unique_ptr<FormDetail> m_detail;
    PageContainer* m_page { nullptr };
    skin::ButtonNode* m_exit { nullptr };
    skin::ButtonNode* m_menu { nullptr };
    skin::SkinNode* m_source { nullptr };
    bool m_drawn { false };
    bool m_first_frame_traced { false };
};

} // namespace weather
