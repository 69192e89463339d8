#pragma once
// Where the share sheet's "save" puts the image: a port, so that the sheet's
// steps can be tested without a disk and the desktop's folder can be swapped.

#include <filesystem>
#include <functional>
#include <optional>

#include "imaging/Image.h"
#include "platform/Error.h"

namespace qp {

class PhotoAlbum {
public:
    // Told on the main thread: the file written, or why nothing was.
    struct Outcome {
        std::optional<std::filesystem::path> file;
        std::optional<Error> error;
    };
    using Completion = std::function<void(const Outcome&)>;

    virtual ~PhotoAlbum() = default;
    // Adds the image as a new file; returns at once, the completion follows
    // on the main thread.
    virtual void saveImage(const Image& image, Completion completion) = 0;
    // The folder the images go to, for telling the user.
    virtual std::filesystem::path folder() const = 0;
};

}  // namespace qp
