// The start-up splash ("Splash" of the splash skin). Pushed with its fade-in; once the
// forms below are dimmed to half (transition level 128) its life cycle loads the language
// and the user's skin into the main skin object, builds Settings and the main form, and
// takes itself off the stack. It owns those three for the whole run and destroys them in
// the order main form, Settings, main skin object.
#pragma once

#include "skin/nodes/FormNode.h"

#include <memory>
#include <string_view>

namespace skin {
class Properties;
class PropertiesImpl;
} // namespace skin

namespace weather {

class FormMain;
class Settings;

class SplashForm : public skin::FormNode {
public:
    // The message box text when no language (or no splash skin) can be loaded.
    static constexpr std::u16string_view no_languages_message =
        u"No languages, please reinstall\nНе найдены языковые файлы, нужна переустановка\n";

    // Builds from "Splash" (missing: plexor::NodeNotFoundInSkin) and pushes itself with
    // dims-below and animation.
    explicit SplashForm(const skin::Properties& splash_skin);
    ~SplashForm() override;

    void life_cycle(double elapsed) override;

    // True once the start-up steps have run (successfully or not).
    bool started() const { return m_started; }
    skin::PropertiesImpl& main_skin() const { return *m_main_skin; }
    Settings* settings() const { return m_settings.get(); }
    FormMain* main_form() const { return m_main_form.get(); }

private:
    void start_up();
    // Takes the splash off the stack, shows the message box and tells the shell to quit.
    void fail(std::u16string_view message);

    // Declared in the reverse of the teardown order.
    std::unique_ptr<skin::PropertiesImpl> m_main_skin;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<FormMain> m_main_form;
    bool m_started { false };
};

} // namespace weather
