#pragma once
// Reading a photo file we do not trust: only a regular file (never a device,
// a FIFO or a folder), no larger than a limit, and only after its first bytes
// show a format we read and a picture size within the pixel limit. So
// /dev/zero, a huge sparse file or a junk file costs a few kilobytes, not
// gigabytes.

#include <QByteArray>
#include <cstdint>
#include <string>

#include "imaging/PhotoIO.h"
#include "platform/Result.h"

namespace qp {

// Photo files above this size are refused before they are read: 256 MB.
inline constexpr std::int64_t kDefaultMaxPhotoFileBytes = 256LL * 1024 * 1024;

struct PhotoFileLimits {
    std::int64_t maxBytes = kDefaultMaxPhotoFileBytes;
    std::int64_t maxPixels = kMaxDecodedPixels;
};

[[nodiscard]] Result<QByteArray> readPhotoFile(const std::string& path,
                                               const PhotoFileLimits& limits = {});

}  // namespace qp
