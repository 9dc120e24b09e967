#include "skin/file/PropertiesImpl.h"

#include "skin/file/Load565.h"
#include "skin/file/ReloadListener.h"
#include "skin/file/SkinImageCheck.h"
#include "skin/file/SkinImageRead.h"
#include "skin/text/FontRegistry.h"

#include "platform/Clock.h"
#include "platform/File.h"
#include "runtime/Log.h"

#include <algorithm>

namespace skin {

namespace {

// Seconds since the previous lap, measured with the millisecond tick count.
class Stopwatch {
public:
    double lap()
    {
        uint32_t now = platform::tick_count();
        double seconds = double(now - m_last) / 1000.0;
        m_last = now;
        return seconds;
    }

private:
    uint32_t m_last { platform::tick_count() };
};

void log_record_sizes(runtime::Log& log)
{
    static const std::pair<const char*, int32_t> sizes[] = {
        { "sizeof(Node*4)=", 8 },
        { "sizeof(IntegerNode*4)=", 32 },
        { "sizeof(PointNode*4)=", 32 },
        { "sizeof(Node)=", 2 },
        { "sizeof(IntegerNode)=", 8 },
        { "IntegerNode::Size=", 8 },
        { "sizeof(PointNode)=", 8 },
        { "PointNode::Size=", 8 },
        { "sizeof(ColorNode)=", 8 },
        { "ColorNode::Size=", 8 },
        { "sizeof(StringNode)=", 4 },
        { "StringNode::Size=", 4 },
        { "sizeof(PictureNode)=", 20 },
        { "PictureNode::Size=", 20 },
    };
    for (const auto& [label, size] : sizes)
        log << label << size << u"\n";
}

// The folder of the skin file and a backslash, or nothing when the path has no folder.
std::u16string picture_folder(std::u16string_view path)
{
    size_t slash = path.find_last_of(u"/\\");
    if (slash == std::u16string_view::npos)
        return {};
    return std::u16string(path.substr(0, slash)) + u"\\";
}

} // namespace

PropertiesImpl::PropertiesImpl(std::u16string_view path, const ScreenInfo& screen)
{
    runtime::Log& log = runtime::get_log();
    log_record_sizes(log);
    std::vector<uint8_t> image;
    m_failed_file = path;
    platform::File file;
    if (file.open(path, platform::File::Mode::read)) {
        int64_t size = file.size();
        if (size > 0) {
            image.resize(size_t(size));
            if (file.read(image.data(), image.size()) != size) {
                log << u"Error: skin [" << path << u"] failed to load\n";
                return;
            }
        }
    }
    file.close();
    build(std::move(image), path, screen);
}

PropertiesImpl::PropertiesImpl(std::vector<uint8_t> image, std::u16string_view path, const ScreenInfo& screen)
{
    log_record_sizes(runtime::get_log());
    build(std::move(image), path, screen);
}

void PropertiesImpl::build(std::vector<uint8_t> image, std::u16string_view path, const ScreenInfo& screen)
{
    SkinImageTexts texts;
    m_failed_file = path;
    if (!check_skin_image(image.data(), image.size(), texts))
        return;
    runtime::Log& log = runtime::get_log();
    m_scale_shift = screen.scale_shift;
    m_landscape = screen.width > screen.height;
    Stopwatch stopwatch;

    std::u16string folder = picture_folder(path);
    m_pictures.reserve(texts.pictures.size());
    for (const std::u16string& name : texts.pictures) {
        SharedPicture picture = load_565(folder + name + u".bmp");
        if (!picture || (picture->width() == 0 && picture->height() == 0)) {
            log << u"PropertiesImpl::PropertiesImpl picture failed to load {" << name << u"}\n";
            m_failed_file = folder + name + u".bmp";
            return;
        }
        log << u"PropertiesImpl::PropertiesImpl picture load time=" << stopwatch.lap() << u" {" << name << u"}\n";
        m_pictures.push_back(PictureRef::whole(std::move(picture)));
    }
    // A picture's corners are a rectangle of it; corners beyond it would have drawing ask
    // for surfaces of any size up to 65535 a side.
    for (size_t entry : texts.picture_entries) {
        const uint8_t* e = image.data() + entry;
        const Picture& picture = *m_pictures[e[18]].picture;
        int previous[2] = { 0, 0 };
        for (int corner = 0; corner < 4; ++corner) {
            int x = read_u16(e + 2 + 4 * corner), y = read_u16(e + 4 + 4 * corner);
            if (x < previous[0] || y < previous[1] || x > picture.width() || y > picture.height()) {
                log << u"PropertiesImpl::PropertiesImpl picture corners outside the picture {"
                    << texts.pictures[e[18]] << u"}\n";
                m_pictures.clear();
                return;
            }
            previous[0] = x;
            previous[1] = y;
        }
    }
    m_picture_names = std::move(texts.pictures);

    m_fonts.reserve(texts.fonts.size());
    for (const std::u16string& description : texts.fonts) {
        FontSpec spec;
        spec.scale_factor = 1 << m_scale_shift;
        parse_font_spec(description, spec);
        m_fonts.push_back(skin::get_font(spec));
    }
    m_strings = std::move(texts.strings);
    log << u"PropertiesImpl::PropertiesImpl fonts create time=" << stopwatch.lap() << u"\n";
    m_image = std::move(image);
    m_header = m_image.data();
    m_failed_file.clear();
}

void PropertiesImpl::send_reload_skin()
{
    uint32_t start = platform::tick_count();
    // A listener may leave the set while it is told.
    std::vector<ReloadListener*> listeners = m_listeners;
    for (ReloadListener* listener : listeners) {
        if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
            listener->reload(*this);
    }
    runtime::get_log() << u"PropertiesImpl::send_reload_skin the rest time="
                       << double(platform::tick_count() - start) / 1000.0 << u"\n";
}

} // namespace skin
