#include "platform/Speech.h"

#include <speech-dispatcher/libspeechd.h>

#include <cstdlib>
#include <string>

namespace platform {

namespace {

using OpenFunction = SPDConnection* (*)(const char*, const char*, const char*, SPDConnectionMode);
using CloseFunction = void (*)(SPDConnection*);
using SayFunction = int (*)(SPDConnection*, SPDPriority, const char*);
using CancelFunction = int (*)(SPDConnection*);
using LanguageFunction = int (*)(SPDConnection*, const char*);
using NotificationFunction = int (*)(SPDConnection*, SPDNotification);

// speech-dispatcher's callbacks run on its own thread: the one connection's state.
std::atomic<bool> dispatcher_speaking { false };

void reading_ended(size_t, size_t, SPDNotificationType) { dispatcher_speaking = false; }

std::string chosen_engine()
{
    const char* chosen = std::getenv("NALO_SPEECH");
    if (chosen && *chosen)
        return chosen;
    const char* wav = std::getenv("NALO_SPEECH_WAV");
    return wav && *wav ? "espeak-ng" : "";
}

} // namespace

struct Speech::Dispatcher {
    Library library;
    SPDConnection* connection { nullptr };
    CloseFunction close { nullptr };
    SayFunction say { nullptr };
    CancelFunction cancel { nullptr };
    LanguageFunction language { nullptr };

    ~Dispatcher()
    {
        if (connection) {
            cancel(connection);
            close(connection);
        }
    }
};

Speech::Speech() = default;

Speech::~Speech()
{
    // A file being written is finished rather than cut off.
    const char* wav = std::getenv("NALO_SPEECH_WAV");
    if (wav && *wav && m_engine == Engine::espeak)
        m_espeak.wait();
    stop();
}

bool Speech::open_dispatcher()
{
    if (m_dispatcher_tried)
        return m_dispatcher != nullptr;
    m_dispatcher_tried = true;
    auto d = std::make_unique<Dispatcher>();
    if (!d->library.open(u"libspeechd.so.2"))
        return false;
    auto open = reinterpret_cast<OpenFunction>(d->library.symbol("spd_open"));
    auto notification = reinterpret_cast<NotificationFunction>(d->library.symbol("spd_set_notification_on"));
    d->close = reinterpret_cast<CloseFunction>(d->library.symbol("spd_close"));
    d->say = reinterpret_cast<SayFunction>(d->library.symbol("spd_say"));
    d->cancel = reinterpret_cast<CancelFunction>(d->library.symbol("spd_cancel"));
    d->language = reinterpret_cast<LanguageFunction>(d->library.symbol("spd_set_language"));
    if (!open || !notification || !d->close || !d->say || !d->cancel || !d->language)
        return false;
    // Connects to the user's service, starting it when it is installed but not running.
    d->connection = open("Weather", "forecast", nullptr, SPD_MODE_THREADED);
    if (!d->connection)
        return false;
    d->connection->callback_end = reading_ended;
    d->connection->callback_cancel = reading_ended;
    notification(d->connection, SPD_END);
    notification(d->connection, SPD_CANCEL);
    m_dispatcher = std::move(d);
    return true;
}

bool Speech::speak_dispatcher(std::string_view text, std::string_view language)
{
    if (!open_dispatcher())
        return false;
    m_dispatcher->cancel(m_dispatcher->connection);
    if (!language.empty())
        m_dispatcher->language(m_dispatcher->connection, std::string(language).c_str());
    dispatcher_speaking = true;
    if (m_dispatcher->say(m_dispatcher->connection, SPD_MESSAGE, std::string(text).c_str()) < 0) {
        dispatcher_speaking = false;
        return false;
    }
    return true;
}

bool Speech::speak_espeak(std::string_view text, std::string_view language)
{
    std::string program = ChildProcess::find_program("espeak-ng");
    if (program.empty())
        return false;
    std::vector<std::string> arguments = { "-b", "1" };
    if (!language.empty()) {
        arguments.push_back("-v");
        arguments.push_back(std::string(language));
    }
    const char* wav = std::getenv("NALO_SPEECH_WAV");
    if (wav && *wav) {
        arguments.push_back("-w");
        arguments.push_back(wav);
    }
    // A text that begins with "-" would read as an option.
    std::string words;
    if (!text.empty() && text[0] == '-')
        words = " ";
    words.append(text);
    arguments.push_back(words);
    return m_espeak.start(program, arguments, true);
}

bool Speech::speak(std::string_view text, std::string_view language)
{
    stop();
    std::string chosen = chosen_engine();
    if ((chosen.empty() || chosen == "speech-dispatcher") && speak_dispatcher(text, language)) {
        m_engine = Engine::dispatcher;
        return true;
    }
    if ((chosen.empty() || chosen == "espeak-ng") && speak_espeak(text, language)) {
        m_engine = Engine::espeak;
        return true;
    }
    m_engine = Engine::none;
    return false;
}

bool Speech::speaking()
{
    if (m_engine == Engine::dispatcher)
        return dispatcher_speaking;
    if (m_engine == Engine::espeak)
        return m_espeak.running();
    return false;
}

void Speech::stop()
{
    if (m_dispatcher && dispatcher_speaking) {
        m_dispatcher->cancel(m_dispatcher->connection);
        dispatcher_speaking = false;
    }
    m_espeak.stop();
}

} // namespace platform
