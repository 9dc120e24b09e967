#include "skin/text/WebAddresses.h"

namespace skin {

const std::array<std::u16string_view, 43> web_domain_suffixes = {
    u".com", u".net", u".org", u".edu", u".gov", u".biz", u".info", u".mobi",
    u".de", u".uk", u".ru", u".cn", u".nl", u".fr", u".br", u".it", u".au", u".pl", u".in", u".jp",
    u".ca", u".es", u".ch", u".se", u".be", u".ir", u".at", u".cz", u".dk", u".no", u".fi", u".mx",
    u".za", u".tr", u".kr", u".ar", u".gr", u".hu", u".ua", u".pt", u".ro", u".sk", u".nz",
};

namespace {

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

bool starts_with_folded(std::u16string_view text, std::u16string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (lower(text[i]) != prefix[i])
            return false;
    }
    return true;
}

bool ends_with_folded(std::u16string_view text, std::u16string_view suffix)
{
    return text.size() >= suffix.size() && starts_with_folded(text.substr(text.size() - suffix.size()), suffix);
}

// Characters that end a word: white space, and brackets and quotes around an address.
bool separates(char16_t c)
{
    return c <= u' ' || c == u'(' || c == u')' || c == u'<' || c == u'>' || c == u'"' || c == u'\'' || c == u'[' || c == u']'
        || c == u'{' || c == u'}' || c == 0x00A0 || c == 0x200B;
}

bool closes_sentence(char16_t c) { return c == u'.' || c == u',' || c == u';' || c == u':' || c == u'!' || c == u'?'; }

bool is_host_character(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c >= 0x80;
}

bool is_address(std::u16string_view word)
{
    static constexpr std::u16string_view schemes[] = { u"http://", u"https://" };
    for (std::u16string_view scheme : schemes) {
        if (starts_with_folded(word, scheme))
            return word.size() > scheme.size();
    }
    std::u16string_view host = word.substr(0, word.find_first_of(u"/:?#"));
    if (host.empty() || host.front() == u'.' || host.find(u"..") != std::u16string_view::npos)
        return false;
    for (char16_t c : host) {
        if (!is_host_character(c))
            return false;
    }
    if (starts_with_folded(word, u"www.") && host.size() > 4)
        return true;
    for (std::u16string_view suffix : web_domain_suffixes) {
        // A name before the suffix: ".com" alone is no address.
        if (host.size() > suffix.size() && ends_with_folded(host, suffix))
            return true;
    }
    return false;
}

} // namespace

std::vector<WebAddress> find_web_addresses(std::u16string_view text)
{
    std::vector<WebAddress> found;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && separates(text[i]))
            ++i;
        size_t start = i;
        while (i < text.size() && !separates(text[i]))
            ++i;
        size_t end = i;
        while (end > start && closes_sentence(text[end - 1]))
            --end;
        std::u16string_view word = text.substr(start, end - start);
        if (!word.empty() && is_address(word)) {
            WebAddress address { start, word.size(), std::u16string(word) };
            if (!starts_with_folded(word, u"http://") && !starts_with_folded(word, u"https://"))
                address.target = u"http://" + address.target;
            found.push_back(std::move(address));
        }
    }
    return found;
}

} // namespace skin
