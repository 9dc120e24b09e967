#include "framework/EmergencyCall.h"

#include "framework/PhoneCall.h"

#include "input/KeyCodes.h"
#include "platform/Library.h"
#include "runtime/Log.h"
#include "runtime/Registry.h"

namespace framework {

namespace {

constexpr size_t typed_limit = 64; // the longest number worth remembering

} // namespace

EmergencyCall::EmergencyCall(std::u16string_view numbers)
{
    size_t start = 0;
    while (start <= numbers.size()) {
        size_t end = numbers.find(u';', start);
        if (end == std::u16string_view::npos)
            end = numbers.size();
        std::u16string_view number = numbers.substr(start, end - start);
        while (!number.empty() && number.front() == u' ')
            number.remove_prefix(1);
        while (!number.empty() && number.back() == u' ')
            number.remove_suffix(1);
        if (!number.empty())
            m_numbers.emplace_back(number);
        start = end + 1;
    }
}

std::u16string EmergencyCall::registry_numbers()
{
    std::u16string numbers = u"112;911";
    runtime::read_string(u"HKEY_CURRENT_USER\\Software\\NALO", u"EmergencyNumbers", numbers);
    return numbers;
}

bool EmergencyCall::key_down(int code)
{
    if (code == input::key_call_make) {
        runtime::get_log() << u"try call " << std::u16string_view(m_typed) << u"\n";
        for (const std::u16string& number : m_numbers) {
            if (m_typed.size() < number.size() || m_typed.compare(m_typed.size() - number.size(), number.size(), number) != 0)
                continue;
            m_typed.clear();
            runtime::get_log() << u"emergency call " << std::u16string_view(number) << u"\n";
            if (m_dialler)
                m_dialler(number);
            else
                dial_through_phone_library(number);
            return true;
        }
        return false;
    }
    if (input::is_digit_key(code)) {
        // Only the end of the digits can match; a key held down must not grow them forever.
        if (m_typed.size() >= typed_limit)
            m_typed.erase(0, m_typed.size() - typed_limit + 1);
        m_typed += char16_t(u'0' + (code - input::key_0));
    } else if (code != input::key_none) {
        m_typed.clear();
    }
    return false;
}

bool EmergencyCall::dial_through_phone_library(std::u16string_view number)
{
    platform::Library phone;
    if (!phone.open(u"phone.dll"))
        return false;
    auto make_call = reinterpret_cast<PhoneMakeCallFunction>(phone.symbol("PhoneMakeCall"));
    if (!make_call)
        return false;
    std::u16string destination(number);
    std::u16string empty;
    PhoneMakeCallInfo info;
    info.size = phone_make_call_info_size;
    info.flags = phone_dial_at_once;
    info.destination_address = destination.c_str();
    info.application_name = empty.c_str();
    info.called_party = empty.c_str();
    info.comment = empty.c_str();
    make_call(&info);
    return true;
}

} // namespace framework
