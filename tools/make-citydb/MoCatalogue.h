// A gettext message catalogue (".mo" file) read whole into a map from message id to
// translation. The GeoNames catalogues of libgeonames-common translate city names by
// GeoNames id ("2867714"), regions by country and admin code ("DE.02") and countries by
// country code ("DE").
#pragma once

#include <map>
#include <string>

namespace citydb {

class MoCatalogue {
public:
    // False, with `error` naming the file and the fault, when the file cannot be read or
    // is not a catalogue; a catalogue that is cut short or points outside itself is refused
    // whole rather than read in part.
    bool load(const std::string& path, std::string& error);
    bool parse(const std::string& bytes, std::string& error);

    // The translation of `id`, or nullptr. Empty translations count as none.
    const std::string* find(const std::string& id) const;
    size_t size() const { return m_messages.size(); }

private:
    std::map<std::string, std::string> m_messages;
};

} // namespace citydb
