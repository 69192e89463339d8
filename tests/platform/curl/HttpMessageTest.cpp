#include <gtest/gtest.h>

#include "platform/HttpClient.h"
#include "platform/curl/CurlCookieJar.h"

using namespace qp;

TEST(HttpRequest, SetHeaderReplacesEveryCaseVariantInPlace) {
    HttpRequest request;
    request.headers = {{"Accept", "a"}, {"X-Token", "1"}, {"x-token", "2"}, {"Z", "z"}};
    request.setHeader("X-TOKEN", "3");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Accept", "a"}, {"X-TOKEN", "3"}, {"Z", "z"}};
    EXPECT_EQ(request.headers, expected);
    request.setHeader("New", "n");
    EXPECT_EQ(request.headers.back(), std::make_pair(std::string("New"), std::string("n")));
}

TEST(HttpRequest, HeaderLookupIgnoresCaseAndPrefersTheLaterValue) {
    HttpRequest request;
    request.headers = {{"Content-Type", "text/plain"}, {"content-type", "image/png"}};
    EXPECT_EQ(request.header("CONTENT-TYPE"), "image/png");
    EXPECT_EQ(request.header("Content-Length"), std::nullopt);
}

TEST(HttpResponse, RepeatedFieldsReadAsOneList) {
    HttpResponse response;
    response.headers = {{"Vary", "Accept"}, {"Server", "x"}, {"vary", "Cookie"}};
    EXPECT_EQ(response.header("VARY"), "Accept, Cookie");
    EXPECT_EQ(response.header("Missing"), std::nullopt);
}

TEST(HttpResponse, MimeTypeDropsParametersCaseAndSpaces) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"text/javascript; charset=utf-8", "text/javascript"},
        {" Application/JSON ", "application/json"},
        {"image/png", "image/png"},
        {";charset=utf-8", ""},
    };
    for (const auto& [contentType, mime] : cases) {
        HttpResponse response;
        response.headers = {{"content-type", contentType}};
        EXPECT_EQ(response.mimeType(), mime) << contentType;
    }
    EXPECT_EQ(HttpResponse().mimeType(), "");
}

TEST(CurlCookieJar, ReadsListingLines) {
    const auto plain = CurlCookieJar::parseCookieLine("127.0.0.1\tFALSE\t/\tFALSE\t0\tsid\tabc");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->domain, "127.0.0.1");
    EXPECT_EQ(plain->path, "/");
    EXPECT_EQ(plain->name, "sid");
    EXPECT_EQ(plain->value, "abc");
    EXPECT_FALSE(plain->secure);

    const auto httpOnly =
        CurlCookieJar::parseCookieLine("#HttpOnly_.example.com\tTRUE\t/app\tTRUE\t99\tk\t");
    ASSERT_TRUE(httpOnly);
    EXPECT_EQ(httpOnly->domain, ".example.com");
    EXPECT_EQ(httpOnly->path, "/app");
    EXPECT_TRUE(httpOnly->secure);
    EXPECT_EQ(httpOnly->value, "");

    EXPECT_FALSE(CurlCookieJar::parseCookieLine("not a cookie"));
}
