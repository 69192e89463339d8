// The request's URL and multipart body, byte for byte, without a network.

#include <gtest/gtest.h>

#include <QImage>

#include "facebook/FBRequest.h"
#include "imaging/PhotoIO.h"
#include "support/LogCapture.h"

namespace qp {
namespace {

const std::string kBoundary = "3i2ndDfv2rTHiSisAbouNdArYfORhtTPEefj3q2f";
const std::string kEndLine = "\r\n--" + kBoundary + "\r\n";

Image twoPixelImage() {
    QImage bitmap(2, 1, QImage::Format_ARGB32);
    bitmap.setPixel(0, 0, qRgba(255, 0, 0, 255));
    bitmap.setPixel(1, 0, qRgba(0, 0, 255, 128));
    return Image(bitmap);
}

std::string pngOf(const Image& image) {
    Result<QByteArray> png = pngRepresentation(image);
    EXPECT_TRUE(png.ok());
    return png.ok() ? std::string(png->constData(), static_cast<std::size_t>(png->size()))
                    : std::string();
}

TEST(FBRequestURL, SeparatorAndPairs) {
    struct Case {
        const char* base;
        FBParams params;
        const char* expected;
    };
    const Case cases[] = {
        {"https://graph.test/me/photos", {}, "https://graph.test/me/photos?"},
        {"https://graph.test/me?fields=id", {}, "https://graph.test/me?fields=id&"},
        {"https://graph.test/me?fields=id",
         {{"a", std::string("1")}, {"b", std::string("2")}},
         "https://graph.test/me?fields=id&a=1&b=2"},
        {"https://graph.test/me", {{"a", std::string("1")}}, "https://graph.test/me?a=1"},
        // A "?" inside the fragment is no query.
        {"https://graph.test/me#x?y", {{"a", std::string("1")}}, "https://graph.test/me#x?y?a=1"},
        // Keys travel as they are.
        {"https://graph.test/me", {{"k y&", std::string("v")}}, "https://graph.test/me?k y&=v"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FBRequest::serializeURL(c.base, c.params), c.expected) << c.base;
    }
}

TEST(FBRequestURL, EscapesEveryByteButUnreservedOnes) {
    struct Case {
        std::string value;
        const char* escaped;
    };
    const Case cases[] = {
        {"a b", "a%20b"},
        {"x&y", "x%26y"},
        {"\xC3\xA9", "%C3%A9"},
        {"~-._", "~-._"},
        {"AZaz09", "AZaz09"},
        {"!*'();:@&=+$,/?%#[]", "%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D"},
        {"\n\x7F", "%0A%7F"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FBRequest::serializeURL("https://g/", {{"v", c.value}}),
                  std::string("https://g/?v=") + c.escaped)
            << c.value;
    }
}

TEST(FBRequestURL, FileValuesStayOutAndGetSaysSo) {
    const FBParams params{
        {"caption", std::string("hi")}, {"picture", twoPixelImage()}, {"blob", FBData{"\x01\x02"}}};
    {
        LogCapture log;
        EXPECT_EQ(FBRequest::serializeURL("https://g/me/photos", params, "POST"),
                  "https://g/me/photos?caption=hi");
        EXPECT_EQ(log.count("can not use GET to upload a file"), 0);
    }
    {
        LogCapture log;
        EXPECT_EQ(FBRequest::serializeURL("https://g/me/photos", params),
                  "https://g/me/photos?caption=hi");
        EXPECT_EQ(log.count("can not use GET to upload a file"), 2);
    }
}

TEST(FBRequestURL, RedactsEveryAccessToken) {
    struct Case {
        const char* url;
        const char* redacted;
    };
    const Case cases[] = {
        {"https://g/me?access_token=SECRET", "https://g/me?access_token=<redacted>"},
        {"https://g/me?a=1&access_token=SECRET&b=2",
         "https://g/me?a=1&access_token=<redacted>&b=2"},
        {"fb1://authorize#access_token=SECRET&expires_in=0",
         "fb1://authorize#access_token=<redacted>&expires_in=0"},
        {"https://g/me?access_token=A&access_token=B",
         "https://g/me?access_token=<redacted>&access_token=<redacted>"},
        {"https://g/me?my_access_token=KEEP", "https://g/me?my_access_token=KEEP"},
        {"https://g/me?access_token=", "https://g/me?access_token=<redacted>"},
    };
    for (const Case& c : cases) EXPECT_EQ(FBRequest::redactedURL(c.url), c.redacted);
}

TEST(FBRequestBody, TextPartsThenFilePartsWithoutClosingDelimiter) {
    const Image image = twoPixelImage();
    const FBParams params{{"sdk", std::string("ios")},
                          {"picture", image},
                          {"blob", FBData{std::string("\x00\xFF\r\n", 4)}},
                          {"message", std::string("caf\xC3\xA9")}};
    const std::string expected =
        "--" + kBoundary + "\r\n" +
        "Content-Disposition: form-data; name=\"message\"\r\n\r\ncaf\xC3\xA9" + kEndLine +
        "Content-Disposition: form-data; name=\"sdk\"\r\n\r\nios" + kEndLine +
        "Content-Disposition: form-data; filename=\"blob\"\r\n" +
        "Content-Type: content/unknown\r\n\r\n" + std::string("\x00\xFF\r\n", 4) + kEndLine +
        "Content-Disposition: form-data; filename=\"picture\"\r\n" +
        "Content-Type: image/png\r\n\r\n" + pngOf(image) + kEndLine;
    const std::string body = FBRequest::generatePostBody(params);
    EXPECT_EQ(body, expected);
    EXPECT_EQ(body.find("--" + kBoundary + "--"), std::string::npos);
}

TEST(FBRequestBody, OnlyAnImageGivesOneFilePart) {
    const Image image = twoPixelImage();
    EXPECT_EQ(FBRequest::generatePostBody({{"picture", image}}),
              "--" + kBoundary + "\r\n" +
                  "Content-Disposition: form-data; filename=\"picture\"\r\n" +
                  "Content-Type: image/png\r\n\r\n" + pngOf(image) + kEndLine);
    EXPECT_EQ(FBRequest::generatePostBody({}), "--" + kBoundary + "\r\n");
}

}  // namespace
}  // namespace qp
