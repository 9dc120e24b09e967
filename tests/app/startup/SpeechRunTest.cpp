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

// espeak-ng's WAV file: the 44-byte header of 16-bit mono PCM, then the samples (the
// data size in the header is not filled in when it writes to a file).
Sound measure(const std::vector<uint8_t>& wav)
{
    Sound sound;
    auto number = [&](size_t at, int bytes) { return at + bytes > wav.size() ? 0u : uint32_t(wav[at] | wav[at + 1] << 8 | (bytes == 4 ? wav[at + 2] << 16 | wav[at + 3] << 24 : 0)); };
    if (wav.size() <= 44 || std::memcmp(wav.data(), "RIFF", 4) != 0 || std::memcmp(wav.data() + 36, "data", 4) != 0
        || number(22, 2) != 1 || number(34, 2) != 16 || number(24, 4) == 0)
        return sound;
    size_t samples = (wav.size() - 44) / 2, loud = 0;
    for (size_t i = 0; i < samples; ++i) {
        int value = std::abs(int(int16_t(number(44 + 2 * i, 2))));
        sound.peak = std::max(sound.peak, value);
        loud += value > 327;
    }
    sound.valid = true;
    sound.seconds = double(samples) / number(24, 4);
    sound.loud_share = double(loud) / double(samples);
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
    // S starts, a keypad phone's 0 stops, S starts again.
    RunResult result = run("wait 1.5\nkey S\nwait 0.5\nkey 0\nwait 0.5\nkey S\nwait 0.5\nquit\n");
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
