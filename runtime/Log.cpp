#include "runtime/Log.h"
#include "runtime/Paths.h"
#include "runtime/Registry.h"
#include "runtime/TextConvert.h"

#include "platform/Clock.h"
#include "platform/TextEncoding.h"

#include <bit>
#include <unistd.h>
#include <vector>

static_assert(std::endian::native == std::endian::little, "the log writes UTF-16LE straight from memory");

namespace runtime {

namespace {

struct LogState {
    std::mutex lock;
    Log* current { nullptr };
    bool on { false };
    // Replaced objects are kept (closed) rather than freed, so that a thread still
    // holding a reference from get_log() never writes through freed memory.
    std::vector<Log*> retired;
};

LogState& state()
{
    static LogState* s = new LogState;
    return *s;
}

} // namespace

FileLog::FileLog()
{
    std::u16string path = u"/Temp/" + expand_path(u"%app_name%.txt");
    if (m_file.open(path, FileStream::Mode::write) && m_file.size() == 0) {
        const unsigned char bom[2] = { 0xFF, 0xFE };
        m_file.write(bom, 2);
    }
}

void FileLog::write(const char16_t* begin, const char16_t* end)
{
    std::lock_guard guard(m_lock);
    if (m_file.is_open() && end > begin)
        m_file.write(begin, size_t(end - begin) * sizeof(char16_t));
}

void FileLog::flush()
{
    std::lock_guard guard(m_lock);
    if (m_file.is_open())
        m_file.flush();
}

void FileLog::close()
{
    std::lock_guard guard(m_lock);
    m_file.close();
}

Log& get_log()
{
    uint32_t value = 0;
    bool on = read_number(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", value) && value != 0;
    LogState& s = state();
    std::lock_guard guard(s.lock);
    if (s.current && s.on == on)
        return *s.current;
    if (s.current) {
        if (auto* file_log = dynamic_cast<FileLog*>(s.current))
            file_log->close();
        s.retired.push_back(s.current);
    }
    s.on = on;
    s.current = on ? static_cast<Log*>(new FileLog) : static_cast<Log*>(new NullLog);
    return *s.current;
}

Log& operator<<(Log& log, std::u16string_view text)
{
    log.write(text.data(), text.data() + text.size());
    return log;
}

Log& operator<<(Log& log, const char* ascii)
{
    return log << std::u16string_view(platform::widen(ascii ? ascii : ""));
}

Log& operator<<(Log& log, char16_t c)
{
    log.write(&c, &c + 1);
    return log;
}

Log& operator<<(Log& log, int32_t number)
{
    return log << std::u16string_view(int_to_text(number));
}

Log& operator<<(Log& log, double number)
{
    return log << std::u16string_view(double_to_text(number));
}

void flush(Log& log)
{
    log.flush();
}

int32_t log_ticks()
{
    return int32_t(platform::tick_count());
}

double log_uptime()
{
    return platform::tick_count() / 1000.0;
}

void fatal_error(std::u16string_view place, std::u16string_view message)
{
    fatal_error(place, message, 0);
}

void fatal_error(std::u16string_view place, std::u16string_view message, int exit_code)
{
    Log& log = get_log();
    log << u"Gluck: " << message << u" @ " << place << u"\n";
    log.flush();
    _exit(exit_code);
}

} // namespace runtime
