#include "platform/HttpClient.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <cstring>
#include <curl/curl.h>
#include <mutex>

namespace platform {

namespace {

constexpr size_t ready_target = 8192;

void global_init()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

HttpClient::HttpClient()
{
    global_init();
}

HttpClient::~HttpClient()
{
    if (m_multi && m_easy && m_started)
        curl_multi_remove_handle(static_cast<CURLM*>(m_multi), static_cast<CURL*>(m_easy));
    if (m_easy)
        curl_easy_cleanup(static_cast<CURL*>(m_easy));
    if (m_multi)
        curl_multi_cleanup(static_cast<CURLM*>(m_multi));
    if (m_headers)
        curl_slist_free_all(static_cast<curl_slist*>(m_headers));
}

bool HttpClient::open(std::u16string_view url, std::u16string_view method, std::u16string_view user_agent)
{
    m_url = to_utf8(url);
    m_method = to_utf8(method);
    m_agent = to_utf8(user_agent);
    CURLU* parsed = curl_url();
    if (!parsed)
        return false;
    CURLUcode rc = curl_url_set(parsed, CURLUPART_URL, m_url.c_str(), 0);
    char* host = nullptr;
    if (rc == CURLUE_OK)
        rc = curl_url_get(parsed, CURLUPART_HOST, &host, 0);
    char* scheme = nullptr;
    if (rc == CURLUE_OK)
        rc = curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0);
    bool usable = rc == CURLUE_OK && host && *host && scheme
        && (std::strcmp(scheme, "http") == 0 || std::strcmp(scheme, "https") == 0);
    curl_free(host);
    curl_free(scheme);
    curl_url_cleanup(parsed);
    if (!usable)
        return false;

    m_easy = curl_easy_init();
    m_multi = curl_multi_init();
    if (!m_easy || !m_multi)
        return false;
    CURL* easy = static_cast<CURL*>(m_easy);
    curl_easy_setopt(easy, CURLOPT_URL, m_url.c_str());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, m_agent.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    // The certificate's host name is not checked, as the original client allowed.
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpClient::on_header);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpClient::on_body);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &HttpClient::on_progress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    curl_slist* headers = curl_slist_append(nullptr, "Accept: */*");
    headers = curl_slist_append(headers, "Cache-Control: no-store");
    m_headers = headers;
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    return true;
}

bool HttpClient::send(const uint8_t* body, size_t size)
{
    if (!m_easy || m_started || m_abandoned)
        return false;
    CURL* easy = static_cast<CURL*>(m_easy);
    m_request_body.assign(body, body + size);
    if (m_method == "GET" && size == 0) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else if (m_method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(m_request_body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, m_request_body.empty() ? "" : reinterpret_cast<const char*>(m_request_body.data()));
        if (m_method != "POST")
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, m_method.c_str());
    }
    if (curl_multi_add_handle(static_cast<CURLM*>(m_multi), easy) != CURLM_OK)
        return false;
    m_started = true;
    drive([this] { return m_headers_complete; });
    return m_headers_complete && !m_abandoned;
}

bool HttpClient::failed() const
{
    return m_abandoned || m_over_limit || (m_finished && m_result != CURLE_OK);
}

bool HttpClient::query_available(size_t& bytes)
{
    bytes = 0;
    if (m_ready_start == m_ready.size())
        drive([this] { return m_ready_start < m_ready.size(); });
    if (failed())
        return false;
    if (m_ready.size() - m_ready_start < ready_target)
        drain();
    if (failed())
        return false;
    bytes = m_ready.size() - m_ready_start;
    return true;
}

bool HttpClient::read(uint8_t* buffer, size_t size, size_t& bytes)
{
    bytes = 0;
    if (size == 0)
        return !failed();
    if (m_ready_start == m_ready.size())
        drive([this] { return m_ready_start < m_ready.size(); });
    if (failed())
        return false;
    bytes = std::min(size, m_ready.size() - m_ready_start);
    std::memcpy(buffer, m_ready.data() + m_ready_start, bytes);
    m_ready_start += bytes;
    if (m_ready_start == m_ready.size()) {
        m_ready.clear();
        m_ready_start = 0;
    }
    return true;
}

void HttpClient::abandon()
{
    m_abandoned = true;
    if (m_multi)
        curl_multi_wakeup(static_cast<CURLM*>(m_multi));
}

template <typename Condition> void HttpClient::drive(Condition condition)
{
    CURLM* multi = static_cast<CURLM*>(m_multi);
    while (!condition() && !m_finished && !m_abandoned && !m_over_limit) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            m_finished = true;
            m_result = CURLE_FAILED_INIT;
            break;
        }
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left))
            if (message->msg == CURLMSG_DONE) {
                m_finished = true;
                m_result = message->data.result;
            }
        if (condition() || m_finished)
            break;
        curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
}

void HttpClient::drain()
{
    CURLM* multi = static_cast<CURLM*>(m_multi);
    for (int round = 0; round < 64 && !m_finished && !failed(); ++round) {
        size_t before = m_ready.size() - m_ready_start;
        if (before >= ready_target)
            break;
        int running = 0;
        curl_multi_perform(multi, &running);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left))
            if (message->msg == CURLMSG_DONE) {
                m_finished = true;
                m_result = message->data.result;
            }
        if (m_ready.size() - m_ready_start == before) {
            int ready = 0;
            curl_multi_poll(multi, nullptr, 0, 0, &ready);
            if (ready == 0)
                break;
        }
    }
}

size_t HttpClient::on_header(char* data, size_t size, size_t count, void* self)
{
    auto* client = static_cast<HttpClient*>(self);
    std::string_view line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    if (line.substr(0, 5) == "HTTP/") {
        client->m_pending_block.clear();
        size_t space = line.find(' ');
        client->m_current_status = space == std::string_view::npos ? std::string() : std::string(line.substr(space + 1, 3));
    }
    if (line.empty()) {
        // The end of one response's headers; an interim 1xx answer is followed by another.
        if (!client->m_current_status.empty() && client->m_current_status[0] != '1') {
            client->m_header_block = client->m_pending_block;
            client->m_headers_complete = true;
        }
        return size * count;
    }
    client->m_pending_block += widen(line);
    client->m_pending_block += u'\0';
    return size * count;
}

size_t HttpClient::on_body(char* data, size_t size, size_t count, void* self)
{
    auto* client = static_cast<HttpClient*>(self);
    size_t n = size * count;
    client->m_body_total += n;
    if (client->m_body_limit && client->m_body_total > client->m_body_limit) {
        client->m_over_limit = true;
        return 0; // ends the transfer with a write error
    }
    client->m_ready.insert(client->m_ready.end(), reinterpret_cast<uint8_t*>(data), reinterpret_cast<uint8_t*>(data) + n);
    return n;
}

int HttpClient::on_progress(void* self, int64_t, int64_t, int64_t, int64_t)
{
    return static_cast<HttpClient*>(self)->m_abandoned ? 1 : 0;
}

} // namespace platform
