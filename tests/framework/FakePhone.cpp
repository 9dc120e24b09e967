// A stand-in for the phone library (libphone.so): PhoneMakeCall appends the record's size,
// flags and number to the file NALO_FAKE_PHONE_LOG names.
#include "framework/PhoneCall.h"

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int32_t PhoneMakeCall(framework::PhoneMakeCallInfo* info)
{
    const char* path = std::getenv("NALO_FAKE_PHONE_LOG");
    if (!path || !info)
        return -1;
    std::string number;
    for (const char16_t* c = info->destination_address; c && *c; ++c)
        number += char(*c);
    bool empty = info->application_name && !*info->application_name && info->called_party && !*info->called_party
        && info->comment && !*info->comment;
    if (FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%u %u %s%s\n", info->size, info->flags, number.c_str(), empty ? "" : " (texts not empty)");
        std::fclose(f);
    }
    return 0;
}
