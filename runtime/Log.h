// The diagnostic log: a UTF-16LE trace in "/Temp/" + the program's name + ".txt",
// written only while the registry switch "Log" under HKEY_CURRENT_USER\Software\NALO is
// non-zero (read again at every call), and the fatal-error routine.
#pragma once

#include "runtime/FileStream.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace runtime {

class Log {
public:
    virtual ~Log() = default;
    virtual void write(const char16_t* begin, const char16_t* end) = 0;
    virtual void flush() = 0;
};

class NullLog final : public Log {
public:
    void write(const char16_t*, const char16_t*) override { }
    void flush() override { }
};

class FileLog final : public Log {
public:
    FileLog();
    void write(const char16_t* begin, const char16_t* end) override;
    void flush() override;
    // Closes the file; later writes through a stale reference do nothing.
    void close();

private:
    std::mutex m_lock;
    FileStream m_file;
};

// The current log object, replaced when the switch has changed since the last call.
Log& get_log();

Log& operator<<(Log& log, std::u16string_view text);
Log& operator<<(Log& log, const char* ascii);
Log& operator<<(Log& log, char16_t c);
Log& operator<<(Log& log, int32_t number); // "%d"
Log& operator<<(Log& log, double number);  // "%f"
void flush(Log& log);

// The tick count in milliseconds as trace lines print it, and the uptime in seconds
// for lines that end in " at ".
int32_t log_ticks();
double log_uptime();

// Writes "Gluck: " + message + " @ " + place, flushes, and ends the process with exit
// code 0 at once: no destructor runs.
[[noreturn]] void fatal_error(std::u16string_view place, std::u16string_view message);
// The same, ending with the exit code given (the program entry's last resort).
[[noreturn]] void fatal_error(std::u16string_view place, std::u16string_view message, int exit_code);

} // namespace runtime
