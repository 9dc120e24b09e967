// Text read aloud: through speech-dispatcher (libspeechd, loaded when the program first
// speaks, so the program runs where it is missing) when its service answers, else by
// running espeak-ng. One text at a time; a new one replaces the one being read.
//
// NALO_SPEECH chooses the way ("speech-dispatcher", "espeak-ng" or "none"), and
// NALO_SPEECH_WAV=FILE has espeak-ng write the speech into that WAV file instead of
// playing it (tests and machines without sound).
#pragma once

#include "platform/ChildProcess.h"
#include "platform/Library.h"

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

class Speech {
public:
    enum class Engine { none, dispatcher, espeak };

    Speech();
    ~Speech();
    Speech(const Speech&) = delete;
    Speech& operator=(const Speech&) = delete;

    // Starts reading the UTF-8 text in the language (a code such as "en" or "de"); false
    // when no way to speak is installed.
    bool speak(std::string_view text, std::string_view language);
    // True while a text is being read.
    bool speaking();
    // Stops the reading at once.
    void stop();
    // The way the last speak went (none before the first).
    Engine engine() const { return m_engine; }

private:
    bool open_dispatcher();
    bool speak_dispatcher(std::string_view text, std::string_view language);
    bool speak_espeak(std::string_view text, std::string_view language);

    struct Dispatcher;
    std::unique_ptr<Dispatcher> m_dispatcher;
    bool m_dispatcher_tried { false };
    ChildProcess m_espeak;
    Engine m_engine { Engine::none };
};

} // namespace platform
