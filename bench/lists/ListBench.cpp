// Scrolls a list through its whole length at 2000 px/s, one life_cycle step and one
// draw at 240x320 per 0.04 s frame, and prints the time per frame and the memory held,
// for a short list and one of the city database's size.
#include "skin/SkinNodeTypes.h"
#include "skin/draw/RenderSurface.h"
#include "skin/file/PropertiesImpl.h"
#include "skin/list/ListNode.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/NodeFactory.h"
#include "skin/nodes/TextNode.h"
#include "skin/text/FreeTypeFont.h"

#include "skin/compiler/SkinCompiler.h"

#include "platform/TextEncoding.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace skin;

namespace {

const char* source_text = R"(<skin>
  <node name="row" design_size="0 40">
    <node type="color" id="#vlist_normal" color="250 250 250"/>
    <node type="color" id="#vlist_pressed" color="200 200 255"/>
    <node type="color" id="#vlist_selected" color="255 255 200"/>
    <node type="text" id="name" font="12 0 0 0 DejaVu Sans" color="0 0 0" halign="LEFT" border_min="8 0"/>
    <node type="text" id="code" font="9 0 0 0 DejaVu Sans" color="90 90 90" halign="RIGHT" border_max="8 0"/>
  </node>
  <node name="form">
    <node type="vlist" id="list"><node type="color" color="30 30 30"/></node>
  </node>
</skin>)";

class CitySource : public ListSource {
public:
    explicit CitySource(const Properties& p)
        : m_properties(p)
    {
    }
    std::unique_ptr<ListRowNode> create_row(ListNode&, int index) override
    {
        auto row = std::make_unique<ListRowNode>();
        row->build(m_properties, u"row");
        row->set_text(u"name", u"City number " + platform::from_utf8(std::to_string(index)));
        row->set_text(u"code", u"XXXX" + platform::from_utf8(std::to_string(1000 + index % 9000)));
        return row;
    }
    void row_activated(ListNode&, int) override { }

private:
    const Properties& m_properties;
};

long memory_kib(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::string(field).size());
    return -1;
}

void run(const std::string& skin_path, int rows)
{
    install_freetype_fonts();
    register_skin_node_types();
    PropertiesImpl properties;
    if (!properties.load_skin(platform::from_utf8(skin_path), ScreenInfo::make(240, 320, 96))) {
        std::fprintf(stderr, "list_bench: the skin did not load\n");
        std::exit(1);
    }
    FormNode form;
    form.build(properties, u"form");
    auto& list = static_cast<ListNode&>(*form.find_descendant(u"list"));
    CitySource source(properties);
    uint32_t now = 0;
    list.set_clock([&now] { return now; });
    list.set_source(&source);
    list.set_count(rows);
    place_on_screen(form, 240, 320);
    RenderSurface frame(240, 320);

    // A finger drags the rows up by 80 pixels per 0.04 s frame: 2000 px/s.
    const double dt = 0.04;
    const int step = 80;
    int y = 300;
    list.stylus({ { 120, y }, false, true, false });
    std::vector<double> times;
    times.reserve(size_t(rows) * 40 / step + 16);
    while (list.end_index() < list.count() || list.offset() + list.total() > 320) {
        auto start = std::chrono::steady_clock::now();
        y -= step;
        now += uint32_t(dt * 1000);
        list.stylus_move({ 120, y });
        list.life_cycle(dt);
        form.draw_node(frame, { 0, 0 });
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        if (times.size() > size_t(rows) * 2 + 100)
            break;
    }
    list.stylus({ { 120, y }, false, false, false });
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    std::printf("rows %6d: %6zu frames, per frame mean %.1f us, median %.1f us, p99 %.1f us, max %.1f us; "
                "realized rows %zu; RSS %ld KiB (peak %ld KiB)\n",
        rows, times.size(), sum / double(times.size()), sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100],
        sorted.back(), list.realized_count(), memory_kib("VmRSS:"), memory_kib("VmHWM:"));
}

} // namespace

int main()
{
    char folder[] = "/tmp/list-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    std::string source_path = std::string(folder) + "/list.xml";
    std::ofstream(source_path) << source_text;
    std::string skin_path = std::string(folder) + "/list.skin";
    std::string error;
    if (!skinc::compile_skin(source_path, skin_path, error)) {
        std::fprintf(stderr, "list_bench: %s\n", error.c_str());
        return 1;
    }
    // Each size in a process of its own, so that the memory figures are its own.
    for (int rows : { 100, 38804 }) {
        std::fflush(stdout);
        pid_t pid = fork();
        if (pid == 0) {
            run(skin_path, rows);
            std::fflush(stdout);
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
    std::string cleanup = std::string("rm -rf ") + folder;
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
