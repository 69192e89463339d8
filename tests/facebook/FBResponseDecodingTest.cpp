// The answer-decoding table, in its order, and bodies no server should send.

#include <gtest/gtest.h>

#include "facebook/FBRequest.h"
#include "json/ZelJSON.h"

namespace qp {
namespace {

std::string textOf(const std::optional<JsonValue>& value) {
    if (!value) return "none";
    return ZelJSON().stringWithFragment(*value, nullptr).value_or("?");
}

TEST(FBResponseDecoding, FollowsTheTableInOrder) {
    struct Case {
        std::string body;
        const char* result;  // JSON text of the result, or "none"
        int errorCode;       // 0: no error
    };
    const Case cases[] = {
        {"true", R"({"result":"true"})", 0},
        {"false", "none", 10000},
        {"42", R"("42")", 0},
        {"\"text\"", R"("\"text\"")", 0},
        {"<html><body>Bad Gateway</body></html>", R"("<html><body>Bad Gateway</body></html>")", 0},
        {"", R"("")", 0},
        {"true ", R"("true ")", 0},
        {"{\"a\":1} trailing", R"("{\"a\":1} trailing")", 0},
        {"[1,\"two\"]", R"([1,"two"])", 0},
        // "error" wins over everything, whatever code the service put inside.
        {R"({"error":{"message":"bad","code":190},"error_code":190})", "none", 10000},
        {R"({"error_code":190,"error_msg":"expired"})", "none", 190},
        {R"({"error_code":"17 calls","error_msg":"slow down"})", "none", 17},
        {R"({"error_msg":"odd","id":"1"})", R"({"error_msg":"odd","id":"1"})", 10000},
        {R"({"error_reason":"user_denied"})", R"({"error_reason":"user_denied"})", 10000},
        {R"({"id":"123","post_id":"456"})", R"({"id":"123","post_id":"456"})", 0},
    };
    for (const Case& c : cases) {
        const FBRequest::Decoded decoded = FBRequest::parseJsonResponse(c.body);
        EXPECT_EQ(textOf(decoded.result), c.result) << c.body;
        if (c.errorCode == 0) {
            EXPECT_FALSE(decoded.error) << c.body;
        } else {
            ASSERT_TRUE(decoded.error) << c.body;
            EXPECT_EQ(decoded.error->domain(), "facebookErrDomain");
            EXPECT_EQ(decoded.error->code(), c.errorCode) << c.body;
        }
    }
}

TEST(FBResponseDecoding, ErrorDetailsCarryTheWholeAnswer) {
    const auto falseBody = FBRequest::parseJsonResponse("false");
    ASSERT_TRUE(falseBody.error);
    EXPECT_EQ(falseBody.error->details(),
              (Error::Details{{"error_msg", "This operation can not be completed"}}));

    const auto graph =
        FBRequest::parseJsonResponse(R"({"error":{"type":"OAuthException","code":190}})");
    ASSERT_TRUE(graph.error);
    EXPECT_EQ(graph.error->detail("error"), R"({"type":"OAuthException","code":190})");

    const auto rest = FBRequest::parseJsonResponse(R"({"error_code":190,"error_msg":"expired"})");
    ASSERT_TRUE(rest.error);
    EXPECT_EQ(rest.error->details(),
              (Error::Details{{"error_code", "190"}, {"error_msg", "expired"}}));
}

TEST(FBResponseDecoding, HostileBodiesDecodeWithoutHarm) {
    // Not UTF-8: no text at all, and no error.
    const auto latin1 = FBRequest::parseJsonResponse("caf\xE9");
    EXPECT_FALSE(latin1.result);
    EXPECT_FALSE(latin1.error);

    // Nested far past the reader's limits: rejected, so handed on as text.
    const std::string deep = std::string(10000, '[') + std::string(10000, ']');
    const auto nested = FBRequest::parseJsonResponse(deep);
    ASSERT_TRUE(nested.result);
    ASSERT_TRUE(nested.result->string());
    EXPECT_EQ(nested.result->string()->size(), deep.size());
    EXPECT_FALSE(nested.error);

    // A huge error code saturates instead of wrapping round.
    const auto huge = FBRequest::parseJsonResponse(R"({"error_code":99999999999999999999})");
    ASSERT_TRUE(huge.error);
    EXPECT_EQ(huge.error->code(), std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace qp
