// Skin file figures: a named-node lookup and an attribute read on a skin of 500 nodes,
// and a whole load of a 200 kB skin with 50 pictures.
#include "skin/compiler/PngConvert.h"
#include "skin/compiler/SkinWriter.h"

#include "skin/file/PropertiesImpl.h"

#include "platform/TextEncoding.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

using namespace skin;
using skin::layout::Section;

namespace {

const ScreenInfo screen = ScreenInfo::make(240, 320, 96);

std::u16string name_of(int i) { return u"frmNode" + platform::from_utf8(std::to_string(i * 7919 % 100000)); }

skinc::WriterAttribute integer(const std::u16string& name, int value)
{
    skinc::WriterAttribute a;
    a.section = Section::integer;
    a.name = name;
    a.integer = value;
    return a;
}

// A node with a dozen attributes of every kind and some children.
skinc::WriterNode sample_node(skinc::SkinWriter& writer, int i, int pictures, int children)
{
    skinc::WriterNode node;
    const char16_t* integers[] = { u"alpha", u"cache", u"cache_alpha", u"ellipsis", u"grow", u"grow_min", u"movie", u"wrap" };
    for (int k = 0; k < 8; ++k)
        node.attributes.push_back(integer(integers[k], i + k));
    skinc::WriterAttribute s;
    s.section = Section::string;
    s.name = u"id";
    s.index = writer.string(u"node" + platform::from_utf8(std::to_string(i)));
    node.attributes.push_back(s);
    s.name = u"text";
    s.index = writer.string(u"Some text of the node " + platform::from_utf8(std::to_string(i)));
    node.attributes.push_back(s);
    skinc::WriterAttribute p;
    p.section = Section::point;
    p.name = u"design_size";
    p.x = 10;
    p.y = 20;
    node.attributes.push_back(p);
    p.name = u"border_min";
    node.attributes.push_back(p);
    skinc::WriterAttribute c;
    c.section = Section::colour;
    c.name = u"color";
    node.attributes.push_back(c);
    if (pictures) {
        skinc::WriterAttribute pic;
        pic.section = Section::picture;
        pic.name = u"src";
        pic.index = writer.picture(u"pic" + platform::from_utf8(std::to_string(i % pictures)));
        pic.corners[4] = pic.corners[6] = 16;
        pic.corners[5] = pic.corners[7] = 16;
        node.attributes.push_back(pic);
    }
    for (int k = 0; k < children; ++k)
        node.children.push_back(sample_node(writer, i * 10 + k, pictures, 0));
    return node;
}

std::vector<uint8_t> make_skin(int named, int pictures, int children)
{
    skinc::SkinWriter writer;
    for (int i = 0; i < named; ++i)
        writer.add_named_node(name_of(i), sample_node(writer, i, pictures, children));
    std::vector<uint8_t> image;
    std::string error;
    if (!writer.write(image, error))
        throw std::runtime_error(error);
    return image;
}

struct Loaded {
    PropertiesImpl properties;
    std::vector<std::u16string> names;
    Loaded()
    {
        properties.load_skin_image(make_skin(500, 0, 0), u"bench.skin", screen);
        for (int i = 0; i < 500; ++i)
            names.push_back(name_of(i));
    }
};

Loaded& loaded()
{
    static Loaded l;
    return l;
}

void BM_NamedNodeLookup(benchmark::State& state)
{
    Loaded& l = loaded();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(l.properties.find_named_node(l.names[i]));
        i = (i + 37) % l.names.size();
    }
}
BENCHMARK(BM_NamedNodeLookup);

void BM_IntegerRead(benchmark::State& state)
{
    Loaded& l = loaded();
    std::vector<NodeBody> bodies;
    for (const auto& name : l.names)
        bodies.push_back(l.properties.find_named_node(name));
    const char16_t* names[] = { u"alpha", u"cache_alpha", u"grow_min", u"wrap", u"missing" };
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(l.properties.get_integer(bodies[i % bodies.size()], names[i % 5], 0));
        i += 7;
    }
}
BENCHMARK(BM_IntegerRead);

void BM_PointRead(benchmark::State& state)
{
    Loaded& l = loaded();
    NodeBody body = l.properties.find_named_node(l.names[17]);
    for (auto _ : state)
        benchmark::DoNotOptimize(l.properties.get_point(body, u"design_size", {}));
}
BENCHMARK(BM_PointRead);

void BM_StringRead(benchmark::State& state)
{
    Loaded& l = loaded();
    NodeBody body = l.properties.find_named_node(l.names[17]);
    for (auto _ : state)
        benchmark::DoNotOptimize(l.properties.find_string(body, u"text"));
}
BENCHMARK(BM_StringRead);

void BM_LoadSkin200kB50Pictures(benchmark::State& state)
{
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "skin_bench";
    std::filesystem::create_directories(folder);
    std::vector<Pixel> pixels(16 * 16, 0x1234);
    std::vector<uint8_t> bitmap = skinc::bitmap_565(pixels, 16, 16);
    for (int i = 0; i < 50; ++i) {
        std::ofstream out(folder / ("pic" + std::to_string(i) + ".bmp"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bitmap.data()), std::streamsize(bitmap.size()));
    }
    std::vector<uint8_t> image = make_skin(240, 50, 3);
    std::filesystem::path skin = folder / "big.skin";
    std::ofstream(skin, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
    std::u16string path = platform::from_utf8(skin.string());
    PropertiesImpl properties;
    for (auto _ : state) {
        if (!properties.load_skin(path, screen))
            state.SkipWithError("the skin does not load");
    }
    state.counters["skin_bytes"] = double(image.size());
    state.counters["pictures"] = double(properties.pictures().size());
}
BENCHMARK(BM_LoadSkin200kB50Pictures)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
