// The shell's test program: one copy per user, a form with an edit field and a pop-up,
// run until quit. Tests drive it with scripts (NALO_SCRIPT), second copies and signals,
// and read what it noticed from the events file.
//   NALO_DEMO_SKIN    the compiled demo skin (default: demo.skin beside the program)
//   NALO_DEMO_EVENTS  a file that gets one line per notice ("command_line ...", "key ...",
//                     "text ...", "ended CODE")
//   NALO_DEMO_FOCUS=1 the edit field takes the focus at the start, as a keypad form does
#include "framework/Application.h"
#include "framework/OutsideText.h"

#include "platform/HostPath.h"
#include "platform/TextEncoding.h"
#include "runtime/Paths.h"
#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/LabelEditNode.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

class Events {
public:
    Events()
    {
        const char* path = std::getenv("NALO_DEMO_EVENTS");
        if (path && *path)
            m_file = std::fopen(path, "a");
    }
    ~Events()
    {
        if (m_file)
            std::fclose(m_file);
    }
    void note(const std::string& line)
    {
        if (!m_file)
            return;
        std::fprintf(m_file, "%s\n", line.c_str());
        std::fflush(m_file);
    }

private:
    FILE* m_file { nullptr };
};

Events& events()
{
    static Events e;
    return e;
}

std::string utf8(std::u16string_view text) { return platform::to_utf8(text); }

class Popup : public skin::FormNode, public skin::ButtonListener {
public:
    explicit Popup(const skin::Properties& skin)
    {
        build(skin, u"Popup");
        static_cast<skin::ButtonNode&>(bind(u"btnClose", nullptr)).set_listener(this);
    }
    void clicked(skin::ButtonNode&, skin::Point) override { framework::Application::singleton()->remove_form(*this, true); }
    void press_changed(skin::ButtonNode&, skin::Point, bool) override { }
    void dragged(skin::ButtonNode&, skin::Point, skin::Point) override { }
};

class DemoForm : public skin::FormNode, public skin::ButtonListener, public skin::EditNodeListener,
                 public framework::ApplicationListener {
public:
    explicit DemoForm(const skin::Properties& skin)
        : m_popup(skin)
    {
        build(skin, u"Demo");
        m_edit = &static_cast<skin::LabelEditNode&>(bind(u"editName", nullptr));
        m_edit->set_listener(this);
        m_echo = &static_cast<skin::TextNode&>(bind(u"echo", nullptr));
        m_keys = &static_cast<skin::TextNode&>(bind(u"keys", nullptr));
        for (const char16_t* id : { u"btnExit", u"btnPopup" })
            static_cast<skin::ButtonNode&>(bind(id, nullptr)).set_listener(this);
    }

    skin::EditNode& edit() const { return m_edit->edit(); }

    bool key(const input::KeyEvent& event) override
    {
        if (event.pressed) {
            std::string name = utf8(input::key_name(event.code));
            events().note("key " + name + (event.first ? "" : " repeat"));
            m_keys->set_text(u"key " + std::u16string(input::key_name(event.code)));
        }
        return FormNode::key(event);
    }
    bool char_input(char16_t c) override
    {
        events().note("char " + utf8(std::u16string(1, c)));
        return true;
    }

    void clicked(skin::ButtonNode& button, skin::Point) override
    {
        events().note("clicked " + utf8(button.id()));
        if (button.id() == u"btnExit")
            framework::Application::singleton()->quit(0);
        else
            framework::Application::singleton()->push_form(m_popup, true, true);
    }
    void press_changed(skin::ButtonNode&, skin::Point, bool) override { }
    void dragged(skin::ButtonNode&, skin::Point, skin::Point) override { }

    void text_changed(skin::EditNode& node) override
    {
        events().note("text " + utf8(node.text()));
        m_echo->set_text(node.text());
    }

    void command_line_received(std::u16string_view text) override { events().note("command_line [" + utf8(text) + "]"); }
    void screen_changed() override
    {
        const auto& screen = framework::Application::singleton()->screen();
        events().note("screen " + std::to_string(screen.width) + "x" + std::to_string(screen.height));
    }

private:
    Popup m_popup;
    skin::LabelEditNode* m_edit { nullptr };
    skin::TextNode* m_echo { nullptr };
    skin::TextNode* m_keys { nullptr };
};

} // namespace

int main(int argc, char** argv)
{
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (!framework::is_valid_utf8(argv[i])) {
            std::cerr << "shell_demo: argument " << i << " is not valid UTF-8\n";
            return 2;
        }
        if (i > 1)
            command_line += ' ';
        command_line += argv[i];
    }
    if (framework::Application::show_running_instance_open_bracket(platform::from_utf8(command_line), u"ShellDemo"))
        return 0;
    int code = 0;
    {
        framework::Application application(u"ShellDemo");
        const char* skin_path = std::getenv("NALO_DEMO_SKIN");
        std::u16string path = skin_path && *skin_path ? platform::from_utf8(skin_path)
                                                      : runtime::directory_part(runtime::get_app_path()) + u"demo.skin";
        skin::PropertiesImpl skin;
        if (!skin.load_skin(path, application.screen())) {
            framework::Application::message_box(u"The demo skin does not load", u"ShellDemo");
            return 1;
        }
        DemoForm form(skin);
        application.set_listener(&form);
        application.switch_to_windowed_mode(false);
        application.set_key_capture(false);
        application.switch_to_direct_mode(application.screen().display_setting());
        application.push_form(form, false, false);
        const char* focus = std::getenv("NALO_DEMO_FOCUS");
        if (focus && std::strcmp(focus, "1") == 0)
            application.focus(&form.edit(), true);
        events().note("started");
        code = application.run();
        application.set_listener(nullptr);
        application.remove_form(form, false);
    }
    events().note("ended " + std::to_string(code));
    return code;
}
