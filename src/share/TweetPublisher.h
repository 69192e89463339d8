#pragma once
// Where a finished tweet goes: a port, so that the tweet sheet can be tested
// with a double. The desktop one opens the service's web intent.

#include <functional>
#include <string>

#include "imaging/Image.h"

namespace qp {

class TweetPublisher {
public:
    // Told on the main thread with what to tell the user.
    using Done = std::function<void(const std::string& note)>;
    virtual ~TweetPublisher() = default;
    virtual void publish(const std::string& text, const Image& image, Done done) = 0;
};

}  // namespace qp
