// The page read aloud in a run of Weather: espeak-ng writes the speech into a WAV file
// (NALO_SPEECH_WAV), which must hold sound, not silence; the key pressed again stops the
// reading; with no way to speak the key shows what to install.
#include "WeatherRun.h"

#include "support/TestSupport.h"

#include <cstdlib>
#include <cstring>
#include <csignal>
#include <filesystem>
#include <unistd.h>

using namespace startup_test;

namespace {

struct Sound {
    bool valid { false };
    double seconds { 0 };
    int peak { 0 };          // the largest sample's magnitude
    double loud_share { 0 }; // the share of samples above 1% of full scale
};

uint32_t little_endian(const uint8_t* p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// A 16-bit PCM WAV file's samples measured.
Sound measure(const std::vector<uint8_t>& wav)
{
    Sound sound;
    if (wav.size() < 12 || std::memcmp(wav.data(), "RIFF", 4) != 0 || std::memcmp(wav.data() + 8, "WAVE", 4) != 0)
        return sound;
    uint32_t rate = 0, channels = 0, bits = 0;
    for (size_t at = 12; at + 8 <= wav.size();) {
        uint32_t size = little_endian(&wav[at + 4], 4);
        const uint8_t* body = &wav[at + 8];
        // espeak-ng writing to a file leaves the data size at its largest value.
        size_t available = std::min<size_t>(size, wav.size() - at - 8);
        if (std::memcmp(&wav[at], "fmt ", 4) == 0 && available >= 16) {
            channels = little_endian(body + 2, 2);
            rate = little_endian(body + 4, 4);
            bits = little_endian(body + 14, 2);
        } else if (std::memcmp(&wav[at], "data", 4) == 0) {
            if (bits != 16 || channels == 0 || rate == 0)
                return sound;
            size_t samples = available / 2;
            size_t loud = 0;
            for (size_t i = 0; i < samples; ++i) {
                int value = int16_t(little_endian(body + 2 * i, 2));
                sound.peak = std::max(sound.peak, std::abs(value));
                loud += std::abs(value) > 327;
            }
            sound.valid = true;
            sound.seconds = double(samples) / channels / rate;
            sound.loud_share = samples ? double(loud) / double(samples) : 0;
            return sound;
        }
        at += 8 + size + (size & 1);
    }
    return sound;
}

class SpeechRun : public WeatherRun {
protected:
    void SetUp() override
    {
        WeatherRun::SetUp();
        save_cities({ { "Berlin", "02950159" } });
        fresh_cache("02950159", 4, 12);
        wav = m_shots + "/speech.wav";
        unsetenv("NALO_SPEECH");
        setenv("NALO_SPEECH_WAV", wav.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("NALO_SPEECH");
        unsetenv("NALO_SPEECH_WAV");
        WeatherRun::TearDown();
    }
    std::string wav;
};

TEST_F(SpeechRun, TheSpeakKeyReadsThePageIntoAudibleSpeech)
{
    if (!std::getenv("PATH") || test_support::run_command("command -v espeak-ng").exit_code != 0)
        GTEST_SKIP() << "espeak-ng is not installed (Debian espeak-ng)";
    RunResult result = run("wait 1.5\nkey S\nwait 3\nquit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_EQ(lines_with(result.log, "FormMain speak Berlin: Heavy showers, 4 degrees").size(), 1u) << result.log;
    Sound sound = measure(test_support::read_bytes(wav));
    ASSERT_TRUE(sound.valid) << "no 16-bit WAV in " << wav;
    // "Berlin: Heavy showers, 4 degrees" takes well over a second to say.
    EXPECT_GT(sound.seconds, 1.0);
    EXPECT_GT(sound.peak, 3000) << "the speech is silence";
    EXPECT_GT(sound.loud_share, 0.2) << "mostly silence";
}

// espeak-ng writes a file at once; a stand-in on the PATH reads as long as a listener
// would wait, and says what it was asked.
TEST_F(SpeechRun, TheKeyPressedAgainStopsTheReading)
{
    std::string bin = m_shots + "/bin";
    std::string fake = bin + "/espeak-ng";
    std::filesystem::create_directories(bin);
    test_support::write_bytes(fake, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\necho $$ > \"$0.pid\"\nexec sleep 20\n");
    std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    unsetenv("NALO_SPEECH_WAV");
    setenv("NALO_SPEECH", "espeak-ng", 1);
    setenv("PATH", (bin + ":" + path).c_str(), 1);
    RunResult result = run("wait 1.5\nkey S\nwait 0.5\nkey S\nwait 0.5\nkey S\nwait 0.5\nquit\n");
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_EQ(lines_with(result.log, "FormMain speak ").size(), 2u) << result.log;
    EXPECT_EQ(lines_with(result.log, "FormMain speech stopped").size(), 1u) << result.log;
    auto args = test_support::read_bytes(fake + ".args");
    EXPECT_EQ(std::string(args.begin(), args.end()), "-b\n1\n-v\nen\nBerlin: Heavy showers, 4 degrees\n");
    // The reading still going at the end stops with the program: no stand-in is left.
    auto pid = test_support::read_bytes(fake + ".pid");
    ASSERT_FALSE(pid.empty());
    EXPECT_NE(kill(std::atoi(std::string(pid.begin(), pid.end()).c_str()), 0), 0) << "the last reading outlived Weather";
}

TEST_F(SpeechRun, WithoutSpeechTheKeySaysWhatToInstall)
{
    setenv("NALO_SPEECH", "none", 1);
    RunResult result = run("wait 1.5\nkey S\nwait 0.5\nshot " + shot_path("speech-missing") + "\nquit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_EQ(lines_with(result.log, "FormMessage::show To hear the forecast, install speech-dispatcher or espeak-ng.").size(), 1u)
        << result.log;
    EXPECT_FALSE(test_support::file_exists(wav));
}

} // namespace
