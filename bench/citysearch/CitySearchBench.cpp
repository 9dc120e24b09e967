// The city search's filtering (FormTotal::filter) on the shipped city database and on a
// synthetic one of 38,804 names: the first filtering, which reads "codes.dat" through the
// 4096-byte buffered reader, and the filterings after it, which scan the names in memory.
// Each figure is the median of several runs; the first filtering is run on a new form
// each time, with the file in the page cache. The shipped database is run in English, then
// in each language that has its own names (german.codes.dat, russian.codes.dat).
//
//   citysearch_bench [codes.dat]   (default: the program folder's)
#include "app/FormTotal.h"
#include "app/ReorderList.h"

#include "runtime/ApplicationCore.h"

#include "skin/SkinNodeTypes.h"
#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/EditNode.h"
#include "skin/nodes/LabelEditNode.h"
#include "skin/nodes/NodeFactory.h"

#include "platform/CaseFolding.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ms_since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void put_string(std::ofstream& out, const std::u16string& s)
{
    // Names up to 127 units take one length byte, longer ones the 2-byte form.
    if (s.size() < 128) {
        out.put(char(s.size()));
    } else {
        out.put(char(-2));
        out.put(char(s.size() & 0xFF));
        out.put(char(s.size() >> 8));
    }
    for (char16_t c : s) {
        out.put(char(c & 0xFF));
        out.put(char(c >> 8));
    }
}

// 38,804 names of "City, Region, Country" made of syllables, sorted, with a few accented
// and non-Latin names as the real list has.
std::string write_synthetic(const std::string& path)
{
    const char16_t* syllables[] = { u"ber", u"lin", u"a", u"ham", u"burg", u"sto", u"ck", u"holm", u"pa", u"ris",
        u"ma", u"drid", u"ro", u"me", u"os", u"lo", u"ö", u"ster", u"sund", u"vi", u"en", u"na", u"ки", u"ев", u"σπ",
        u"άρ", u"τη", u"zü", u"rich", u"mu", u"nich", u"ka", u"to", u"wi", u"ce" };
    const char16_t* regions[] = { u"Land Berlin", u"Bavaria", u"Île-de-France", u"Stockholm", u"Attica", u"Kyiv City" };
    const char16_t* countries[] = { u"Germany", u"France", u"Sweden", u"Greece", u"Ukraine", u"Spain" };
    std::mt19937 random(4);
    std::vector<std::u16string> names;
    names.reserve(weather::CityDatabase::max_entries);
    while (names.size() < weather::CityDatabase::max_entries) {
        std::u16string name;
        int parts = 2 + int(random() % 3);
        for (int i = 0; i < parts; ++i)
            name += syllables[random() % std::size(syllables)];
        name[0] = platform::to_upper(name[0]);
        name += u", ";
        name += regions[random() % std::size(regions)];
        name += u", ";
        name += countries[random() % std::size(countries)];
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    std::ofstream out(path, std::ios::binary);
    int32_t n = int32_t(names.size());
    for (int i = 0; i < 4; ++i)
        out.put(char(uint32_t(n) >> (8 * i) & 0xFF));
    for (size_t i = 0; i < names.size(); ++i) {
        char code[24];
        std::snprintf(code, sizeof code, "%08zu", i + 1);
        put_string(out, platform::from_utf8(code));
        put_string(out, names[i]);
    }
    return path;
}

void run(skin::Properties& skin, const std::string& label, const std::string& path)
{
    std::u16string file = platform::from_utf8(path);
    std::vector<double> first;
    size_t entries = 0, matches = 0;
    for (int i = 0; i < 7; ++i) {
        weather::FormTotal form(skin, file);
        auto start = Clock::now();
        form.filter();
        first.push_back(ms_since(start));
        entries = form.database().size();
        matches = form.results().size();
    }
    std::printf("%s: %zu entries\n", label.c_str(), entries);
    std::printf("  first filtering (reads the file), empty filter: %8.3f ms median of %zu (%zu matches)\n", median(first),
        first.size(), matches);

    weather::FormTotal form(skin, file);
    form.filter();
    std::ifstream bytes(platform::to_utf8(form.database_path()), std::ios::binary | std::ios::ate);
    std::printf("  %s: %lld bytes\n", platform::to_utf8(form.database_path()).c_str(), (long long)bytes.tellg());
    const std::u16string filters[] = { u"", u"b", u"berl", u"S", u"ö", u"munch", u"моск", u"sao paulo", u"zzz" };
    std::vector<double> all;
    for (const std::u16string& filter : filters) {
        form.edit().edit().set_text(filter);
        std::vector<double> times;
        for (int i = 0; i < 21; ++i) {
            auto start = Clock::now();
            form.filter();
            times.push_back(ms_since(start));
        }
        all.insert(all.end(), times.begin(), times.end());
        std::printf("  later filtering \"%s\": %8.3f ms median of %zu (%zu matches)\n", platform::to_utf8(filter).c_str(),
            median(times), times.size(), form.results().size());
    }
    std::printf("  later filtering, slowest of all %zu: %8.3f ms\n", all.size(), *std::max_element(all.begin(), all.end()));
}

} // namespace

int main(int argc, char** argv)
{
    std::string program = NALO_PROGRAM_DIR;
    std::string shipped = argc > 1 ? argv[1] : program + "/codes.dat";
    // The bench keeps its own registry and log switch away from the user's.
    std::string scratch = "/tmp/citysearch-bench-" + std::to_string(getpid());
    std::string registry = scratch + "-registry.db";
    setenv("NALO_REGISTRY", registry.c_str(), 1);

    runtime::ApplicationCore core(nullptr, u"CitySearchBench");
    skin::register_skin_node_types();
    skin::NodeFactory::register_class<weather::ReorderList>(weather::ReorderList::type_name);
    skin::PropertiesImpl skin;
    if (!skin.load_skin(platform::from_utf8(program + "/skins/bin/default.skin"), skin::ScreenInfo::make(240, 320, 96))) {
        std::fprintf(stderr, "cannot load the shipped default skin from %s\n", program.c_str());
        return 1;
    }
    for (const char* language : { "english", "german", "russian" }) {
        if (!skin.load_language(platform::from_utf8(program + "/" + language + ".lng")))
            std::fprintf(stderr, "no %s.lng in %s\n", language, program.c_str());
        run(skin, std::string("shipped, ") + language, shipped);
    }
    std::string synthetic = write_synthetic(scratch + "-codes.dat");
    run(skin, "synthetic 38,804 names", synthetic);
    std::remove(synthetic.c_str());
    std::remove(registry.c_str());
    return 0;
}
