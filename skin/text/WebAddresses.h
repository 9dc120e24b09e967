// Web addresses in running text, as the rich text node shows them as links: a word that
// begins with "http://", "https://" or "www.", or whose host name ends with one of the 43
// domain suffixes of the table (".com", ".net", ".org", ".edu", ".gov", ".biz", ".info",
// ".mobi" and the 35 most-used country suffixes), without regard to case. Punctuation
// that ends a sentence is not part of the address.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace skin {

struct WebAddress {
    size_t start { 0 };
    size_t length { 0 };
    // The address to open: the word, with "http://" before it when it names no scheme.
    std::u16string target;
};

extern const std::array<std::u16string_view, 43> web_domain_suffixes;

std::vector<WebAddress> find_web_addresses(std::u16string_view text);

} // namespace skin
