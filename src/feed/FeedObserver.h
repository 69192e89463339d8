#pragma once
// Hears what the feed finds while it works, for tools that check a feed. The
// app needs none: the feed itself only logs. Called on the thread that runs
// the step (a worker thread, or the caller's in synchronous mode).

#include <string>

#include "imaging/Image.h"

namespace qp {

enum class FeedImage { Theme, Bottom, Thumb };

class FeedObserver {
public:
    virtual ~FeedObserver() = default;
    // Something kept a file, a record or an image from loading.
    virtual void feedProblem(const std::string& /*description*/) {}
    // One of the day's images arrived and decoded.
    virtual void feedImageLoaded(FeedImage /*which*/, const std::string& /*url*/,
                                 const Image& /*image*/) {}
};

}  // namespace qp
