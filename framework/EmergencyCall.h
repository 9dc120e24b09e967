// The one escape from the keypad the program takes over: the digits typed since the last
// other key, and a call to the first emergency number they end with when the talk key
// goes down. The numbers come from the registry string "EmergencyNumbers" under
// "HKEY_CURRENT_USER\Software\NALO" (separated by ";"), default "112;911"; dialling
// goes through PhoneMakeCall of the phone library when one is installed.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace framework {

class EmergencyCall {
public:
    using Dialler = std::function<void(std::u16string_view number)>;

    // The numbers of the text, empty entries left out; digits only are kept as they are.
    explicit EmergencyCall(std::u16string_view numbers);
    // The registry's list, or the default.
    static std::u16string registry_numbers();

    // The emergency step of a key down: true when a number was dialled (the key then goes
    // no further). Digits are noted, the talk key looks for a number, any other key
    // (but None) clears the digits.
    bool key_down(int code);

    const std::u16string& typed() const { return m_typed; }
    const std::vector<std::u16string>& numbers() const { return m_numbers; }
    // Replaces the dialling through the phone library (tests).
    void set_dialler(Dialler dialler) { m_dialler = std::move(dialler); }

    // Loads the phone library for the call, calls PhoneMakeCall and releases it; false
    // when the library or the function is missing.
    static bool dial_through_phone_library(std::u16string_view number);

private:
    std::vector<std::u16string> m_numbers;
    std::u16string m_typed;
    Dialler m_dialler;
};

} // namespace framework
