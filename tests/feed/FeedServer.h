#pragma once
// A theme-of-the-day feed served on 127.0.0.1 for tests: a revision file, a
// month file, a special-day file and three small images, each of which a test
// may replace, break or hold back. Counts the requests for every path.

#include <QImage>

#include <map>
#include <mutex>
#include <string>

#include "feed/FeedKeys.h"
#include "imaging/Image.h"
#include "imaging/PhotoIO.h"
#include "platform/plist/PropertyList.h"
#include "support/LocalHttpServer.h"

namespace qp::test {

inline constexpr const char* kRevisionPath = "/feed2/COTD latest revision.plist";
inline constexpr const char* kMonthPath = "/themes/month.plist";
inline constexpr const char* kSpecialPath = "/themes/special.plist";
inline constexpr const char* kThemePath = "/art/theme.png";
inline constexpr const char* kBottomPath = "/art/bottom.png";
inline constexpr const char* kThumbPath = "/art/thumb.png";

// Sizes that tell the three images apart.
inline constexpr int kThemeWidth = 12, kBottomWidth = 8, kThumbWidth = 4;

inline std::string xmlPlist(const PlistValue& value) {
    return serializePropertyList(value, PlistFormat::Xml).value();
}

inline std::string pngOfWidth(int width) {
    QImage bitmap(width, 3, QImage::Format_RGB32);
    bitmap.fill(Qt::darkCyan);
    const QByteArray bytes = pngRepresentation(Image(bitmap)).value();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

class FeedServer {
public:
    struct Answer {
        int status = 200;
        std::string body;
        std::string type = "application/octet-stream";
        bool hold = false;  // waits for release() before answering
    };

    FeedServer() {
        m_server.routes().Get(
            ".*", [this](const httplib::Request& request, httplib::Response& response) {
                Answer answer;
                {
                    std::lock_guard lock(m_mutex);
                    ++m_hits[request.path];
                    auto it = m_answers.find(request.path);
                    if (it == m_answers.end()) {
                        response.status = 404;
                        response.set_content("<html><body>Not Found</body></html>", "text/html");
                        return;
                    }
                    answer = it->second;
                }
                if (answer.hold) {
                    m_server.signal();
                    m_server.holdUntilReleased(std::chrono::seconds(10));
                }
                response.status = answer.status;
                response.set_content(answer.body, answer.type);
            });
        m_server.start();
        setRevision("v1", "v1");
        setMonth(31);
        setSpecialDays({});
        set(kThemePath, {200, pngOfWidth(kThemeWidth), "image/png"});
        set(kBottomPath, {200, pngOfWidth(kBottomWidth), "image/png"});
        set(kThumbPath, {200, pngOfWidth(kThumbWidth), "image/png"});
    }

    std::string url(const std::string& path) const { return m_server.url(path); }
    std::string revisionUrl() const { return url("/feed2/COTD%20latest%20revision.plist"); }
    LocalHttpServer& server() { return m_server; }

    void set(const std::string& path, Answer answer) {
        std::lock_guard lock(m_mutex);
        m_answers[path] = std::move(answer);
    }
    void remove(const std::string& path) {
        std::lock_guard lock(m_mutex);
        m_answers.erase(path);
    }
    void hold(const std::string& path) {
        std::lock_guard lock(m_mutex);
        m_answers[path].hold = true;
    }
    int hits(const std::string& path) const {
        std::lock_guard lock(m_mutex);
        auto it = m_hits.find(path);
        return it == m_hits.end() ? 0 : it->second;
    }

    // A record whose name and image say which day it is for.
    PlistDictionary record(const std::string& name) const {
        return {{"theme name", name},
                {"image", name + ".jpg"},
                {"photo enabled", "YES"},
                {kImageUrlKey, url(kThemePath)},
                {kBottomImageUrlKey, url(kBottomPath)},
                {kThumbImageUrlKey, url(kThumbPath)}};
    }

    void setRevision(const std::string& monthVersion, const std::string& specialVersion) {
        set(kRevisionPath, {200,
                            xmlPlist(PlistDictionary{{kMonthOfThemesVersionKey, monthVersion},
                                                     {kMonthOfThemesUrlKey, url(kMonthPath)},
                                                     {kSpecialDayVersionKey, specialVersion},
                                                     {kSpecialDayUrlKey, url(kSpecialPath)}}),
                            "application/xml"});
    }
    // Records "day 1" to "day <count>".
    void setMonth(int count) {
        PlistArray records;
        for (int day = 1; day <= count; ++day)
            records.emplace_back(record("day " + std::to_string(day)));
        set(kMonthPath,
            {200, xmlPlist(PlistDictionary{{kMonthOfThemeItemsKey, records}}), "application/xml"});
    }
    // Today's record replaced by `record`.
    void setMonthRecord(int day, const PlistDictionary& replacement) {
        PlistArray records;
        for (int d = 1; d <= 31; ++d)
            records.emplace_back(d == day ? replacement : record("day " + std::to_string(d)));
        set(kMonthPath,
            {200, xmlPlist(PlistDictionary{{kMonthOfThemeItemsKey, records}}), "application/xml"});
    }
    // A record named "special <date>" for each date.
    void setSpecialDays(const std::vector<std::string>& dates) {
        PlistDictionary items;
        for (const std::string& date : dates) items[date] = record("special " + date);
        set(kSpecialPath,
            {200, xmlPlist(PlistDictionary{{kSpecialDayThemeItemsKey, items}}), "application/xml"});
    }

private:
    LocalHttpServer m_server;
    mutable std::mutex m_mutex;
    std::map<std::string, Answer> m_answers;
    std::map<std::string, int> m_hits;
};

}  // namespace qp::test
